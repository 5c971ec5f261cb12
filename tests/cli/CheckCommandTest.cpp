#include "QrlRun.h"
#include "support/SampleReports.h"
#include "support/TempDir.h"
#include "support/WebServer.h"

#include <gtest/gtest.h>

#include <QFileInfo>

#include <algorithm>
#include <sstream>

namespace {

// The lines of a text, sorted (records are written in the order their checks end).
std::vector<std::string> SortedLines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    std::sort(lines.begin(), lines.end());
    return lines;
}

} // namespace

TEST(QrlCheck, KeepsTheOutcomeInTheRecordsAndSaysSoPerRecord) {
    WebServer server;
    server.setPathReply("alive", "Content-Type: text/html",
                        "<html><head><title>Alive  page</title></head></html>");
    server.setPathReply("old", "Status: 301\nLocation: /alive", "");
    server.setPathReply("gone", "Status: 410", "");
    const std::string base = server.baseUrl();
    TempDir dir;
    const std::string report = ReportText()
                                   .Record(base + "/alive", "")
                                   .Checked()
                                   .Record(base + "/old", "Old")
                                   .Checked()
                                   .Record(base + "/gone", "Gone");
    dir.write("r.qrl", report);

    // The ticked ones only, with the empty title filled in.
    CliRun r = RunQrl({"check", "--checked", "--details", "--interval", "0", dir.qpath("r.qrl")});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(SortedLines(r.out),
              (std::vector<std::string>{"Checked 2 of 2: 1 alive, 1 moved, 0 dead, 0 failed",
                                        "alive 200\t" + base + "/alive",
                                        "moved 301\t" + base + "/old -> " + base + "/alive"}));
    const std::string saved = dir.read("r.qrl");
    EXPECT_NE(saved.find("<TITLE>Alive page\r\n"), std::string::npos) << saved;
    EXPECT_NE(saved.find("LINK=\"200\" LINKURL=\"" + base + "/alive\" LINKVIA=\"301\" LINKTIME="),
              std::string::npos)
        << saved;
    EXPECT_EQ(saved.find("LINK=\"410\""), std::string::npos) << "an unticked record was checked";
    EXPECT_EQ(dir.read("r.BAK"), report);

    r = RunQrl({"check", "--interval", "0", dir.qpath("r.qrl")});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.out.find("dead 410\t" + base + "/gone\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("Checked 3 of 3: 1 alive, 1 moved, 1 dead, 0 failed\n"),
              std::string::npos);
    EXPECT_NE(dir.read("r.qrl").find("LINK=\"410\""), std::string::npos);
}

TEST(QrlCheck, WrongArgumentsAndUnreadableReportsChangeNothing) {
    TempDir dir;
    dir.write("bad.qrl", "<QRL><URLS>");
    const QString bad = dir.qpath("bad.qrl");
    for (const QStringList& args : std::vector<QStringList>{
             {"check"},
             {"check", "--parallel", "0", bad},
             {"check", "--interval", "x", bad},
             {"check", "--proxy-user", "u", bad},
             {"check", "--colour", bad},
             {"check", bad, "more"},
             {"check", bad},
             {"check", dir.qpath("missing.qrl")},
         }) {
        SCOPED_TRACE(args.join(' ').toStdString());
        const CliRun r = RunQrl(args);
        EXPECT_EQ(r.code, 2);
        EXPECT_EQ(r.out, "");
        EXPECT_FALSE(r.err.empty());
    }
    EXPECT_EQ(dir.read("bad.qrl"), "<QRL><URLS>");
    EXPECT_FALSE(QFileInfo::exists(dir.qpath("missing.qrl")));
}
