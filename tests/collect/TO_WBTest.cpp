#include "collect/TO_WB.h"
#include "collect/BrowserProfile.h"
#include "settings/TD_settings_user.h"
#include "settings/core/AppInfo.h"

#include "support/DialogDriver.h"
#include "support/LoopbackHttp.h"
#include "support/TempDir.h"
#include "support/WaitUntil.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTcpServer>
#include <QTest>
#include <QWebEngineHistory>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineView>

#include <memory>

namespace {

// A page that is one big link in its top left corner (300 by 200 pixels).
QByteArray linkPage(const QByteArray& title, const QByteArray& href,
                    const QByteArray& target = QByteArray()) {
    return TitledPage(title, "<a style=\"display:block;width:300px;height:200px\" href=\"" + href +
                                 "\"" + (target.isEmpty() ? "" : " target=\"" + target + "\"") +
                                 ">" + title + "</a>");
}

// The user's folders of this test run; the browser profile must keep its files in them.
const TempDir& userFolders() {
    static TempDir dir;
    return dir;
}

// An address on which nothing listens.
QString closedAddress() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    const quint16 port = probe.serverPort();
    probe.close();
    return QString("http://127.0.0.1:%1/gone").arg(port);
}

// Types path into a file dialog's name field, again while the dialog still puts its own
// choice there, and clicks "Save".
void saveAs(QFileDialog* dialog, const QString& path) {
    auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
    ASSERT_NE(name, nullptr);
    for (int stable = 0; stable < 10; ++stable) {
        if (name->text() != path) {
            name->setText(path);
            stable = 0;
        }
        QTest::qWait(30);
    }
    EXPECT_TRUE(DialogDriver::ClickButton(dialog, "Save"));
}

} // namespace

class BrowserFrame : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        const TempDir& home = userFolders();
        QDir(home.qpath("")).mkpath("data");
        QDir(home.qpath("")).mkpath("cache");
        QDir(home.qpath("")).mkpath("config");
        qputenv("XDG_DATA_HOME", QFile::encodeName(home.qpath("data")));
        qputenv("XDG_CACHE_HOME", QFile::encodeName(home.qpath("cache")));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.qpath("config")));
    }

    LoopbackHttp site;
    std::unique_ptr<TO_WB> frame;

    void SetUp() override {
        site.Page("/a", TitledPage("A"));
        site.Page("/b", TitledPage("B"));
        site.Page("/c", TitledPage("C"));
        frame = std::make_unique<TO_WB>([]() -> UserSettings* { return D_settings_user; });
        frame->resize(800, 600);
    }
    void TearDown() override { frame.reset(); }

    void show() {
        frame->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(frame.get()));
    }

    QString field() const { return frame->Edit_url->text(); }
    QString current() const { return QString::fromStdString(frame->CurrentUrl()); }
    QWebEngineView* view() const { return frame->WebBrowser1; }

    // Types into the address field as a user does: everything selected, then typed over.
    void type(const QString& text) {
        frame->Edit_url->setFocus();
        frame->Edit_url->selectAll();
        QTest::keyClicks(frame->Edit_url, text);
    }
    void clickGo() { QTest::mouseClick(frame->SB_go, Qt::LeftButton); }

    // Waits until the browser shows address, has finished loading and the field shows it.
    bool settlesAt(const QString& address) {
        return WaitUntil([&] {
            return view() && current() == address && !view()->page()->isLoading() &&
                   field() == address;
        });
    }
    // Goes to address as the user does, with the field and "Go!".
    void go(const QString& address) {
        type(address);
        clickGo();
        ASSERT_TRUE(settlesAt(address))
            << address.toStdString() << " / " << current().toStdString();
    }
    // Gives the browser time to do what it should not do.
    static void idle() { QTest::qWait(600); }

    // A real mouse click into the page, repeated while it has not yet the effect wanted (a page
    // just loaded may not take clicks before it is painted).
    template <typename Predicate> bool clickPage(QPoint at, Predicate clicked) {
        if (!WaitUntil([this] { return view()->focusProxy() != nullptr; }))
            return false;
        for (int attempt = 0; attempt < 20; ++attempt) {
            QTest::mouseClick(view()->focusProxy(), Qt::LeftButton, {}, at);
            if (WaitUntil(clicked, 500))
                return true;
        }
        return false;
    }
};

