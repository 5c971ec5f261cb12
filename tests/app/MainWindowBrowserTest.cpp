// The "Manual search" page of the main window: the browser toolbar commands and adding the
// page shown to the report, against pages served on 127.0.0.1.
#include "app/TFmain.h"
#include "collect/TO_WB.h"
#include "collect/TO_results.h"
#include "settings/TD_settings_user.h"
#include "settings/core/AppInfo.h"

#include "support/DialogDriver.h"
#include "support/LoopbackHttp.h"
#include "support/MainWindowHarness.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QToolButton>
#include <QWebEnginePage>
#include <QWebEngineView>

#include <memory>

namespace {

// What the URL editor showed when it opened.
struct EditorView {
    QString url, title, description;
};

} // namespace

class ManualSearch : public MainWindowHarness {
protected:
    static void SetUpTestSuite() { BrowserProfileInTemp(); }

    LoopbackHttp site;
    DialogDriver dialogs;

    void SetUp() override {
        MainWindowHarness::SetUp();
        site.Redirect("/search", "/search?q=start");
        site.Page("/search?q=start", TitledPage("Search"));
        site.Page("/a", TitledPage("A"));
        site.Page("/b", TitledPage("B"));
        Settings(ReportPath())
            .Store()
            .Set(AppInfo::HomeSearchPageKey, site.Address("/search").toStdString());
        ShowWindow([](TFmain& w) { w.resize(900, 700); });
    }

    TO_WB* browser() const { return window->O_WB1; }
    QString location() const { return QString::fromStdString(browser()->CurrentUrl()); }

    void click(QAbstractButton* button) { QTest::mouseClick(button, Qt::LeftButton); }

    bool settlesAt(const QString& address) {
        return WaitUntil([&] {
            QWebEngineView* view = browser()->WebBrowser1;
            return view && location() == address && !view->page()->isLoading() &&
                   browser()->Edit_url->text() == address;
        });
    }
    void go(const QString& address) {
        browser()->Edit_url->selectAll();
        QTest::keyClicks(browser()->Edit_url, address);
        click(browser()->SB_go);
        ASSERT_TRUE(settlesAt(address)) << address.toStdString();
    }

    // "Add to list"; the URL editor, when it opens, is noted and left with button.
    EditorView addToList(const QString& button) {
        EditorView seen;
        dialogs.Then([&seen, button](QWidget* w) {
            seen.url = w->findChild<QLineEdit*>("Edit_url")->text();
            seen.title = w->findChild<QLineEdit*>("Edit_title")->text();
            seen.description = w->findChild<QPlainTextEdit*>("Memo_dsc")->toPlainText();
            DialogDriver::ClickButton(w, button);
        });
        click(browser()->SB_add_to_found);
        EXPECT_EQ(dialogs.Pending(), 0);
        return seen;
    }
};

TEST_F(ManualSearch, BrowserIsMadeWhenThePageIsFirstShownAndHomeIsInTheField) {
    EXPECT_EQ(browser()->WebBrowser1, nullptr);
    EXPECT_EQ(browser()->Edit_url->text(), site.Address("/search"));
    EXPECT_FALSE(window->TB_home->isEnabled());
    window->N_Manualmode->trigger();
    EXPECT_NE(browser()->WebBrowser1, nullptr);
    EXPECT_TRUE(window->TB_home->isEnabled());
    EXPECT_TRUE(window->TB_back->isEnabled());
    // Nothing is loaded until the user asks.
    QTest::qWait(300);
    EXPECT_TRUE(site.Log().isEmpty());
    EXPECT_EQ(location(), "");
}

TEST_F(ManualSearch, NormalGeometrySurvivesTheBrowserMaximisedOrNot) {
    // Started as the program starts: the stored geometry, then maximised.
    window.reset();
    NewSettings().Store().WriteGeometry(700, 500, 50, 60);
    window = std::make_unique<TFmain>();
    window->RestoreGeometry();
    window->showMaximized();
    window->activateWindow();
    ASSERT_TRUE(WaitUntil([this] { return window->isMaximized(); }));
    // As the program does when the window manager leaves a new window inactive.
    if (window->FirstActivation)
        window->FormActivate();
    // The browser view makes the window system's window anew.
    ClickTab("Manual search");
    ASSERT_NE(browser()->WebBrowser1, nullptr);
    QTest::qWait(2000);
    window->close();
    EXPECT_EQ(D_settings_user->Store().Get("WIDTH"), "700");
    EXPECT_EQ(D_settings_user->Store().Get("HEIGHT"), "500");
}

