// Files a user may open by mistake: pictures, programs, random bytes, UTF-16 text, devices,
// pipes and files too large to read. None is loaded, not even in part.
#include "report/ReportFile.h"
#include "tree/TQelPigger.h"
#include "tree/TreeFile.h"

#include "support/NonReportFiles.h"
#include "support/SampleReports.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFile>

#include <map>

#include <sys/stat.h>

TEST(ReportFileInput, NonReportFilesAreRefusedWithTheTreeErrorAndKeptAsTheyWere) {
    TempDir tmp;
    const std::map<std::string, std::string> reasons = {
        {"picture.png", "Syntax error. Position 1"},
        {"program.elf", "Syntax error. Position 1"},
        {"random.bin", "Syntax error. Position 263"},
        // The byte-order mark and a line break; the NUL byte after it ends the text.
        {"utf16le.qrl", "Syntax error. Position 1"},
        // A NUL byte first: no text at all.
        {"utf16be.qrl", "it holds no report"},
    };
    for (const std::string& name : WriteNonReportFiles(tmp)) {
        SCOPED_TRACE(name);
        const std::string bytes = tmp.read(name);
        // The tree holds a report before: nothing of it may be left, nor anything of the file.
        TQelPigger doc;
        doc.SetAsText(SmallReportText());
        const ReportLoadResult result = LoadReportFile(doc, tmp.path(name));
        EXPECT_EQ(result.outcome, ReportLoadResult::Unreadable);
        EXPECT_EQ(result.reason, reasons.at(name));
        EXPECT_TRUE(doc.Name().empty());
        EXPECT_EQ(doc.ChildCount(), 0);
        EXPECT_TRUE(doc.Text.empty());
        EXPECT_EQ(result.keptAs, tmp.path(name + ".unreadable"));
        EXPECT_EQ(tmp.read(name + ".unreadable"), bytes);
        EXPECT_FALSE(tmp.exists(name));
    }
}

TEST(ReportFileInput, DevicesPipesAndHugeFilesAreRefusedWithoutReadingThem) {
    TempDir tmp;
    TQelPigger doc;
    QElapsedTimer clock;
    clock.start();
    ReportLoadResult zero = LoadReportFile(doc, "/dev/zero");
    EXPECT_EQ(zero.outcome, ReportLoadResult::Unreadable);
    EXPECT_EQ(zero.reason, "Cannot open file \"/dev/zero\": it is not a regular file");
    EXPECT_EQ(zero.keptAs, "");

    ASSERT_EQ(::mkfifo(tmp.path("pipe.qrl").c_str(), 0600), 0);
    const ReportLoadResult pipe = LoadReportFile(doc, tmp.path("pipe.qrl"));
    EXPECT_EQ(pipe.outcome, ReportLoadResult::Unreadable);
    EXPECT_EQ(pipe.keptAs, "");
    EXPECT_TRUE(tmp.exists("pipe.qrl"));

    // Sparse, so the disk holds none of it.
    QFile big(tmp.qpath("big.qrl"));
    ASSERT_TRUE(big.open(QIODevice::WriteOnly));
    ASSERT_TRUE(big.resize(MaxTreeFileBytes + 1));
    big.close();
    const ReportLoadResult huge = LoadReportFile(doc, tmp.path("big.qrl"));
    EXPECT_EQ(huge.outcome, ReportLoadResult::Unreadable);
    EXPECT_NE(huge.reason.find("it is too large"), std::string::npos) << huge.reason;
    EXPECT_EQ(huge.keptAs, tmp.path("big.qrl.unreadable"));
    EXPECT_LT(clock.elapsed(), 5000);
    EXPECT_TRUE(doc.Name().empty());
}