TEST_F(BrowserFrame, TopBarAndTheBrowserCreatedOnFirstShow) {
    EXPECT_EQ(frame->WebBrowser1, nullptr);
    // Nothing before the first show needs the browser.
    frame->ShowHomeAddress();
    EXPECT_EQ(field(), AppInfo::DefaultHomeSearchPage);
    EXPECT_EQ(frame->CurrentUrl(), "");
    EXPECT_FALSE(frame->NavigateBack());
    EXPECT_FALSE(frame->NavigateForward());
    frame->StopNavigation();
    frame->RefreshPage();
    EXPECT_EQ(frame->WebBrowser1, nullptr);

    show();
    ASSERT_NE(view(), nullptr);
    EXPECT_EQ(frame->CurrentUrl(), "");
    EXPECT_EQ(frame->Panel1->height(), 41);
    EXPECT_EQ(frame->Panel_left->text(), "URL:");
    EXPECT_EQ(frame->Panel_left->width(), 43);
    EXPECT_EQ(frame->Panel_right->width(), 144);
    EXPECT_EQ(frame->SB_go->text(), "Go!");
    EXPECT_EQ(frame->SB_go->size(), QSize(29, 22));
    EXPECT_EQ(frame->SB_add_to_found->text(), "Add to list");
    EXPECT_EQ(frame->SB_add_to_found->size(), QSize(99, 22));
    // The field takes the width between the label and the buttons; the browser the rest, down to
    // the captures bar at the bottom.
    EXPECT_EQ(frame->Edit_url->width(), 800 - 43 - 144);
    const int captureBar = frame->Panel_capture->height();
    EXPECT_GT(captureBar, 0);
    EXPECT_EQ(view()->geometry(), QRect(0, 41, 800, 600 - 41 - captureBar));
    EXPECT_EQ(frame->Panel_capture->geometry(), QRect(0, 600 - captureBar, 800, captureBar));
}

TEST_F(BrowserFrame, GoAndEnterNavigateAndTheSameAddressReloads) {
    show();
    go(site.Address("/a"));
    EXPECT_EQ(site.Requests("/a"), 1);
    EXPECT_EQ(view()->title(), "A");

    // Enter in the field does what Go does.
    type(site.Address("/b"));
    QTest::keyClick(frame->Edit_url, Qt::Key_Return);
    ASSERT_TRUE(settlesAt(site.Address("/b")));
    type(site.Address("/c"));
    QTest::keyClick(frame->Edit_url, Qt::Key_Enter);
    ASSERT_TRUE(settlesAt(site.Address("/c")));
    EXPECT_EQ(view()->history()->count(), 3);

    // The address shown, with blanks around it: reloaded, no new history entry.
    type("  " + site.Address("/c") + "  ");
    clickGo();
    ASSERT_TRUE(WaitUntil([&] { return site.Requests("/c") == 2; }));
    ASSERT_TRUE(settlesAt(site.Address("/c")));
    EXPECT_EQ(view()->history()->count(), 3);

    // Differing only in case is another address: navigated to (the site knows no "/C").
    type(site.Address("/C"));
    clickGo();
    ASSERT_TRUE(settlesAt(site.Address("/C")));
    EXPECT_EQ(site.Requests("/C"), 1);
    EXPECT_EQ(view()->history()->count(), 4);

    // Go with an empty field leaves the page as it is.
    const int requests = static_cast<int>(site.Log().size());
    frame->Edit_url->clear();
    clickGo();
    idle();
    EXPECT_EQ(site.Log().size(), requests);
    EXPECT_EQ(current(), site.Address("/C"));

    // An address without a scheme is completed as in a browser's address bar.
    type(QString("127.0.0.1:%1/a").arg(site.Port()));
    clickGo();
    ASSERT_TRUE(settlesAt(site.Address("/a")));
}

