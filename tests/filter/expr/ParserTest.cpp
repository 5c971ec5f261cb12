#include "EdgeCases.h"
#include "ExprTestUtil.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace {

using Cases = std::vector<std::pair<std::string, std::string>>;

void expectAll(const Cases& cases) {
    TExprParser parser; // one evaluator for all, as the filter uses it
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(Eval(parser, text), expected) << "text: " << text;
}

std::string repeat(const std::string& s, int n) {
    std::string out;
    for (int i = 0; i < n; ++i)
        out += s;
    return out;
}

} // namespace

TEST(Parser, DocumentedEdgeCases) {
    TExprParser parser;
    for (const EdgeCase& c : EdgeCases)
        EXPECT_EQ(Eval(parser, c.Text),
                  c.Value ? std::string(c.Value) : "error: " + std::string(c.Error))
            << "text: " << c.Text;
}

// clang-format off
TEST(Parser, PrecedenceAssociativityAndPrefixes) {
    expectAll({
        {"10 - 4 - 3", "integer\t3"}, {"100 / 10 / 5", "integer\t2"}, {"2 * 3 ** 2", "integer\t18"},
        {"1 + 1 == 2", "boolean\ttrue"}, {"1 < 2 == TRUE", "boolean\ttrue"},
        {"1 == 1 && 2 == 2 || FALSE", "boolean\ttrue"}, {"TRUE ^^ TRUE || TRUE", "boolean\ttrue"},
        {"~0 << 4 >> 28", "integer\t15"}, {"~1 + 1", "integer\t-1"}, {"1 - ~2", "integer\t4"},
        {"2 * ~1", "integer\t-4"}, {"TRUE && !FALSE", "boolean\ttrue"}, {"-TRUE", "integer\t-1"},
        {"1 < 2 == !FALSE", "boolean\ttrue"}, {"NULL - 5", "integer\t-5"},
        {"- -5", "error: Invalid arguments for operation. Position 3"},
        {"~ ~1", "error: Invalid arguments for operation. Position 3"},
        {"1 ~ 2", "error: Invalid arguments for operation. Position 3"},
        {"-'a'", "error: Invalid arguments for operation. Position 1"},
        {"1 -", "error: Invalid arguments for operation. Position 3"},
        {"& 1", "error: Invalid arguments for operation. Position 1"},
        {"! TRUE || TRUE", "boolean\ttrue"},
    });
}

TEST(Parser, OperatorsTypesWrapsAndArithmeticErrors) {
    expectAll({
        {"6 & 3", "integer\t2"}, {"TRUE | 6", "integer\t7"}, {"6 ^ 3", "integer\t5"},
        {"1 << 31", "integer\t-2147483648"}, {"-1 >> 28", "integer\t0"}, {"(0 - 1) >> 28", "integer\t15"}, {"8 >> (0 - 31)", "integer\t4"},
        {"'1' & 3", "error: Invalid arguments for operation. Position 5"},
        {"1.0 | 3", "error: Invalid arguments for operation. Position 5"},
        {"TRUE ^^ TRUE", "boolean\tfalse"}, {"FALSE || TRUE", "boolean\ttrue"},
        {"-1 < 0", "boolean\ttrue"}, {"'\xC3\xA9' < 'z'", "boolean\tfalse"}, {"2.0 >= 2", "boolean\ttrue"},
        {"3 <= 2.5", "boolean\tfalse"}, {"'a' != 'a'", "boolean\tfalse"},
        {"1.5 == ' 1.50000000000000E+0000'", "boolean\ttrue"},
        {"'x' + 1.5", "string\tx 1.50000000000000E+0000"}, {"TRUE + 'x'", "string\t1x"},
        {"TRUE + TRUE", "integer\t2"}, {"1.5 + 1", "float\t 2.50000000000000E+0000"},
        {"2147483647 + 1", "integer\t-2147483648"}, {"65536 * 65537", "integer\t65536"},
        {"(0 - 2147483647 - 1) / (0 - 1)", "integer\t-2147483648"},
        {"(0 - 2147483647 - 1) % (0 - 1)", "integer\t0"}, {"7 % (0 - 3)", "integer\t1"},
        {"1 % 0", "error: Division by zero"}, {"1.0 / 0", "error: Floating point division by zero"},
        {"0.0 / 0", "error: Invalid floating point operation"},
        {"FLOAT('1e308') * 10", "error: Floating point overflow"},
        {"FLOAT('1.7e308') + FLOAT('1.7e308')", "error: Floating point overflow"},
        {"2 ** (0 - 1)", "integer\t0"}, {"2 ** 40", "integer\t0"},
        {"(0 - 2) ** 2", "error: Invalid floating point operation"},
        {"10.0 ** 400", "error: Floating point overflow"},
        {"10 ** 30", "error: Invalid floating point operation"}, // beyond 64 bits when rounded
        {"'2' ** 2", "error: Invalid arguments for operation. Position 5"},
    });
}

