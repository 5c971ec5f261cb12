#include "QrlRun.h"
#include "support/NonReportFiles.h"
#include "support/SampleReports.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

TEST(QrlTree, WritesTheTreeBackOrReportsTheError) {
    TempDir dir;
    dir.write("ok.qrl", "<qrl version=\"1\">\n text \n<urls/></QRL>");
    CliRun r = RunQrl({"tree", dir.qpath("ok.qrl")});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, std::string(ReportText().Version("1").Description("text").Records()));

    dir.write("bad.qrl", "<A>\n<B></A>");
    r = RunQrl({"tree", dir.qpath("bad.qrl")});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, dir.path("bad.qrl") + ": Unclosed tag: B. Position 9\n");

    r = RunQrl({"tree", dir.qpath("missing.qrl")});
    EXPECT_EQ(r.code, 2);
    EXPECT_NE(r.err.find("missing.qrl"), std::string::npos);
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1);

    // No file name: one line, without Qt's own warning before it.
    r = RunQrl({"tree", ""});
    EXPECT_EQ(r.code, 2);
    EXPECT_EQ(r.err, "Cannot open file \"\": no file name given\n");

    dir.write("empty.qrl", "");
    r = RunQrl({"tree", dir.qpath("empty.qrl")});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, "");
}

TEST(QrlTree, RefusesFilesThatAreNoTreeAndNeverReadsWithoutEnd) {
    TempDir dir;
    WriteNonReportFiles(dir);
    CliRun r = RunQrl({"tree", dir.qpath("picture.png")});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, dir.path("picture.png") + ": Syntax error. Position 1\n");
    r = RunQrl({"tree", dir.qpath("program.elf")});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, dir.path("program.elf") + ": Syntax error. Position 1\n");

    // A device that never ends and a pipe that nobody writes: refused at once, as files that
    // cannot be opened.
    r = RunQrl({"tree", "/dev/zero"});
    EXPECT_EQ(r.code, 2);
    EXPECT_EQ(r.err, "Cannot open file \"/dev/zero\": it is not a regular file\n");
    ASSERT_EQ(::mkfifo(dir.path("pipe.qrl").c_str(), 0600), 0);
    r = RunQrl({"tree", dir.qpath("pipe.qrl")});
    EXPECT_EQ(r.code, 2);
    EXPECT_EQ(r.err,
              "Cannot open file \"" + dir.path("pipe.qrl") + "\": it is not a regular file\n");
    // The other commands that read a report refuse it the same way.
    r = RunQrl({"filter", "/dev/zero", "1"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, "Cannot open file \"/dev/zero\": it is not a regular file\n");
    r = RunQrl({"export", "/dev/zero", "--format", "csv"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, "Cannot open file \"/dev/zero\": it is not a regular file\n");
    // So do the readers of conditions files and of imported files.
    r = RunQrl({"conditions", dir.qpath("pipe.qrl")});
    EXPECT_EQ(r.code, 2);
    EXPECT_EQ(r.err,
              "Cannot open file \"" + dir.path("pipe.qrl") + "\": it is not a regular file\n");
    dir.write("r.qrl", "<QRL/>");
    r = RunQrl({"import", dir.qpath("r.qrl"), "/dev/zero", "--format", "text"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, "Cannot open file \"/dev/zero\": it is not a regular file\n");
    EXPECT_EQ(dir.read("r.qrl"), "<QRL/>");
}
