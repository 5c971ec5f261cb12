#include "QrlRun.h"
#include "filter/expr/EdgeCases.h"

#include <gtest/gtest.h>

namespace {

void expectLine(const char* text, const char* value, const char* error) {
    const CliRun r = RunQrl({"eval", Bytes(text)});
    if (value) {
        EXPECT_EQ(r.code, 0) << text;
        EXPECT_EQ(r.out, std::string(value) + "\n") << text;
        EXPECT_EQ(r.err, "") << text;
    } else {
        EXPECT_EQ(r.code, 1) << text;
        EXPECT_EQ(r.out, "") << text;
        EXPECT_EQ(r.err, std::string(error) + "\n") << text;
    }
}

} // namespace

TEST(QrlEval, DocumentedEdgeCases) {
    for (const EdgeCase& c : EdgeCases)
        expectLine(c.Text, c.Value, c.Error);
}

TEST(QrlEval, FilterFunctionsRestOfTheTextAndEscapes) {
    expectLine("EXISTS('X')", "boolean\ttrue", ""); // no record under test
    expectLine("RECORD_STATE('IS_CHECKED')", "boolean\tfalse", "");
    expectLine("EXISTS()", nullptr, "Error in function: EXISTS. Position 1");
    expectLine("1) + 5", nullptr, "Unexpected closing brace. Position 2");
    expectLine("1, 2", nullptr, "Unexpected comma. Position 2");
    expectLine("'a\\b' + \"\r\n\t\" + 'c'", "string\ta\\\\b\\r\\n\\tc", "");
    expectLine("INT('1\n2')", nullptr, "'1\\n2' is not a valid integer value");

    // "-" reads the expression from standard input, of any length.
    QProcess p;
    p.start(QRL_EXE, {"eval", "-"});
    std::string longText = "1";
    for (int i = 0; i < 100000; ++i)
        longText += " + 1";
    p.write(longText.data(), static_cast<qint64>(longText.size()));
    p.closeWriteChannel();
    ASSERT_TRUE(p.waitForFinished(30000));
    EXPECT_EQ(p.exitCode(), 0);
    EXPECT_EQ(p.readAllStandardOutput().toStdString(), "integer\t100001\n");

    const CliRun usage = RunQrl({"eval"});
    EXPECT_EQ(usage.code, 2);
    EXPECT_NE(usage.err.find("qrl eval TEXT"), std::string::npos);
}

TEST(QrlEval, RegionalSettingsComeFromTheEnvironment) {
    const QString text = "FORMATFLOAT('#,##0.00', 1234.5) + ' ' + FLOAT('2.5') + ' ' + "
                         "FORMATDATETIME('dddd d mmmm yyyy', 45000) + ' ' + FORMATFLOAT('', 2.5)";
    CliRun r = RunQrl({"eval", text}, "de_DE.UTF-8");
    EXPECT_EQ(r.out, "string\t1.234,50  2.50000000000000E+0000 Mittwoch 15 M\xC3\xA4rz 2023 2,5\n");
    r = RunQrl({"eval", text}, "en_US.UTF-8");
    EXPECT_EQ(r.out, "string\t1,234.50  2.50000000000000E+0000 Wednesday 15 March 2023 2.5\n");
    r = RunQrl({"eval", "FORMATDATETIME('c', 45000.75)"}, "en_US.UTF-8");
    EXPECT_EQ(r.out, "string\t3/15/23 6:00:00 PM\n");
    r = RunQrl({"eval", "FORMATDATETIME('ddddd t', 45000.75)"}, "de_DE.UTF-8");
    EXPECT_EQ(r.out, "string\t15.03.23 18:00\n");
}
