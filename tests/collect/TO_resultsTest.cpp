#include "collect/TO_results.h"
#include "collect/RecordListModel.h"
#include "settings/core/SettingsStore.h"
#include "tree/TQelPigger.h"

#include "support/DialogDriver.h"
#include "support/TempDir.h"
#include "support/UrlCatcher.h"
#include "support/WaitUntil.h"

#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QColor>
#include <QContextMenuEvent>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QPalette>
#include <QTableView>
#include <QTest>

#include <functional>
#include <memory>

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
    ASSERT_EQ(model()->columnCount(), 5);
    EXPECT_EQ(model()->headerData(0, Qt::Horizontal).toString(), "Tilte");
    EXPECT_EQ(model()->headerData(1, Qt::Horizontal).toString(), "Url");
    EXPECT_EQ(model()->headerData(2, Qt::Horizontal).toString(), "Description");
    EXPECT_EQ(model()->headerData(3, Qt::Horizontal).toString(), "Status");
    EXPECT_EQ(model()->headerData(4, Qt::Horizontal).toString(), "Capture");
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

TEST_F(ListFixture, ProbePageThatDoesNotFitOnTheDiskIsExplained) {
    TempDir dir;
    const QString before = QDir::currentPath();
    QDir::setCurrent(dir.qpath(""));
    UrlCatcher browser;
    DialogDriver dialogs;
    // Every write to /dev/full fails as on a full disk.
    ASSERT_TRUE(QFile::link("/dev/full", dir.qpath("a.html")));
    clickRow(0);
    dialogs.Ok();
    list.OpenSelected();
    QDir::setCurrent(before);
    EXPECT_EQ(dialogs.Seen(),
              QStringList{"Cannot write the file \"a.html\": No space left on device"});
    EXPECT_TRUE(browser.opened.empty());
}

namespace {

const char* kFruit = R"(<URLS>
  <LISTING URL="http://b.example/banana"><TITLE>banana</TITLE><DESCRIPTION>yellow</DESCRIPTION><REDIRECT>http://r.example/banana</REDIRECT></LISTING>
  <LISTING URL="http://a.example/apple"><TITLE>Apple</TITLE><DESCRIPTION>Red</DESCRIPTION><REDIRECT>http://r.example/apple</REDIRECT></LISTING>
  <LISTING URL="http://c.example/cherry" CHK="Y"><TITLE>cherry</TITLE><DESCRIPTION>red too</DESCRIPTION><REDIRECT>http://r.example/cherry</REDIRECT></LISTING>
  <LISTING URL="http://d.example/pie"><TITLE>apple pie</TITLE><DESCRIPTION>Baked</DESCRIPTION><REDIRECT>http://r.example/pie</REDIRECT></LISTING>
</URLS>)";

struct SortedList : ListFixture {
    void SetUp() override {
        ListFixture::SetUp();
        urls.SetAsText(kFruit);
        list.Rebuild();
    }
    void clickHeader(int column) {
        QHeaderView* header = list.LV1->horizontalHeader();
        const QPoint at(header->sectionViewportPosition(column) + 20, header->height() / 2);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
    }
    QStringList column(int c) {
        QStringList texts;
        for (int r = 0; r < model()->rowCount(); ++r)
            texts << cell(r, c);
        return texts;
    }
    int viewRowOf(const QString& title) { return static_cast<int>(column(0).indexOf(title)); }
    void typeFind(const QString& text) {
        list.E_find->clear();
        QTest::keyClicks(list.E_find, text);
    }
};

} // namespace

