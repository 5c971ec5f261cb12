#include "app/TFmain.h"
#include "collect/TD_url_edit.h"
#include "collect/TO_results.h"
#include "dialogs/TDmsg.h"
#include "dialogs/TFsure.h"
#include "exchange/Export.h"
#include "settings/TD_proxyLogin.h"
#include "settings/TD_settings_user.h"
#include "settings/TF_about.h"
#include "settings/TF_getting_started.h"
#include "settings/core/AppInfo.h"

#include "support/DialogDriver.h"
#include "support/FileDialogTyping.h"
#include "support/FileErrors.h"
#include "support/MainWindowHarness.h"
#include "support/SampleReports.h"
#include "support/TempDir.h"
#include "support/UrlCatcher.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProcess>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>

#include <memory>

namespace {

const std::string kNewReport = ReportText();
const std::string kOther = ReportText().Title("Other");

// The short date of 6 December 2026 under the tests' regional settings (LANG=C).
std::string dateText() {
    return QLocale::system().toString(QDate(2026, 12, 6), QLocale::ShortFormat).toStdString();
}

std::string today() {
    return QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat).toStdString();
}

std::string smallReport() {
    return SmallReportText(dateText());
}

} // namespace

class MainWindow : public MainWindowHarness {
protected:
    UrlCatcher browser;

    void SetUp() override {
        MainWindowHarness::SetUp();
        Folders({"docs"});
        tmp.write("docs/intro.html", "<html><body>Intro</body></html>");
    }
    void save() { QTest::keyClick(window->Edit_report_title, Qt::Key_S, Qt::ControlModifier); }
};

// The first start runs in a copy of this test program in a folder of its own, so that the
// program finds neither a settings file nor a report beside itself.
TEST(FirstStart, WithoutSettingsMakesBothFilesBesideTheProgram) {
    TempDir tmp;
    QDir root(tmp.qpath(""));
    root.mkpath("bin");
    root.mkpath("docs");
    root.mkpath("xdg");
    const QString program = tmp.qpath("bin/quarrylog-test");
    ASSERT_TRUE(QFile::copy(QCoreApplication::applicationFilePath(), program));
    QProcess run;
    run.setWorkingDirectory(tmp.qpath("bin"));
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QRL_FIRST_START_RUN", "1");
    env.insert("XDG_CONFIG_HOME", tmp.qpath("xdg"));
    env.insert("XDG_DATA_HOME", tmp.qpath("xdg"));
    run.setProcessEnvironment(env);
    run.setProcessChannelMode(QProcess::MergedChannels);
    run.start(program, {"--gtest_filter=FirstStart.InsideTheCopiedProgram"});
    ASSERT_TRUE(run.waitForFinished(120000));
    const std::string output = run.readAll().toStdString();
    EXPECT_EQ(run.exitCode(), 0) << output;
    EXPECT_NE(output.find("[  PASSED  ] 1 test"), std::string::npos) << output;

    EXPECT_EQ(tmp.read("bin/quarrylog-test.qrl"), kNewReport);
    const std::string settings = tmp.read("bin/quarrylog-test.set");
    EXPECT_EQ(settings.rfind("\r\n<SETTINGS ", 0), 0u) << settings;
    EXPECT_NE(settings.find("<KW VAL=\"business\"/>"), std::string::npos) << settings;
    EXPECT_NE(settings.find("WIDTH=\""), std::string::npos) << settings;
    // The default report is not named in the settings, and nothing went elsewhere.
    EXPECT_EQ(settings.find("DATA_FILE_NAME"), std::string::npos) << settings;
    EXPECT_FALSE(QDir(tmp.qpath("xdg/quarrylog")).exists());
    EXPECT_TRUE(QDir(tmp.qpath("data")).exists());
}

TEST(FirstStart, InsideTheCopiedProgram) {
    if (qEnvironmentVariableIsEmpty("QRL_FIRST_START_RUN"))
        GTEST_SKIP() << "runs inside the copy made by FirstStart.WithoutSettings...";
    const QString dir = QCoreApplication::applicationDirPath();
    ASSERT_EQ(DefaultSettingsFilePath(), dir + "/quarrylog-test.set");
    ASSERT_EQ(DefaultReportFilePath(), dir + "/quarrylog-test.qrl");
    ASSERT_FALSE(QFile::exists(DefaultSettingsFilePath()));
    ASSERT_FALSE(QFile::exists(DefaultReportFilePath()));

    DialogDriver dialogs;
    QString offered;
    dialogs.Then([&](QWidget* w) {
        offered = w->windowTitle();
        auto* later = w->findChild<QRadioButton*>("RG1Item1"); // "Show intro next time"
        QTest::mouseClick(later, Qt::LeftButton, {}, QPoint(8, later->height() / 2));
        DialogDriver::ClickButton(w, "Ok");
    });
    auto window = std::make_unique<TFmain>();
    // The settings file is made at once, still empty.
    QFile settingsFile(DefaultSettingsFilePath());
    ASSERT_TRUE(settingsFile.open(QIODevice::ReadOnly));
    EXPECT_EQ(settingsFile.readAll(), "\r\n<SETTINGS/>");
    settingsFile.close();

    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !window->FirstActivation; }));
    ASSERT_TRUE(QTest::qWaitFor([&] { return dialogs.Done(); }));
    EXPECT_EQ(offered, "Getting started");
    EXPECT_EQ(window->StatusPanel[2]->text(), DefaultReportFilePath());
    EXPECT_EQ(window->StatusPanel[1]->text(), "");
    EXPECT_EQ(window->windowTitle(), "Quarrylog");
    EXPECT_EQ(window->PageControl1->currentWidget(), window->TabSheet_general);
    EXPECT_EQ(window->DTP_report->date(), QDate::currentDate());
    EXPECT_EQ(window->DataDir(), QDir::cleanPath(dir + "/../data"));
    EXPECT_EQ(D_settings_user->OftenUsedKeywords().size(), 13u);
    EXPECT_FALSE(D_settings_user->UseProxy());
    EXPECT_EQ(D_settings_user->Edit_ProxyPort->text(), "8080");
    QFile report(DefaultReportFilePath());
    ASSERT_TRUE(report.open(QIODevice::ReadOnly));
    EXPECT_EQ(report.readAll().toStdString(), kNewReport);
    window->close();
    EXPECT_FALSE(window->isVisible());
    window.reset();
    EXPECT_TRUE(dialogs.Done());
}

TEST_F(MainWindow, TypedReportIsSavedAndReadBackByteForByte) {
    StartWindow();
    EXPECT_EQ(tmp.read("data/r.qrl"), kNewReport); // the missing file was created at once
    QTest::keyClicks(window->Edit_report_title, "Garden tools");
    EXPECT_EQ(Status(1), "Changed");
    QTest::keyClicks(window->Memo_report_dsc, "Suppliers of garden tools");
    QTest::keyClick(window->Memo_report_dsc, Qt::Key_Return);
    QTest::keyClicks(window->Memo_report_dsc, "found in December.");
    // Pick the date: every part of the date field typed over.
    window->DTP_report->setFocus();
    window->DTP_report->setSelectedSection(QDateTimeEdit::DaySection);
    QTest::keyClicks(window->DTP_report, "6");
    window->DTP_report->setSelectedSection(QDateTimeEdit::MonthSection);
    QTest::keyClicks(window->DTP_report, "Dec");
    window->DTP_report->setSelectedSection(QDateTimeEdit::YearSection);
    QTest::keyClicks(window->DTP_report, "2026");
    ASSERT_EQ(window->DTP_report->date(), QDate(2026, 12, 6));
    EXPECT_EQ(tmp.read("data/r.qrl"), kNewReport); // nothing is written before Save

    save();
    EXPECT_EQ(Status(1), "");
    const std::string expected = ReportText()
                                     .Title("Garden tools")
                                     .Date(dateText())
                                     .Description("Suppliers of garden tools\r\nfound in December.")
                                     .Records();
    EXPECT_EQ(tmp.read("data/r.qrl"), expected);
    EXPECT_EQ(tmp.read("data/r.BAK"), kNewReport);

    Restart();
    EXPECT_EQ(window->Edit_report_title->text(), "Garden tools");
    EXPECT_EQ(window->DTP_report->date(), QDate(2026, 12, 6));
    EXPECT_EQ(window->Memo_report_dsc->toPlainText(),
              "Suppliers of garden tools\nfound in December.");
    EXPECT_EQ(Status(1), ""); // showing a report changes nothing
    save();
    EXPECT_EQ(tmp.read("data/r.qrl"), expected);
    EXPECT_EQ(tmp.read("data/r.BAK"), expected); // only the version before the last save
}

