#include "QrlRun.h"
#include "support/SampleReports.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

TEST(QrlDuplicates, PrintsTheGroupsAndLeavesTheReport) {
    TempDir dir;
    const std::string report = ReportText()
                                   .Record("http://a.example/", "A")
                                   .Record("http://b.example/", "")
                                   .Record("HTTP://A.example:80/index.html?utm_source=x", "A2")
                                   .Record("https://b.example/", "")
                                   .Record("http://b.example/#top", "")
                                   .Record("http://c.example/", "");
    dir.write("r.qrl", report);
    dir.write("none.qrl",
              ReportText().Record("http://a.example/", "").Record("https://a.example/", ""));
    CliRun r = RunQrl({"duplicates", dir.qpath("r.qrl")});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "http://a.example/\n"
                     "\thttp://a.example/\n"
                     "\tHTTP://A.example:80/index.html?utm_source=x\n"
                     "\n"
                     "http://b.example/\n"
                     "\thttp://b.example/\n"
                     "\thttp://b.example/#top\n");
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(dir.read("r.qrl"), report);
    EXPECT_FALSE(dir.exists("r.BAK"));
    r = RunQrl({"duplicates", dir.qpath("none.qrl")});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, "");

    dir.write("bad.qrl", "<QRL><URLS></QRL>");
    ExpectFailures({
        {{"duplicates"}, 2, "qrl duplicates: no report given\n"},
        {{"duplicates", "--all", dir.qpath("r.qrl")}, 2, "qrl duplicates: unknown option: --all\n"},
        {{"duplicates", dir.qpath("r.qrl"), dir.qpath("none.qrl")},
         2,
         "qrl duplicates: more than one report given: " + dir.path("none.qrl") + "\n"},
        {{"duplicates", dir.qpath("bad.qrl")},
         2,
         dir.path("bad.qrl") + ": Unclosed tag: URLS. Position 12\n"},
        {{"duplicates", dir.qpath("missing.qrl")}, 2, ""},
    });
}
