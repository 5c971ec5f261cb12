#include "report/ListFind.h"
#include "report/ListCounts.h"
#include "report/ListSort.h"

#include <gtest/gtest.h>

#include <QLocale>

namespace {
RowTexts Row(const char* title, const char* address, const char* description) {
    return {title, address, description};
}
bool Shown(const RowTexts& row, const QString& typed) {
    return FindMatches(FindHaystack(row), FindNeedle(typed));
}
} // namespace

TEST(ListFind, LooksInTitleAddressAndDescriptionIgnoringCase) {
    const RowTexts row = Row("Quarry Tools", "shop.example/Stones", "Granite and märble");
    EXPECT_TRUE(Shown(row, ""));
    EXPECT_TRUE(Shown(row, "quarry"));
    EXPECT_TRUE(Shown(row, "TOOLS"));
    EXPECT_TRUE(Shown(row, "example/st"));
    EXPECT_TRUE(Shown(row, "MÄRBLE"));
    EXPECT_FALSE(Shown(row, "   "));
    EXPECT_FALSE(Shown(row, "basalt"));
    // A match never joins the end of one text to the start of the next.
    EXPECT_FALSE(Shown(row, "toolsshop"));
    EXPECT_FALSE(Shown(row, "tools shop"));
    EXPECT_FALSE(Shown(row, "Tools\nshop"));
    // Letters outside Latin fold too.
    EXPECT_TRUE(Shown(Row("ΚΑΛΗΜΕΡΑ", "", ""), "καλημερα"));
    EXPECT_TRUE(Shown(Row("", "", ""), ""));
    EXPECT_FALSE(Shown(Row("", "", ""), "a"));
}

TEST(ListCounts, AllShownOrSomeHidden) {
    struct Case {
        ListCounts counts;
        const char* text;
    };
    const Case cases[] = {
        {{0, 0, 0, 0}, "0 records, 0 ticked"},
        {{3000, 12, 3000, 12}, "3000 records, 12 ticked"},
        // Hidden by the filter or the quick find: the ticks of the whole report, then those seen.
        {{307, 100, 11, 4}, "307 records, 100 ticked; 11 shown (4 ticked)"},
        {{5, 1, 0, 0}, "5 records, 1 ticked; 0 shown (0 ticked)"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ListCountText(c.counts), c.text);
}

TEST(ListSort, NumbersByValueLetterCaseIgnoredInEveryLocale) {
    // In order; each text comes before the next.
    const QStringList ordered = {
        "0",
        "1",
        "2",
        "9",
        "10",
        "99",
        "100",
        "123456789",
        "1000000000",
        "12345678901234567890",
        "item",
        "item 2",
        "item \u0663",
        "Item 9",
        "item 10",
        "ITEM 11",
        "item 1002",
        "item 10002",
        "item 10002 b",
        "version 1.5",
        "version 1.10",
        "version 2.0",
        "x",
    };
    // Each pair is one text for the order.
    const std::pair<QString, QString> same[] = {
        {"file 7", "file 007"}, {"Page 3", "page 3"}, {"0", "000"}, {"item \uff13", "item 3"}};
    for (const char* name : {"C", "en_US", "de_DE", "sv_SE"}) {
        SCOPED_TRACE(name);
        const QCollator collator = ListCollator(QLocale(name));
        for (qsizetype i = 0; i + 1 < ordered.size(); ++i)
            EXPECT_LT(
                ListSortKey(collator, ordered[i]).compare(ListSortKey(collator, ordered[i + 1])), 0)
                << ordered[i].toStdString() << " / " << ordered[i + 1].toStdString();
        for (const auto& [a, b] : same)
            EXPECT_EQ(ListSortKey(collator, a).compare(ListSortKey(collator, b)), 0)
                << a.toStdString() << " / " << b.toStdString();
    }
}
