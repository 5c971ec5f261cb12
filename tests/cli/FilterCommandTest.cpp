#include "QrlRun.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace {

const char* const Report =
    "<QRL VERSION=\"1.0.1\" RTITLE=\"Garden tools\">Suppliers\r\n"
    "<URLS>\r\n"
    "<LISTING URL=\"http://a.example/\" CHK=\"Y\"><TITLE>Garden Tools</TITLE>"
    "<DESCRIPTION>Spades and "
    "rakes</DESCRIPTION><REDIRECT>http://a.example/</REDIRECT></LISTING>\r\n"
    "<OTHER URL=\"http://not-a-record/\"><TITLE>garden</TITLE></OTHER>\r\n"
    "<LISTING URL=\"http://b.example/\"><TITLE>Kitchen</TITLE>"
    "<DESCRIPTION>pots for the GARDEN</DESCRIPTION></LISTING>\r\n"
    "<LISTING URL=\"http://c.example/\" CHK=\"Y\"><TITLE>Pink lilies</TITLE></LISTING>\r\n"
    "</URLS>\r\n"
    "</QRL>";

} // namespace

TEST(QrlFilter, WritesTheAddressesOfThePassingRecordsInOrder) {
    TempDir dir;
    dir.write("r.qrl", Report);
    const QString file = dir.qpath("r.qrl");
    CliRun r = RunQrl({"filter", file, "EXISTS('GARDEN')"});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, "http://a.example/\nhttp://b.example/\n");
    EXPECT_EQ(r.err, "");
    // The diagram's form: inside the first circle, outside the second.
    r = RunQrl({"filter", file, "(EXISTS('GARDEN'))\n && !(RECORD_STATE('IS_CHECKED'))"});
    EXPECT_EQ(r.out, "http://b.example/\n");
    r = RunQrl({"filter", file, "!(EXISTS('GARDEN')) && !(RECORD_STATE('IS_CHECKED'))"});
    EXPECT_EQ(r.out, "");
    r = RunQrl({"filter", file, "RECORD_STATE('IS_CHECKED')"});
    EXPECT_EQ(r.out, "http://a.example/\nhttp://c.example/\n");
    r = RunQrl({"filter", file, ""}); // an empty expression passes nothing
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, "");
}

TEST(QrlFilter, ReportsErrorsAtTheRecordWhereTheyArise) {
    TempDir dir;
    dir.write("r.qrl", Report);
    // The first record passes; the second fails in INT.
    CliRun r = RunQrl({"filter", dir.qpath("r.qrl"),
                       "RECORD_STATE('IS_CHECKED') || INT(IIF(EXISTS('KITCHEN'), 'x', 1)) == 1"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.out, "http://a.example/\n");
    EXPECT_EQ(r.err, "'x' is not a valid integer value\n");
    r = RunQrl({"filter", dir.qpath("r.qrl"), "EXISTS('IT'S')"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, "Operation absent. Position 12\n");

    r = RunQrl({"filter", dir.qpath("missing.qrl"), "TRUE"});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("missing.qrl"), std::string::npos);
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1);

    dir.write("bad.qrl", "<QRL>\n<URLS></QRL>");
    r = RunQrl({"filter", dir.qpath("bad.qrl"), "TRUE"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, dir.path("bad.qrl") + ": Unclosed tag: URLS. Position 14\n");

    dir.write("norecords.qrl", "<QRL VERSION=\"1\"/>");
    r = RunQrl({"filter", dir.qpath("norecords.qrl"), "1 +"});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, "");
}

TEST(QrlFilter, UpperCasingFollowsTheUsersLanguage) {
    TempDir dir;
    dir.write("r.qrl", Report);
    // Turkish upper-cases i to the dotted capital.
    CliRun r = RunQrl({"filter", dir.qpath("r.qrl"), "EXISTS('P\xC4\xB0NK')"}, "tr_TR.UTF-8");
    EXPECT_EQ(r.out, "http://c.example/\n");
    r = RunQrl({"filter", dir.qpath("r.qrl"), "EXISTS('PINK')"}, "tr_TR.UTF-8");
    EXPECT_EQ(r.out, "");
    r = RunQrl({"filter", dir.qpath("r.qrl"), "EXISTS('PINK')"}, "en_US.UTF-8");
    EXPECT_EQ(r.out, "http://c.example/\n");
}

TEST(QrlFilter, ConditionsFileGivesTheDiagramsExpression) {
    TempDir dir;
    dir.write("r.qrl", Report);
    // Circle 1 (garden) and circle 2 (ticked) overlap; one pin in garden only and a second
    // in the same region, which goes as "Filter on" would remove it.
    dir.write("c.qrc", "<CONDITIONS VERSION=\"1\">"
                       "<CIRCLE LABEL=\"g\" BODY=\"EXISTS('GARDEN')\" X=\"80\" Y=\"65\" "
                       "RADIUS=\"60\" LABELDX=\"18\" LABELDY=\"21\"/>"
                       "<CIRCLE LABEL=\"t\" BODY=\"RECORD_STATE('IS_CHECKED')\" X=\"130\" "
                       "Y=\"75\" RADIUS=\"60\" LABELDX=\"18\" LABELDY=\"21\"/>"
                       "<PIN X=\"40\" Y=\"60\"/><PIN X=\"35\" Y=\"62\"/></CONDITIONS>");
    CliRun r = RunQrl({"filter", dir.qpath("r.qrl"), "--conditions", dir.qpath("c.qrc")});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out, "http://b.example/\n");
    const CliRun expr = RunQrl({"conditions", dir.qpath("c.qrc")});
    const CliRun same =
        RunQrl({"filter", dir.qpath("r.qrl"), Bytes(expr.out.substr(0, expr.out.size() - 1))});
    EXPECT_EQ(same.out, r.out);

    // No pin: the empty expression, nothing passes.
    dir.write("none.qrc", "<CONDITIONS VERSION=\"1\"><CIRCLE LABEL=\"g\" BODY=\"EXISTS('X')\" "
                          "X=\"80\" Y=\"65\" RADIUS=\"60\" LABELDX=\"1\" LABELDY=\"1\"/>"
                          "</CONDITIONS>");
    r = RunQrl({"filter", dir.qpath("r.qrl"), "--conditions", dir.qpath("none.qrc")});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, "");
}

TEST(QrlFilter, ConditionsFileThatCannotBeReadIsReported) {
    TempDir dir;
    dir.write("r.qrl", Report);
    CliRun r = RunQrl({"filter", dir.qpath("r.qrl"), "--conditions", dir.qpath("missing.qrc")});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("missing.qrc"), std::string::npos);
    dir.write("bad.qrc", "<CONDITIONS><PIN X=\"a\" Y=\"1\"/></CONDITIONS>");
    r = RunQrl({"filter", dir.qpath("r.qrl"), "--conditions", dir.qpath("bad.qrc")});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, dir.path("bad.qrc") + ": PIN 1: attribute X is not a number: \"a\"\n");
    // The option needs its file.
    r = RunQrl({"filter", dir.qpath("r.qrl"), "--conditions"});
    EXPECT_EQ(r.code, 2);
}
