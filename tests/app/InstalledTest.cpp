// Runs inside a copy of this test program placed in an installed tree (bin/ of a prefix) by
// scripts/check-install.sh, started from a folder that has no help pages of its own.
#include "app/TFmain.h"
#include "settings/core/AppInfo.h"

#include "support/MainWindowHarness.h"
#include "support/SampleReports.h"
#include "support/UrlCatcher.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QMimeDatabase>
#include <QTest>

namespace {

class Installed : public MainWindowHarness {
protected:
    QString prefix;

    void SetUp() override {
        MainWindowHarness::SetUp();
        if (qEnvironmentVariableIsEmpty("QRL_INSTALLED_PREFIX"))
            GTEST_SKIP() << "runs in an installed tree made by scripts/check-install.sh";
        prefix = QDir(qEnvironmentVariable("QRL_INSTALLED_PREFIX")).canonicalPath();
    }
};

} // namespace

TEST_F(Installed, HelpPagesAreFoundFromAnotherFolder) {
    ASSERT_EQ(QCoreApplication::applicationDirPath(), prefix + "/bin");
    ASSERT_FALSE(QFileInfo::exists(QDir::current().absoluteFilePath("../docs/intro.html")));
    UrlCatcher browser;
    StartWindow();

    const QString pages = prefix + "/share/quarrylog/docs";
    EXPECT_EQ(window->DocsDir, pages);
    window->N_Intro->trigger();
    window->OpenDoc("FLCEdit");
    EXPECT_EQ(browser.opened, (std::vector<QUrl>{QUrl::fromLocalFile(pages + "/intro.html"),
                                                 QUrl::fromLocalFile(pages + "/FLCEdit.html")}));
}

TEST_F(Installed, ReportsAreKnownByNameAndByContent) {
    // XDG_DATA_DIRS names the shared MIME database with the installed report type.
    tmp.write("garden.qrl", SmallReportText());
    tmp.write("garden-copy", SmallReportText());
    tmp.write("one-line", "<QRL VERSION=\"" + std::string(AppInfo::Version) + "\" RTITLE=\"x\"/>");
    tmp.write("notes", "<QRLS> is no report\n");
    tmp.write("page", "<html><head><TITLE>Spades</TITLE></head></html>");
    const QMimeDatabase db;
    EXPECT_EQ(db.mimeTypeForFile("x.qrl", QMimeDatabase::MatchExtension).name(),
              "application/x-quarrylog");
    EXPECT_EQ(db.mimeTypeForFile(tmp.qpath("garden.qrl")).name(), "application/x-quarrylog");
    EXPECT_EQ(db.mimeTypeForFile(tmp.qpath("garden-copy")).name(), "application/x-quarrylog");
    EXPECT_EQ(db.mimeTypeForFile(tmp.qpath("one-line")).name(), "application/x-quarrylog");
    EXPECT_EQ(db.mimeTypeForFile(tmp.qpath("notes")).name(), "text/plain");
    EXPECT_EQ(db.mimeTypeForFile(tmp.qpath("page")).name(), "text/html");
    const QMimeType report = db.mimeTypeForName("application/x-quarrylog");
    EXPECT_EQ(report.comment(), "Quarrylog search report");
    EXPECT_TRUE(report.inherits("text/plain"));
}
