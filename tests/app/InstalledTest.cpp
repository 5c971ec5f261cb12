// Runs inside a copy of this test program placed in an installed tree (bin/ of a prefix) by
// scripts/check-install.sh, started from a folder that has no help pages of its own.
#include "app/TFmain.h"
#include "settings/TD_settings_user.h"

#include "support/DialogDriver.h"
#include "support/SampleReports.h"
#include "support/TempDir.h"
#include "support/UrlCatcher.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QMimeDatabase>
#include <QTest>

#include <memory>

namespace {

class Installed : public ::testing::Test {
protected:
    QString prefix;

    void SetUp() override {
        if (qEnvironmentVariableIsEmpty("QRL_INSTALLED_PREFIX"))
            GTEST_SKIP() << "runs in an installed tree made by scripts/check-install.sh";
        prefix = QDir(qEnvironmentVariable("QRL_INSTALLED_PREFIX")).canonicalPath();
    }
};

} // namespace

TEST_F(Installed, HelpPagesAreFoundFromAnotherFolder) {
    ASSERT_EQ(QCoreApplication::applicationDirPath(), prefix + "/bin");
    ASSERT_FALSE(QFileInfo::exists(QDir::current().absoluteFilePath("../docs/intro.html")));
    TempDir tmp;
    auto* settings = new TD_settings_user(tmp.qpath("q.set"));
    settings->Store().Set("DATA_FILE_NAME", tmp.path("r.qrl"));
    settings->Store().Set("SI", "NO");
    UrlCatcher browser;
    auto window = std::make_unique<TFmain>();
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !window->FirstActivation; }));

    const QString pages = prefix + "/share/quarrylog/docs";
    EXPECT_EQ(window->DocsDir, pages);
    window->N_Intro->trigger();
    window->OpenDoc("FLCEdit");
    EXPECT_EQ(browser.opened, (std::vector<QUrl>{QUrl::fromLocalFile(pages + "/intro.html"),
                                                 QUrl::fromLocalFile(pages + "/FLCEdit.html")}));
    window.reset();
    delete D_settings_user;
}

TEST_F(Installed, ReportsAreKnownByNameAndByContent) {
    // XDG_DATA_DIRS names the shared MIME database with the installed report type.
    TempDir tmp;
    tmp.write("garden.qrl", SmallReportText());
    tmp.write("garden-copy", SmallReportText());
    tmp.write("one-line", "<QRL VERSION=\"1.0.1 beta\" RTITLE=\"x\"/>");
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