TEST_F(SortedList, HeaderClicksSortAscendingDescendingThenRecordOrder) {
    QAbstractItemModelTester tester(model(), QAbstractItemModelTester::FailureReportingMode::Fatal);
    const QStringList recordOrder{"banana", "Apple", "cherry", "apple pie"};
    ASSERT_EQ(column(0), recordOrder);

    clickHeader(0);
    EXPECT_EQ(column(0), (QStringList{"Apple", "apple pie", "banana", "cherry"}));
    EXPECT_EQ(list.LV1->horizontalHeader()->sortIndicatorSection(), 0);
    clickHeader(0);
    EXPECT_EQ(column(0), (QStringList{"cherry", "banana", "apple pie", "Apple"}));
    EXPECT_EQ(list.LV1->horizontalHeader()->sortIndicatorOrder(), Qt::DescendingOrder);
    clickHeader(0);
    EXPECT_EQ(column(0), recordOrder);
    EXPECT_EQ(list.SortColumn(), -1);

    // By the address as shown, and by the description, letter case ignored.
    clickHeader(1);
    EXPECT_EQ(column(1), (QStringList{"a.example/apple", "b.example/banana", "c.example/cherry",
                                      "d.example/pie"}));
    clickHeader(2);
    EXPECT_EQ(column(2), (QStringList{"Baked", "Red", "red too", "yellow"}));
    EXPECT_EQ(list.SortColumn(), 2);

    // The sort survives a rebuild; the report keeps record order.
    list.StoreChecks();
    list.ClearItems();
    list.Rebuild();
    EXPECT_EQ(column(2), (QStringList{"Baked", "Red", "red too", "yellow"}));
    EXPECT_EQ(listing(0)->FindChild("TITLE")->Text, "banana");
    EXPECT_EQ(listing(3)->FindChild("TITLE")->Text, "apple pie");
}

// The status column: the last check's status, dead rows red with the check in the tooltip,
// moved rows in the link colour; sorted by verdict, dead first, unchecked last.
TEST_F(SortedList, StatusColumnShowsColoursAndSortsTheLastCheck) {
    listing(0)->SetAttr("LINK", "200");
    listing(1)->SetAttr("LINK", "404");
    listing(1)->SetAttr("LINKTIME", "2026-12-09T10:15:30Z");
    listing(2)->SetAttr("LINK", "200");
    listing(2)->SetAttr("LINKURL", "http://c.example/new");
    listing(2)->SetAttr("LINKVIA", "301");
    list.Rebuild();
    EXPECT_EQ(column(3), (QStringList{"alive 200", "dead 404", "moved 301", ""}));

    const QColor dead = model()->index(1, 0).data(Qt::ForegroundRole).value<QColor>();
    EXPECT_GT(dead.red(), dead.green() + 100);
    EXPECT_EQ(model()->index(2, 1).data(Qt::ForegroundRole).value<QColor>(),
              QApplication::palette().color(QPalette::Link));
    EXPECT_FALSE(model()->index(0, 0).data(Qt::ForegroundRole).isValid());
    EXPECT_FALSE(model()->index(1, 3).data(Qt::DecorationRole).isNull());
    const QString deadTip = model()->index(1, 0).data(Qt::ToolTipRole).toString();
    EXPECT_TRUE(deadTip.startsWith("Apple\n\ndead 404\nChecked ")) << deadTip.toStdString();
    EXPECT_EQ(model()->index(2, 3).data(Qt::ToolTipRole).toString(),
              "moved 301\nFinal address: http://c.example/new");
    EXPECT_EQ(model()->index(2, 0).data(Qt::ToolTipRole).toString(), "cherry");

    clickHeader(3);
    EXPECT_EQ(column(0), (QStringList{"Apple", "cherry", "banana", "apple pie"}));
    clickHeader(3);
    EXPECT_EQ(column(0), (QStringList{"apple pie", "banana", "cherry", "Apple"}));
}

// The capture column: an icon and the time of the record's latest capture, the file and the UTC
// time in the tooltip; sorted by the time, records without a capture last.
TEST_F(SortedList, CaptureColumnShowsAndSortsTheLatestCapture) {
    listing(1)->SetAttr("CAPTURE", "000002.mhtml");
    listing(1)->SetAttr("CAPTURETIME", "2026-12-09T10:15:30Z");
    listing(2)->SetAttr("CAPTURE", "000001.mhtml");
    listing(2)->SetAttr("CAPTURETIME", "2026-11-01T08:00:00Z");
    list.Rebuild();
    const QDateTime later = QDateTime::fromString("2026-12-09T10:15:30Z", Qt::ISODate);
    EXPECT_EQ(
        column(4),
        (QStringList{"", QLocale().toString(later.toLocalTime(), QLocale::ShortFormat),
                     QLocale().toString(
                         QDateTime::fromString("2026-11-01T08:00:00Z", Qt::ISODate).toLocalTime(),
                         QLocale::ShortFormat),
                     ""}));
    EXPECT_FALSE(model()->index(1, 4).data(Qt::DecorationRole).isNull());
    EXPECT_TRUE(model()->index(0, 4).data(Qt::DecorationRole).isNull());
    EXPECT_EQ(model()->index(1, 4).data(Qt::ToolTipRole).toString(),
              "Capture 000002.mhtml\nSaved 2026-12-09 10:15:30 (UTC)");

    list.HeaderClicked(4);
    EXPECT_EQ(column(0), (QStringList{"cherry", "Apple", "banana", "apple pie"}));
    list.HeaderClicked(4);
    EXPECT_EQ(column(0), (QStringList{"apple pie", "banana", "Apple", "cherry"}));
    // The status column keeps its own order.
    list.HeaderClicked(3);
    EXPECT_EQ(list.SortColumn(), 3);
}