TEST_F(BrowserFrame, BackWithoutEarlierPageReloadsForwardWithoutLaterDoesNothing) {
    show();
    go(site.Address("/a"));
    EXPECT_FALSE(frame->NavigateBack());
    ASSERT_TRUE(WaitUntil([&] { return site.Requests("/a") == 2; }));
    ASSERT_TRUE(settlesAt(site.Address("/a")));

    EXPECT_FALSE(frame->NavigateForward());
    idle();
    EXPECT_EQ(site.Requests("/a"), 2);
    EXPECT_EQ(current(), site.Address("/a"));

    go(site.Address("/b"));
    EXPECT_TRUE(frame->NavigateBack());
    ASSERT_TRUE(settlesAt(site.Address("/a")));
    EXPECT_TRUE(frame->NavigateForward());
    ASSERT_TRUE(settlesAt(site.Address("/b")));
    EXPECT_FALSE(frame->NavigateForward());
    idle();
    EXPECT_EQ(current(), site.Address("/b"));

    // Refresh loads the page again.
    const int before = site.Requests("/b");
    frame->RefreshPage();
    ASSERT_TRUE(WaitUntil([&] { return site.Requests("/b") == before + 1; }));
    ASSERT_TRUE(settlesAt(site.Address("/b")));
}

TEST_F(BrowserFrame, FieldFollowsRedirectsLinksAndFramesWithTheTopLevelAddress) {
    site.Redirect("/old", "/a");
    site.Page("/links", linkPage("Links", "/b"));
    site.Page("/frames", TitledPage("Frames", "<iframe style=\"position:absolute;left:0;top:0;"
                                              "width:300px;height:200px;border:0\" "
                                              "src=\"/inner\"></iframe>"));
    site.Page("/inner", linkPage("Inner", "/inner2"));
    site.Page("/inner2", TitledPage("Inner 2"));
    show();

    type(site.Address("/old"));
    clickGo();
    ASSERT_TRUE(settlesAt(site.Address("/a")));

    go(site.Address("/links"));
    ASSERT_TRUE(clickPage(QPoint(50, 50), [&] { return site.Requests("/b") == 1; }));
    ASSERT_TRUE(settlesAt(site.Address("/b")));
    EXPECT_EQ(view()->history()->count(), 3);

    go(site.Address("/frames"));
    ASSERT_TRUE(WaitUntil([&] { return site.Requests("/inner") == 1; }));
    // What the user typed is replaced by the top-level address when a frame navigates.
    type("half typed");
    ASSERT_TRUE(clickPage(QPoint(50, 50), [&] { return site.Requests("/inner2") == 1; }));
    ASSERT_TRUE(settlesAt(site.Address("/frames")));
}

TEST_F(BrowserFrame, HomeReloadsOnceWhenItArrivesWithAQuery) {
    TempDir tmp;
    auto settings = std::make_unique<TD_settings_user>(tmp.qpath("q.set"));
    settings->Store().Set(AppInfo::HomeSearchPageKey, site.Address("/search").toStdString());
    site.Redirect("/search", "/search?q=start");
    site.Page("/search?q=start", TitledPage("Search"));
    site.Page("/search?q=other", TitledPage("Other"));
    show();

    frame->ShowHomeAddress();
    EXPECT_EQ(field(), site.Address("/search"));
    EXPECT_EQ(frame->CurrentUrl(), ""); // nothing is loaded
    idle();
    EXPECT_TRUE(site.Log().isEmpty());

    frame->GoHome();
    ASSERT_TRUE(settlesAt(site.Address("/search?q=start")));
    idle();
    EXPECT_EQ(site.Requests("/search"), 1);
    EXPECT_EQ(site.Requests("/search?q=start"), 2);

    // Later navigations to the home address with a query are not reloaded...
    go(site.Address("/search?q=other"));
    idle();
    EXPECT_EQ(site.Requests("/search?q=other"), 1);
    go(site.Address("/search?q=start"));
    idle();
    EXPECT_EQ(site.Requests("/search?q=start"), 3);

    // ...until the field shows the bare home address again and Go is pressed.
    frame->ShowHomeAddress();
    clickGo();
    ASSERT_TRUE(settlesAt(site.Address("/search?q=start")));
    idle();
    EXPECT_EQ(site.Requests("/search"), 2);
    EXPECT_EQ(site.Requests("/search?q=start"), 5);
    EXPECT_EQ(site.Requests("/search?q=other"), 1);
}

