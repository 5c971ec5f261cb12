// The recovery copy of a modified report, seen from the main window: written while the report
// is modified, removed by Save and by No to "Save changes?", and after a crash (the program
// killed as a child process right after an automatic search) offered at the next start.
#include "app/TFmain.h"
#include "report/RecoveryCopy.h"

#include "support/DialogDriver.h"
#include "support/FeedServer.h"
#include "support/FileDialogTyping.h"
#include "support/MainWindowHarness.h"
#include "support/SampleReports.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QStatusBar>
#include <QTest>
#include <QToolButton>

namespace {

const std::string kReport = SmallReportText();

// A program folder with a report in data/r.qrl and a window started on it in this process.
class Recovery : public MainWindowHarness {
protected:
    void SetUp() override {
        MainWindowHarness::SetUp();
        tmp.write("data/r.qrl", kReport);
    }

    // Starts the window (as the program starts) with the copy written every intervalMs.
    void start(int intervalMs = TForm_main::DefaultRecoveryIntervalMs) {
        Settings(ReportPath()).Store().Set("RECOVERY_INTERVAL_MS", std::to_string(intervalMs));
        ShowWindow();
    }
    // Starts on a report large enough that its copy takes many slices of the window's time.
    void startOnALargeReport() {
        ReportText large;
        large.Title("Garden tools").Description("Many");
        for (int i = 0; i < 60000; ++i)
            large.Record("http://www.shop-" + std::to_string(i) + ".example/", "Spades",
                         "Hand-forged spades from a family workshop");
        tmp.write("data/r.qrl", large);
        start();
        window->Edit_report_title->setText("Garden tools, spring");
        window->SaveRecoveryCopy();
        // A slice or so: the copy is on its way, far from its end.
        QCoreApplication::processEvents();
        ASSERT_TRUE(window->RecoveryCopyInFlight());
    }
    std::string recoveryCopy() const { return tmp.read("data/r.qrl.recover"); }
    static bool holds(const std::string& text, const std::string& part) {
        return text.find(part) != std::string::npos;
    }
};

// The crash: the program, started as a child process with its own folders, runs an automatic
// search against the loopback feed and is killed once the recovery copy holds what it found.
class RecoveryAfterCrash : public Recovery {
protected:
    void crashAfterSearch() {
        FeedServer feed({"--listings", "3"});
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("XDG_CONFIG_HOME", tmp.qpath("xdg/config"));
        env.insert("XDG_DATA_HOME", tmp.qpath("xdg/data"));
        env.insert("XDG_CACHE_HOME", tmp.qpath("xdg/cache"));
        env.insert("XDG_RUNTIME_DIR", tmp.qpath("xdg/runtime"));
        QDir().mkpath(tmp.qpath("xdg/runtime"));
        QFile::setPermissions(tmp.qpath("xdg/runtime"), QFileDevice::ReadOwner |
                                                            QFileDevice::WriteOwner |
                                                            QFileDevice::ExeOwner);
        child.setProcessEnvironment(env);
        child.setWorkingDirectory(tmp.qpath("bin"));
        child.setProcessChannelMode(QProcess::ForwardedChannels);
        child.start(RECOVERY_CHILD, {tmp.qpath("bin/child.set"), tmp.qpath("data/r.qrl"),
                                     QString::fromStdString(feed.host()), "spades", "forks"});
        ASSERT_TRUE(child.waitForStarted(10000));
        // The copy comes after the run, with the pages of both keywords.
        const bool written = WaitUntil(
            [&] {
                const std::string copy = recoveryCopy();
                return holds(copy, "http://www.spades-3.example/") &&
                       holds(copy, "http://www.forks-3.example/");
            },
            30000);
        child.kill();
        ASSERT_TRUE(child.waitForFinished(10000));
        ASSERT_TRUE(written) << "no recovery copy after the search";
        EXPECT_EQ(child.exitStatus(), QProcess::CrashExit);
        EXPECT_EQ(feed.requests().size(), 2u);
        // The report itself was not written by the program that crashed.
        ASSERT_EQ(tmp.read("data/r.qrl"), kReport);
        found = FindRecoveryCopy(tmp.path("data/r.qrl"));
        ASSERT_EQ(found.kind, RecoveryState::Newer);
    }