TEST_F(SortedList, SelectionTicksEditAndDeleteReachTheRecordSeen) {
    DialogDriver dialogs;
    clickHeader(0); // Apple, apple pie, banana, cherry

    // Space on the row seen ticks that row's record.
    clickRow(viewRowOf("banana"));
    EXPECT_EQ(list.SelectedRecord(), listing(0));
    QTest::keyClick(list.LV1, Qt::Key_Space);
    clickRow(viewRowOf("cherry"));
    QTest::keyClick(list.LV1, Qt::Key_Space);
    list.StoreChecks();
    EXPECT_EQ(listing(0)->GetAttr("CHK"), "Y");
    EXPECT_EQ(listing(2)->GetAttr("CHK"), "");
    EXPECT_EQ(listing(1)->GetAttr("CHK"), "");

    // An edited record replaces its own row; the view keeps it in sorted place.
    clickRow(viewRowOf("apple pie"));
    listing(3)->FindChild("TITLE")->Text = "Zucchini";
    list.ShowRecord(listing(3), true);
    EXPECT_EQ(column(0), (QStringList{"Apple", "banana", "cherry", "Zucchini"}));
    EXPECT_EQ(list.SelectedRecord(), listing(3));

    // Delete removes the record seen, also while a find text hides rows.
    typeFind("an");
    ASSERT_EQ(column(0), (QStringList{"banana"}));
    clickRow(0);
    dialogs.Yes();
    EXPECT_TRUE(list.DeleteSelected());
    EXPECT_EQ(urls.ChildCount(), 3);
    EXPECT_EQ(listing(0)->FindChild("TITLE")->Text, "Apple");
    EXPECT_EQ(model()->rowCount(), 0);
    EXPECT_TRUE(dialogs.Done());
}

TEST_F(SortedList, QuickFindNarrowsOnTopOfTheFilterAndEscClears) {
    list.SetFilter(
        [](TQelPigger* r) { return r->GetAttr("URL").find("banana") == std::string::npos; },
        [](TQelPigger*) { return true; });
    ASSERT_TRUE(list.RunFilter());
    list.Rebuild();
    EXPECT_EQ(list.L_counts->text(), "4 records, 1 ticked; 3 shown (1 ticked)");

    list.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&list));
    list.LV1->setFocus();
    QTest::keyClick(list.LV1, Qt::Key_F, Qt::ControlModifier);
    EXPECT_TRUE(list.E_find->hasFocus());
    EXPECT_EQ(list.E_find->placeholderText(), "Find in list");
    QTest::keyClicks(list.E_find, "RED");
    // Title, address and description count; banana is refused by the filter anyway.
    EXPECT_EQ(column(0), (QStringList{"Apple", "cherry"}));
    EXPECT_EQ(list.L_counts->text(), "4 records, 1 ticked; 2 shown (1 ticked)");
    typeFind("PIE");
    EXPECT_EQ(column(0), (QStringList{"apple pie"}));
    EXPECT_EQ(list.L_counts->text(), "4 records, 1 ticked; 1 shown (0 ticked)");
    typeFind("d.example");
    EXPECT_EQ(column(0), (QStringList{"apple pie"}));
    EXPECT_TRUE(list.Filtered());

    // Opening acts on the row seen.
    UrlCatcher browser;
    TempDir dir;
    const QString before = QDir::currentPath();
    QDir::setCurrent(dir.qpath(""));
    clickRow(0);
    QTest::keyClick(list.LV1, Qt::Key_Return);
    QDir::setCurrent(before);
    ASSERT_EQ(browser.opened.size(), 1u);
    EXPECT_EQ(browser.opened[0].toString(), "http://r.example/pie");

    // The find text stays through a rebuild; Esc clears it.
    list.Rebuild();
    EXPECT_EQ(model()->rowCount(), 1);
    QTest::keyClick(list.E_find, Qt::Key_Escape);
    EXPECT_EQ(list.E_find->text(), "");
    EXPECT_EQ(model()->rowCount(), 3);
    EXPECT_TRUE(list.Filtered());
}

