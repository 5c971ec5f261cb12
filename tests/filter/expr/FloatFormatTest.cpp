#include "filter/expr/FloatFormat.h"

#include <gtest/gtest.h>

namespace {

const TFormatSettings& english() {
    static const TFormatSettings s =
        TFormatSettings::FromLocale(QLocale(QLocale::English, QLocale::UnitedStates));
    return s;
}
const TFormatSettings& german() {
    static const TFormatSettings s =
        TFormatSettings::FromLocale(QLocale(QLocale::German, QLocale::Germany));
    return s;
}

struct Case {
    const char* mask;
    double value;
    const char* expected;
};

void expectAll(std::initializer_list<Case> cases, const TFormatSettings& s = english()) {
    for (const Case& c : cases)
        EXPECT_EQ(FormatExprFloat(c.mask, c.value, s), c.expected)
            << "mask '" << c.mask << "' value " << c.value;
}

} // namespace

// clang-format off
TEST(FloatFormat, DigitPlacesAndDecimals) {
    expectAll({
        {"0", 0, "0"}, {"#", 0, ""}, {"#.##", 0, ""}, {"#.##", 0.5, ".5"}, {"#.00", 0.5, ".50"},
        {"0.00", 1, "1.00"}, {"0.##", 1, "1"}, {"0.0#", 1.5, "1.5"}, {"0.0#", 1.25, "1.25"},
        {"0.0#", 1.256, "1.26"}, {"000", 7, "007"}, {"0", 123456, "123456"},
        {"#0#.#0#", 1.5, "01.50"}, {".00", 12.5, "12.50"},
        {"0", 2.5, "3"}, // halves go away from zero
        {"0.00", 0.125, "0.13"},
        {"0.00", 1.005, "1.00"}, // the double is just below 1.005
        {"0.00", 9.999, "10.00"}, {"#", 0.4, ""},
        {"0", -0.4, "0"}, // no minus sign before a zero
        {"0.00", -1.5, "-1.50"}, {"0.000000000000000000", 0.1, "0.100000000000000006"},
        {"0", 1e20, "100000000000000000000"},
    });
}

TEST(FloatFormat, GroupingLiteralsAndQuotes) {
    expectAll({
        {"#,##0.00", 1234567.891, "1,234,567.89"}, {"#,##0", 999, "999"},
        {"#,##0", -1234567, "-1,234,567"}, {"0,000,000", 123, "0,000,123"}, {",0", 1234, "1,234"},
        {"00-00", 1234, "12-34"}, {"'$'#,##0.00", 1234.5, "$1,234.50"}, {"$#,##0.00", -5, "-$5.00"},
        {"\"Total: \"0 'kg'", 5, "Total: 5 kg"}, {"0 'a;b'", 5, "5 a;b"}, {"'abc'", 5, "abc"},
        {"0%", 50, "50%"}, {"0 'unterminated", 5, "5 unterminated"},
    });
    expectAll({{"#,##0.00", 1234567.891, "1.234.567,89"}, {"0.0", -0.25, "-0,3"}}, german());
}

TEST(FloatFormat, Sections) {
    expectAll({
        {"0.00;(0.00);'zero'", 5, "5.00"}, {"0.00;(0.00);'zero'", -5, "(5.00)"},
        {"0.00;(0.00);'zero'", 0, "zero"},
        {"0.00;(0.00);'zero'", -0.001, "zero"}, // rounds to zero: the zero section
        {"0.00;(0.00)", 0, "0.00"},
        {"0.0;;'nil'", -5, "-5.0"}, // an empty section falls back to the first
        {"0.0;", -5, "-5.0"}, {"0;-0;'z';'ignored'", 0, "z"}, {"'pos';'neg'", -1, "neg"},
        {"'a;b';0", -3, "3"},
    });
}

TEST(FloatFormat, ScientificNotation) {
    expectAll({
        {"0.00E+00", 1234.5, "1.23E+03"}, {"0.00E-00", 1234.5, "1.23E03"},
        {"0.00E-00", 0.000123, "1.23E-04"}, {"0.00e+0", 0.000123, "1.23e-4"},
        {"0.###E+0", 1500, "1.5E+3"}, {"00.0E+0", 12345, "12.3E+3"}, {"0.00E+00", 0, "0.00E+00"},
        {"0.0E+0", -1234.5, "-1.2E+3"}, {"0.0E+0000", 1e100, "1.0E+0100"},
        {"0.0E+000000", 5, "5.0E+0000"}, {"0.00E+00", 9.999, "1.00E+01"}, {"0E+0 'x'", 7, "7E+0 x"},
    });
    expectAll({{"0.00E+00", 1234.5, "1,23E+03"}}, german());
}

TEST(FloatFormat, EmptyMaskGivesTheGeneralForm) {
    expectAll({
        {"", 1.5, "1.5"}, {"", 0, "0"}, {"", -2.5, "-2.5"}, {"", 100, "100"}, {"", 1e15, "1E15"},
        {"", 999999999999999, "999999999999999"}, {"", 1e20, "1E20"}, {"", 0.0001, "0.0001"},
        {"", 0.00001, "1E-5"}, {"", -1.25e-7, "-1.25E-7"},
        {"", 123456789012345678.0, "1.23456789012346E17"}, {"", 1.0 / 3, "0.333333333333333"},
        {";", -1.5, "-1.5"},
    });
    expectAll({{"", 1.5, "1,5"}, {"", 1.5e30, "1,5E30"}}, german());
}
// clang-format on
