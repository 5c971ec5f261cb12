// New report from the main window: the wizard run by clicks and typing, the report it makes
// and saves, and the search it starts, automatic against the loopback search feed and manual
// against a loopback site.
#include "app/TFmain.h"
#include "collect/TO_WB.h"
#include "collect/TO_autosearch.h"
#include "collect/TO_results.h"
#include "settings/TD_settings_user.h"
#include "settings/TW_new_report.h"
#include "settings/core/AppInfo.h"

#include "support/DialogDriver.h"
#include "support/FeedServer.h"
#include "support/FileDialogTyping.h"
#include "support/LoopbackHttp.h"
#include "support/MainWindowHarness.h"
#include "support/RssReply.h"
#include "support/SampleReports.h"
#include "support/WebServer.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QToolButton>
#include <QWebEnginePage>
#include <QWebEngineView>

#include <algorithm>
#include <memory>

namespace {

// What the user enters into the wizard.
struct WizardInput {
    QString title;
    QString description;
    QDate date;
    QString file;        // typed into the save dialog
    QString replace;     // the answer when the save dialog asks to replace a file
    QString keywords;    // typed in automatic mode; empty: manual mode
    bool cancel = false; // Cancel on the last page instead of Ok
    QString source = {}; // chosen to search with in automatic mode; empty: as offered
};

// Fills the wizard page by page as a user would and ends it.
std::function<void(QWidget*)> FillWizard(const WizardInput& in) {
    return [in](QWidget* w) {
        auto* wizard = qobject_cast<TW_new_report*>(w);
        ASSERT_NE(wizard, nullptr);
        const auto click = [](QAbstractButton* b) { QTest::mouseClick(b, Qt::LeftButton); };

        wizard->Edit_report_title->selectAll();
        QTest::keyClicks(wizard->Edit_report_title, in.title);
        wizard->Memo_report_dsc->selectAll();
        const QStringList lines = in.description.split('\n');
        for (int i = 0; i < lines.size(); ++i) {
            if (i > 0)
                QTest::keyClick(wizard->Memo_report_dsc, Qt::Key_Return);
            QTest::keyClicks(wizard->Memo_report_dsc, lines[i]);
        }
        QDateEdit* date = wizard->DTP_report;
        date->setFocus();
        date->setSelectedSection(QDateTimeEdit::DaySection);
        QTest::keyClicks(date, QString::number(in.date.day()));
        date->setSelectedSection(QDateTimeEdit::MonthSection);
        QTest::keyClicks(date, QLocale::system().monthName(in.date.month(), QLocale::ShortFormat));
        date->setSelectedSection(QDateTimeEdit::YearSection);
        QTest::keyClicks(date, QString::number(in.date.year()));
        EXPECT_EQ(date->date(), in.date);
        click(wizard->btnNext);

        {
            DialogDriver saveDialog;
            saveDialog.Then(TypeFileName(in.file, in.replace));
            click(wizard->SB_filename);
            EXPECT_TRUE(saveDialog.Done()) << saveDialog.Unexpected().join(",").toStdString();
        }
        click(wizard->btnNext);
        ASSERT_EQ(wizard->PageIndex(), 2);

        if (!in.keywords.isEmpty()) {
            QRadioButton* automatic = wizard->RG1Items[1];
            QTest::mouseClick(automatic, Qt::LeftButton, {}, QPoint(8, automatic->height() / 2));
            QTest::keyClicks(wizard->Edit_kw, in.keywords);
            QTest::keyClick(wizard->Edit_kw, Qt::Key_Return);
            if (!in.source.isEmpty())
                wizard->CB_source->setCurrentIndex(wizard->CB_source->findText(in.source));
        }
        click(wizard->btnNext);
        ASSERT_EQ(wizard->PageIndex(), 3);
        click(in.cancel ? wizard->btnCancel : wizard->btnFinish);
    };
}

int Count(const std::string& text, const std::string& part) {
    int n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++n;
    return n;
}

} // namespace

