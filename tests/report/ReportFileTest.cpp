#include "report/ReportFile.h"
#include "report/RecoveryCopy.h"
#include "tree/TQelPigger.h"

#include "support/FileErrors.h"
#include "support/SampleReports.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <QDir>

#include <memory>

#include <sys/stat.h>

namespace {

// A complete small report as it lies on disk.
const std::string kSmallReport = SmallReportText();

std::unique_ptr<TQelPigger> report(const std::string& title) {
    auto doc = std::make_unique<TQelPigger>();
    doc->SetName("QRL");
    doc->SetAttr("RTITLE", title);
    return doc;
}

} // namespace

TEST(ReportFile, SmallReportRoundTripsByteForByte) {
    TempDir tmp;
    tmp.write("r.qrl", kSmallReport);
    TQelPigger doc;
    const ReportLoadResult loaded = LoadReportFile(doc, tmp.path("r.qrl"));
    ASSERT_EQ(loaded.outcome, ReportLoadResult::Loaded);
    EXPECT_EQ(doc.Text, "Suppliers of garden tools\r\nfound in December.");
    std::string error;
    ASSERT_TRUE(SaveReportFile(doc, tmp.path("copy.qrl"), true, &error)) << error;
    EXPECT_EQ(tmp.read("copy.qrl"), kSmallReport);
    EXPECT_FALSE(tmp.exists("copy.BAK")); // nothing was there to keep
}

TEST(ReportFile, BackupHoldsOnlyTheVersionBeforeTheLastSave) {
    TempDir tmp;
    const std::string name = tmp.path("report.qrl");
    std::string error;
    ASSERT_TRUE(SaveReportFile(*report("one"), name, true, &error));
    ASSERT_TRUE(SaveReportFile(*report("two"), name, true, &error));
    EXPECT_NE(tmp.read("report.BAK").find("one"), std::string::npos);
    ASSERT_TRUE(SaveReportFile(*report("three"), name, true, &error));
    EXPECT_NE(tmp.read("report.qrl").find("three"), std::string::npos);
    EXPECT_NE(tmp.read("report.BAK").find("two"), std::string::npos);
    EXPECT_EQ(QDir(tmp.qpath("")).entryList(QDir::Files).size(), 2); // no temporary files left

    // Without backups the old content is simply replaced.
    ASSERT_TRUE(SaveReportFile(*report("four"), name, false, &error));
    EXPECT_NE(tmp.read("report.BAK").find("two"), std::string::npos);
    EXPECT_EQ(BackupFileName("/a/b.c/report.qrl"), "/a/b.c/report.BAK");
}

