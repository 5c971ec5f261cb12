#include "ExprTestUtil.h"
#include "filter/expr/DateTimeFormat.h"

#include <gtest/gtest.h>

#include <QDateTime>

namespace {

bool first(void*, TExpr& r, std::int32_t, TExpr*) {
    r.SetString("first");
    return true;
}
bool second(void*, TExpr& r, std::int32_t, TExpr*) {
    r.SetString("second");
    return true;
}

void expectAll(const std::vector<std::pair<std::string, std::string>>& cases) {
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(Eval(text), expected) << "text: " << text;
}

} // namespace

TEST(ParsFunc, RegistryIsCaseInsensitiveAndKeepsTheFirstHandler) {
    RegisterBuiltinFunctions();
    const int before = RegisteredFunctionCount();
    RegisterBuiltinFunctions(); // again: nothing changes
    EXPECT_EQ(RegisteredFunctionCount(), before);
    const char* builtins[] = {"FORMATDATETIME", "FORMATFLOAT", "INT",    "BOOL", "STRING",
                              "FLOAT",          "CASE",        "ISNULL", "IIF",  "NULL",
                              "TRUE",           "FALSE",       "HEX",    "BIN",  "SUBSTR",
                              "FRAC",           "TRUNC",       "ROUND",  "DATE", "ABS"};
    for (const char* name : builtins)
        EXPECT_NE(FindFunction(name), nullptr) << name;
    EXPECT_EQ(FindFunction("formatFloat"), FindFunction("FORMATFLOAT"));
    EXPECT_EQ(FindFunction("FORMAT"), nullptr);
    EXPECT_EQ(FindFunction("FORMATFLOATS"), nullptr);
    EXPECT_EQ(FindFunction(""), nullptr);
    EXPECT_EQ(FindFunction(std::string(200, 'A')), nullptr);

    RegisterFunction("zz_Twice", first);
    RegisterFunction("ZZ_TWICE", second);
    RegisterFunction("Aa_Early", second);
    EXPECT_EQ(FindFunction("zz_twice"), first);
    EXPECT_EQ(FindFunction("AA_EARLY"), second);
    EXPECT_EQ(Eval("zz_twice"), "string\tfirst");
    EXPECT_EQ(RegisteredFunctionCount(), before + 2);
}

// clang-format off
TEST(ParsFunc, ConversionFunctionsCoverEveryPairOfTypes) {
    expectAll({
        {"INT(3.5)", "integer\t4"}, {"INT('$1F')", "integer\t31"}, {"INT(TRUE)", "integer\t1"},
        {"INT(NULL)", "integer\t0"}, {"INT('9')", "integer\t9"}, {"INT(-3)", "integer\t-3"},
        {"BOOL('0')", "boolean\ttrue"}, {"BOOL('')", "boolean\tfalse"}, {"BOOL(0.0)", "boolean\tfalse"},
        {"BOOL(0.5)", "boolean\ttrue"}, {"BOOL(-2)", "boolean\ttrue"}, {"BOOL(0)", "boolean\tfalse"},
        {"BOOL(NULL)", "boolean\tfalse"}, {"BOOL(FALSE)", "boolean\tfalse"},
        {"STRING(-3)", "string\t-3"}, {"STRING(TRUE)", "string\t1"}, {"STRING(FALSE)", "string\t0"},
        {"STRING(NULL)", "string\t"}, {"STRING('x')", "string\tx"},
        {"FLOAT(' -2.5e1')", "float\t-2.50000000000000E+0001"}, {"FLOAT(3)", "float\t 3.00000000000000E+0000"},
        {"FLOAT(TRUE)", "float\t 1.00000000000000E+0000"}, {"FLOAT(NULL)", "float\t 0.00000000000000E+0000"},
        {"FLOAT('1,5')", "error: 1,5 isn't a valid float"},
        {"INT()", "error: Error in function: INT. Position 1"},
        {"BOOL(1, 2)", "error: Error in function: BOOL. Position 1"},
    });
}

TEST(ParsFunc, ChoiceFunctions) {
    expectAll({
        {"CASE(0, 1.5)", "float\t 1.50000000000000E+0000"}, {"CASE('1', NULL, TRUE)", "boolean\ttrue"},
        {"CASE(0)", "error: Error in function: CASE. Position 1"},
        {"IIF(FALSE, 1, NULL)", "null\t"}, {"FALSE", "boolean\tfalse"},
        {"ISNULL(1, 2, 3)", "error: Error in function: ISNULL. Position 1"},
        {"ISNULL()", "error: Error in function: ISNULL. Position 1"},
        {"NULL(1)", "error: Error in function: NULL. Position 1"},
    });
}

