// The Records menu's link checks and page details, and the list's row menu, against the
// scripted web server: what each command checks, what it writes, and the report marked changed.
#include "app/TFmain.h"
#include "collect/TD_link_check.h"
#include "collect/TO_results.h"
#include "tree/TQelPigger.h"

#include "support/DialogDriver.h"
#include "support/MainWindowHarness.h"
#include "support/SampleReports.h"
#include "support/TidyLayout.h"
#include "support/WebServer.h"

#include <gtest/gtest.h>

#include <QMenu>
#include <QPushButton>
#include <QTableView>
#include <QTest>

#include <memory>

namespace {

class LinkCommands : public MainWindowHarness {
protected:
    static void SetUpTestSuite() {
        server = std::make_unique<WebServer>();
        server->setPathReply("page", "Status: 200\nContent-Type: text/html; charset=utf-8",
                             "<html><head><title>Page title</title><meta name=\"description\" "
                             "content=\"What the page says\"></head></html>");
        server->setPathReply("missing", "Status: 404", "");
        server->setPathReply("moved", "Status: 301\nLocation: /page", "");
    }
    static void TearDownTestSuite() { server.reset(); }

    void SetUp() override {
        MainWindowHarness::SetUp();
        StartOn(ReportText()
                    .Record(url("page"), "Old title")
                    .Checked()
                    .Record(url("missing"), "B", "second")
                    .Record(url("moved"), "C", "third")
                    .Attributes(R"(EDITED="Y")"));
        ClickTab("Found URL list");
        ASSERT_EQ(Status(1), "");
    }

    static std::string url(const char* path) { return server->baseUrl() + "/" + path; }
    TQelPigger* record(const char* path) { return window->FindListing(url(path)); }
    std::string link(const char* path) { return record(path)->GetAttr("LINK"); }
    std::string text(const char* path, const char* child) {
        const TQelPigger* c = record(path)->FindChild(child);
        return c ? c->Text.str() : std::string("(none)");
    }
    QAction* action(const char* name) { return window->findChild<QAction*>(name); }
    QString cell(int row, int column) {
        return window->O_results1->LV1->model()->index(row, column).data().toString();
    }
    void selectRow(int row) {
        QTableView* view = window->O_results1->LV1;
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                          view->visualRect(view->model()->index(row, 1)).center());
    }
    // The next step of the dialogs: the check window, closed once its run has ended; its
    // caption goes to shownTitle.
    void closeAtTheEnd() {
        dialogs.Then([this](QWidget* w) {
            auto* d = qobject_cast<TD_link_check*>(w);
            ASSERT_NE(d, nullptr);
            shownTitle = d->windowTitle();
            ASSERT_TRUE(WaitUntil([&] { return d->btnStop->text() == "Close"; }, 30000));
            QTest::mouseClick(d->btnStop, Qt::LeftButton);
        });
    }

    static inline std::unique_ptr<WebServer> server;
    DialogDriver dialogs;
    QString shownTitle;
};

} // namespace

TEST_F(LinkCommands, CheckAllRecordsFillsTheStatusColumn) {
    QStringList entries;
    for (QAction* a : window->findChild<QMenu*>("N_CheckLinks")->actions())
        entries << a->text().remove('&');
    EXPECT_EQ(entries, (QStringList{"All records", "Ticked records", "Selected record"}));
    closeAtTheEnd();
    action("N_CheckAll")->trigger();
    EXPECT_TRUE(dialogs.Done());
    EXPECT_EQ(Status(1), "Changed");
    EXPECT_EQ(link("page"), "200");
    EXPECT_EQ(link("missing"), "404");
    EXPECT_EQ(record("moved")->GetAttr("LINKVIA"), "301");
    // The list is made anew: its status column shows the verdicts.
    EXPECT_EQ(cell(0, 3), "alive 200");
    EXPECT_EQ(cell(1, 3), "dead 404");
    EXPECT_EQ(cell(2, 3), "moved 301");
    EXPECT_EQ(text("page", "TITLE"), "Old title");
    window->resize(900, 360);
    SaveScreenshot(window.get(), "found-list-status");
}

TEST_F(LinkCommands, CheckTickedRecordsOnly) {
    closeAtTheEnd();
    action("N_CheckTicked")->trigger();
    EXPECT_TRUE(dialogs.Done());
    EXPECT_EQ(link("page"), "200");
    EXPECT_EQ(link("missing"), "");
    EXPECT_EQ(link("moved"), "");
    EXPECT_EQ(Status(1), "Changed");
}

TEST_F(LinkCommands, CheckTheSelectedRecordFromTheMenuAndTheRowMenu) {
    // Nothing chosen: nothing to check.
    action("N_CheckSelected")->trigger();
    EXPECT_EQ(Status(1), "");

    selectRow(1);
    closeAtTheEnd();
    std::unique_ptr<QMenu> rowMenu(window->O_results1->MakeRowMenu(window.get()));
    for (QAction* a : rowMenu->actions())
        if (a->text().remove('&') == "Check links")
            a->trigger();
    EXPECT_TRUE(dialogs.Done());
    EXPECT_EQ(link("missing"), "404");
    EXPECT_EQ(link("page"), "");

    selectRow(2);
    closeAtTheEnd();
    action("N_CheckSelected")->trigger();
    EXPECT_TRUE(dialogs.Done());
    EXPECT_EQ(link("moved"), "200");
    EXPECT_EQ(link("page"), "");
    EXPECT_EQ(Status(1), "Changed");
}

TEST_F(LinkCommands, FillInMissingTitlesAndDescriptions) {
    closeAtTheEnd();
    action("N_FillDetails")->trigger();
    EXPECT_TRUE(dialogs.Done());
    EXPECT_EQ(shownTitle, "Fill in titles and descriptions");
    // Only the record with an empty text was fetched, and only that text filled in.
    EXPECT_EQ(text("page", "TITLE"), "Old title");
    EXPECT_EQ(text("page", "DESCRIPTION"), "What the page says");
    EXPECT_EQ(link("missing"), "");
    EXPECT_EQ(cell(0, 2), "What the page says");
    EXPECT_EQ(Status(1), "Changed");
}

TEST_F(LinkCommands, RefreshAllTitlesAndDescriptionsAsksFirstAndKeepsEditedTexts) {
    dialogs.No();
    action("N_RefreshDetails")->trigger();
    EXPECT_EQ(link("page"), "");
    EXPECT_EQ(Status(1), "");

    dialogs.Yes();
    closeAtTheEnd();
    action("N_RefreshDetails")->trigger();
    EXPECT_TRUE(dialogs.Done());
    ASSERT_EQ(dialogs.Seen().size(), 2);
    EXPECT_EQ(dialogs.Seen()[0], dialogs.Seen()[1]);
    EXPECT_EQ(text("page", "TITLE"), "Page title");
    EXPECT_EQ(text("page", "DESCRIPTION"), "What the page says");
    // Edited by hand: the moved record's page gives other texts, its own stay.
    EXPECT_EQ(link("moved"), "200");
    EXPECT_EQ(text("moved", "TITLE"), "C");
    EXPECT_EQ(text("missing", "TITLE"), "B");
    EXPECT_EQ(Status(1), "Changed");
}