class NewReport : public MainWindowHarness {
protected:
    static void SetUpTestSuite() { BrowserProfileInTemp(); }

    FeedServer feed;
    LoopbackHttp site;

    void SetUp() override {
        MainWindowHarness::SetUp();
        site.Page("/search", TitledPage("Search"));
        tmp.write("data/r.qrl", SmallReportText(date(QDate(2026, 12, 6))));
        TD_settings_user& settings = Settings(ReportPath());
        settings.Store().Set(AppInfo::FeedHostKey, feed.host());
        settings.Store().Set(AppInfo::HomeSearchPageKey, site.Address("/search").toStdString());
        ShowWindow([](TFmain& w) { w.resize(900, 700); });
        // The getting-started offer posted by the first activation (switched off here).
        QTest::qWait(50);
    }

    static std::string date(const QDate& d) {
        return QLocale::system().toString(d, QLocale::ShortFormat).toStdString();
    }
    // The current report changed by typing, so that New has something to save first.
    void changeReport() {
        QTest::keyClicks(window->Edit_report_title, " and more");
        ASSERT_EQ(Status(1), "Changed");
    }
};

TEST_F(NewReport, AutomaticModeSavesTheReportAndRunsTheSearch) {
    DialogDriver dialogs;
    changeReport();
    WizardInput in{
        "Garden tools", "Suppliers\nof spades", QDate(2026, 3, 14), tmp.qpath("data/garden"), {},
        "spades  forks"};
    dialogs.Then(FillWizard(in));
    QTest::mouseClick(window->TB_new, Qt::LeftButton);
    EXPECT_TRUE(dialogs.Done()) << dialogs.Unexpected().join(",").toStdString();

    // The report left was saved first, without a question.
    EXPECT_NE(tmp.read("data/r.qrl").find("Garden tools and more"), std::string::npos);
    // The new report is current, saved with the wizard's values, and named in the settings file.
    EXPECT_EQ(Status(2), tmp.qpath("data/garden.qrl"));
    EXPECT_EQ(D_settings_user->GetDataFileName(), tmp.path("data/garden.qrl"));
    EXPECT_NE(SettingsFile().find(tmp.path("data/garden.qrl")), std::string::npos);
    const std::string made = ReportText()
                                 .Title("Garden tools")
                                 .Date(date(QDate(2026, 3, 14)))
                                 .Description("Suppliers\r\nof spades")
                                 .Opening();
    EXPECT_EQ(tmp.read("data/garden.qrl").rfind(made, 0), 0u) << tmp.read("data/garden.qrl");
    EXPECT_EQ(window->Edit_report_title->text(), "Garden tools");
    EXPECT_EQ(window->DTP_report->date(), QDate(2026, 3, 14));

    // The Auto search page shows the keywords and the run has started.
    EXPECT_EQ(window->PageControl1->currentWidget(), window->TabSheet_auto);
    TO_autosearch* search = window->O_autosearch1;
    ASSERT_EQ(search->LB_selected->count(), 2);
    EXPECT_EQ(search->LB_selected->item(0)->text(), "spades");
    EXPECT_EQ(search->LB_selected->item(1)->text(), "forks");
    ASSERT_TRUE(WaitUntil([&] { return !search->Busy; }, 20000));
    EXPECT_TRUE(search->Memo_log->toPlainText().endsWith("New URLs added:10"))
        << search->Memo_log->toPlainText().toStdString();
    ASSERT_EQ(feed.requests().size(), 2u);
    EXPECT_NE(feed.requests()[0].find("Terms=spades&"), std::string::npos);

    // The run's records are in the report and in its recovery copy, and reach its file with
    // the next save, which removes the copy.
    EXPECT_EQ(window->Urls->ChildCount(), 10);
    EXPECT_EQ(Status(1), "Changed");
    window->WaitForRecoveryCopy();
    EXPECT_EQ(Count(tmp.read("data/garden.qrl.recover"), "<LISTING "), 10);
    EXPECT_FALSE(tmp.exists("data/r.qrl.recover"));
    window->N_Save->trigger();
    EXPECT_FALSE(tmp.exists("data/garden.qrl.recover"));
    const std::string saved = tmp.read("data/garden.qrl");
    EXPECT_EQ(saved.rfind(made, 0), 0u);
    EXPECT_EQ(Count(saved, "<LISTING "), 10);
    EXPECT_NE(saved.find("URL=\"http://www.forks-5.example/\""), std::string::npos);
}