TEST(ReportFile, FailedWriteTellsWhyAndDamagesNothing) {
    TempDir tmp;
    tmp.write("report.qrl", kSmallReport);
    tmp.write("report.BAK", "older");
    tmp.write("blocker", "a file where a folder should be");
    std::string error;
    EXPECT_FALSE(SaveReportFile(*report("x"), tmp.path("blocker/report.qrl"), true, &error));
    EXPECT_NE(error.find("blocker/report.qrl"), std::string::npos) << error;
    // A folder standing where the report should be cannot be replaced either.
    QDir(tmp.qpath("")).mkpath("dir.qrl");
    error.clear();
    EXPECT_FALSE(SaveReportFile(*report("x"), tmp.path("dir.qrl"), true, &error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(tmp.read("report.qrl"), kSmallReport);
    EXPECT_EQ(tmp.read("report.BAK"), "older");
    EXPECT_EQ(tmp.read("blocker"), "a file where a folder should be");
}

TEST(ReportFile, AFailedSaveGivesTheSystemsReasonAndSaysTheFileIsUnchanged) {
    TempDir tmp;
    ASSERT_EQ(::chmod(tmp.root().c_str(), 0755), 0);
    ASSERT_TRUE(QDir().mkpath(tmp.qpath("ro")));
    tmp.write("ro/r.qrl", kSmallReport);
    ASSERT_EQ(::chmod(tmp.path("ro").c_str(), 0555), 0);
    tmp.write("r.qrl", kSmallReport);
    const auto save = [&](const std::string& name) {
        std::string error;
        SaveReportFile(*report(std::string(4096, 'x')), tmp.path(name), true, &error);
        return error;
    };
    EXPECT_EQ(AsUnprivileged([&] { return save("ro/r.qrl"); }),
              "Cannot create file \"" + tmp.path("ro/r.qrl") +
                  "\": Permission denied. The report file on disk is unchanged.");
    EXPECT_EQ(AsUnprivileged([&] { return save("ro/new.qrl"); }),
              "Cannot create file \"" + tmp.path("ro/new.qrl") +
                  "\": Permission denied. No file was written.");
    {
        const FileSizeLimit fullDisk(100);
        EXPECT_EQ(save("r.qrl"), "Cannot write file \"" + tmp.path("r.qrl") +
                                     "\": File too large. The report file on disk is unchanged.");
    }
    EXPECT_EQ(tmp.read("ro/r.qrl"), kSmallReport);
    EXPECT_EQ(tmp.read("r.qrl"), kSmallReport);
    ASSERT_EQ(::chmod(tmp.path("ro").c_str(), 0755), 0);
}

TEST(ReportFile, MissingEmptyAndUnreadableFiles) {
    TempDir tmp;
    TQelPigger doc;
    doc.SetName("OLD");
    EXPECT_EQ(LoadReportFile(doc, tmp.path("none.qrl")).outcome, ReportLoadResult::Missing);
    EXPECT_TRUE(doc.Name().empty());

    tmp.write("empty.qrl", "");
    tmp.write("blank.qrl", " \r\n\t ");
    EXPECT_EQ(LoadReportFile(doc, tmp.path("empty.qrl")).outcome, ReportLoadResult::Empty);
    EXPECT_EQ(LoadReportFile(doc, tmp.path("blank.qrl")).outcome, ReportLoadResult::Empty);
    EXPECT_TRUE(tmp.exists("empty.qrl")); // nothing to keep aside

    // A broken file goes aside, under a name no earlier copy has.
    const std::string broken = "<QRL VERSION=\"1\">text<URLS>";
    tmp.write("bad.qrl", broken);
    tmp.write("bad.qrl.unreadable", "an earlier one");
    const ReportLoadResult bad = LoadReportFile(doc, tmp.path("bad.qrl"));
    EXPECT_EQ(bad.outcome, ReportLoadResult::Unreadable);
    EXPECT_EQ(bad.reason, "Syntax error. Position 29");
    EXPECT_EQ(bad.keptAs, tmp.path("bad.qrl.unreadable.2"));
    EXPECT_EQ(tmp.read("bad.qrl.unreadable.2"), broken);
    EXPECT_EQ(tmp.read("bad.qrl.unreadable"), "an earlier one");
    EXPECT_FALSE(tmp.exists("bad.qrl"));
    EXPECT_TRUE(doc.Name().empty());

    // Text without any element is no report either, and is kept as well.
    tmp.write("words.qrl", "just some words");
    const ReportLoadResult words = LoadReportFile(doc, tmp.path("words.qrl"));
    EXPECT_EQ(words.outcome, ReportLoadResult::Unreadable);
    EXPECT_EQ(tmp.read("words.qrl.unreadable"), "just some words");
}

TEST(ReportFile, ReportRecoveryCopyAndTreeFileHoldTheSameText) {
    // A class of its own that words its text itself is written with that text everywhere.
    struct OwnText : TQelPigger {
        std::string GetAsText() const override { return "\r\n<OWN TEXT=\"1\"/>"; }
    };
    OwnText doc;
    doc.SetName("QRL");
    TempDir tmp;
    std::string error;
    doc.SaveToFile(tmp.path("tree.qrl"));
    ASSERT_TRUE(SaveReportFile(doc, tmp.path("report.qrl"), false, &error)) << error;
    ASSERT_TRUE(WriteRecoveryCopy(doc, tmp.path("report.qrl"), &error)) << error;
    for (const char* name : {"tree.qrl", "report.qrl", "report.qrl.recover"})
        EXPECT_EQ(tmp.read(name), doc.GetAsText()) << name;
}