TEST_F(MainWindow, SmallReportRoundTripsAndRecordsFollowTheDuplicateRule) {
    StartOn(smallReport());
    EXPECT_EQ(window->Edit_report_title->text(), "Garden tools");
    ASSERT_NE(window->Urls, nullptr);
    TQelPigger* record = window->FindListing("U1");
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->GetAttr("CHK"), "Y");
    save();
    EXPECT_EQ(tmp.read("data/r.qrl"), smallReport());

    // A search finding the same page in other letters refreshes it; a new one is appended.
    window->ListDirty = false;
    EXPECT_FALSE(window->AddListing("Spades!", "new", "U1", "http://feed/u1"));
    EXPECT_TRUE(window->ListDirty);
    EXPECT_EQ(Status(1), "Changed");
    EXPECT_TRUE(window->AddListing("Rakes", "Rakes", "u2", "u2"));
    EXPECT_EQ(window->Urls->ChildCount(), 2);
    EXPECT_EQ(window->FindListing("u1"), record);
    EXPECT_EQ(record->GetAttr("CHK"), "Y");
    save();
    const std::string saved = tmp.read("data/r.qrl");
    EXPECT_NE(saved.find("<LISTING URL=\"U1\" CHK=\"Y\">\r\n\t\t\t<TITLE>Spades!"),
              std::string::npos)
        << saved;
    EXPECT_NE(saved.find("<LISTING URL=\"u2\">"), std::string::npos);
}

TEST_F(MainWindow, OtherRootKeepsItsVersionAndBlankTitleIsRemoved) {
    tmp.write("data/r.qrl", "<XML_DATA VERSION=\"0.9\" RTITLE=\"Old\">Old text</XML_DATA>");
    DialogDriver dialogs;
    StartWindow();
    EXPECT_TRUE(dialogs.Seen().isEmpty()); // opened without a message
    EXPECT_EQ(window->Edit_report_title->text(), "Old");
    window->Edit_report_title->selectAll();
    QTest::keyClicks(window->Edit_report_title, "   ");
    save();
    EXPECT_EQ(tmp.read("data/r.qrl"), "\r\n<XML_DATA VERSION=\"0.9\" RDATE=\"" + today() +
                                          "\">Old text\r\n\t<URLS/>\r\n</XML_DATA>");
    EXPECT_TRUE(dialogs.Done());
}

TEST_F(MainWindow, SaveChangesIsAskedOnCloseAndEitherAnswerCloses) {
    StartOn(smallReport());
    QTest::keyClicks(window->Edit_report_title, " and more");
    DialogDriver dialogs;
    dialogs.No();
    window->N_Exit->trigger();
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(dialogs.Seen(), QStringList{"Save changes?"});
    EXPECT_EQ(tmp.read("data/r.qrl"), smallReport());
    EXPECT_FALSE(D_settings_user->Store().Get("WIDTH").empty()); // geometry kept for next time

    Restart();
    QTest::keyClicks(window->Edit_report_title, " and more");
    dialogs.Yes();
    window->close();
    EXPECT_FALSE(window->isVisible());
    EXPECT_NE(tmp.read("data/r.qrl").find("RTITLE=\"Garden tools and more\""), std::string::npos);
    EXPECT_EQ(tmp.read("data/r.BAK"), smallReport());

    // Esc does not give up the changes; Enter (after a No elsewhere) saves them.
    Restart();
    QTest::keyClicks(window->Edit_report_title, " still");
    dialogs.No().Then([](QWidget* w) {
        QTest::keyClick(w, Qt::Key_Escape);
        EXPECT_TRUE(w->isVisible());
        QTest::keyClick(w->focusWidget(), Qt::Key_Return);
    });
    EXPECT_FALSE(AskUser("Delete current URL?"));
    window->N_Exit->trigger();
    EXPECT_FALSE(window->isVisible());
    EXPECT_NE(tmp.read("data/r.qrl").find("RTITLE=\"Garden tools and more still\""),
              std::string::npos);

    Restart(); // unchanged: no question
    window->close();
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(dialogs.Seen(), (QStringList{"Save changes?", "Save changes?", "Delete current URL?",
                                           "Save changes?"}));
    EXPECT_TRUE(dialogs.Done());
}

TEST_F(MainWindow, FailedSaveIsShownAndTheReportStaysChanged) {
    QDir(tmp.qpath("")).mkpath("place");
    tmp.write("place/r.qrl", smallReport());
    StartWindow(tmp.path("place/r.qrl"));
    // The report's folder goes away (moved elsewhere) and a file takes its name.
    ASSERT_TRUE(QDir(tmp.qpath("")).rename("place", "moved"));
    tmp.write("place", "not a folder");

    QTest::keyClicks(window->Edit_report_title, " and more");
    DialogDriver dialogs;
    dialogs.Ok();
    save();
    ASSERT_EQ(dialogs.Seen().size(), 1);
    EXPECT_TRUE(dialogs.Seen()[0].startsWith("The report was not saved.\n"))
        << dialogs.Seen()[0].toStdString();
    EXPECT_TRUE(dialogs.Seen()[0].contains("place/r.qrl"));
    EXPECT_TRUE(window->Modified);
    EXPECT_EQ(Status(1), "Changed");
    EXPECT_EQ(tmp.read("moved/r.qrl"), smallReport());
    EXPECT_EQ(tmp.read("place"), "not a folder");

    // Closing does not throw the report away when it could not be saved.
    dialogs.Yes().Ok();
    window->close();
    EXPECT_TRUE(window->isVisible());
    // Once the folder is back, saving works.
    QFile::remove(tmp.qpath("place"));
    ASSERT_TRUE(QDir(tmp.qpath("")).rename("moved", "place"));
    dialogs.Yes();
    window->close();
    EXPECT_FALSE(window->isVisible());
    EXPECT_NE(tmp.read("place/r.qrl").find("Garden tools and more"), std::string::npos);
    EXPECT_EQ(tmp.read("place/r.BAK"), smallReport());
    EXPECT_TRUE(dialogs.Done());
}

TEST_F(MainWindow, SaveThatDoesNotFitNamesTheReasonAndLeavesTheFile) {
    StartOn(smallReport());
    window->Memo_report_dsc->setPlainText(QString(4096, u'x'));
    DialogDriver dialogs;
    dialogs.Ok();
    {
        const FileSizeLimit fullDisk(100);
        save();
    }
    EXPECT_EQ(dialogs.Seen(), QStringList{"The report was not saved.\nCannot write file \"" +
                                          tmp.qpath("data/r.qrl") +
                                          "\": File too large. The report file on disk is "
                                          "unchanged."});
    EXPECT_EQ(tmp.read("data/r.qrl"), smallReport());
    EXPECT_TRUE(window->Modified);
}

