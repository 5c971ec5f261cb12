#include "collect/TO_results.h"
#include "collect/RecordListModel.h"
#include "tree/TQelPigger.h"

#include "support/DialogDriver.h"
#include "support/TempDir.h"
#include "support/UrlCatcher.h"

#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QDir>
#include <QHeaderView>
#include <QTableView>
#include <QTest>

namespace {

const char* kReport = R"(<URLS>
  <LISTING URL="http://one.example/?to=http://x" CHK="Y">
    <TITLE>one%0D%0Atwo</TITLE><DESCRIPTION>first</DESCRIPTION><REDIRECT>  http://r1.example/ </REDIRECT>
  </LISTING>
  <OTHER URL="not a record"/>
  <LISTING URL="https://two.example" CHK="y">
    <TITLE>Second</TITLE><REDIRECT>   </REDIRECT>
  </LISTING>
  <LISTING URL="http://three.example">
    <DESCRIPTION>third</DESCRIPTION>
  </LISTING>
</URLS>)";

struct ListFixture : ::testing::Test {
    TQelPigger urls;
    TO_results list;

    void SetUp() override {
        urls.SetAsText(kReport);
        list.resize(800, 400);
        list.show();
        list.ClearItems();
        list.Records = &urls;
        list.Rebuild();
    }
    QAbstractItemModel* model() { return list.LV1->model(); }
    QString cell(int row, int column) { return model()->index(row, column).data().toString(); }
    bool checked(int row) {
        return model()->index(row, 0).data(Qt::CheckStateRole).value<Qt::CheckState>() ==
               Qt::Checked;
    }
    QPoint cellCenter(int row, int column) {
        return list.LV1->visualRect(model()->index(row, column)).center();
    }
    void clickRow(int row) {
        QTest::mouseClick(list.LV1->viewport(), Qt::LeftButton, {}, cellCenter(row, 1));
    }
    TQelPigger* listing(int n) {
        TQelPigger* r = urls.FindChild("LISTING");
        while (n-- > 0)
            r = urls.FindNextChild(r);
        return r;
    }
};

} // namespace

TEST_F(ListFixture, RowsAndColumnsAsTheUserSeesThem) {
    QAbstractItemModelTester tester(model(), QAbstractItemModelTester::FailureReportingMode::Fatal);
    ASSERT_EQ(model()->rowCount(), 3);
    ASSERT_EQ(model()->columnCount(), 3);
    EXPECT_EQ(model()->headerData(0, Qt::Horizontal).toString(), "Tilte");
    EXPECT_EQ(model()->headerData(1, Qt::Horizontal).toString(), "Url");
    EXPECT_EQ(model()->headerData(2, Qt::Horizontal).toString(), "Description");
    EXPECT_EQ(list.LV1->horizontalHeader()->sectionSize(0), 250);
    EXPECT_EQ(list.LV1->horizontalHeader()->sectionSize(1), 150);
    EXPECT_TRUE(list.LV1->showGrid());

    EXPECT_EQ(cell(0, 0), "one  two");
    EXPECT_EQ(cell(0, 1), "one.example/?to=x");
    EXPECT_EQ(cell(0, 2), "first");
    EXPECT_TRUE(checked(0));
    EXPECT_EQ(cell(1, 1), "https://two.example");
    EXPECT_FALSE(checked(1)); // lower-case y
    EXPECT_EQ(cell(2, 0), "");
    EXPECT_EQ(cell(2, 2), "third");

    // A lower-case y is gone after the marks are stored; the ticked one stays.
    list.StoreChecks();
    EXPECT_EQ(listing(0)->GetAttr("CHK"), "Y");
    EXPECT_EQ(listing(1)->GetAttr("CHK"), "");
    EXPECT_EQ(listing(1)->AttrCount(), 1);
}