    RecoveryState found;
};

} // namespace

TEST_F(RecoveryAfterCrash, NextStartOffersTheCopyAndYesRestoresItUntilSave) {
    crashAfterSearch();
    const std::string copy = recoveryCopy();
    DialogDriver dialogs;
    dialogs.Yes();
    start();
    EXPECT_TRUE(dialogs.Done());
    EXPECT_EQ(dialogs.Seen(), QStringList{RecoveryQuestion(found.written, QLocale::system())});
    EXPECT_TRUE(dialogs.Seen().value(0).startsWith("A recovery copy of this report from "));

    // The report as it was in the program that crashed: the record it had and the six found.
    EXPECT_TRUE(window->Modified);
    EXPECT_EQ(window->StatusPanel[1]->text(), "Changed");
    EXPECT_EQ(window->Edit_report_title->text(), "Garden tools");
    ASSERT_NE(window->Urls, nullptr);
    EXPECT_EQ(window->Urls->ChildCount(), 7);
    EXPECT_NE(window->FindListing("http://www.forks-2.example/"), nullptr);
    // Until Save the report file is untouched and the copy stays.
    EXPECT_EQ(tmp.read("data/r.qrl"), kReport);
    EXPECT_EQ(recoveryCopy(), copy);

    QTest::mouseClick(window->TB_save, Qt::LeftButton);
    EXPECT_FALSE(window->Modified);
    EXPECT_FALSE(tmp.exists("data/r.qrl.recover"));
    EXPECT_TRUE(holds(tmp.read("data/r.qrl"), "URL=\"http://www.forks-2.example/\""));
    EXPECT_EQ(tmp.read("data/r.BAK"), kReport);
    EXPECT_TRUE(QDir(tmp.qpath("data")).entryList({"*.kept*"}).isEmpty());
}

TEST_F(RecoveryAfterCrash, NoKeepsTheCopyAsideAndOpensTheReportAsSaved) {
    crashAfterSearch();
    const std::string copy = recoveryCopy();
    DialogDriver dialogs;
    dialogs.No();
    start();
    EXPECT_TRUE(dialogs.Done());
    EXPECT_EQ(dialogs.Seen().size(), 1);
    EXPECT_FALSE(window->Modified);
    EXPECT_EQ(window->Urls->ChildCount(), 1);
    EXPECT_FALSE(tmp.exists("data/r.qrl.recover"));
    EXPECT_EQ(tmp.read("data/r.qrl.recover.kept"), copy);
    EXPECT_TRUE(window->StatusBar1->currentMessage().contains("r.qrl.recover.kept"))
        << window->StatusBar1->currentMessage().toStdString();
    EXPECT_EQ(tmp.read("data/r.qrl"), kReport);

    // Closing the unchanged report asks nothing and leaves the kept copy alone.
    DialogDriver none;
    EXPECT_TRUE(window->close());
    EXPECT_TRUE(none.Done());
    EXPECT_EQ(tmp.read("data/r.qrl.recover.kept"), copy);
}

TEST_F(Recovery, ModifiedReportIsCopiedOnTheTimerAndNoToSaveChangesRemovesTheCopy) {
    start(40);
    // An unchanged report needs no copy.
    QTest::qWait(200);
    EXPECT_FALSE(tmp.exists("data/r.qrl.recover"));

    window->Edit_report_title->setText("Garden tools, spring");
    ASSERT_TRUE(
        WaitUntil([&] { return holds(recoveryCopy(), "RTITLE=\"Garden tools, spring\""); }));
    EXPECT_EQ(tmp.read("data/r.qrl"), kReport);
    // The copy follows later changes.
    window->Memo_report_dsc->setPlainText("Only the sharp ones.");
    ASSERT_TRUE(WaitUntil([&] { return holds(recoveryCopy(), "Only the sharp ones."); }));

    DialogDriver dialogs;
    dialogs.No();
    EXPECT_TRUE(window->close());
    EXPECT_EQ(dialogs.Seen(), QStringList{"Save changes?"});
    EXPECT_FALSE(tmp.exists("data/r.qrl.recover"));
    EXPECT_EQ(tmp.read("data/r.qrl"), kReport);
    EXPECT_TRUE(QDir(tmp.qpath("data")).entryList({"*.kept*"}).isEmpty());
}