TEST_F(BrowserFrame, PageThatFailsShowsTheErrorPageAndTheBrowserGoesOn) {
    show();
    const QString gone = closedAddress();
    type(gone);
    clickGo();
    ASSERT_TRUE(settlesAt(gone));
    QString text;
    view()->page()->toPlainText([&](const QString& t) { text = t; });
    ASSERT_TRUE(WaitUntil([&] { return !text.isEmpty(); }));
    EXPECT_EQ(frame->CurrentUrl(), gone.toStdString());
    go(site.Address("/a"));
    EXPECT_EQ(view()->title(), "A");
}

TEST_F(BrowserFrame, PopUpOpensInTheSameView) {
    site.Page("/pop", linkPage("Pop", "/b", "_blank"));
    show();
    const int windows = static_cast<int>(QApplication::topLevelWidgets().size());
    go(site.Address("/pop"));
    ASSERT_TRUE(clickPage(QPoint(50, 50), [&] { return site.Requests("/b") == 1; }));
    ASSERT_TRUE(settlesAt(site.Address("/b")));
    EXPECT_EQ(QApplication::topLevelWidgets().size(), windows);
    EXPECT_TRUE(frame->NavigateBack());
    ASSERT_TRUE(settlesAt(site.Address("/pop")));
}

TEST_F(BrowserFrame, DownloadIsOfferedAndWrittenOnlyWhereTheUserSaid) {
    site.File("/report.bin", "bytes of the file", "report.bin");
    TempDir target;
    show();
    go(site.Address("/a"));

    // Cancel: nothing is written.
    DialogDriver dialogs;
    QString offered;
    dialogs.Then([&](QWidget* w) {
        auto* dialog = qobject_cast<QFileDialog*>(w);
        ASSERT_NE(dialog, nullptr);
        offered = dialog->findChild<QLineEdit*>("fileNameEdit")->text();
        dialog->reject();
    });
    type(site.Address("/report.bin"));
    clickGo();
    ASSERT_TRUE(WaitUntil([&] { return dialogs.Pending() == 0; }));
    EXPECT_EQ(offered, "report.bin");
    idle();
    EXPECT_FALSE(QFile::exists(QDir::home().filePath("Downloads/report.bin")));
    // The page shown stays.
    EXPECT_EQ(current(), site.Address("/a"));

    // Saved under the name chosen.
    const QString chosen = target.qpath("kept.bin");
    dialogs.Then([&](QWidget* w) {
        auto* dialog = qobject_cast<QFileDialog*>(w);
        ASSERT_NE(dialog, nullptr);
        saveAs(dialog, chosen);
    });
    type(site.Address("/report.bin"));
    clickGo();
    ASSERT_TRUE(WaitUntil([&] { return target.read("kept.bin") == "bytes of the file"; }));
    EXPECT_TRUE(dialogs.Done());
}

TEST_F(BrowserFrame, WordsTypedAreSearchedForWithTheHomeSearchPage) {
    TempDir tmp;
    auto settings = std::make_unique<TD_settings_user>(tmp.qpath("q.set"));
    settings->Store().Set(AppInfo::HomeSearchPageKey, site.Address("/search").toStdString());
    site.Page("/search?q=garden+tools", TitledPage("Found", "Garden tools: 2 pages"));
    show();
    type("garden tools");
    QTest::keyClick(frame->Edit_url, Qt::Key_Return);
    ASSERT_TRUE(settlesAt(site.Address("/search?q=garden+tools")));
    EXPECT_EQ(view()->title(), "Found");
}

TEST_F(BrowserFrame, KeysReloadGoBackAndForwardSelectTheAddressAndStopLoading) {
    show();
    frame->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(frame.get()));
    go(site.Address("/a"));
    go(site.Address("/b"));
    QWidget* page = view()->focusProxy();
    ASSERT_NE(page, nullptr);

    // From the page and from the field alike.
    QTest::keyClick(page, Qt::Key_Left, Qt::AltModifier);
    ASSERT_TRUE(settlesAt(site.Address("/a")));
    QTest::keyClick(frame->Edit_url, Qt::Key_Right, Qt::AltModifier);
    ASSERT_TRUE(settlesAt(site.Address("/b")));
    for (const QKeyCombination reload : {QKeyCombination(Qt::Key_F5), Qt::CTRL | Qt::Key_R}) {
        const int before = site.Requests("/b");
        QTest::keyClick(page, reload.key(), reload.keyboardModifiers());
        ASSERT_TRUE(WaitUntil([&] { return site.Requests("/b") == before + 1; }));
        ASSERT_TRUE(settlesAt(site.Address("/b")));
    }
    page->setFocus();
    QTest::keyClick(page, Qt::Key_L, Qt::ControlModifier);
    EXPECT_TRUE(frame->Edit_url->hasFocus());
    EXPECT_EQ(frame->Edit_url->selectedText(), site.Address("/b"));

    // A server that never answers: Escape stops waiting for it.
    QTcpServer silent;
    ASSERT_TRUE(silent.listen(QHostAddress::LocalHost, 0));
    type(QString("http://127.0.0.1:%1/slow").arg(silent.serverPort()));
    clickGo();
    ASSERT_TRUE(WaitUntil([&] { return view()->page()->isLoading(); }));
    QTest::qWait(100);
    QTest::keyClick(frame->Edit_url, Qt::Key_Escape);
    EXPECT_TRUE(WaitUntil([&] { return !view()->page()->isLoading(); }, 3000));
}

