#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <QProcess>

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