TEST_F(SortedList, CountsFollowTicksDeletionsAndRebuilds) {
    DialogDriver dialogs;
    EXPECT_EQ(list.L_counts->text(), "4 records, 1 ticked");
    clickRow(0);
    QTest::keyClick(list.LV1, Qt::Key_Space);
    EXPECT_EQ(list.L_counts->text(), "4 records, 2 ticked");
    QTest::keyClick(list.LV1, Qt::Key_Space);
    EXPECT_EQ(list.L_counts->text(), "4 records, 1 ticked");

    // Delete key: the frame asks for the Delete URL command; here it is run directly.
    QObject::connect(&list, &TO_results::DeleteWanted, &list, [this] { list.DeleteSelected(); });
    clickRow(2);
    dialogs.Yes();
    QTest::keyClick(list.LV1, Qt::Key_Delete);
    EXPECT_EQ(dialogs.Seen(), QStringList{"Delete current URL?"});
    EXPECT_EQ(list.L_counts->text(), "3 records, 0 ticked");

    // A record added to the report shows after the next rebuild.
    urls.AddChild("LISTING")->SetAttr("URL", "http://e.example");
    list.StoreChecks();
    list.Rebuild();
    EXPECT_EQ(list.L_counts->text(), "4 records, 0 ticked");
    EXPECT_TRUE(dialogs.Done());
}

TEST_F(SortedList, CopyKeyAndRowMenu) {
    clickHeader(0);
    clickRow(viewRowOf("cherry"));
    QTest::keyClick(list.LV1, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "http://c.example/cherry");

    int opened = 0, edited = 0, deleted = 0, checked = 0, captureOpened = 0, details = 0;
    QObject::connect(&list, &TO_results::CheckLinksWanted, [&] { ++checked; });
    QObject::connect(&list, &TO_results::OpenCaptureWanted, [&] { ++captureOpened; });
    QObject::connect(&list, &TO_results::CaptureDetailsWanted, [&] { ++details; });
    QObject::connect(&list, &TO_results::OpenWanted, [&] { ++opened; });
    QObject::connect(&list, &TO_results::EditWanted, [&] { ++edited; });
    QObject::connect(&list, &TO_results::DeleteWanted, [&] { ++deleted; });

    // A right click selects the row under the pointer and offers the menu.
    const int row = viewRowOf("banana");
    const QPoint at = cellCenter(row, 1);
    QContextMenuEvent rightClick(QContextMenuEvent::Mouse, at,
                                 list.LV1->viewport()->mapToGlobal(at), Qt::NoModifier);
    QCoreApplication::sendEvent(list.LV1->viewport(), &rightClick);
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(list.SelectedRecord(), listing(0));
    QStringList captions;
    for (QAction* a : menu->actions())
        captions << a->text().remove('&');
    EXPECT_EQ(captions, (QStringList{"Open", "Edit", "Delete", "Copy address", "Check links", "",
                                     "Open capture", "Capture details..."}));
    // banana has no capture: only its details can be asked for.
    EXPECT_FALSE(menu->actions()[6]->isEnabled());
    for (QAction* a : menu->actions())
        a->trigger();
    menu->close();
    EXPECT_EQ(opened, 1);
    EXPECT_EQ(edited, 1);
    EXPECT_EQ(deleted, 1);
    EXPECT_EQ(checked, 1);
    EXPECT_EQ(captureOpened, 0);
    EXPECT_EQ(details, 1);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "http://b.example/banana");

    // A record with a capture: "Open capture" is offered and asks for it.
    listing(0)->SetAttr("CAPTURE", "000001.mhtml");
    list.Rebuild();
    clickRow(viewRowOf("banana"));
    std::unique_ptr<QMenu> again(list.MakeRowMenu(&list));
    ASSERT_TRUE(again->actions()[6]->isEnabled());
    again->actions()[6]->trigger();
    EXPECT_EQ(captureOpened, 1);
}