TEST(Parser, TokensAndReadingErrors) {
    expectAll({
        {"\"say \"\"hi\"\" now\"", "string\tsay \"hi\" now"}, {"\"it's\"", "string\tit's"},
        {"''", "string\t"}, {"''''", "string\t'"}, {"'line\r\nbreak'", "string\tline\r\nbreak"},
        {"1 + 'ab''", "error: Unterminated string. Position 5"},
        {"0x000000001", "integer\t1"}, {"0x100000000", "integer\t0"}, {"007", "integer\t7"},
        {"2147483647", "integer\t2147483647"},
        {"2147483648", "error: '2147483648' is not a valid integer value"},
        {"1 ; 2", "error: Illegal character. Position 3"}, {"[1]", "error: Illegal character. Position 1"},
        {"'\xC3\xA9' + \xC3\xA9", "error: Illegal character. Position 8"},
        {"1==-1", "error: Unknown operation: ==-. Position 2"},
        {"1 @ 2", "error: Unknown operation: @. Position 3"},
        {"_x", "error: Unknown operation: _. Position 1"},
        {"tRuE ( )", "boolean\ttrue"}, {"( 1 )", "integer\t1"}, {"ABS( -1 )", "float\t 1.00000000000000E+0000"},
        {"NULL", "null\t"}, {"NULL 1", "integer\t1"}, {"(NULL)", "error: Empty expression. Position 6"},
        {"((1) 2)", "error: Operation absent. Position 6"}, {"1 (2)", "error: Operation absent. Position 4"},
        {"1 TRUE", "error: Operation absent. Position 3"}, {"ABS(1 2)", "error: Operation absent. Position 7"},
        // The right operand's error is reported at the operator read most recently.
        {"'a' * 2 + 1", "error: Invalid arguments for operation. Position 9"},
        {"1 + (2 * )", "error: Invalid arguments for operation. Position 8"},
        // Nothing may follow the expression at the outermost level.
        {"1)", "error: Unexpected closing brace. Position 2"}, {"1, 2", "error: Unexpected comma. Position 2"},
        {"(1)) + 1", "error: Unexpected closing brace. Position 4"},
        {")", "error: Unexpected closing brace. Position 1"},
    });
    // The text ends at its first NUL character.
    TExprParser parser;
    EXPECT_EQ(Eval(parser, std::string_view("1 + 2\0garbage", 13)), "integer\t3");
    EXPECT_EQ(Eval(parser, std::string_view("'ab\0c'", 6)), "error: Unterminated string. Position 1");
}

TEST(Parser, FunctionCalls) {
    expectAll({
        {"1 + nosuch_fn", "error: Unknown function: NOSUCH_FN. Position 5"},
        {"foo(1 / 0)", "error: Division by zero"}, // arguments come before the look-up
        {"  iif(TRUE)", "error: Error in function: IIF. Position 3"},
        {"SUBSTR('abc' + 'def', 2, 3)", "string\tbcd"},
        {"SUBSTR('ab' 'c', 1, 1)", "error: Operation absent. Position 13"},
        {"ISNULL('a'", "error: Unclosed brace. Position 1"},
        {"TRUE(1)", "error: Error in function: TRUE. Position 1"},
        {"CASE(11, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11)", "integer\t11"},
        {"CASE(12, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11)", "error: Error in function: CASE. Position 1"},
    });
}
// clang-format on