TEST_F(MainWindow, ToolbarAndMenusFollowThePage) {
    StartWindow();
    QToolButton* browserButtons[] = {window->TB_home, window->TB_back, window->TB_next,
                                     window->TB_refresh, window->TB_stop};
    QToolButton* listButtons[] = {window->TB_edit, window->TB_delete, window->TB_filter,
                                  window->TB_open_web_page};
    QAction* listItems[] = {window->N_EditURL, window->N_DeleteURL, window->N_Filter,
                            window->N_OpenURL};
    const auto expectEnabled = [&](bool browserOn, bool list, const char* page) {
        for (QToolButton* b : browserButtons)
            EXPECT_EQ(b->isEnabled(), browserOn) << page << " " << b->objectName().toStdString();
        for (QToolButton* b : listButtons)
            EXPECT_EQ(b->isEnabled(), list) << page << " " << b->objectName().toStdString();
        for (QAction* a : listItems)
            EXPECT_EQ(a->isEnabled(), list) << page << " " << a->objectName().toStdString();
        for (QToolButton* b :
             {window->TB_new, window->ToolButton3, window->TB_save, window->TB_lastversion})
            EXPECT_TRUE(b->isEnabled()) << page;
    };
    expectEnabled(false, false, "Report info");
    ClickTab("Manual search");
    expectEnabled(true, false, "Manual search");
    ClickTab("Found URL list");
    expectEnabled(false, true, "Found URL list");
    ClickTab("Auto search");
    expectEnabled(false, false, "Auto search");
    window->N_Manualmode->trigger();
    EXPECT_EQ(window->PageControl1->currentWidget(), window->TabSheet_manual);
    expectEnabled(true, false, "Manual mode");

    // Turning to the list through the menu shows it as it was; the tab rebuilds it.
    window->AddListing("t", "d", "u9", "u9");
    window->N_FoundURLlist->trigger();
    EXPECT_EQ(window->PageControl1->currentWidget(), window->TabSheet_view);
    expectEnabled(false, true, "Found URL list menu");
    EXPECT_TRUE(window->ListDirty);
    ClickTab("Report info");
    EXPECT_FALSE(window->ListDirty);

    // The hints and pictures of the toolbar.
    EXPECT_EQ(window->ToolButton3->toolTip(), "Load");
    EXPECT_EQ(window->TB_home->toolTip(), "Home search page");
    EXPECT_EQ(window->TB_lastversion->toolTip(), "Get last version");
    const auto buttons =
        window->ToolBar1->findChildren<QToolButton*>(QRegularExpression("^T(B_|oolButton3)"));
    EXPECT_EQ(buttons.size(), 13);
    for (QToolButton* b : buttons) {
        EXPECT_FALSE(b->icon().pixmap(24, 24).isNull()) << b->objectName().toStdString();
        EXPECT_FALSE(b->toolTip().isEmpty());
    }
}

TEST_F(MainWindow, OpenOfATypedTxtNameWorksOnTheQrlFile) {
    tmp.write("data/r.qrl", smallReport());
    tmp.write("data/other.qrl", kOther);
    StartWindow();
    DialogDriver dialogs;
    dialogs.Then(TypeFileName(tmp.qpath("data/other.txt")));
    window->N_Open->trigger();
    EXPECT_TRUE(dialogs.Done()) << dialogs.Unexpected().join(",").toStdString();
    EXPECT_EQ(window->FileName, tmp.path("data/other.qrl"));
    EXPECT_EQ(Status(2), tmp.qpath("data/other.qrl"));
    EXPECT_EQ(window->Edit_report_title->text(), "Other");
    EXPECT_EQ(D_settings_user->GetDataFileName(), tmp.path("data/other.qrl"));
    EXPECT_FALSE(tmp.exists("data/other.txt"));
    EXPECT_EQ(Status(1), "");
    // The report given up was saved first.
    EXPECT_NE(tmp.read("data/r.BAK"), "");

    // A name that does not exist yet becomes a new report.
    dialogs.Then(TypeFileName(tmp.qpath("data/fresh")));
    window->N_Open->trigger();
    EXPECT_TRUE(dialogs.Done()) << dialogs.Unexpected().join(",").toStdString();
    EXPECT_EQ(tmp.read("data/fresh.qrl"), kNewReport);
    EXPECT_EQ(window->Edit_report_title->text(), "");
}

TEST_F(MainWindow, OpenLeavesAnUnreadableOrUnreachableFileAndKeepsTheReport) {
    tmp.write("data/r.qrl", smallReport());
    const std::string broken = ReportText().Opening() + "<URLS>";
    tmp.write("data/broken.qrl", broken);
    StartWindow();
    DialogDriver dialogs;
    dialogs.Then(TypeFileName(tmp.qpath("data/broken.qrl"))).Ok();
    window->N_Open->trigger();
    // A path through a file, as a name appended to a name left in the field gives.
    dialogs.Then(TypeFileName(tmp.qpath("data/r.qrl") + tmp.qpath("data/old.qrl"))).Ok();
    window->N_Open->trigger();
    EXPECT_TRUE(dialogs.Done()) << dialogs.Unexpected().join(",").toStdString();
    ASSERT_EQ(dialogs.Seen().size(), 2);
    EXPECT_TRUE(dialogs.Seen()[0].contains("could not be read")) << dialogs.Seen()[0].toStdString();
    EXPECT_TRUE(dialogs.Seen()[0].contains("left untouched"));
    EXPECT_TRUE(dialogs.Seen()[1].contains("does not exist")) << dialogs.Seen()[1].toStdString();
    EXPECT_EQ(tmp.read("data/broken.qrl"), broken);
    EXPECT_FALSE(tmp.exists("data/broken.qrl.unreadable"));
    EXPECT_EQ(window->FileName, ReportPath());
    EXPECT_EQ(D_settings_user->GetDataFileName(), ReportPath());
    EXPECT_EQ(window->Edit_report_title->text(), "Garden tools");
}

TEST_F(MainWindow, FileDialogLeavesNoCompletionAndStartsWithAnEmptyName) {
    tmp.write("data/r.qrl", smallReport());
    tmp.write("data/other.qrl", kOther);
    StartWindow();
    // The name is typed and Return pressed while the completion list shows.
    DialogDriver dialogs;
    dialogs.Then([this](QWidget* w) {
        auto* edit = w->findChild<QLineEdit*>("fileNameEdit");
        ASSERT_NE(edit, nullptr);
        edit->setFocus();
        QTest::keyClicks(edit, tmp.qpath("data/ot"));
        EXPECT_TRUE(QTest::qWaitFor([] { return QApplication::activePopupWidget() != nullptr; }));
        QTest::keyClicks(QApplication::activePopupWidget(), "her.qrl");
        QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Return);
        if (w->isVisible())
            QTest::keyClick(edit, Qt::Key_Return);
    });
    window->N_Open->trigger();
    EXPECT_TRUE(dialogs.Done());
    EXPECT_EQ(window->Edit_report_title->text(), "Other");
    QCoreApplication::processEvents();
    for (QWidget* w : QApplication::topLevelWidgets())
        EXPECT_FALSE(w->isVisible() && w->windowType() == Qt::Popup)
            << w->metaObject()->className();

    QString startText = "?";
    dialogs.Then([&](QWidget* w) {
        auto* edit = w->findChild<QLineEdit*>("fileNameEdit");
        QTest::qWait(300); // the folder is listed
        startText = edit->selectedText() == edit->text() ? QString() : edit->text();
        qobject_cast<QDialog*>(w)->reject();
    });
    window->N_Open->trigger();
    EXPECT_EQ(startText, "");
    EXPECT_TRUE(dialogs.Done());
}