TEST_F(BrowserFrame, DownloadDialogStartsInTheDownloadFolderThenWhereTheLastOneWent) {
    TempDir folders;
    ASSERT_TRUE(QDir(folders.qpath("")).mkpath("downloads"));
    ASSERT_TRUE(QDir(folders.qpath("")).mkpath("kept"));
    // The user's download folder, as the XDG user folders name it.
    const QString userDirs = userFolders().qpath("config/user-dirs.dirs");
    QFile dirs(userDirs);
    ASSERT_TRUE(dirs.open(QIODevice::WriteOnly));
    dirs.write("XDG_DOWNLOAD_DIR=\"" + QFile::encodeName(folders.qpath("downloads")) + "\"\n");
    dirs.close();
    site.File("/report.bin", "bytes of the file", "report.bin");
    show();
    go(site.Address("/a"));

    QStringList startedIn;
    DialogDriver dialogs;
    const auto offered = [&](const std::function<void(QFileDialog*)>& answer) {
        dialogs.Then([&startedIn, answer](QWidget* w) {
            auto* dialog = qobject_cast<QFileDialog*>(w);
            ASSERT_NE(dialog, nullptr);
            startedIn << dialog->directory().absolutePath();
            answer(dialog);
        });
        type(site.Address("/report.bin"));
        clickGo();
        ASSERT_TRUE(WaitUntil([&] { return dialogs.Pending() == 0; }));
    };
    offered([&](QFileDialog* d) { saveAs(d, folders.qpath("kept/one.bin")); });
    ASSERT_TRUE(WaitUntil([&] { return folders.exists("kept/one.bin"); }));
    offered([](QFileDialog* d) { d->reject(); });
    EXPECT_EQ(startedIn, (QStringList{folders.qpath("downloads"), folders.qpath("kept")}));
    EXPECT_TRUE(dialogs.Done());
    QFile::remove(userDirs);
}

TEST_F(BrowserFrame, ProfileLivesInTheUsersFolders) {
    site.Page("/cookie", TitledPage("Cookie", "<script>document.cookie='k=v; max-age=3600';"
                                              "localStorage.setItem('k','v');</script>"));
    show();
    go(site.Address("/cookie"));
    QWebEngineProfile* profile = view()->page()->profile();
    EXPECT_EQ(profile, BrowserProfile());
    EXPECT_FALSE(profile->isOffTheRecord());
    const QString app = QCoreApplication::applicationName();
    EXPECT_EQ(profile->persistentStoragePath(),
              userFolders().qpath("data/" + app.toStdString() + "/QtWebEngine/browser"));
    EXPECT_EQ(profile->cachePath(),
              userFolders().qpath("cache/" + app.toStdString() + "/QtWebEngine/browser"));
    EXPECT_EQ(profile->persistentCookiesPolicy(), QWebEngineProfile::AllowPersistentCookies);
    // The engine writes its store there, and nothing beside the program.
    ASSERT_TRUE(WaitUntil([] { return !QDir(BrowserDataFolder()).isEmpty(); }));
    // Nothing else in the user's data folder.
    EXPECT_EQ(QDir(userFolders().qpath("data")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
              QStringList{app});
    const QDir program(QCoreApplication::applicationDirPath());
    for (const QString& entry : program.entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        EXPECT_FALSE(entry.contains("WebEngine", Qt::CaseInsensitive)) << entry.toStdString();
}