TEST_F(NewReport, ManualModeOnAnExistingFileLoadsItAndGoesToTheHomeSearchPage) {
    tmp.write("data/old.qrl", SmallReportText(date(QDate(2025, 1, 2))));
    // The wizard is reached from the getting-started dialog, as on a first start.
    DialogDriver start;
    start.Then([](QWidget* w) {
        auto* item = w->findChild<QRadioButton*>("RG1Item2");
        EXPECT_EQ(item->text().remove('&'), "Run \"New Search Report\" wizard");
        QTest::mouseClick(item, Qt::LeftButton, {}, QPoint(8, item->height() / 2));
        DialogDriver::ClickButton(w, "Ok");
    });
    start.Then(FillWizard(
        {"Seeds", "Seed merchants", QDate(2026, 5, 1), tmp.qpath("data/old.qrl"), "Yes", {}}));
    D_settings_user->Store().Set("SI", "");
    QCoreApplication::postEvent(window.get(), new QEvent(TFmain::GettingStartedEvent));
    ASSERT_TRUE(WaitUntil([&] { return start.Done(); }, 20000))
        << start.Unexpected().join(",").toStdString();

    EXPECT_EQ(window->PageControl1->currentWidget(), window->TabSheet_manual);
    EXPECT_TRUE(window->TB_home->isEnabled());
    // The existing file was loaded: its record stays, its title and date are the wizard's.
    EXPECT_EQ(Status(2), tmp.qpath("data/old.qrl"));
    EXPECT_EQ(window->Urls->ChildCount(), 1);
    EXPECT_EQ(Status(1), "");
    const std::string saved = tmp.read("data/old.qrl");
    const std::string seeds = ReportText()
                                  .Title("Seeds")
                                  .Date(date(QDate(2026, 5, 1)))
                                  .Description("Seed merchants")
                                  .Opening();
    EXPECT_EQ(saved.rfind(seeds + "\r\n\t<URLS>", 0), 0u) << saved;
    EXPECT_EQ(Count(saved, "<LISTING "), 1);
    EXPECT_EQ(tmp.read("data/old.BAK"), SmallReportText(date(QDate(2025, 1, 2))));
    // The browser goes to the home search page; no search feed request.
    const QString home = site.Address("/search");
    ASSERT_TRUE(WaitUntil(
        [&] {
            QWebEngineView* view = window->O_WB1->WebBrowser1;
            return view && QString::fromStdString(window->O_WB1->CurrentUrl()) == home &&
                   !view->page()->isLoading();
        },
        20000));
    EXPECT_EQ(site.Requests("/search"), 1);
    EXPECT_TRUE(feed.requests().empty());
}

TEST_F(NewReport, CancelChangesNothing) {
    DialogDriver dialogs;
    changeReport();
    const std::string before = tmp.read("data/r.qrl");
    const std::string settingsBefore = SettingsFile();
    WizardInput in{"Other", "Other", QDate(2026, 1, 1), tmp.qpath("data/other"), {}, "word"};
    in.cancel = true;
    dialogs.Then(FillWizard(in));
    window->N_New->trigger();
    EXPECT_TRUE(dialogs.Done()) << dialogs.Unexpected().join(",").toStdString();
    EXPECT_EQ(tmp.read("data/r.qrl"), before);
    EXPECT_FALSE(tmp.exists("data/other.qrl"));
    EXPECT_EQ(SettingsFile(), settingsBefore);
    EXPECT_EQ(Status(1), "Changed");
    EXPECT_EQ(window->Edit_report_title->text(), "Garden tools and more");
    EXPECT_EQ(window->PageControl1->currentWidget(), window->TabSheet_general);
    EXPECT_TRUE(feed.requests().empty());
}