TEST(Parser, TheOperatorCacheNeverLeaksIntoTheNextText) {
    TExprParser parser;
    // The same operator positions with other operators, one text after the other.
    EXPECT_EQ(Eval(parser, "1 + 2"), "integer\t3");
    EXPECT_EQ(Eval(parser, "1 - 2"), "integer\t-1");
    EXPECT_EQ(Eval(parser, "1 * 2 - 3"), "integer\t-1");
    EXPECT_EQ(Eval(parser, "1 ** 2 + 3"), "integer\t4");
    // A failed evaluation leaves the evaluator ready.
    EXPECT_EQ(Eval(parser, "1 ==- 2"), "error: Unknown operation: ==-. Position 3");
    EXPECT_EQ(Eval(parser, "1 == 2"), "boolean\tfalse");
    EXPECT_EQ(Eval(parser, "((((1"), "error: Unclosed brace. Position 6");
    EXPECT_EQ(Eval(parser, "2 * 3"), "integer\t6");
}

TEST(Parser, DeepNestingFailsCleanlyInsteadOfOverflowingTheStack) {
    const int n = 100000, limit = TExprParser::MaxDepth;
    // Reported where the level beyond the limit would begin.
    const std::string tooDeep = "error: Expression nested too deeply. Position ";
    EXPECT_EQ(Eval(repeat("(", n) + "1" + repeat(")", n)), tooDeep + std::to_string(limit + 1));
    EXPECT_EQ(Eval(repeat("ABS(", n) + "1" + repeat(")", n)),
              tooDeep + std::to_string(4 * limit + 1));
    EXPECT_EQ(Eval(repeat("!(", n) + "TRUE" + repeat(")", n)), tooDeep + std::to_string(limit + 1));
    EXPECT_EQ(Eval(repeat("-(", n) + "1" + repeat(")", n)), tooDeep + std::to_string(limit + 1));
    EXPECT_EQ(Eval(repeat("(", n)), tooDeep + std::to_string(limit + 1));
    // Prefix operators cannot stack up: each one must bind tighter than the last.
    EXPECT_EQ(Eval(repeat("- ", n) + "1"), "error: Invalid arguments for operation. Position 3");
    // Just inside the limit everything works, and long flat chains have no limit at all.
    const int inside = limit - 1;
    EXPECT_EQ(Eval(repeat("(", inside) + "7" + repeat(")", inside)), "integer\t7");
    EXPECT_EQ(Eval(repeat("ABS(", inside - 1) + "-7" + repeat(")", inside - 1)),
              "float\t 7.00000000000000E+0000");
    EXPECT_EQ(Eval("1" + repeat(" + 1", n)), "integer\t100001");
    EXPECT_EQ(Eval(repeat("TRUE && ", n) + "TRUE"), "boolean\ttrue");
}

namespace {

int lastArgCount = -1;
void* lastContext = nullptr;

bool joinArgs(void* context, TExpr& result, std::int32_t argc, TExpr* args) {
    lastArgCount = argc;
    lastContext = context;
    std::string joined;
    for (int k = 0; k < argc; ++k) {
        ConvertExpr(args[k], etString);
        joined += args[k].AsString + ";";
    }
    result.SetString(joined);
    return true;
}

bool hostError(void*, TExpr&, std::int32_t, TExpr*) {
    throw std::runtime_error("the host's own message");
}

bool leavesNull(void*, TExpr&, std::int32_t, TExpr*) {
    return true;
}

} // namespace

TEST(Parser, HostFunctionsAndCallsWithMoreThanEightArguments) {
    RegisterFunction("test_args", joinArgs);
    RegisterFunction("Test_Host_Error", hostError);
    RegisterFunction("TEST_NULL", leavesNull);
    TExprParser parser;
    int token = 0;
    parser.Context = &token;
    EXPECT_EQ(Eval(parser, "test_ARGS(1, 'b', , TRUE, 2.5 > 1, 6, 7, 8, 9, 10, 11, 12)"),
              "string\t1;b;;1;1;6;7;8;9;10;11;12;");
    EXPECT_EQ(lastArgCount, 12);
    EXPECT_EQ(lastContext, &token);
    EXPECT_EQ(Eval(parser, "TEST_ARGS"), "string\t");
    EXPECT_EQ(lastArgCount, 0);
    EXPECT_EQ(Eval(parser, "TEST_ARGS(,)"), "string\t;;");
    EXPECT_EQ(Eval(parser, "1 + test_host_error(1)"), "error: the host's own message");
    EXPECT_EQ(Eval(parser, "TEST_NULL(1) 5"), "integer\t5");
}