TEST_F(Recovery, SaveAndSaveAsRemoveTheCopy) {
    start(40);
    window->Edit_report_title->setText("Garden tools, spring");
    ASSERT_TRUE(WaitUntil([&] { return tmp.exists("data/r.qrl.recover"); }));
    QTest::mouseClick(window->TB_save, Qt::LeftButton);
    EXPECT_FALSE(tmp.exists("data/r.qrl.recover"));
    EXPECT_TRUE(holds(tmp.read("data/r.qrl"), "RTITLE=\"Garden tools, spring\""));
    // Saved and unchanged: the timer writes nothing.
    QTest::qWait(200);
    EXPECT_FALSE(tmp.exists("data/r.qrl.recover"));

    window->Edit_report_title->setText("Garden tools, summer");
    ASSERT_TRUE(WaitUntil([&] { return tmp.exists("data/r.qrl.recover"); }));
    DialogDriver dialogs;
    dialogs.Then(TypeFileName(tmp.qpath("data/s.qrl")));
    window->N_Saveas->trigger();
    EXPECT_TRUE(dialogs.Done()) << dialogs.Unexpected().join(",").toStdString();
    EXPECT_EQ(window->FileName, tmp.path("data/s.qrl"));
    EXPECT_FALSE(tmp.exists("data/r.qrl.recover"));
    EXPECT_FALSE(tmp.exists("data/s.qrl.recover"));
    EXPECT_TRUE(holds(tmp.read("data/s.qrl"), "RTITLE=\"Garden tools, summer\""));
}

TEST_F(Recovery, ACopyThatCannotBeWrittenIsNotedOnceAndTheWorkGoesOn) {
    // A folder where the copy belongs: no file can take its place.
    ASSERT_TRUE(QDir().mkpath(tmp.qpath("data/r.qrl.recover")));
    DialogDriver dialogs;
    start(40);
    window->Edit_report_title->setText("Garden tools, spring");
    ASSERT_TRUE(WaitUntil([&] { return !window->StatusBar1->currentMessage().isEmpty(); }));
    const QString note = window->StatusBar1->currentMessage();
    EXPECT_TRUE(note.startsWith("The recovery copy was not written: ")) << note.toStdString();
    EXPECT_TRUE(note.contains("r.qrl.recover")) << note.toStdString();
    // Told once, not at every change.
    window->StatusBar1->clearMessage();
    window->Edit_report_title->setText("Garden tools, summer");
    QTest::qWait(200);
    EXPECT_TRUE(window->StatusBar1->currentMessage().isEmpty());
    EXPECT_TRUE(window->Modified);
    EXPECT_EQ(window->Edit_report_title->text(), "Garden tools, summer");
    EXPECT_TRUE(dialogs.Done());
    // Save still works.
    QTest::mouseClick(window->TB_save, Qt::LeftButton);
    EXPECT_FALSE(window->Modified);
    EXPECT_TRUE(holds(tmp.read("data/r.qrl"), "RTITLE=\"Garden tools, summer\""));
}

TEST_F(Recovery, ANoteLeavesTheChangedMarkAndTheFileNameInSight) {
    ASSERT_TRUE(QDir().mkpath(tmp.qpath("data/r.qrl.recover")));
    start(40);
    window->Edit_report_title->setText("Garden tools, spring");
    ASSERT_TRUE(WaitUntil([&] { return !window->StatusBar1->currentMessage().isEmpty(); }));
    for (int panel : {1, 2})
        EXPECT_TRUE(window->StatusPanel[panel]->isVisible()) << panel;
    EXPECT_EQ(window->StatusPanel[1]->text(), "Changed");
    EXPECT_EQ(window->StatusPanel[2]->text(), tmp.qpath("data/r.qrl"));
}