// The ticks of the whole report, and of the rows shown when the filter or the quick find hides
// some: ticks given in the list count before they are stored.
namespace {

// The state changes a screen reader is told of: the name of the cell and whether it is ticked.
QStringList& StateChanges() {
    static QStringList seen;
    return seen;
}
void RecordStateChange(QAccessibleEvent* event) {
    if (event->type() != QAccessible::StateChanged ||
        !static_cast<QAccessibleStateChangeEvent*>(event)->changedStates().checked)
        return;
    QAccessibleInterface* cell = event->accessibleInterface();
    ASSERT_NE(cell, nullptr);
    StateChanges() << cell->text(QAccessible::Name) + (cell->state().checked ? " ticked" : "");
}

} // namespace

TEST_F(SortedList, EveryRowTellsItsTickAndKeysReachTheRowMenu) {
    clickHeader(0);
    // Every row tells a screen reader whether it is ticked, the unticked ones too.
    QAccessibleTableInterface* table =
        QAccessible::queryAccessibleInterface(list.LV1)->tableInterface();
    ASSERT_NE(table, nullptr);
    for (const QString& title : column(0)) {
        const QAccessible::State state = table->cellAt(viewRowOf(title), 0)->state();
        EXPECT_TRUE(state.checkable) << title.toStdString();
        EXPECT_EQ(state.checked, title == "cherry") << title.toStdString();
    }

    // The Menu key and Shift+F10, and the Menu key as the window system tells it, open the menu
    // of the current row.
    clickRow(viewRowOf("cherry"));
    const auto menuKey = [this] { QTest::keyClick(list.LV1, Qt::Key_Menu); };
    const auto shiftF10 = [this] { QTest::keyClick(list.LV1, Qt::Key_F10, Qt::ShiftModifier); };
    const auto contextKey = [this] {
        const QPoint at(5, 5);
        QContextMenuEvent key(QContextMenuEvent::Keyboard, at, list.LV1->mapToGlobal(at));
        QCoreApplication::sendEvent(list.LV1, &key);
    };
    for (const std::function<void()>& press :
         std::vector<std::function<void()>>{menuKey, shiftF10, contextKey}) {
        press();
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(menu, nullptr);
        EXPECT_EQ(menu->objectName(), "RowMenu");
        EXPECT_TRUE(menu->actions().first()->isEnabled()); // "Open": the row is chosen
        EXPECT_EQ(list.SelectedRecord(), listing(2));
        menu->close();
    }
    // Its underlined letters choose an item.
    int edited = 0;
    QObject::connect(&list, &TO_results::EditWanted, [&] { ++edited; });
    menuKey();
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_NE(menu, nullptr);
    QTest::keyClick(menu, Qt::Key_E);
    EXPECT_EQ(edited, 1);
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
}

// Run with the accessibility bus (tests/collect/with-atspi.sh, the ctest test
// test_collect_atspi): only then does Qt tell of any change.
TEST_F(SortedList, ScreenReaderHearsEveryTickMadeWithSpace) {
    if (qEnvironmentVariableIsEmpty("QRL_ATSPI"))
        GTEST_SKIP() << "needs the accessibility bus: tests/collect/with-atspi.sh";
    ASSERT_TRUE(WaitUntil([] { return QAccessible::isActive(); }, 10000));
    const QAccessible::UpdateHandler before = QAccessible::installUpdateHandler(RecordStateChange);
    StateChanges().clear();
    clickHeader(0);
    clickRow(viewRowOf("banana"));
    QTest::keyClick(list.LV1, Qt::Key_Space);
    clickRow(viewRowOf("cherry"));
    QTest::keyClick(list.LV1, Qt::Key_Space);
    QAccessible::installUpdateHandler(before);
    EXPECT_EQ(StateChanges(), (QStringList{"banana ticked", "cherry"}));
}