TEST_F(MainWindow, OpenAfterAnsweringTheQuestion) {
    tmp.write("data/r.qrl", smallReport());
    tmp.write("data/other.qrl", kOther);
    StartWindow();
    QTest::keyClicks(window->Edit_report_title, "!");

    // No, then the dialog is cancelled: nothing is saved and the changes stay.
    DialogDriver dialogs;
    dialogs.No().Escape();
    window->N_Open->trigger();
    EXPECT_EQ(tmp.read("data/r.qrl"), smallReport());
    EXPECT_EQ(window->Edit_report_title->text(), "Garden tools!");
    EXPECT_EQ(Status(1), "Changed");

    // No, then a file is chosen: the report is still saved before the other is read.
    dialogs.No().Then(TypeFileName(tmp.qpath("data/other.qrl")));
    window->N_Open->trigger();
    EXPECT_NE(tmp.read("data/r.qrl").find("Garden tools!"), std::string::npos);
    EXPECT_EQ(window->Edit_report_title->text(), "Other");

    // Yes: saved once, so the backup still holds the version before it.
    QTest::keyClicks(window->Edit_report_title, "?");
    const std::string before = tmp.read("data/other.qrl");
    dialogs.Yes().Then(TypeFileName(tmp.qpath("data/r.qrl")));
    window->N_Open->trigger();
    EXPECT_NE(tmp.read("data/other.qrl").find("Other?"), std::string::npos);
    EXPECT_EQ(tmp.read("data/other.BAK"), before);
    EXPECT_EQ(window->Edit_report_title->text(), "Garden tools!");
    EXPECT_TRUE(dialogs.Done());
}

TEST_F(MainWindow, SaveAsWithoutExtensionWritesTheQrlFile) {
    StartOn(smallReport());
    QTest::keyClicks(window->Edit_report_title, " copy");
    DialogDriver dialogs;
    dialogs.Then(TypeFileName(tmp.qpath("data/copy")));
    window->N_Saveas->trigger();
    EXPECT_TRUE(dialogs.Done());
    EXPECT_NE(tmp.read("data/copy.qrl").find("RTITLE=\"Garden tools copy\""), std::string::npos);
    EXPECT_FALSE(tmp.exists("data/copy"));
    EXPECT_EQ(tmp.read("data/r.qrl"), smallReport());
    EXPECT_EQ(Status(2), tmp.qpath("data/copy.qrl"));
    EXPECT_EQ(D_settings_user->GetDataFileName(), tmp.path("data/copy.qrl"));
    EXPECT_EQ(Status(1), "");
    EXPECT_EQ(window->Edit_report_title->text(), "Garden tools copy");

    // Saving as into a place that cannot be written keeps the report on its own file: the
    // folder chosen goes away before the report is written.
    QDir(tmp.qpath("")).mkpath("gone");
    dialogs
        .Then([this](QWidget* w) {
            TypeFileName(tmp.qpath("gone/new.qrl"))(w);
            QDir(tmp.qpath("gone")).removeRecursively();
            tmp.write("gone", "x");
        })
        .Ok();
    QTest::keyClicks(window->Edit_report_title, "!");
    window->N_Saveas->trigger();
    EXPECT_TRUE(dialogs.Done()) << dialogs.Unexpected().join(",").toStdString();
    ASSERT_EQ(dialogs.Seen().size(), 1);
    EXPECT_TRUE(dialogs.Seen()[0].contains("gone/new.qrl"));
    EXPECT_EQ(Status(2), tmp.qpath("data/copy.qrl"));
    EXPECT_EQ(D_settings_user->GetDataFileName(), tmp.path("data/copy.qrl"));
    EXPECT_EQ(Status(1), "Changed");
    EXPECT_EQ(window->Edit_report_title->text(), "Garden tools copy!");
}

TEST_F(MainWindow, UnreadableReportIsKeptAsideAndTheUserIsTold) {
    const std::string broken = ReportText().Description("precious").Opening() + "<URLS>";
    tmp.write("data/r.qrl", broken);
    DialogDriver dialogs;
    dialogs.Ok();
    StartWindow();
    ASSERT_EQ(dialogs.Seen().size(), 1);
    EXPECT_TRUE(dialogs.Seen()[0].contains(tmp.qpath("data/r.qrl.unreadable")))
        << dialogs.Seen()[0].toStdString();
    EXPECT_EQ(tmp.read("data/r.qrl.unreadable"), broken);
    EXPECT_EQ(tmp.read("data/r.qrl"), kNewReport);
    save();
    save();
    EXPECT_EQ(tmp.read("data/r.qrl.unreadable"), broken);
    EXPECT_TRUE(dialogs.Done());
}

TEST_F(MainWindow, EmptyReportFileStartsNewAndIsFilledBySave) {
    tmp.write("data/r.qrl", "");
    DialogDriver dialogs;
    StartWindow();
    EXPECT_EQ(tmp.read("data/r.qrl"), "");
    EXPECT_EQ(window->Doc.Name(), "QRL");
    save();
    EXPECT_EQ(tmp.read("data/r.qrl").rfind(ReportText().Date(today()).Opening(), 0), 0u);
    EXPECT_TRUE(dialogs.Done());
}

TEST_F(MainWindow, GettingStartedIsOfferedOnceAfterTheReportIsShown) {
    tmp.write("data/r.qrl", smallReport());
    {
        DialogDriver dialogs;
        QString fileDuringDialog;
        dialogs.Then([&](QWidget* w) {
            EXPECT_EQ(w->windowTitle(), "Getting started");
            fileDuringDialog = window ? window->StatusPanel[2]->text() : QString();
            DialogDriver::ClickButton(w, "Ok"); // "Show intro now" is chosen
        });
        Settings(ReportPath(), true);
        ShowWindow();
        ASSERT_TRUE(QTest::qWaitFor([&] { return dialogs.Done(); }));
        ASSERT_EQ(browser.opened.size(), 1u);
        EXPECT_EQ(browser.opened[0], QUrl::fromLocalFile(tmp.qpath("docs/intro.html")));
        EXPECT_EQ(fileDuringDialog, tmp.qpath("data/r.qrl"));
        // Later activations do not offer it again.
        dialogs.Ok();
        window->N_About->trigger();
        QTest::qWait(50);
        EXPECT_TRUE(dialogs.Done()) << dialogs.Unexpected().join(",").toStdString();
    }

    // "Don't show this prompt again" reaches the settings file when the program ends.
    window.reset();
    NewSettings();
    DialogDriver again;
    again.Then([](QWidget* w) {
        auto* button = w->findChild<QRadioButton*>("RG1Item3");
        QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(8, button->height() / 2));
        DialogDriver::ClickButton(w, "Ok");
    });
    ShowWindow();
    ASSERT_TRUE(QTest::qWaitFor([&] { return again.Done(); }));
    window.reset();
    EXPECT_NE(SettingsFile().find("SI=\"NO\""), std::string::npos);

    // Now it stays away.
    NewSettings();
    DialogDriver none;
    ShowWindow();
    QTest::qWait(50);
    EXPECT_TRUE(none.Done()) << none.Unexpected().join(",").toStdString();
}

