// The language's documented edge cases, shared by the evaluator's unit tests and the tests of
// "qrl eval": the text, and the line qrl writes (the value as "type<TAB>value", or the error).
#pragma once

struct EdgeCase {
    const char* Text;
    const char* Value; // nullptr when the text raises Error
    const char* Error = "";
};

// clang-format off
inline const EdgeCase EdgeCases[] = {
    {"1 + 2 * 3", "integer\t7"}, {"(1 + 2) * 3", "integer\t9"}, {"1 + 2 & 3", "integer\t3"},
    {"1 << 33", "integer\t2"}, {"2 ** 3", "integer\t8"}, {"2 ** 3 ** 2", "integer\t64"},
    {"2 ** 0.5", "float\t 1.41421356237309E+0000"},
    {"7 / 2", "integer\t3"}, {"7.0 / 2", "float\t 3.50000000000000E+0000"}, {"-7 % 3", "integer\t-1"},
    {"5.5 % 2", nullptr, "Invalid arguments for operation. Position 5"},
    {"1 / 0", nullptr, "Division by zero"}, {"0 ** 2", nullptr, "Floating point division by zero"},
    {"-5", "integer\t-5"}, {"3 * (-2)", "integer\t-6"}, {"1 == -1", "boolean\tfalse"},
    {"3 * -2", nullptr, "Invalid arguments for operation. Position 5"},
    {"1 - -1", nullptr, "Invalid arguments for operation. Position 5"},
    {"+5", nullptr, "Invalid arguments for operation. Position 1"},
    {"--5", nullptr, "Unknown operation: --. Position 1"},
    {"!TRUE", "boolean\tfalse"}, {"!(!TRUE)", "boolean\ttrue"}, {"!TRUE == FALSE", "boolean\ttrue"},
    {"!1", nullptr, "Invalid arguments for operation. Position 1"},
    {"!!TRUE", nullptr, "Unknown operation: !!. Position 1"},
    {"TRUE && 1", nullptr, "Invalid arguments for operation. Position 6"},
    {"TRUE == 1", "boolean\ttrue"}, {"5 == '5'", "boolean\ttrue"}, {"1.5 == '1.5'", "boolean\tfalse"},
    {"'a' < 'b'", "boolean\ttrue"}, {"'a' < 'B'", "boolean\tfalse"}, {"'ab' > 'a'", "boolean\ttrue"},
    {"'x' + 1", "string\tx1"}, {"1 + 'x'", "string\t1x"},
    {"'x' * 2", nullptr, "Invalid arguments for operation. Position 5"},
    {"NULL == 1", nullptr, "Invalid arguments for operation. Position 6"},
    {"1 == NULL", nullptr, "Invalid arguments for operation. Position 3"},
    {"ISNULL(NULL)", "boolean\ttrue"}, {"ISNULL(NULL, 5)", "integer\t5"},
    {"ISNULL(3, 5)", "integer\t3"}, {"ISNULL(, 5)", "integer\t5"},
    {"'it''s'", "string\tit's"}, {"\"a\"\"b\"\"c\"", "string\ta\"b\"c"},
    {"'say \"hi\"'", "string\tsay \"hi\""}, {"'abc", nullptr, "Unterminated string. Position 1"},
    {"1 2", nullptr, "Operation absent. Position 3"},
    {"1 = 1", nullptr, "Unknown operation: =. Position 3"},
    {"1.5.2", nullptr, "Illegal character. Position 4"}, {".5", nullptr, "Illegal character. Position 1"},
    {"0x1F", "integer\t31"}, {"0xFFFFFFFF", "integer\t-1"}, {"0x", "integer\t0"},
    {"0X1F", nullptr, "Operation absent. Position 2"}, {"1.", "float\t 1.00000000000000E+0000"},
    {"1e5", nullptr, "Operation absent. Position 2"},
    {"4294967296", nullptr, "'4294967296' is not a valid integer value"},
    {"", "null\t"}, {"   ", "null\t"}, {"()", nullptr, "Empty expression. Position 2"},
    {"(1", nullptr, "Unclosed brace. Position 3"},
    {"SUBSTR('a', 1, 1", nullptr, "Unclosed brace. Position 1"},
    {"foo(1)", nullptr, "Unknown function: FOO. Position 1"},
    {"true", "boolean\ttrue"}, {"True", "boolean\ttrue"},
    {"IIF(TRUE, 1)", nullptr, "Error in function: IIF. Position 1"},
    {"IIF(1, 'a', 'b')", "string\ta"}, {"IIF('', 'a', 'b')", "string\tb"},
    {"IIF(TRUE, 1, 1 / 0)", nullptr, "Division by zero"},
    {"CASE(1, 'x', 'y', 'z')", "string\ty"}, {"CASE(1.5, 'a', 'b', 'c')", "string\tc"},
    {"CASE(3, 'x', 'y', 'z')", nullptr, "Error in function: CASE. Position 1"},
    {"CASE(-1, 'x')", nullptr, "Error in function: CASE. Position 1"},
    {"SUBSTR('abcdef', 2, 3)", "string\tbcd"}, {"SUBSTR('abcdef', 0, 3)", "string\tabc"},
    {"SUBSTR('abcdef', 7, 1)", "string\t"}, {"SUBSTR('abcdef', 2, -1)", "string\t"},
    {"SUBSTR('abcdef', 2, 100)", "string\tbcdef"},
    {"HEX(255, 4)", "string\t00FF"}, {"BIN(5, 8)", "string\t00000101"},
    {"BIN(-1, 0)", "string\t11111111111111111111111111111111"}, {"BIN(0, 0)", "string\t"},
    {"ROUND(2.5)", "integer\t2"}, {"ROUND(3.5)", "integer\t4"}, {"ROUND(-2.5)", "integer\t-2"},
    {"TRUNC(-2.7)", "integer\t-2"}, {"FRAC(-2.75)", "float\t-7.50000000000000E-0001"},
    {"INT(2.5)", "integer\t2"}, {"INT(' 12')", "integer\t12"},
    {"INT('12 ')", nullptr, "'12 ' is not a valid integer value"},
    {"FLOAT('')", nullptr, " isn't a valid float"},
    {"STRING(1.5)", "string\t 1.50000000000000E+0000"},
    {"1\r\n+\n2", "integer\t3"}, {"ISNULL(NULL,\r\n\t5)", "integer\t5"},
};
// clang-format on
