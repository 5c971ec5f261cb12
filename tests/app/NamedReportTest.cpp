// A report named on the command line, as a file manager passes it.
#include "app/TFmain.h"
#include "tree/LocalText.h"

#include "support/DialogDriver.h"
#include "support/MainWindowHarness.h"
#include "support/NonReportFiles.h"
#include "support/SampleReports.h"
#include "support/TempDir.h"
#include "support/UrlCatcher.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include <utility>
#include <vector>

#include <sys/stat.h>

namespace {

class NamedReport : public MainWindowHarness {
protected:
    void SetUp() override {
        MainWindowHarness::SetUp();
        Folders({"elsewhere"});
        tmp.write("data/last.qrl", ReportText().Title("Last one"));
        tmp.write("elsewhere/garden.qrl", SmallReportText());
        Settings(ReportPath("last.qrl"));
    }

    // Starts the window as the program does with a report on its command line.
    bool startWith(const QString& named) {
        bool taken = false;
        ShowWindow([&](TFmain& w) { taken = w.OpenNamedReport(named); });
        return taken;
    }
    // The same after this run of the program has ended.
    bool restartWith(const QString& named) {
        window.reset();
        if (!D_settings_user)
            NewSettings();
        return startWith(named);
    }

    QString title() const { return window->Edit_report_title->text(); }
};

} // namespace

TEST_F(NamedReport, RelativeNameIsOpenedAndBecomesTheLastReport) {
    EXPECT_TRUE(startWith("../elsewhere/garden.qrl"));
    EXPECT_EQ(title(), "Garden tools");
    EXPECT_EQ(Status(2), tmp.qpath("elsewhere/garden.qrl"));
    EXPECT_EQ(D_settings_user->GetDataFileName(), tmp.path("elsewhere/garden.qrl"));
    // Written at once, as after Open.
    EXPECT_NE(SettingsFile().find("DATA_FILE_NAME=\"" + tmp.path("elsewhere/garden.qrl")),
              std::string::npos)
        << SettingsFile();
    EXPECT_EQ(tmp.read("elsewhere/garden.qrl"), SmallReportText());

    // The next start without a name opens it again.
    Restart();
    EXPECT_EQ(title(), "Garden tools");
}

TEST_F(NamedReport, OtherExtensionStandsForTheQrlFileWhichIsCreated) {
    EXPECT_TRUE(startWith(tmp.qpath("elsewhere/plan.txt")));
    EXPECT_EQ(Status(2), tmp.qpath("elsewhere/plan.qrl"));
    EXPECT_EQ(tmp.read("elsewhere/plan.qrl"), std::string(ReportText()));
    EXPECT_FALSE(tmp.exists("elsewhere/plan.txt"));
    EXPECT_EQ(D_settings_user->GetDataFileName(), tmp.path("elsewhere/plan.qrl"));
}

TEST_F(NamedReport, UnreadableFileIsLeftUntouchedAndTheLastReportOpens) {
    const std::string picture = "\x89PNG\r\n\x1a\n not a report <QRL";
    tmp.write("elsewhere/broken.qrl", picture);
    DialogDriver dialogs;
    dialogs.Ok().Ok();
    EXPECT_FALSE(startWith(tmp.qpath("elsewhere/broken.qrl")));
    ASSERT_EQ(dialogs.Seen().size(), 1);
    const QString said = dialogs.Seen()[0];
    EXPECT_TRUE(said.startsWith("The report file \"" + tmp.qpath("elsewhere/broken.qrl") +
                                "\" could not be read ("))
        << said.toStdString();
    EXPECT_TRUE(said.endsWith("It was left untouched; \"" + tmp.qpath("data/last.qrl") +
                              "\" is opened instead."))
        << said.toStdString();
    EXPECT_EQ(title(), "Last one");
    EXPECT_EQ(D_settings_user->GetDataFileName(), tmp.path("data/last.qrl"));

    // Saving the open report does not reach the unreadable one, and nothing was put aside.
    QTest::keyClick(window->Edit_report_title, Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(tmp.read("elsewhere/broken.qrl"), picture);
    EXPECT_EQ(QDir(tmp.qpath("elsewhere")).entryList(QDir::Files),
              (QStringList{"broken.qrl", "garden.qrl"}));

    // A folder is no report either.
    QDir(tmp.qpath("")).mkpath("elsewhere/folder.qrl");
    EXPECT_FALSE(restartWith(tmp.qpath("elsewhere/folder.qrl")));
    ASSERT_EQ(dialogs.Seen().size(), 2);
    EXPECT_TRUE(dialogs.Seen()[1].contains("could not be read")) << dialogs.Seen()[1].toStdString();
    EXPECT_TRUE(QFileInfo(tmp.qpath("elsewhere/folder.qrl")).isDir());
    EXPECT_EQ(title(), "Last one");
    EXPECT_TRUE(dialogs.Done());
}

TEST_F(NamedReport, HelpPagesFromTheBuildFolderWhenStartedElsewhere) {
    // "../docs" of the start folder holds no pages here: the pages beside the program are used.
    UrlCatcher browser;
    startWith(tmp.qpath("elsewhere/garden.qrl"));
    const QString pages = QDir(QCoreApplication::applicationDirPath() + "/../docs").canonicalPath();
    ASSERT_TRUE(QFileInfo::exists(pages + "/intro.html"));
    EXPECT_EQ(window->DocsDir, pages);
    window->OpenDoc(" intro ");
    ASSERT_EQ(browser.opened.size(), 1u);
    EXPECT_EQ(browser.opened[0], QUrl::fromLocalFile(pages + "/intro.html"));

    DialogDriver dialogs;
    dialogs.Ok();
    window->OpenDoc("nothing");
    EXPECT_EQ(dialogs.Seen(),
              QStringList{"The help page \"" + pages + "/nothing.html\" was not found."});
    EXPECT_EQ(browser.opened.size(), 1u);
}

TEST_F(NamedReport, ProgramsRandomBytesAndPipesAreRefusedWithoutLoadingAnyOfThem) {
    DialogDriver dialogs;
    // A program and random bytes with a report's name, and a pipe that nobody writes (reading
    // it would wait for ever).
    TempDir files;
    WriteNonReportFiles(files);
    tmp.write("elsewhere/program.qrl", files.read("program.elf"));
    tmp.write("elsewhere/noise.qrl", files.read("random.bin"));
    ASSERT_EQ(::mkfifo(tmp.path("elsewhere/pipe.qrl").c_str(), 0600), 0);
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"elsewhere/program.qrl", "Syntax error. Position 1"},
        {"elsewhere/noise.qrl", "Syntax error. Position 263"},
        {"elsewhere/pipe.qrl",
         "Cannot open file \"" + tmp.path("elsewhere/pipe.qrl") + "\": it is not a regular file"},
    };
    for (const auto& [name, reason] : cases) {
        SCOPED_TRACE(name);
        const std::string before = name == "elsewhere/pipe.qrl" ? "" : tmp.read(name);
        dialogs.Ok();
        EXPECT_FALSE(restartWith(tmp.qpath(name)));
        EXPECT_TRUE(
            dialogs.Seen().constLast().contains("could not be read (" + ToQPath(reason) + ")"))
            << dialogs.Seen().constLast().toStdString();
        EXPECT_EQ(title(), "Last one");
        EXPECT_EQ(window->Urls->ChildCount(), 0);
        EXPECT_EQ(D_settings_user->GetDataFileName(), tmp.path("data/last.qrl"));
        if (!before.empty()) {
            EXPECT_EQ(tmp.read(name), before);
        }
    }
    EXPECT_TRUE(dialogs.Done());
}
