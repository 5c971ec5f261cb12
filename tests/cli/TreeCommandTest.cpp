#include "support/NonReportFiles.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <QProcess>

#include <sys/stat.h>

namespace {

struct CliRun {
    int code;
    std::string out, err;
};

CliRun qrl(const QStringList& args) {
    QProcess p;
    p.start(QRL_EXE, args);
    p.waitForFinished(30000);
    const QByteArray out = p.readAllStandardOutput(), err = p.readAllStandardError();
    return {p.exitCode(), out.toStdString(), err.toStdString()};
}

} // namespace

TEST(QrlTree, WritesTheTreeBackOrReportsTheError) {
    TempDir dir;
    dir.write("ok.qrl", "<qrl version=\"1\">\n text \n<urls/></QRL>");
    CliRun r = qrl({"tree", dir.qpath("ok.qrl")});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, "\r\n<QRL VERSION=\"1\">text\r\n\t<URLS/>\r\n</QRL>");

    dir.write("bad.qrl", "<A>\n<B></A>");
    r = qrl({"tree", dir.qpath("bad.qrl")});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, dir.path("bad.qrl") + ": Unclosed tag: B. Position 9\n");

    r = qrl({"tree", dir.qpath("missing.qrl")});
    EXPECT_EQ(r.code, 2);
    EXPECT_NE(r.err.find("missing.qrl"), std::string::npos);
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1);

    // No file name: one line, without Qt's own warning before it.
    r = qrl({"tree", ""});
    EXPECT_EQ(r.code, 2);
    EXPECT_EQ(r.err, "Cannot open file \"\": no file name given\n");

    dir.write("empty.qrl", "");
    r = qrl({"tree", dir.qpath("empty.qrl")});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, "");
}

TEST(QrlTree, RefusesFilesThatAreNoTreeAndNeverReadsWithoutEnd) {
    TempDir dir;
    WriteNonReportFiles(dir);
    CliRun r = qrl({"tree", dir.qpath("picture.png")});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, dir.path("picture.png") + ": Syntax error. Position 1\n");
    r = qrl({"tree", dir.qpath("program.elf")});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, dir.path("program.elf") + ": Syntax error. Position 1\n");

    // A device that never ends and a pipe that nobody writes: refused at once, as files that
    // cannot be opened.
    r = qrl({"tree", "/dev/zero"});
    EXPECT_EQ(r.code, 2);
    EXPECT_EQ(r.err, "Cannot open file \"/dev/zero\": it is not a regular file\n");
    ASSERT_EQ(::mkfifo(dir.path("pipe.qrl").c_str(), 0600), 0);
    r = qrl({"tree", dir.qpath("pipe.qrl")});
    EXPECT_EQ(r.code, 2);
    EXPECT_EQ(r.err,
              "Cannot open file \"" + dir.path("pipe.qrl") + "\": it is not a regular file\n");
    // The other commands that read a report refuse it the same way.
    r = qrl({"filter", "/dev/zero", "1"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, "Cannot open file \"/dev/zero\": it is not a regular file\n");
    r = qrl({"export", "/dev/zero", "--format", "csv"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, "Cannot open file \"/dev/zero\": it is not a regular file\n");
    // So do the readers of conditions files and of imported files.
    r = qrl({"conditions", dir.qpath("pipe.qrl")});
    EXPECT_EQ(r.code, 2);
    EXPECT_EQ(r.err,
              "Cannot open file \"" + dir.path("pipe.qrl") + "\": it is not a regular file\n");
    dir.write("r.qrl", "<QRL/>");
    r = qrl({"import", dir.qpath("r.qrl"), "/dev/zero", "--format", "text"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, "/dev/zero: it is not a regular file\n");
    EXPECT_EQ(dir.read("r.qrl"), "<QRL/>");
}
