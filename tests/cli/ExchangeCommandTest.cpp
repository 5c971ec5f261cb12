#include "QrlRun.h"
#include "support/SampleReports.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <QFileInfo>

#include <algorithm>

namespace {

const std::string Report = ReportText()
                               .Title("Tools")
                               .Date("12/6/26")
                               .Record("http://a.example/", "A, \"first\"")
                               .Redirect("")
                               .Checked()
                               .Record("http://b.example/", "B")
                               .Redirect("");

} // namespace

TEST(QrlExport, ToStandardOutputOrAFile) {
    TempDir dir;
    dir.write("r.qrl", Report);
    CliRun r = RunQrl({"export", dir.qpath("r.qrl"), "--format", "csv"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "\xEF\xBB\xBFurl,title,description,redirect,checked\r\n"
                     "http://a.example/,\"A, \"\"first\"\"\",,,Y\r\n"
                     "http://b.example/,B,,,\r\n");
    EXPECT_EQ(r.err, "");
    r = RunQrl({"export", dir.qpath("r.qrl"), "--format=csv", "--checked"});
    EXPECT_EQ(r.out, "\xEF\xBB\xBFurl,title,description,redirect,checked\r\n"
                     "http://a.example/,\"A, \"\"first\"\"\",,,Y\r\n");
    r = RunQrl({"export", "--checked", "-o", dir.qpath("out.html"), dir.qpath("r.qrl"), "--format",
                "bookmarks"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "");
    const std::string bookmarks = dir.read("out.html");
    EXPECT_NE(bookmarks.find("<DT><H3>Tools</H3>"), std::string::npos);
    EXPECT_NE(bookmarks.find("HREF=\"http://a.example/\""), std::string::npos);
    EXPECT_EQ(bookmarks.find("b.example"), std::string::npos);
    // The report is only read.
    EXPECT_EQ(dir.read("r.qrl"), Report);
    EXPECT_FALSE(dir.exists("r.BAK"));
}

TEST(QrlExport, ErrorsAreOneLine) {
    TempDir dir;
    dir.write("r.qrl", Report);
    dir.write("bad.qrl", "<QRL><URLS></QRL>");
    const QString report = dir.qpath("r.qrl");
    ExpectFailures({
        {{"export", report}, 2, "qrl export: --format html|csv|json|bookmarks|package is needed\n"},
        {{"export", report, "--format", "xml"},
         2,
         "qrl export: unknown format \"xml\" (html, csv, json, bookmarks or package)\n"},
        {{"export", "--format", "csv"}, 2, "qrl export: no report given\n"},
        {{"export", report, "--format", "csv", "-o"},
         2,
         "qrl export: unknown option or missing value: -o\n"},
        {{"export", dir.qpath("bad.qrl"), "--format", "csv"},
         1,
         dir.path("bad.qrl") + ": Unclosed tag: URLS. Position 12\n"},
        {{"export", report, "--format", "csv", "-o", dir.qpath("no/such/dir/x.csv")}, 1, ""},
    });
    EXPECT_EQ(RunQrl({"export", dir.qpath("missing.qrl"), "--format", "json"}).code, 1);
}

TEST(QrlImport, AddsNewPagesSavesWithBackupAndSaysHowMany) {
    TempDir dir;
    dir.write("r.qrl", Report);
    dir.write("pages.txt", "# from somewhere\nHTTP://A.EXAMPLE/\nhttp://c.example/\n\n"
                           "javascript:alert(1)\nhttp://d.example/\nhttp://c.example/\n");
    CliRun r = RunQrl({"import", dir.qpath("r.qrl"), dir.qpath("pages.txt")});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "Imported 2 new records; 2 were already in the report; 1 was skipped (not "
                     "a web address).\n");
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(dir.read("r.BAK"), Report);
    const std::string saved = dir.read("r.qrl");
    EXPECT_NE(saved.find("<LISTING URL=\"http://c.example/\">"), std::string::npos);
    EXPECT_NE(saved.find("<LISTING URL=\"http://d.example/\">"), std::string::npos);
    EXPECT_EQ(saved.find("javascript"), std::string::npos);
    EXPECT_NE(saved.find("A, %22first%22"), std::string::npos);

    // Nothing new: the report and its backup stay as they are.
    const QDateTime written = QFileInfo(dir.qpath("r.qrl")).lastModified();
    r = RunQrl({"import", dir.qpath("r.qrl"), dir.qpath("pages.txt"), "--format", "text"});
    EXPECT_EQ(r.out, "Imported 0 new records; 4 were already in the report; 1 was skipped (not "
                     "a web address).\n");
    EXPECT_EQ(dir.read("r.qrl"), saved);
    EXPECT_EQ(dir.read("r.BAK"), Report);
    EXPECT_EQ(QFileInfo(dir.qpath("r.qrl")).lastModified(), written);
}

TEST(QrlImport, BadFilesAddNothing) {
    TempDir dir;
    dir.write("r.qrl", Report);
    dir.write("nourl.csv", "title;description\nA;a\n");
    dir.write("bad.qrl", "<QRL>");
    const QString report = dir.qpath("r.qrl");
    ExpectFailures({
        {{"import", report, dir.qpath("nourl.csv")},
         1,
         dir.path("nourl.csv") + ": the header row has no url column\n"},
        {{"import", report, dir.qpath("missing.html")}, 1, ""},
        {{"import", dir.qpath("bad.qrl"), dir.qpath("nourl.csv"), "--format", "text"}, 1, ""},
        {{"import", report, dir.qpath("nourl.csv"), "--format", "xls"},
         2,
         "qrl import: unknown format \"xls\" (bookmarks, csv, json or text)\n"},
        {{"import", report}, 2, "qrl import: a report and a file to import are needed\n"},
    });
    EXPECT_EQ(dir.read("r.qrl"), Report);
    EXPECT_FALSE(dir.exists("r.BAK"));
    EXPECT_EQ(dir.read("bad.qrl"), "<QRL>");
}