TEST_F(SortedList, CountLineTicksOfTheReportAndOfTheRowsShown) {
    list.SetFilter([](TQelPigger* r) { return r->GetAttr("CHK") != "Y"; },
                   [](TQelPigger*) { return true; });
    ASSERT_TRUE(list.RunFilter());
    list.Rebuild();
    EXPECT_EQ(list.L_counts->text(), "4 records, 1 ticked; 3 shown (0 ticked)");
    clickRow(viewRowOf("Apple"));
    QTest::keyClick(list.LV1, Qt::Key_Space);
    EXPECT_EQ(list.L_counts->text(), "4 records, 2 ticked; 3 shown (1 ticked)");
    typeFind("apple");
    EXPECT_EQ(list.L_counts->text(), "4 records, 2 ticked; 2 shown (1 ticked)");
    typeFind("banana");
    EXPECT_EQ(list.L_counts->text(), "4 records, 2 ticked; 1 shown (0 ticked)");
    // Stored, Apple is refused by the filter as well.
    list.StoreChecks();
    list.Rebuild();
    EXPECT_EQ(list.L_counts->text(), "4 records, 2 ticked; 1 shown (0 ticked)");
    list.E_find->clear();
    EXPECT_EQ(list.L_counts->text(), "4 records, 2 ticked; 2 shown (0 ticked)");
    list.SetFiltered(false);
    list.Rebuild();
    EXPECT_EQ(list.L_counts->text(), "4 records, 2 ticked");
}

TEST_F(ListFixture, SortsNumbersInTextsByValue) {
    urls.SetAsText(R"(<URLS>
  <LISTING URL="http://a.example/10002"><TITLE>item 10002</TITLE></LISTING>
  <LISTING URL="http://a.example/1002"><TITLE>Item 1002</TITLE></LISTING>
  <LISTING URL="http://a.example/2"><TITLE>item 2</TITLE></LISTING>
  <LISTING URL="http://a.example/fig"><TITLE>item</TITLE></LISTING>
</URLS>)");
    list.Rebuild();
    list.HeaderClicked(0);
    QStringList titles;
    for (int r = 0; r < model()->rowCount(); ++r)
        titles << cell(r, 0);
    EXPECT_EQ(titles, (QStringList{"item", "item 2", "Item 1002", "item 10002"}));
    list.HeaderClicked(1);
    EXPECT_EQ(cell(0, 1), "a.example/2");
    EXPECT_EQ(cell(3, 1), "a.example/fig");
}

// Changes that reach the list without a rebuild, and changes made to the report behind its
// back, show in the count line at its next update.
TEST_F(ListFixture, CountLineFollowsChangesWithoutARebuild) {
    EXPECT_EQ(list.L_counts->text(), "3 records, 1 ticked");
    ASSERT_TRUE(model()->setData(model()->index(2, 0), Qt::Checked, Qt::CheckStateRole));
    EXPECT_EQ(list.L_counts->text(), "3 records, 2 ticked");

    // The URL editor's row replaces the selected one.
    urls.Child(0)->SetAttr("CHK", "");
    clickRow(0);
    list.ShowRecord(urls.Child(0), true);
    EXPECT_EQ(list.L_counts->text(), "3 records, 1 ticked");

    // Another element becomes a record and gets a row of its own.
    urls.Child(1)->SetName("LISTING");
    list.ShowRecord(urls.Child(1), false);
    EXPECT_EQ(list.L_counts->text(), "4 records, 1 ticked");

    // A record deleted elsewhere keeps its row (and its tick) until the next rebuild.
    delete urls.Child(3);
    list.E_find->setText("zzz");
    EXPECT_EQ(list.L_counts->text(), "3 records, 1 ticked; 0 shown (0 ticked)");
    list.E_find->clear();
    list.Rebuild();
    EXPECT_EQ(list.L_counts->text(), "3 records, 0 ticked");
}