TEST_F(Recovery, ACopyOlderThanTheReportIsKeptAsideWithoutAQuestion) {
    std::string error;
    TQelPigger old;
    old.SetAsText(SmallReportText());
    old.SetAttr("RTITLE", "before the last save");
    ASSERT_TRUE(WriteRecoveryCopy(old, tmp.path("data/r.qrl"), &error)) << error;
    QFile copy(tmp.qpath("data/r.qrl.recover"));
    ASSERT_TRUE(copy.open(QIODevice::ReadWrite));
    ASSERT_TRUE(copy.setFileTime(QDateTime::currentDateTime().addSecs(-3600),
                                 QFileDevice::FileModificationTime));
    copy.close();
    DialogDriver dialogs;
    start();
    EXPECT_TRUE(dialogs.Done());
    EXPECT_TRUE(dialogs.Seen().isEmpty());
    EXPECT_FALSE(window->Modified);
    EXPECT_EQ(window->Edit_report_title->text(), "Garden tools");
    EXPECT_FALSE(tmp.exists("data/r.qrl.recover"));
    EXPECT_TRUE(holds(tmp.read("data/r.qrl.recover.kept"), "RTITLE=\"before the last save\""));
}

TEST_F(Recovery, OpeningAReportOffersItsCopyAndKeepsTheRestoredReportModified) {
    tmp.write("data/other.qrl", kReport);
    TQelPigger unsaved;
    unsaved.SetAsText(kReport);
    unsaved.SetAttr("RTITLE", "Other, unsaved");
    std::string error;
    ASSERT_TRUE(WriteRecoveryCopy(unsaved, tmp.path("data/other.qrl"), &error)) << error;
    QFile report(tmp.qpath("data/other.qrl"));
    ASSERT_TRUE(report.open(QIODevice::ReadWrite));
    ASSERT_TRUE(report.setFileTime(QDateTime::currentDateTime().addSecs(-60),
                                   QFileDevice::FileModificationTime));
    report.close();
    const RecoveryState state = FindRecoveryCopy(tmp.path("data/other.qrl"));
    start();

    DialogDriver dialogs;
    dialogs.Then(TypeFileName(tmp.qpath("data/other.qrl"))).Yes();
    window->N_Open->trigger();
    EXPECT_TRUE(dialogs.Done()) << dialogs.Unexpected().join(",").toStdString();
    EXPECT_EQ(dialogs.Seen(), QStringList{RecoveryQuestion(state.written, QLocale::system())});
    EXPECT_EQ(window->FileName, tmp.path("data/other.qrl"));
    EXPECT_TRUE(window->Modified);
    EXPECT_EQ(window->Edit_report_title->text(), "Other, unsaved");
    EXPECT_EQ(tmp.read("data/other.qrl"), kReport);
    EXPECT_TRUE(tmp.exists("data/other.qrl.recover"));

    // "Save changes?" Yes at the end writes it and the copy goes.
    dialogs.Yes();
    EXPECT_TRUE(window->close());
    EXPECT_EQ(dialogs.Seen().value(1), "Save changes?");
    EXPECT_TRUE(holds(tmp.read("data/other.qrl"), "RTITLE=\"Other, unsaved\""));
    EXPECT_FALSE(tmp.exists("data/other.qrl.recover"));
}

TEST_F(Recovery, SaveGivesUpACopyInFlightAndAChangeBeginsItAnew) {
    startOnALargeReport();
    window->Edit_report_title->setText("Garden tools, summer");
    window->WaitForRecoveryCopy();
    // The copy written is the report as it is now, whole.
    window->StoreDocument();
    EXPECT_EQ(recoveryCopy(), window->Doc.GetAsText());
    EXPECT_TRUE(holds(recoveryCopy(), "RTITLE=\"Garden tools, summer\""));

    window->Memo_report_dsc->setPlainText("Fewer");
    window->SaveRecoveryCopy();
    QCoreApplication::processEvents();
    ASSERT_TRUE(window->RecoveryCopyInFlight());
    QTest::mouseClick(window->TB_save, Qt::LeftButton);
    EXPECT_FALSE(window->RecoveryCopyInFlight());
    window->WaitForRecoveryCopy();
    // No copy lands after the save, and no part of one is left.
    EXPECT_EQ(QDir(tmp.qpath("data")).entryList(QDir::Files, QDir::Name),
              (QStringList{"r.BAK", "r.qrl"}));
    EXPECT_FALSE(window->Modified);
    TQelPigger saved;
    saved.LoadFromFile(tmp.path("data/r.qrl"));
    EXPECT_EQ(saved.GetAsText(), window->Doc.GetAsText());
    EXPECT_EQ(saved.FindChild("URLS")->ChildCount(), 60000);
}