TEST_F(ManualSearch, ToolbarDrivesTheBrowser) {
    ClickTab("Manual search");
    click(window->TB_home);
    ASSERT_TRUE(settlesAt(site.Address("/search?q=start")));
    QTest::qWait(300);
    EXPECT_EQ(site.Requests("/search?q=start"), 2); // the one reload after Home

    // Back with no earlier page reloads; forward with no later page does nothing.
    click(window->TB_back);
    ASSERT_TRUE(WaitUntil([&] { return site.Requests("/search?q=start") == 3; }));
    click(window->TB_next);
    QTest::qWait(300);
    EXPECT_EQ(site.Requests("/search?q=start"), 3);

    go(site.Address("/a"));
    click(window->TB_back);
    ASSERT_TRUE(settlesAt(site.Address("/search?q=start")));
    click(window->TB_next);
    ASSERT_TRUE(settlesAt(site.Address("/a")));
    click(window->TB_refresh);
    ASSERT_TRUE(WaitUntil([&] { return site.Requests("/a") == 2; }));
    click(window->TB_stop);
    ASSERT_TRUE(settlesAt(site.Address("/a")));

    // Loading another report resets the field only; the page and its history stay.
    window->LoadDocument();
    window->ShowDocument();
    EXPECT_EQ(browser()->Edit_url->text(), site.Address("/search"));
    EXPECT_EQ(location(), site.Address("/a"));
    click(window->TB_back);
    ASSERT_TRUE(settlesAt(site.Address("/search?q=start")));
    EXPECT_TRUE(dialogs.Done());
}

TEST_F(ManualSearch, AddToListAddsThePageShownThroughTheUrlEditor) {
    ClickTab("Manual search");
    // Before any page nothing happens.
    click(browser()->SB_add_to_found);
    QTest::qWait(200);
    EXPECT_EQ(window->Urls->ChildCount(), 0);
    EXPECT_EQ(Status(1), "");

    click(window->TB_home);
    const QString home = site.Address("/search?q=start");
    ASSERT_TRUE(settlesAt(home));
    const EditorView seen = addToList("Ok");
    EXPECT_EQ(seen.url, home);
    EXPECT_EQ(seen.title, "title of " + home);
    EXPECT_EQ(seen.description, "descripton of " + home);
    TQelPigger* record = window->FindListing(home.toStdString());
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->FindChild("TITLE")->Text, "title of " + home.toStdString());
    EXPECT_EQ(record->FindChild("DESCRIPTION")->Text, "descripton of " + home.toStdString());
    EXPECT_EQ(record->FindChild("REDIRECT")->Text, home.toStdString());
    EXPECT_EQ(Status(1), "Changed");

    // Cancel in the editor takes the new record out again.
    click(window->TB_save);
    EXPECT_EQ(Status(1), "");
    go(site.Address("/a"));
    EXPECT_EQ(addToList("Cancel").title, "title of " + site.Address("/a"));
    EXPECT_EQ(window->FindListing(site.Address("/a").toStdString()), nullptr);
    EXPECT_EQ(window->Urls->ChildCount(), 1);
    EXPECT_EQ(Status(1), "Changed");

    // An address already in the report, also in other letter case, is only reported.
    go(home);
    dialogs.Ok();
    click(browser()->SB_add_to_found);
    go(site.Address("/SEARCH?q=start"));
    dialogs.Ok();
    click(browser()->SB_add_to_found);
    EXPECT_EQ(dialogs.Seen(), (QStringList{"This URL already exists in the list",
                                           "This URL already exists in the list"}));
    EXPECT_EQ(window->Urls->ChildCount(), 1);

    // The second page is added and both are in the found URL list.
    go(site.Address("/b"));
    addToList("Ok");
    ClickTab("Found URL list");
    QAbstractItemModel* rows = window->O_results1->LV1->model();
    ASSERT_EQ(rows->rowCount(), 2);
    EXPECT_EQ(rows->index(0, 0).data().toString(), "title of " + home);
    EXPECT_EQ(rows->index(1, 0).data().toString(), "title of " + site.Address("/b"));
    EXPECT_TRUE(dialogs.Done());
}