TEST_F(MainWindow, HelpAboutAndLastVersion) {
    StartWindow();
    window->N_Intro->trigger();
    ASSERT_EQ(browser.opened.size(), 1u);
    EXPECT_EQ(browser.opened[0], QUrl::fromLocalFile(tmp.qpath("docs/intro.html")));

    DialogDriver dialogs;
    QString versionShown;
    dialogs.Then([&](QWidget* w) {
        versionShown = w->findChild<QLabel*>("Label_version")->text();
        DialogDriver::ClickButton(w, "Ok");
    });
    window->N_About->trigger();
    EXPECT_EQ(versionShown, AppInfo::Version);

    dialogs.No().Yes();
    QTest::mouseClick(window->TB_lastversion, Qt::LeftButton);
    EXPECT_EQ(browser.opened.size(), 1u);
    window->N_lastversion->trigger();
    ASSERT_EQ(browser.opened.size(), 2u);
    EXPECT_EQ(browser.opened[1], QUrl(AppInfo::ProductPage));
    const QString question = QString("The version is \"") + AppInfo::Version + "\".\n" +
                             "Most fresh version you can find at:\n"
                             "www.quarrylog.example/quarrylog/download.html.\n"
                             "\n"
                             "Open the page now?";
    EXPECT_EQ(dialogs.Seen(), (QStringList{question, question}));
    EXPECT_TRUE(dialogs.Done());

    // Without the help page nothing is opened, and the user is told.
    QFile::remove(tmp.qpath("docs/intro.html"));
    dialogs.Ok();
    window->N_Intro->trigger();
    EXPECT_EQ(browser.opened.size(), 2u);
    EXPECT_EQ(dialogs.Seen().size(), 3);
    EXPECT_EQ(dialogs.Seen().constLast(),
              "The help page \"" + tmp.qpath("docs/intro.html") + "\" was not found.");
    EXPECT_TRUE(dialogs.Done());
}

namespace {

// The captions of a menu's entries in order (their mnemonics' '&' aside), "-" for a separator.
QStringList entries(const QMenu* menu) {
    QStringList texts;
    for (const QAction* a : menu->actions())
        texts << (a->isSeparator() ? QString("-") : a->text().remove('&'));
    return texts;
}

} // namespace

TEST_F(MainWindow, MenusInTheirOrderWithTheirSeparators) {
    StartWindow();
    QStringList bar;
    for (const QAction* a : window->MainMenu1->actions())
        bar << a->text().remove('&');
    EXPECT_EQ(bar, (QStringList{"File", "Edit", "Records", "Search", "Help"}));
    EXPECT_EQ(
        entries(window->N_File),
        (QStringList{"New", "Open", "Save", "Save as...", "Export...", "Export ticked records...",
                     "Export evidence package...", "Import...", "-", "Settings...", "-", "Exit"}));
    EXPECT_EQ(entries(window->N_Edit),
              (QStringList{"Edit URL", "Delete URL", "Filter URL list", "-", "Open URL"}));
    EXPECT_EQ(entries(window->N_Search),
              (QStringList{"Automatic mode", "Manual mode", "-", "Found URL list"}));
    EXPECT_EQ(entries(window->N_Help), (QStringList{"About", "Intro", "-", "Get last version"}));
    EXPECT_EQ(window->N_Save->shortcut(), QKeySequence("Ctrl+S"));
}

TEST_F(MainWindow, ReportInfoPageCaptions) {
    StartWindow();
    QStringList tabs;
    for (int i = 0; i < window->PageControl1->count(); ++i)
        tabs << window->PageControl1->tabText(i);
    EXPECT_EQ(tabs, (QStringList{"Report info", "Manual search", "Auto search", "Found URL list"}));
    EXPECT_EQ(window->Label1->text(), "Title:");
    EXPECT_EQ(window->Label2->text(), "Date:");
    EXPECT_EQ(window->Label3->text(), "Report description");
    EXPECT_EQ(window->Label1->buddy(), window->Edit_report_title);
    EXPECT_EQ(window->Label3->buddy(), window->Memo_report_dsc);
    EXPECT_TRUE(window->DTP_report->calendarPopup());
    EXPECT_FALSE(window->Image1->pixmap().isNull());
}

TEST_F(MainWindow, EmptyDescriptionAndOuterBlankLines) {
    StartWindow();
    QTest::keyClicks(window->Edit_report_title, "T");
    save();
    // An empty description gives the root no content text.
    EXPECT_NE(tmp.read("data/r.qrl").find("\">\r\n\t<URLS/>"), std::string::npos)
        << tmp.read("data/r.qrl");

    QTest::keyClick(window->Memo_report_dsc, Qt::Key_Return);
    QTest::keyClicks(window->Memo_report_dsc, "middle");
    QTest::keyClick(window->Memo_report_dsc, Qt::Key_Return);
    QTest::keyClick(window->Memo_report_dsc, Qt::Key_Return);
    ASSERT_EQ(window->Memo_report_dsc->toPlainText(), "\nmiddle\n\n");
    save();
    Restart();
    // The blank lines around it are kept.
    EXPECT_EQ(window->Memo_report_dsc->toPlainText(), "\nmiddle\n\n");
    EXPECT_EQ(Status(1), "");
}

TEST_F(MainWindow, StoredGeometryIsAppliedOnTheFirstActivationOnly) {
    Settings(ReportPath()).Store().WriteGeometry(613, 505, 30, 40);
    ShowWindow();
    EXPECT_EQ(window->size(), QSize(613, 505));

    // The user makes the window bigger, then opens and closes a dialog.
    window->resize(900, 700);
    DialogDriver dialogs;
    dialogs.Ok();
    window->N_About->trigger();
    EXPECT_TRUE(dialogs.Done());
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    QCoreApplication::processEvents();
    EXPECT_EQ(window->size(), QSize(900, 700));

    // The size the user left it at is the one stored at the end.
    window->close();
    EXPECT_EQ(D_settings_user->Store().Get("WIDTH"), "900");
    EXPECT_EQ(D_settings_user->Store().Get("HEIGHT"), "700");
}

TEST_F(MainWindow, ClosingAMaximisedWindowLeavesItMaximised) {
    StartOn(smallReport());
    window->resize(640, 480);
    window->showMaximized();
    ASSERT_TRUE(QTest::qWaitFor([this] { return window->isMaximized(); }));
    QTest::keyClicks(window->Edit_report_title, "!");
    DialogDriver dialogs;
    bool maximisedDuringQuestion = false;
    dialogs.Then([&](QWidget* w) {
        maximisedDuringQuestion = window->isMaximized();
        DialogDriver::ClickButton(w, "No");
    });
    window->close();
    EXPECT_TRUE(dialogs.Done());
    EXPECT_TRUE(maximisedDuringQuestion);
    EXPECT_EQ(D_settings_user->Store().Get("WIDTH"), "640");
    EXPECT_EQ(D_settings_user->Store().Get("HEIGHT"), "480");
}

TEST_F(MainWindow, FixedDialogsHaveACloseButtonOnly) {
    StartWindow();
    TF_getting_started gettingStarted;
    const std::vector<QWidget*> dialogs = {
        Fsure(), Dmsg(), D_url_edit(), D_proxyLogin(), F_about(), D_settings_user, &gettingStarted};
    for (QWidget* d : dialogs) {
        const Qt::WindowFlags flags = d->windowFlags();
        const std::string name = d->objectName().toStdString();
        EXPECT_EQ(flags & Qt::WindowType_Mask, Qt::Dialog) << name;
        EXPECT_TRUE(flags & Qt::CustomizeWindowHint) << name;
        EXPECT_TRUE(flags & Qt::WindowTitleHint) << name;
        EXPECT_TRUE(flags & Qt::WindowCloseButtonHint) << name;
        EXPECT_FALSE(flags & Qt::WindowMinimizeButtonHint) << name;
        EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint) << name;
        EXPECT_FALSE(flags & Qt::WindowContextHelpButtonHint) << name;
    }
}