TEST(ParsFunc, TextAndDigitFunctions) {
    expectAll({
        {"SUBSTR('abcdef', -5, 2)", "string\tab"}, {"SUBSTR('abcdef', 6, 3)", "string\tf"},
        {"SUBSTR('abcdef', 2, 0)", "string\t"}, {"SUBSTR('abcdef', 2, 2147483647)", "string\tbcdef"},
        {"SUBSTR(12345, '2', 2.4)", "string\t23"},
        {"SUBSTR('abc', 1)", "error: Error in function: SUBSTR. Position 1"},
        {"HEX(-1, 0)", "string\tFFFFFFFF"}, {"HEX(48879, 2)", "string\tBEEF"}, {"HEX(0, 0)", "string\t0"},
        {"HEX(1, -3)", "string\t1"}, {"HEX('$ab', '3')", "string\t0AB"}, {"BIN(0, 3)", "string\t000"},
        {"BIN(1)", "error: Error in function: BIN. Position 1"},
        // An absurd padding is refused instead of filling the memory.
        {"HEX(1, 2000000000)", "error: Error in function: HEX. Position 1"},
        {"BIN(1, 65537)", "error: Error in function: BIN. Position 1"},
    });
    EXPECT_EQ(Eval("BIN(1, 65536)").size(), std::string("string\t").size() + 65536);
}

TEST(ParsFunc, NumberFunctions) {
    expectAll({
        {"ROUND('7.5')", "integer\t8"}, {"ROUND(FLOAT('1e19'))", "error: Invalid floating point operation"},
        {"TRUNC(2.7)", "integer\t2"}, {"TRUNC(4294967297.5)", "integer\t1"},
        {"FRAC(3)", "float\t 0.00000000000000E+0000"}, {"ABS(-3)", "float\t 3.00000000000000E+0000"},
        {"ABS('x')", "error: x isn't a valid float"}, {"ABS()", "error: Error in function: ABS. Position 1"},
        {"DATE(1)", "error: Error in function: DATE. Position 1"},
    });
}
// clang-format on

TEST(ParsFunc, DateIsTheLocalDateAndTimeNow) {
    TExprParser parser;
    TExpr v;
    parser.Evaluate("DATE", v);
    ASSERT_EQ(v.ExprType, etFloat);
    const QDateTime now = QDateTime::currentDateTime();
    const double expected =
        EncodeExprDateTime(now.date().year(), now.date().month(), now.date().day(),
                           now.time().hour(), now.time().minute(), now.time().second(), 0);
    EXPECT_NEAR(v.AsFloat, expected, 5.0 / 86400); // within five seconds, the time included
}

TEST(ParsFunc, FormatFunctionsConvertTheirArgumentsAndCheckTheRange) {
    // Under the tests' C locale.
    expectAll({
        {"FORMATFLOAT('0.00', '2.345')", "string\t2.35"},
        {"FORMATFLOAT(0, 5)", "string\t5"},
        {"FORMATFLOAT('', 1 / 4.0)", "string\t0.25"},
        {"FORMATFLOAT('#,##0.00', -1234.5)", "string\t-1,234.50"},
        {"FORMATFLOAT('0')", "error: Error in function: FORMATFLOAT. Position 1"},
        {"FORMATFLOAT('0', 'x')", "error: x isn't a valid float"},
        {"FORMATDATETIME('yyyy-mm-dd hh:nn', 45000.75)", "string\t2023-03-15 18:00"},
        {"FORMATDATETIME('yyyy-mm-dd', -1)", "string\t1899-12-29"},
        {"FORMATDATETIME('yyyy-mm-dd', 2958465)", "string\t9999-12-31"},
        {"FORMATDATETIME('yyyy-mm-dd', -693593)", "string\t0001-01-01"},
        {"FORMATDATETIME('yyyy', 2958466)", "error: Error in function: FORMATDATETIME. Position 1"},
        {"FORMATDATETIME('yyyy', -693594)", "error: Error in function: FORMATDATETIME. Position 1"},
        {"FORMATDATETIME('yyyy', FLOAT('1e300'))",
         "error: Error in function: FORMATDATETIME. Position 1"},
        {"FORMATDATETIME('', 45000)", "string\t15 Mar 2023"},
        {"FORMATDATETIME('c', 45000.5)", "string\t15 Mar 2023 12:00:00"},
    });
}