TEST_F(ListFixture, ClickingCheckBoxesReachesTheRecordsOnlyWhenStored) {
    const QRect box = list.LV1->visualRect(model()->index(2, 0));
    // The check box sits at the left of the first cell.
    QTest::mouseClick(list.LV1->viewport(), Qt::LeftButton, {},
                      QPoint(box.left() + 10, box.center().y()));
    EXPECT_TRUE(checked(2));
    EXPECT_EQ(listing(2)->GetAttr("CHK"), "");
    list.StoreChecks();
    EXPECT_EQ(listing(2)->GetAttr("CHK"), "Y");
}

TEST_F(ListFixture, RowsOfRecordsDeletedElsewhereAreLeftAlone) {
    // Another part of the program deletes the third record; a new record may well be made at
    // the address it had.
    TQelPigger* third = listing(2);
    delete third;
    TQelPigger* newcomer = urls.AddChild("LISTING");
    newcomer->SetAttr("URL", "http://new.example");
    EXPECT_EQ(list.RecordAt(2), nullptr);
    EXPECT_EQ(list.RecordAt(0), listing(0));
    ASSERT_TRUE(model()->setData(model()->index(2, 0), Qt::Checked, Qt::CheckStateRole));
    list.StoreChecks();
    EXPECT_EQ(newcomer->GetAttr("CHK"), "");
    EXPECT_EQ(listing(0)->GetAttr("CHK"), "Y");
}

TEST_F(ListFixture, FilteredOutRecordsKeepTheirMarks) {
    list.SetFilter([](TQelPigger* r) { return r->GetAttr("URL").find("two") == std::string::npos; },
                   [](TQelPigger*) { return true; });
    EXPECT_TRUE(list.RunFilter());
    list.Rebuild();
    ASSERT_EQ(model()->rowCount(), 2);
    EXPECT_EQ(cell(1, 2), "third");
    list.StoreChecks();
    EXPECT_EQ(listing(1)->GetAttr("CHK"), "y");

    // A matcher that fails stops the fill; the rows before it stay.
    list.SetFilter(
        [](TQelPigger* r) {
            if (r->GetAttr("URL").find("three") != std::string::npos)
                throw std::runtime_error("Unknown function: FOO. Position 1");
            return true;
        },
        [](TQelPigger*) { return true; });
    list.ClearItems();
    EXPECT_THROW(list.Fill(), std::runtime_error);
    EXPECT_EQ(model()->rowCount(), 2);
    EXPECT_TRUE(list.Filtered());
}

TEST_F(ListFixture, DeleteAsksAndRemovesRowAndRecord) {
    DialogDriver dialogs;
    EXPECT_FALSE(list.DeleteSelected()); // nothing selected: no question
    clickRow(1);
    dialogs.No();
    EXPECT_FALSE(list.DeleteSelected());
    EXPECT_EQ(model()->rowCount(), 3);
    dialogs.Yes();
    EXPECT_TRUE(list.DeleteSelected());
    EXPECT_EQ(model()->rowCount(), 2);
    EXPECT_EQ(urls.ChildCount(), 3);
    EXPECT_EQ(listing(1)->GetAttr("URL"), "http://three.example");
    EXPECT_EQ(dialogs.Seen(), (QStringList{"Delete current URL?", "Delete current URL?"}));

    // Deleting the last rows leaves an empty list.
    for (int i = 0; i < 2; ++i) {
        clickRow(0);
        dialogs.Yes();
        EXPECT_TRUE(list.DeleteSelected());
    }
    EXPECT_EQ(model()->rowCount(), 0);
    EXPECT_EQ(urls.FindChild("LISTING"), nullptr);
    EXPECT_TRUE(dialogs.Done());
}

TEST_F(ListFixture, EditedRecordReplacesTheSelectedRowInPlace) {
    clickRow(1);
    // An unsaved toggle of that row is lost: the mark comes again from the record.
    model()->setData(model()->index(1, 0), Qt::Checked, Qt::CheckStateRole);
    listing(1)->FindChild("TITLE")->Text = "Edited";
    list.ShowRecord(listing(1), true);
    ASSERT_EQ(model()->rowCount(), 3);
    EXPECT_EQ(cell(1, 0), "Edited");
    EXPECT_FALSE(checked(1));
    EXPECT_EQ(list.SelectedRecord(), listing(1));
    // Without a selection a new row is appended.
    list.LV1->clearSelection();
    list.ShowRecord(listing(0), true);
    EXPECT_EQ(model()->rowCount(), 4);
}