TEST_F(NewReport, ACompletedNameOfAnotherFileIsOnlyTakenWhenAgreed) {
    const std::string other = ReportText().Title("Other");
    tmp.write("data/other.qrl", other);
    QStringList asked;
    QString shown;
    int page = -1;
    DialogDriver dialogs;
    dialogs.Then([&](QWidget* w) {
        auto* wizard = qobject_cast<TW_new_report*>(w);
        ASSERT_NE(wizard, nullptr);
        QTest::mouseClick(wizard->btnNext, Qt::LeftButton);
        {
            // "other.txt" stands for "other.qrl", which the save dialog did not ask about.
            DialogDriver inner;
            inner.Then(TypeFileName(tmp.qpath("data/other.txt"))).No();
            QTest::mouseClick(wizard->SB_filename, Qt::LeftButton);
            EXPECT_TRUE(inner.Done()) << inner.Unexpected().join(",").toStdString();
            asked = inner.Seen();
        }
        shown = wizard->Edit_filename->text();
        QTest::mouseClick(wizard->btnNext, Qt::LeftButton);
        page = wizard->PageIndex();
        QTest::mouseClick(wizard->btnCancel, Qt::LeftButton);
    });
    window->N_New->trigger();
    EXPECT_TRUE(dialogs.Done()) << dialogs.Unexpected().join(",").toStdString();
    EXPECT_EQ(asked, QStringList{"The file \"" + tmp.qpath("data/other.qrl") +
                                 "\" already exists.\nReplace it?"});
    EXPECT_TRUE(shown.isEmpty());
    EXPECT_EQ(page, 1);
    EXPECT_EQ(tmp.read("data/other.qrl"), other);
    EXPECT_EQ(Status(2), tmp.qpath("data/r.qrl"));
}

TEST_F(NewReport, AFailedSaveOfTheCurrentReportStopsNew) {
    DialogDriver dialogs;
    // The report's file cannot be replaced any more: a folder has taken its name.
    changeReport();
    ASSERT_TRUE(QFile::rename(tmp.qpath("data/r.qrl"), tmp.qpath("data/kept.qrl")));
    ASSERT_TRUE(QDir(tmp.qpath("data")).mkdir("r.qrl"));
    dialogs.Then(FillWizard(
        {"Garden tools", "Tools", QDate(2026, 3, 14), tmp.qpath("data/garden"), {}, "spades"}));
    dialogs.Ok();
    window->N_New->trigger();
    EXPECT_TRUE(dialogs.Done()) << dialogs.Unexpected().join(",").toStdString();
    ASSERT_EQ(dialogs.Seen().size(), 1);
    EXPECT_TRUE(dialogs.Seen()[0].startsWith("The report was not saved.\n"));
    // Nothing of the new report happened: the report stays current, changed and unsearched.
    EXPECT_EQ(Status(2), tmp.qpath("data/r.qrl"));
    EXPECT_EQ(Status(1), "Changed");
    EXPECT_EQ(window->Edit_report_title->text(), "Garden tools and more");
    EXPECT_EQ(window->Urls->ChildCount(), 1);
    EXPECT_FALSE(tmp.exists("data/garden.qrl"));
    EXPECT_EQ(D_settings_user->GetDataFileName(), tmp.path("data/r.qrl"));
    QTest::qWait(100);
    EXPECT_TRUE(feed.requests().empty());
}

