#include "app/TFmain.h"
#include "collect/TD_duplicates.h"
#include "collect/TO_results.h"

#include "support/DialogDriver.h"
#include "support/MainWindowHarness.h"
#include "support/SampleReports.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>
#include <QStatusBar>
#include <QTableView>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>

namespace {

// The record of url in text gets the attributes (written as in the file).
std::string withAttributes(std::string text, const std::string& url, const std::string& attrs) {
    const std::string tag = "<LISTING URL=\"" + url + "\"";
    text.insert(text.find(tag) + tag.size(), " " + attrs);
    return text;
}

class RecordsMenu : public MainWindowHarness {
protected:
    QAbstractItemModel* rows() { return window->O_results1->LV1->model(); }
    QStringList addresses() {
        QStringList shown;
        for (int row = 0; row < rows()->rowCount(); ++row)
            shown << rows()->index(row, 1).data().toString();
        return shown;
    }
    bool ticked(int row) {
        return rows()->index(row, 0).data(Qt::CheckStateRole).toInt() == Qt::Checked;
    }
    void tick(int row) {
        QTableView* view = window->O_results1->LV1;
        const QRect cell = view->visualRect(rows()->index(row, 0));
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                          QPoint(cell.left() + 10, cell.center().y()));
    }
    void save() { QTest::mouseClick(window->TB_save, Qt::LeftButton); }
};

} // namespace

TEST_F(RecordsMenu, FindDuplicatesKeepsTheChosenRecordsWithTheirTicks) {
    StartOn(ReportText()
                .Record("http://a.example/", "A", "first")
                .Record("http://b.example/", "B", "second")
                .Record("http://a.example/index.html#top", "A again")
                .Record("http://c.example/", "C"));
    ClickTab("Found URL list");
    // Items of the Records menu, one after the other.
    const QList<QAction*> items = window->N_Records->actions();
    const qsizetype at = items.indexOf(window->N_FindDuplicates);
    ASSERT_GE(at, 0);
    EXPECT_EQ(window->N_FindDuplicates->text().remove('&'), "Find duplicates...");
    ASSERT_LT(at + 1, items.size());
    EXPECT_EQ(items[at + 1], window->N_ApplyRedirects);
    EXPECT_EQ(window->N_ApplyRedirects->text().remove('&'), "Apply permanent redirects...");
    // A tick given in the list, on the record that goes: the kept one takes it.
    tick(2);
    ASSERT_TRUE(ticked(2));

    DialogDriver dialogs;
    dialogs.Then([](QWidget* w) {
        auto* tree = static_cast<TD_duplicates*>(w)->TV_groups;
        QTreeWidgetItem* first = tree->topLevelItem(0)->child(0);
        QTest::mouseClick(tree->itemWidget(first, 0), Qt::LeftButton, {}, QPoint(5, 5));
        DialogDriver::ClickButton(w, "Keep the chosen ones");
    });
    window->N_FindDuplicates->trigger();
    EXPECT_EQ(addresses(), (QStringList{"a.example/", "b.example/", "c.example/"}));
    EXPECT_TRUE(ticked(0));
    EXPECT_EQ(Status(1), "Changed");
    EXPECT_EQ(window->StatusBar1->currentMessage(), "1 duplicate record was removed.");
    save();
    const std::string saved = tmp.read("data/r.qrl");
    EXPECT_NE(saved.find("<LISTING URL=\"http://a.example/\" CHK=\"Y\">"), std::string::npos)
        << saved;
    EXPECT_NE(saved.find("<TITLE>A again"), std::string::npos);
    EXPECT_EQ(saved.find("index.html"), std::string::npos);

    // Nothing left to do: notices only, the report stays as saved.
    dialogs.Ok().Ok();
    window->N_FindDuplicates->trigger();
    window->N_ApplyRedirects->trigger();
    EXPECT_EQ(dialogs.Seen(),
              (QStringList{"No duplicates found.", "No record has a permanent redirect."}));
    EXPECT_TRUE(dialogs.Done()) << dialogs.Unexpected().join(",").toStdString();
    EXPECT_EQ(Status(1), "");
}

TEST_F(RecordsMenu, ApplyPermanentRedirectsAsksMovesAndListsWhatWasNotMoved) {
    std::string text = ReportText()
                           .Record("http://a.example/old", "A")
                           .Record("http://b.example/", "B")
                           .Record("http://c.example/", "C");
    text = withAttributes(text, "http://a.example/old",
                          "LINK=\"200\" LINKURL=\"http://a.example/new\" LINKVIA=\"301\"");
    text = withAttributes(text, "http://c.example/",
                          "LINK=\"200\" LINKURL=\"HTTP://B.EXAMPLE/\" LINKVIA=\"308\"");
    StartOn(text);
    ClickTab("Found URL list");
    // The count asked about is what can move; the record whose target is taken is named apart.
    const QString question = "Move 1 record to the address it permanently redirects to?\n1 other "
                             "record redirects to an address another record already has and "
                             "stays.";

    // No keeps everything.
    DialogDriver dialogs;
    dialogs.No();
    window->N_ApplyRedirects->trigger();
    EXPECT_EQ(Status(1), "");
    EXPECT_EQ(addresses(), (QStringList{"a.example/old", "b.example/", "c.example/"}));

    dialogs.Yes().Ok();
    window->N_ApplyRedirects->trigger();
    EXPECT_TRUE(dialogs.Done()) << dialogs.Unexpected().join(",").toStdString();
    EXPECT_EQ(dialogs.Seen(),
              (QStringList{question, question,
                           "These records were not moved: another record already has the "
                           "address:\nhttp://c.example/ -> HTTP://B.EXAMPLE/"}));
    EXPECT_EQ(addresses(), (QStringList{"a.example/new", "b.example/", "c.example/"}));
    EXPECT_EQ(Status(1), "Changed");
    save();
    const std::string saved = tmp.read("data/r.qrl");
    // The record now is where its check ended.
    EXPECT_NE(saved.find("<LISTING URL=\"http://a.example/new\" LINK=\"200\">\r\n\t\t\t<TITLE>A"),
              std::string::npos)
        << saved;
    EXPECT_NE(saved.find("<REDIRECT>http://a.example/new"), std::string::npos);
}