TEST_F(ListFixture, OpeningWritesTheProbePageAndOpensTheRedirect) {
    TempDir dir;
    const QString before = QDir::currentPath();
    QDir::setCurrent(dir.qpath(""));
    UrlCatcher browser;

    clickRow(0);
    QTest::keyClick(list.LV1, Qt::Key_Return);
    ASSERT_EQ(browser.opened.size(), 1u);
    EXPECT_EQ(browser.opened[0].toString(), "http://r1.example/");
    EXPECT_EQ(dir.read("a.html"),
              "<HTML><HEAD><TITLE>Quarrylog</TITLE></HEAD><BODY><P ALIGN=CENTER>Find new "
              "verisons here<A HREF=\"http://www.quarrylog.example/\">www.quarrylog.example</A>"
              "</P></BODY></HTML>");

    // A blank or missing redirect opens nothing: Enter, double-click, the command.
    for (int row : {1, 2}) {
        clickRow(row);
        QTest::keyClick(list.LV1, Qt::Key_Enter);
        QTest::mouseDClick(list.LV1->viewport(), Qt::LeftButton, {}, cellCenter(row, 1));
        list.OpenSelected();
    }
    EXPECT_EQ(browser.opened.size(), 1u);

    clickRow(0);
    QTest::mouseDClick(list.LV1->viewport(), Qt::LeftButton, {}, cellCenter(0, 1));
    EXPECT_EQ(browser.opened.size(), 2u);
    QDir::setCurrent(before);
}

TEST_F(ListFixture, NothingToListOrDo) {
    TQelPigger empty;
    empty.SetAsText("<URLS><X/></URLS>");
    list.Records = &empty;
    list.Rebuild();
    EXPECT_EQ(model()->rowCount(), 0);
    // Rows of records that the list no longer holds write nothing back.
    list.Records = &urls;
    list.Rebuild();
    model()->setData(model()->index(2, 0), Qt::Checked, Qt::CheckStateRole);
    list.Records = nullptr;
    list.StoreChecks();
    EXPECT_EQ(listing(2)->GetAttr("CHK"), "");
    list.Rebuild();
    EXPECT_EQ(model()->rowCount(), 0);
    EXPECT_EQ(list.SelectedRecord(), nullptr);
    EXPECT_EQ(list.SelectedRedirect(), "");
    EXPECT_FALSE(list.DeleteSelected());
    // Without a filter dialog the filter stays off.
    TO_results fresh;
    EXPECT_FALSE(fresh.RunFilter());
}

TEST_F(ListFixture, OpeningThatCannotBeDoneIsExplained) {
    TempDir dir;
    const QString before = QDir::currentPath();
    QDir::setCurrent(dir.qpath(""));
    UrlCatcher browser;
    DialogDriver dialogs;

    // The probe page cannot be written: a folder has its name.
    ASSERT_TRUE(QDir(dir.qpath("")).mkdir("a.html"));
    clickRow(0);
    dialogs.Ok();
    list.OpenSelected();
    ASSERT_EQ(dialogs.Seen().size(), 1);
    EXPECT_TRUE(dialogs.Seen()[0].startsWith("Cannot write the file \"a.html\": "))
        << dialogs.Seen()[0].toStdString();
    ASSERT_TRUE(QDir(dir.qpath("")).rmdir("a.html"));

    // A redirect that is no web address is refused with a notice.
    listing(0)->FindChild("REDIRECT")->Text = "javascript:alert(1)";
    dialogs.Ok();
    QTest::keyClick(list.LV1, Qt::Key_Return);
    ASSERT_EQ(dialogs.Seen().size(), 2);
    EXPECT_EQ(dialogs.Seen()[1],
              "This address cannot be opened in a web browser:\njavascript:alert(1)");
    EXPECT_TRUE(browser.opened.empty());
    EXPECT_TRUE(dialogs.Done());
    QDir::setCurrent(before);
}