TEST_F(NewReport, AutomaticModeStartsTheSourceChosenInTheWizard) {
    WebServer web;
    web.setReply(
        "spades", RssHeaders,
        RssReply({{"Spades", "http://spades.example/"}, {"Soil", "http://soil.example/"}}));
    SearchSource engine;
    engine.name = "Loopback RSS";
    engine.kind = SearchSource::OpenSearch;
    engine.address = web.baseUrl() + "/search?q={searchTerms}";
    engine.intervalMs = 0;
    WriteSources(D_settings_user->SettingsTree(), {FeedSource(), engine});
    // The settings window closing reads the sources again, as after adding one there.
    DialogDriver dialogs;
    dialogs.Then([](QWidget* w) { DialogDriver::ClickButton(w, "Close"); });
    window->N_Settings->trigger();
    TO_autosearch* search = window->O_autosearch1;
    EXPECT_EQ(search->CB_source->count(), 2);

    WizardInput in{"Garden", "Tools", QDate(2026, 3, 14), tmp.qpath("data/garden"), {},
                   "spades", false,   "Loopback RSS"};
    dialogs.Then(FillWizard(in));
    QTest::mouseClick(window->TB_new, Qt::LeftButton);
    EXPECT_TRUE(dialogs.Done()) << dialogs.Unexpected().join(",").toStdString();

    EXPECT_EQ(search->CB_source->currentText().toStdString(), "Loopback RSS");
    EXPECT_EQ(ChosenSourceName(D_settings_user->SettingsTree()), "Loopback RSS");
    ASSERT_TRUE(WaitUntil([&] { return !search->Busy; }, 20000));
    EXPECT_TRUE(search->Memo_log->toPlainText().endsWith("New URLs added:2"))
        << search->Memo_log->toPlainText().toStdString();
    EXPECT_EQ(web.requests().size(), 1u);
    EXPECT_TRUE(feed.requests().empty());
    // The records are in the report and in its recovery copy.
    EXPECT_EQ(window->Urls->ChildCount(), 2);
    window->WaitForRecoveryCopy();
    EXPECT_EQ(Count(tmp.read("data/garden.qrl.recover"), "<LISTING "), 2);
}

namespace {

// Where a key pressed now goes: an open menu, else the modal window's focus, else the window's.
QWidget* KeyTarget(QWidget* window) {
    if (QWidget* popup = QApplication::activePopupWidget())
        return popup;
    QWidget* top = QApplication::activeModalWidget();
    if (!top)
        top = window;
    return top->focusWidget() ? top->focusWidget() : top;
}

// Presses a key where it goes; a button's letter (Alt+letter) clicks it a moment later, when it
// comes up again, which is waited for.
void Press(QWidget* window, int key, Qt::KeyboardModifiers modifiers = {}) {
    QPointer<QWidget> top = QApplication::activeModalWidget();
    if (!top)
        top = window;
    // A window manager gives the activation back to the window under a dialog that closed;
    // offscreen there is none to do it, and a button's letter only works in the active window.
    if (!QApplication::activePopupWidget() && QApplication::activeWindow() != top) {
        top->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(top));
    }
    QTest::keyClick(KeyTarget(window), static_cast<Qt::Key>(key), modifiers);
    if (modifiers & Qt::AltModifier) {
        EXPECT_TRUE(WaitUntil([&top] {
            if (!top)
                return true;
            // (The file dialog's view buttons show their checked state as down.)
            const auto buttons = top->findChildren<QAbstractButton*>();
            return std::none_of(buttons.begin(), buttons.end(), [](const QAbstractButton* b) {
                return b->isDown() && !qobject_cast<const QToolButton*>(b);
            });
        }));
    }
}

// Presses Tab until the focus is on target (at most as many times as the window has widgets).
bool TabTo(QWidget* window, QWidget* target) {
    for (int i = 0; i < 100 && KeyTarget(window) != target; ++i)
        Press(window, Qt::Key_Tab);
    return KeyTarget(window) == target;
}

} // namespace