TEST_F(MainWindow, SaveAsOntoAnExistingReportByNameWithoutExtensionAsksFirst) {
    tmp.write("data/r.qrl", smallReport());
    tmp.write("data/other.qrl", kOther);
    StartWindow();
    QTest::keyClicks(window->Edit_report_title, "!");
    const QString question =
        "The file \"" + tmp.qpath("data/other.qrl") + "\" already exists.\nReplace it?";

    // No: nothing is written and the report stays on its own file.
    DialogDriver dialogs;
    dialogs.Then(TypeFileName(tmp.qpath("data/other"))).No();
    window->N_Saveas->trigger();
    EXPECT_TRUE(dialogs.Done()) << dialogs.Unexpected().join(",").toStdString();
    EXPECT_EQ(dialogs.Seen(), QStringList{question});
    EXPECT_EQ(tmp.read("data/other.qrl"), kOther);
    EXPECT_EQ(tmp.read("data/r.qrl"), smallReport());
    EXPECT_EQ(Status(2), tmp.qpath("data/r.qrl"));
    EXPECT_EQ(D_settings_user->GetDataFileName(), tmp.path("data/r.qrl"));
    EXPECT_EQ(Status(1), "Changed");

    // A name whose extension is replaced asks as well; Yes replaces the file (kept as backup).
    dialogs.Then(TypeFileName(tmp.qpath("data/other.txt"))).Yes();
    window->N_Saveas->trigger();
    EXPECT_TRUE(dialogs.Done()) << dialogs.Unexpected().join(",").toStdString();
    EXPECT_EQ(dialogs.Seen(), (QStringList{question, question}));
    EXPECT_NE(tmp.read("data/other.qrl").find("Garden tools!"), std::string::npos);
    EXPECT_EQ(tmp.read("data/other.BAK"), kOther);
    EXPECT_EQ(Status(2), tmp.qpath("data/other.qrl"));

    // The report's own name without extension is no other file: no question.
    dialogs.Then(TypeFileName(tmp.qpath("data/other")));
    window->N_Saveas->trigger();
    EXPECT_TRUE(dialogs.Done()) << dialogs.Unexpected().join(",").toStdString();
    EXPECT_EQ(dialogs.Seen().size(), 2);
    EXPECT_EQ(Status(2), tmp.qpath("data/other.qrl"));
}

TEST_F(MainWindow, FileDialogsShowNamesAndDatesAndKeepTheirSize) {
    const std::string longName = "Garden tools and seeds of 2026";
    tmp.write("data/" + longName + ".qrl", kNewReport);
    StartWindow();
    struct Seen {
        QSize size;
        int nameWidth = 0, nameNeeded = 0, dateRight = 0, viewWidth = 0;
    };
    const auto look = [&](Seen& seen, QSize resizeTo) {
        return [&seen, resizeTo, &longName](QWidget* w) {
            auto* view = w->findChild<QTreeView*>("treeView");
            ASSERT_NE(view, nullptr);
            ASSERT_TRUE(QTest::qWaitFor(
                [view] { return view->model()->rowCount(view->rootIndex()) > 1; }, 5000));
            QCoreApplication::processEvents();
            seen.size = w->size();
            QHeaderView* header = view->header();
            seen.nameWidth = header->sectionSize(0);
            seen.nameNeeded =
                view->fontMetrics().horizontalAdvance(QString::fromStdString(longName + ".qrl"));
            const int date = header->count() - 1; // the last column: "Date Modified"
            seen.dateRight = header->sectionViewportPosition(date) + header->sectionSize(date);
            seen.viewWidth = view->viewport()->width();
            EXPECT_TRUE(view->isVisible());
            if (resizeTo.isValid())
                w->resize(resizeTo);
            qobject_cast<QDialog*>(w)->reject();
        };
    };
    Seen open, save, again;
    DialogDriver dialogs;
    dialogs.Then(look(open, QSize(760, 560)));
    window->N_Open->trigger();
    dialogs.Then(look(save, QSize()));
    window->N_Saveas->trigger();
    EXPECT_TRUE(dialogs.Done());

    for (const Seen* s : {&open}) {
        EXPECT_GE(s->size.width(), 700);
        EXPECT_GE(s->size.height(), 450);
        EXPECT_GE(s->nameWidth, s->nameNeeded);
        EXPECT_LE(s->dateRight, s->viewWidth);
    }
    // The size the user gave one dialog is kept, for both and for the next run.
    EXPECT_EQ(save.size, QSize(760, 560));
    EXPECT_GE(save.nameWidth, save.nameNeeded);
    EXPECT_LE(save.dateRight, save.viewWidth);
    Restart();
    dialogs.Then(look(again, QSize()));
    window->N_Open->trigger();
    EXPECT_TRUE(dialogs.Done());
    EXPECT_EQ(again.size, QSize(760, 560));
}

namespace {

const std::string kThreeRecords = ReportText()
                                      .Record("http://a.example/", "A", "first")
                                      .Record("http://b.example/", "B", "second")
                                      .Checked()
                                      .Record("http://c.example/", "C", "third");

} // namespace

class FoundList : public MainWindow {
protected:
    void SetUp() override {
        MainWindow::SetUp();
        tmp.write("data/r.qrl", kThreeRecords);
    }
    void showList() {
        StartWindow();
        ClickTab("Found URL list");
    }
    QAbstractItemModel* rows() { return window->O_results1->LV1->model(); }
    QString cell(int row, int column) { return rows()->index(row, column).data().toString(); }
    void selectRow(int row) {
        QTableView* view = window->O_results1->LV1;
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                          view->visualRect(rows()->index(row, 1)).center());
    }
    void tick(int row) {
        QTableView* view = window->O_results1->LV1;
        const QRect cellRect = view->visualRect(rows()->index(row, 0));
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                          QPoint(cellRect.left() + 10, cellRect.center().y()));
    }
};

TEST_F(FoundList, TicksEditsAndDeletesThroughTheWindow) {
    showList();
    ASSERT_EQ(rows()->rowCount(), 3);
    EXPECT_EQ(cell(1, 1), "b.example/");

    // A tick marks the report changed and reaches its record at once.
    tick(0);
    EXPECT_EQ(Status(1), "Changed");
    EXPECT_EQ(window->FindListing("http://a.example/")->GetAttr("CHK"), "Y");
    save();
    EXPECT_NE(tmp.read("data/r.qrl").find("<LISTING URL=\"http://a.example/\" CHK=\"Y\">"),
              std::string::npos);

    // Edit: the row keeps its place and shows the new title; the report is changed.
    DialogDriver dialogs;
    dialogs.Then([](QWidget* w) {
        auto* title = w->findChild<QLineEdit*>("Edit_title");
        title->selectAll();
        QTest::keyClicks(title, "B edited");
        DialogDriver::ClickButton(w, "Ok");
    });
    selectRow(1);
    QTest::mouseClick(window->TB_edit, Qt::LeftButton);
    EXPECT_EQ(cell(1, 0), "B edited");
    EXPECT_EQ(rows()->rowCount(), 3);
    EXPECT_EQ(Status(1), "Changed");
    QTest::mouseClick(window->TB_save, Qt::LeftButton);
    EXPECT_EQ(Status(1), "");

    // Delete: No keeps everything; Yes removes row and record and marks the report changed.
    selectRow(2);
    dialogs.No();
    QTest::mouseClick(window->TB_delete, Qt::LeftButton);
    EXPECT_EQ(rows()->rowCount(), 3);
    EXPECT_EQ(Status(1), "");
    dialogs.Yes();
    window->N_DeleteURL->trigger();
    EXPECT_EQ(rows()->rowCount(), 2);
    EXPECT_EQ(window->FindListing("http://c.example/"), nullptr);
    EXPECT_EQ(Status(1), "Changed");

    // Open URL hands the record's redirect to the default browser.
    selectRow(0);
    QTest::mouseClick(window->TB_open_web_page, Qt::LeftButton);
    ASSERT_EQ(browser.opened.size(), 1u);
    EXPECT_EQ(browser.opened[0], QUrl("http://a.example/"));
    EXPECT_TRUE(dialogs.Done());
}