// However the selected row leaves the view, no other row is chosen in its place: the keys, the
// row menu and the commands that act on the selected record do nothing until the user picks one.
TEST_F(SortedList, ARowThatLeavesTheViewTakesTheSelectionWithIt) {
    DialogDriver dialogs;
    UrlCatcher browser;
    QObject::connect(&list, &TO_results::DeleteWanted, &list, [this] { list.DeleteSelected(); });
    const auto filterOut = [this](const char* address) {
        list.SetFilter([address](TQelPigger* r) { return r->GetAttr("URL") != address; },
                       [](TQelPigger*) { return true; });
    };
    struct Case {
        const char* how;
        const char* find;
        const char* picked;
        std::function<void()> hide;
    };
    const Case cases[] = {
        {"the find text", "", "banana", [this] { typeFind("red"); }},
        {"an edit the find text no longer matches", "red", "Apple",
         [this] {
             listing(1)->FindChild("DESCRIPTION")->Text = "Green";
             list.ShowRecord(listing(1), true);
         }},
        {"the filter", "", "banana",
         [&] {
             filterOut("http://b.example/banana");
             list.RunFilter();
             list.StoreChecks();
             list.ClearItems();
             list.Rebuild();
         }},
        {"deletion", "", "banana",
         [&] {
             dialogs.Yes();
             EXPECT_TRUE(list.DeleteSelected());
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.how);
        urls.SetAsText(kFruit);
        list.SetFiltered(false);
        typeFind(c.find);
        list.Rebuild();
        clickRow(viewRowOf(c.picked));
        ASSERT_NE(list.SelectedRecord(), nullptr);
        c.hide();
        ASSERT_GT(model()->rowCount(), 0);
        EXPECT_EQ(list.SelectedRecord(), nullptr);
        EXPECT_TRUE(list.LV1->selectionModel()->selectedRows().isEmpty());

        const std::string before = urls.GetAsText();
        QGuiApplication::clipboard()->setText("untouched");
        for (Qt::Key key : {Qt::Key_Delete, Qt::Key_Space, Qt::Key_Return})
            QTest::keyClick(list.LV1, key);
        QTest::keyClick(list.LV1, Qt::Key_C, Qt::ControlModifier);
        list.StoreChecks();
        EXPECT_EQ(urls.GetAsText(), before);
        EXPECT_EQ(QGuiApplication::clipboard()->text(), "untouched");
        std::unique_ptr<QMenu> menu(list.MakeRowMenu(&list));
        for (QAction* a : menu->actions())
            EXPECT_FALSE(a->isEnabled() && !a->isSeparator()) << a->text().toStdString();
    }
    EXPECT_TRUE(browser.opened.empty());
    EXPECT_EQ(dialogs.Seen(), QStringList{"Delete current URL?"});
    EXPECT_TRUE(dialogs.Done());
}

TEST_F(ListFixture, ARestoredDescriptionWiderThanTheViewLeavesTheLastColumnsInSight) {
    TempDir dir;
    SettingsStore settings(dir.path("q.set"));
    // What a version whose last column was the description kept: the whole window's width.
    settings.WriteListColumns(200, 150, 5000);
    list.RestoreColumnWidths(settings);
    QHeaderView* header = list.LV1->horizontalHeader();
    ASSERT_TRUE(
        WaitUntil([&] { return header->sectionSize(RecordListModel::DescriptionColumn) < 5000; }));
    const int capture = RecordListModel::CaptureColumn;
    EXPECT_LE(header->sectionViewportPosition(capture) + 50, list.LV1->viewport()->width());
    EXPECT_GE(header->sectionSize(RecordListModel::DescriptionColumn), 150);

    // A width that fits is kept as it was.
    settings.WriteListColumns(100, 100, 180);
    list.RestoreColumnWidths(settings);
    QTest::qWait(20);
    EXPECT_EQ(header->sectionSize(RecordListModel::DescriptionColumn), 180);
}

// On a long list the find text is taken once the typing pauses, not at every keystroke.
TEST(LongList, FindWaitsForThePauseInTyping) {
    TQelPigger urls;
    urls.SetName("URLS");
    for (int i = 0; i < 50000; ++i) {
        TQelPigger* record = urls.AddChild("LISTING");
        record->SetAttr("URL", "http://site" + std::to_string(i) + ".example/");
        record->AddChild("TITLE")->Text = "page " + std::to_string(i);
    }
    TO_results list;
    list.show();
    list.Records = &urls;
    list.Rebuild();
    QTest::keyClicks(list.E_find, "page 4999");
    EXPECT_EQ(list.LV1->model()->rowCount(), 50000);
    EXPECT_TRUE(WaitUntil([&] { return list.LV1->model()->rowCount() == 11; }));
}
