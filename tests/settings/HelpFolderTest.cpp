#include "settings/core/HelpFolder.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <QDir>

namespace {

// A program folder tree: start/, docs/ (beside start), and an installed prefix usr/bin,
// usr/share/quarrylog/docs.
class HelpFolderTree : public ::testing::Test {
protected:
    TempDir tmp;
    QString start, beside, appDir, installed;

    void SetUp() override {
        QDir root(tmp.qpath(""));
        for (const char* folder : {"home/start", "usr/bin", "usr/share/quarrylog/docs"})
            root.mkpath(folder);
        start = tmp.qpath("home/start");
        beside = tmp.qpath("home/docs");
        appDir = tmp.qpath("usr/bin");
        installed = tmp.qpath("usr/share/quarrylog/docs");
    }
};

} // namespace

TEST_F(HelpFolderTree, PagesBesideTheStartFolderComeFirst) {
    tmp.write("usr/share/quarrylog/docs/intro.html", "installed");
    QDir().mkpath(beside);
    tmp.write("home/docs/intro.html", "beside");
    EXPECT_EQ(FindHelpFolder(start, appDir), beside);
    // Relative to the start folder, not to the process's current folder.
    EXPECT_EQ(FindHelpFolder(start + "/", appDir), beside);
}

TEST_F(HelpFolderTree, InstalledPagesWhenTheStartFolderHasNone) {
    tmp.write("usr/share/quarrylog/docs/intro.html", "installed");
    EXPECT_EQ(FindHelpFolder(start, appDir), installed);
    // A "../docs" without pages does not hide the installed ones.
    QDir().mkpath(beside);
    tmp.write("home/docs/notes.txt", "no page");
    EXPECT_EQ(FindHelpFolder(start, appDir), installed);
    EXPECT_FALSE(HasHelpPages(beside));
    EXPECT_TRUE(HasHelpPages(installed));
}

TEST_F(HelpFolderTree, BuildFolderAndFinallyAsDesigned) {
    // The build folder keeps its pages in docs beside bin.
    QDir(tmp.qpath("")).mkpath("build/bin");
    QDir(tmp.qpath("")).mkpath("build/docs");
    tmp.write("build/docs/FLCEdit.html", "built");
    EXPECT_EQ(FindHelpFolder(start, tmp.qpath("build/bin")), tmp.qpath("build/docs"));

    // No pages anywhere: "../docs" when it exists, else the start folder.
    EXPECT_EQ(FindHelpFolder(start, appDir), start);
    QDir().mkpath(beside);
    EXPECT_EQ(FindHelpFolder(start, appDir), beside);
}

TEST(HelpPage, TopicIsTrimmed) {
    EXPECT_EQ(HelpPagePath("/d", " FLCEdit \n"), "/d/FLCEdit.html");
}