// The find text hides the selected row: no other record becomes the one the window's
// commands act on.
TEST_F(FoundList, CommandsDoNothingOnceTheFindTextHidesTheSelectedRow) {
    showList();
    selectRow(1);
    QTest::keyClicks(window->O_results1->E_find, "first");
    ASSERT_EQ(rows()->rowCount(), 1);

    DialogDriver dialogs; // the URL editor or a question would be unexpected
    window->N_EditURL->trigger();
    QTest::mouseClick(window->TB_edit, Qt::LeftButton);
    window->N_DeleteURL->trigger();
    QTest::keyClick(window->O_results1->LV1, Qt::Key_Delete);
    window->N_OpenURL->trigger();
    EXPECT_TRUE(dialogs.Done()) << dialogs.Unexpected().join(",").toStdString();
    EXPECT_TRUE(browser.opened.empty());
    EXPECT_EQ(Status(1), "");
    EXPECT_EQ(window->O_results1->SelectedRecord(), nullptr);
    window->O_results1->E_find->clear();
    EXPECT_EQ(rows()->rowCount(), 3);
}

TEST_F(FoundList, ListIsRebuiltByTheTabNotByTheMenu) {
    showList();
    ClickTab("Report info");
    EXPECT_TRUE(window->AddListing("D", "fourth", "http://d.example/", "http://d.example/"));
    window->N_FoundURLlist->trigger();
    EXPECT_EQ(window->PageControl1->currentWidget(), window->TabSheet_view);
    EXPECT_EQ(rows()->rowCount(), 3);
    ClickTab("Report info");
    ClickTab("Found URL list");
    EXPECT_EQ(rows()->rowCount(), 4);
    EXPECT_FALSE(window->ListDirty);
}

TEST_F(FoundList, PageAddedByHandStaysOnlyWhenTheEditorIsConfirmed) {
    StartWindow();
    DialogDriver dialogs;
    QString titleShown;
    dialogs.Then([&](QWidget* w) {
        titleShown = w->findChild<QLineEdit*>("Edit_title")->text();
        DialogDriver::ClickButton(w, "Cancel");
    });
    window->AddPageByHand("http://new.example/");
    EXPECT_EQ(titleShown, "title of http://new.example/");
    EXPECT_EQ(window->FindListing("http://new.example/"), nullptr);
    EXPECT_EQ(window->Urls->ChildCount(), 3);
    EXPECT_EQ(Status(1), "Changed"); // the document stays marked changed

    dialogs.Ok();
    window->AddPageByHand("http://new.example/");
    TQelPigger* added = window->FindListing("HTTP://NEW.EXAMPLE/");
    ASSERT_NE(added, nullptr);
    EXPECT_EQ(added->FindChild("DESCRIPTION")->Text, "descripton of http://new.example/");
    EXPECT_EQ(added->FindChild("REDIRECT")->Text, "http://new.example/");

    dialogs.Ok();
    window->AddPageByHand("http://A.example/");
    EXPECT_EQ(dialogs.Seen(), QStringList{"This URL already exists in the list"});
    EXPECT_EQ(window->Urls->ChildCount(), 4);
    window->AddPageByHand("");
    EXPECT_TRUE(dialogs.Done());
}

TEST_F(FoundList, ATickIsNotLostWhenTheProgramIsClosed) {
    showList();
    tick(1); // B loses its tick
    EXPECT_EQ(window->FindListing("http://b.example/")->GetAttr("CHK"), "");
    EXPECT_EQ(Status(1), "Changed");
    DialogDriver dialogs;
    dialogs.Yes();
    window->close();
    EXPECT_EQ(dialogs.Seen(), QStringList{"Save changes?"});
    EXPECT_EQ(tmp.read("data/r.qrl").find("CHK"), std::string::npos) << tmp.read("data/r.qrl");

    // Unticking and ticking again is still a change the user is asked about.
    Restart();
    ClickTab("Found URL list");
    tick(0);
    tick(0);
    dialogs.No();
    window->close();
    EXPECT_EQ(dialogs.Seen(), (QStringList{"Save changes?", "Save changes?"}));
    EXPECT_TRUE(dialogs.Done());
}

TEST_F(FoundList, EditorAcceptsTheAddressOfAnotherRecord) {
    showList();
    DialogDriver dialogs;
    QStringList labels;
    QString caption;
    dialogs.Then([&](QWidget* w) {
        caption = w->windowTitle();
        for (const QLabel* label : w->findChildren<QLabel*>())
            if (!label->text().isEmpty())
                labels << label->text();
        auto* url = w->findChild<QLineEdit*>("Edit_url");
        url->selectAll();
        QTest::keyClicks(url, "http://a.example/");
        DialogDriver::ClickButton(w, "Ok");
    });
    selectRow(2);
    window->N_EditURL->trigger();
    EXPECT_TRUE(dialogs.Done());
    EXPECT_EQ(caption, "URL");
    EXPECT_EQ(labels, (QStringList{"URL:", "Title:", "Description:"}));
    EXPECT_EQ(Status(1), "Changed");
    ASSERT_EQ(rows()->rowCount(), 3);
    EXPECT_EQ(cell(0, 1), "a.example/");
    EXPECT_EQ(cell(2, 1), "a.example/");
    EXPECT_EQ(cell(2, 0), "C");
    ClickTab("Report info");
    ClickTab("Found URL list");
    window->RefreshList();
    EXPECT_EQ(rows()->rowCount(), 3);
    QTest::mouseClick(window->TB_save, Qt::LeftButton);
    const std::string saved = tmp.read("data/r.qrl");
    EXPECT_NE(saved.find("<LISTING URL=\"http://a.example/\">\r\n\t\t\t<TITLE>C"),
              std::string::npos)
        << saved;
}

namespace {

// Picks a file type in a file dialog's type box with the keyboard.
void chooseFileType(QWidget* dialog, const QString& type) {
    auto* box = dialog->findChild<QComboBox*>("fileTypeCombo");
    ASSERT_NE(box, nullptr);
    const int index = box->findText(type);
    ASSERT_GE(index, 0) << type.toStdString();
    box->setFocus();
    for (int step = 0; step < 10 && box->currentIndex() != index; ++step)
        QTest::keyClick(box, box->currentIndex() < index ? Qt::Key_Down : Qt::Key_Up);
    EXPECT_EQ(box->currentText(), type);
}

} // namespace

