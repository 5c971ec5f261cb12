#include "report/ListFind.h"
#include "report/ListCounts.h"

#include <gtest/gtest.h>

namespace {
RecordRow Row(const char* title, const char* address, const char* description) {
    RecordRow row;
    row.title = title;
    row.address = address;
    row.description = description;
    return row;
}
bool Shown(const RecordRow& row, const QString& typed) {
    return FindMatches(FindHaystack(row), FindNeedle(typed));
}
} // namespace

TEST(ListFind, LooksInTitleAddressAndDescriptionIgnoringCase) {
    const RecordRow row = Row("Quarry Tools", "shop.example/Stones", "Granite and märble");
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
    EXPECT_EQ(ListCountText(0, 0, 0), "0 records, 0 ticked");
    EXPECT_EQ(ListCountText(3000, 3000, 12), "3000 records, 12 ticked");
    EXPECT_EQ(ListCountText(3000, 41, 2), "41 of 3000 shown, 2 ticked");
    EXPECT_EQ(ListCountText(5, 0, 0), "0 of 5 shown, 0 ticked");
}
