#include "QrlRun.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>

TEST(QrlConditions, WritesTheExpressionOfTheFile) {
    TempDir dir;
    // Circles 1 and 2 hold the first pin, circle 3 overlaps both; the second pin is outside.
    dir.write("a.qrc",
              "<CONDITIONS VERSION=\"1\">\n"
              "<CIRCLE LABEL=\"Context:%22a%22\" BODY=\"EXISTS('A')\" X=\"100\" Y=\"100\" "
              "RADIUS=\"50\" LABELDX=\"15\" LABELDY=\"18\"/>\n"
              "<CIRCLE BODY=\"EXISTS('B')\" X=\"160\" Y=\"100\" RADIUS=\"50\" LABELDX=\"15\" "
              "LABELDY=\"18\"/>\n"
              "<CIRCLE BODY=\"RECORD_STATE('IS_CHECKED')\" X=\"130\" Y=\"160\" RADIUS=\"50\" "
              "LABELDX=\"15\" LABELDY=\"18\"/>\n"
              "<PIN X=\"130\" Y=\"90\"/><PIN X=\"400\" Y=\"400\"/>\n"
              "<PIN X=\"135\" Y=\"95\"/>\n" // same region as the first pin, which goes
              "</CONDITIONS>");
    CliRun r = RunQrl({"conditions", dir.qpath("a.qrc")});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out, "(!(EXISTS('A')) && !(EXISTS('B')) && !(RECORD_STATE('IS_CHECKED'))) \n"
                     "|| ((EXISTS('A'))\n && (EXISTS('B'))\n && !(RECORD_STATE('IS_CHECKED')))\n");

    // The text runs through the filter as it stands.
    dir.write("none.qrc", "<CONDITIONS><CIRCLE X=\"1\" Y=\"1\" RADIUS=\"1\" LABELDX=\"0\" "
                          "LABELDY=\"0\"/></CONDITIONS>");
    r = RunQrl({"conditions", dir.qpath("none.qrc")});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, "\n");
    dir.write("pins.qrc", "<CONDITIONS><PIN X=\"1\" Y=\"1\"/><PIN X=\"9\" Y=\"9\"/>"
                          "<PIN X=\"20\" Y=\"9\"/></CONDITIONS>");
    r = RunQrl({"conditions", dir.qpath("pins.qrc")});
    EXPECT_EQ(r.out, "(0=1) \n|| (0=1)\n");
}

TEST(QrlConditions, ReportsUnreadableFilesOnOneLine) {
    TempDir dir;
    dir.write("bad.qrc", "<CONDITIONS>\n<PIN X=\"1\"/>\n</CONDITIONS>");
    CliRun r = RunQrl({"conditions", dir.qpath("bad.qrc")});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, dir.path("bad.qrc") + ": PIN 1: attribute Y is missing\n");

    dir.write("syntax.qrc", "<CONDITIONS><PIN X=\"1\" Y=\"2\"/>");
    r = RunQrl({"conditions", dir.qpath("syntax.qrc")});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, dir.path("syntax.qrc") + ": Syntax error. Position 31\n");

    r = RunQrl({"conditions", dir.qpath("missing.qrc")});
    EXPECT_EQ(r.code, 2);
    EXPECT_NE(r.err.find("missing.qrc"), std::string::npos);
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1);
    EXPECT_EQ(r.out, "");
}