TEST_F(FoundList, ImportAddsOnlyNewPagesAndSaysHowMany) {
    tmp.write("data/pages.csv", "url;title;checked\nHTTP://B.EXAMPLE/;not taken;\n"
                                "http://d.example/;\"D; fourth\";Y\n");
    tmp.write("data/titles.csv", "title\nno address\n");
    StartWindow();
    ClickTab("Found URL list");
    ASSERT_EQ(rows()->rowCount(), 3);
    EXPECT_EQ(Status(1), "");

    DialogDriver dialogs;
    dialogs.Then(TypeFileName(tmp.qpath("data/pages.csv"))).Ok();
    window->N_Import->trigger();
    EXPECT_TRUE(dialogs.Done()) << dialogs.Unexpected().join(",").toStdString();
    EXPECT_EQ(dialogs.Seen(), QStringList{"Imported 1 new record; 1 was already in the report."});
    EXPECT_EQ(Status(1), "Changed");
    ASSERT_EQ(rows()->rowCount(), 4);
    EXPECT_EQ(cell(3, 0), "D; fourth");
    EXPECT_EQ(rows()->index(3, 0).data(Qt::CheckStateRole).toInt(), Qt::Checked);
    EXPECT_EQ(cell(1, 0), "B");
    QTest::mouseClick(window->TB_save, Qt::LeftButton);
    EXPECT_NE(tmp.read("data/r.qrl").find("<LISTING URL=\"http://d.example/\" CHK=\"Y\">"),
              std::string::npos);

    // Nothing new: the report stays unchanged. A file without addresses adds nothing.
    dialogs.Then(TypeFileName(tmp.qpath("data/pages.csv"))).Ok();
    dialogs.Then(TypeFileName(tmp.qpath("data/titles.csv"))).Ok();
    window->N_Import->trigger();
    window->N_Import->trigger();
    EXPECT_TRUE(dialogs.Done()) << dialogs.Unexpected().join(",").toStdString();
    ASSERT_EQ(dialogs.Seen().size(), 3);
    EXPECT_EQ(dialogs.Seen()[1], "Imported 0 new records; 2 were already in the report.");
    EXPECT_EQ(dialogs.Seen()[2], "Nothing was imported.\n" + tmp.qpath("data/titles.csv") +
                                     ": the header row has no url column");
    EXPECT_EQ(Status(1), "");
    EXPECT_EQ(rows()->rowCount(), 4);
}

TEST_F(FoundList, ExportOfAllOrOfTheTickedRecordsInTheChosenType) {
    // The dialog lists the files of the chosen type; there is one of each.
    tmp.write("data/old.csv", "");
    tmp.write("data/old.html", "");
    StartWindow();
    ClickTab("Found URL list");
    tick(0); // a tick not saved yet is exported too

    DialogDriver dialogs;
    dialogs.Then([this](QWidget* w) {
        EXPECT_EQ(w->windowTitle(), "Export ticked records");
        chooseFileType(w, "Spreadsheet, CSV (*.csv)");
        TypeFileName(tmp.qpath("data/ticked"))(w);
    });
    window->N_ExportTicked->trigger();
    EXPECT_TRUE(dialogs.Done()) << dialogs.Unexpected().join(",").toStdString();
    EXPECT_EQ(tmp.read("data/ticked.csv"),
              ExportReport(window->Doc, ExportFormat::Csv, true).toStdString());

    dialogs.Then([this](QWidget* w) {
        EXPECT_EQ(w->windowTitle(), "Export");
        chooseFileType(w, "Web page (*.html)");
        TypeFileName(tmp.qpath("data/all.html"))(w);
    });
    dialogs.Then([this](QWidget* w) {
        chooseFileType(w, "Browser bookmarks (*.html)");
        TypeFileName(tmp.qpath("data/marks"))(w);
    });
    window->N_Export->trigger();
    window->N_Export->trigger();
    EXPECT_TRUE(dialogs.Done()) << dialogs.Unexpected().join(",").toStdString();
    const std::string page = tmp.read("data/all.html");
    EXPECT_NE(page.find("<!DOCTYPE html>"), std::string::npos);
    EXPECT_NE(page.find("<p class=\"count\">3 records</p>"), std::string::npos);
    const std::string marks = tmp.read("data/marks.html");
    EXPECT_EQ(marks.rfind("<!DOCTYPE NETSCAPE-Bookmark-file-1>", 0), 0u);
    EXPECT_NE(marks.find("<DT><A HREF=\"http://c.example/\">C</A>"), std::string::npos);
    // Exporting is no change of the report.
    EXPECT_EQ(Status(1), "Changed");
    QTest::mouseClick(window->TB_save, Qt::LeftButton);
    EXPECT_EQ(Status(1), "");
    // The dialog keeps the type chosen last.
    dialogs.Then(TypeFileName(tmp.qpath("data/again.html")));
    window->N_Export->trigger();
    EXPECT_TRUE(dialogs.Done()) << dialogs.Unexpected().join(",").toStdString();
    EXPECT_EQ(tmp.read("data/again.html"), marks);
    EXPECT_EQ(Status(1), "");
}

TEST_F(FoundList, SortedListKeysAndColumnWidthsThroughTheWindow) {
    showList();
    QHeaderView* header = window->O_results1->LV1->horizontalHeader();
    const auto clickHeader = [header](int column) {
        QTest::mouseClick(
            header->viewport(), Qt::LeftButton, {},
            QPoint(header->sectionViewportPosition(column) + 20, header->height() / 2));
    };
    clickHeader(0);
    clickHeader(0); // C, B, A
    ASSERT_EQ(cell(0, 0), "C");
    EXPECT_EQ(window->O_results1->L_counts->text(), "3 records, 1 ticked");

    // Space ticks the record seen, and that is a change of the report.
    selectRow(2);
    QTest::keyClick(window->O_results1->LV1, Qt::Key_Space);
    EXPECT_EQ(window->FindListing("http://a.example/")->GetAttr("CHK"), "Y");
    EXPECT_EQ(window->FindListing("http://b.example/")->GetAttr("CHK"), "Y");
    EXPECT_EQ(Status(1), "Changed");
    EXPECT_EQ(window->O_results1->L_counts->text(), "3 records, 2 ticked");

    // The Delete key asks as the toolbar does and removes the record seen.
    DialogDriver dialogs;
    selectRow(0);
    dialogs.Yes();
    QTest::keyClick(window->O_results1->LV1, Qt::Key_Delete);
    EXPECT_EQ(window->FindListing("http://c.example/"), nullptr);
    EXPECT_NE(window->FindListing("http://a.example/"), nullptr);
    EXPECT_EQ(window->O_results1->L_counts->text(), "2 records, 2 ticked");
    EXPECT_EQ(dialogs.Seen(), QStringList{"Delete current URL?"});
    QTest::mouseClick(window->TB_save, Qt::LeftButton);
    EXPECT_EQ(Status(1), "");

    // The sort stays through a refresh; the file keeps record order.
    QTest::mouseClick(window->TB_refresh, Qt::LeftButton);
    EXPECT_EQ(cell(0, 0), "B");
    const std::string saved = tmp.read("data/r.qrl");
    EXPECT_EQ(saved.find("c.example"), std::string::npos);
    EXPECT_LT(saved.find("a.example"), saved.find("b.example"));

    // Column widths the user sets come back at the next start.
    header->resizeSection(0, 123);
    header->resizeSection(1, 77);
    window->close();
    Restart();
    EXPECT_EQ(window->O_results1->LV1->horizontalHeader()->sectionSize(0), 123);
    EXPECT_EQ(window->O_results1->LV1->horizontalHeader()->sectionSize(1), 77);
    EXPECT_NE(SettingsFile().find("LISTTITLEW=\"123\""), std::string::npos);
    EXPECT_TRUE(dialogs.Done()) << dialogs.Seen().join("|").toStdString() << " / "
                                << dialogs.Unexpected().join("|").toStdString();
}