// A whole report made with the keyboard alone: File > New by its letters, the wizard's pages by
// Tab, typing and their buttons' letters, the save dialog by typing, the search run, the list
// reached by the page tabs, a row ticked with Space and the report saved with Ctrl+S.
TEST_F(NewReport, KeyboardAloneMakesSearchesTicksAndSaves) {
    QWidget* w = window.get();
    DialogDriver dialogs;
    dialogs.Then([&](QWidget* dialog) {
        auto* wizard = qobject_cast<TW_new_report*>(dialog);
        ASSERT_NE(wizard, nullptr);
        // Page 1: the focus starts on the title; Tab reaches the description and leaves it.
        ASSERT_EQ(KeyTarget(w), wizard->Edit_report_title);
        QTest::keyClicks(KeyTarget(w), "Garden tools");
        ASSERT_TRUE(TabTo(w, wizard->Memo_report_dsc));
        QTest::keyClicks(KeyTarget(w), "Spades");
        Press(w, Qt::Key_Tab);
        EXPECT_NE(KeyTarget(w), wizard->Memo_report_dsc);
        Press(w, Qt::Key_N, Qt::AltModifier);
        ASSERT_EQ(wizard->PageIndex(), 1);
        // Page 2: the "..." button by Tab and Space; the save dialog by typing and Enter.
        ASSERT_TRUE(TabTo(w, wizard->SB_filename));
        {
            DialogDriver saveDialog;
            saveDialog.Then([&](QWidget* fileDialog) {
                EnterFileName(fileDialog, tmp.qpath("data/garden"));
                Press(fileDialog, Qt::Key_Return);
            });
            Press(w, Qt::Key_Space);
            EXPECT_TRUE(saveDialog.Done()) << saveDialog.Unexpected().join(",").toStdString();
        }
        EXPECT_EQ(wizard->Edit_filename->text(), tmp.qpath("data/garden.qrl"));
        Press(w, Qt::Key_N, Qt::AltModifier);
        ASSERT_EQ(wizard->PageIndex(), 2);
        // Page 3: Automatic by its letter, a keyword typed and added with Enter.
        Press(w, Qt::Key_U, Qt::AltModifier);
        ASSERT_EQ(wizard->SearchMode(), 1);
        ASSERT_TRUE(TabTo(w, wizard->Edit_kw));
        QTest::keyClicks(KeyTarget(w), "spades");
        Press(w, Qt::Key_Return);
        EXPECT_EQ(wizard->LB_selected->count(), 1);
        Press(w, Qt::Key_N, Qt::AltModifier);
        ASSERT_EQ(wizard->PageIndex(), 3);
        Press(w, Qt::Key_O, Qt::AltModifier);
    });
    Press(w, Qt::Key_F, Qt::AltModifier);
    ASSERT_NE(QApplication::activePopupWidget(), nullptr);
    Press(w, Qt::Key_N);
    ASSERT_TRUE(dialogs.Done()) << dialogs.Unexpected().join(",").toStdString();
    ASSERT_EQ(Status(2), tmp.qpath("data/garden.qrl"));

    TO_autosearch* search = window->O_autosearch1;
    ASSERT_TRUE(WaitUntil([&] { return !search->Busy; }, 20000));
    ASSERT_EQ(window->Urls->ChildCount(), 5);

    // The list is the next page, chosen on the page tabs with an arrow key.
    ASSERT_EQ(window->PageControl1->currentWidget(), window->TabSheet_auto);
    ASSERT_TRUE(TabTo(w, window->PageControl1->tabBar()));
    Press(w, Qt::Key_Right);
    ASSERT_EQ(window->PageControl1->currentWidget(), window->TabSheet_view);
    QTableView* list = window->O_results1->LV1;
    ASSERT_TRUE(TabTo(w, list));
    Press(w, Qt::Key_Down);
    Press(w, Qt::Key_Space);
    Press(w, Qt::Key_S, Qt::ControlModifier);
    const std::string saved = tmp.read("data/garden.qrl");
    EXPECT_EQ(Count(saved, "<LISTING "), 5);
    EXPECT_EQ(Count(saved, "CHK=\"Y\""), 1) << saved;
    EXPECT_NE(Status(1), "Changed");
}
