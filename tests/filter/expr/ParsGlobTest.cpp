#include "filter/expr/ParsGlob.h"

#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>

namespace {

std::string errorOf(void (*f)()) {
    try {
        f();
    } catch (const std::runtime_error& e) {
        return e.what();
    }
    return "no error";
}

} // namespace

TEST(ParsGlob, ConversionsAwayFromTextEmptyIt) {
    TExpr v;
    v.SetString("12");
    ConvertExpr(v, etInteger);
    EXPECT_EQ(v.ExprType, etInteger);
    EXPECT_TRUE(v.AsString.empty());
    v.SetString("x");
    ConvertExpr(v, etBoolean);
    EXPECT_TRUE(v.AsString.empty());
    EXPECT_TRUE(v.AsBoolean);
    TExpr a, b; // a missing left operand meets a float
    b.SetFloat(1.5);
    UnifyExpr(a, b);
    EXPECT_EQ(a.ExprType, etFloat);
    EXPECT_EQ(a.AsFloat, 0.0);
}

// clang-format off
TEST(ParsGlob, FloatTextFormIsAlways23Characters) {
    const std::pair<double, const char*> cases[] = {
        {1.5, " 1.50000000000000E+0000"}, {0.0, " 0.00000000000000E+0000"},
        {-0.0, " 0.00000000000000E+0000"}, {-1.5, "-1.50000000000000E+0000"},
        {0.1, " 1.00000000000000E-0001"}, {1e300, " 1.00000000000000E+0300"},
        {-1e-300, "-1.00000000000000E-0300"}, {123456789012345678.0, " 1.23456789012346E+0017"},
        {2.0 / 3.0, " 6.66666666666667E-0001"}, {9.999999999999999, " 1.00000000000000E+0001"},
    };
    for (const auto& [value, text] : cases)
        EXPECT_EQ(FloatToExprText(value), text);
}

TEST(ParsGlob, TextToInteger) {
    const std::pair<const char*, std::int32_t> good[] = {
        {"12", 12}, {"  12", 12}, {"+12", 12}, {"-12", -12}, {"$FF", 255}, {"xff", 255}, {"X1F", 31},
        {"0x1F", 31}, {"0X1f", 31}, {" $ff", 255}, {"$FFFFFFFF", -1}, {"$000000001", 1}, {"007", 7},
        {"-0", 0}, {"2147483647", 2147483647}, {"-2147483648", -2147483647 - 1},
    };
    for (const auto& [text, value] : good) {
        std::int32_t v = 0;
        EXPECT_TRUE(TryTextToInteger(text, v)) << text;
        EXPECT_EQ(v, value) << text;
    }
    const char* bad[] = {"", "-", " ", "12 ", "1 2", "+$1", "-0x1", "0x", "$", "$G", "1.0", "1e3", "\t1",
                         "2147483648", "-2147483649", "$100000000", "99999999999999999999"};
    for (const char* text : bad) {
        std::int32_t v;
        EXPECT_FALSE(TryTextToInteger(text, v)) << text;
    }
    EXPECT_EQ(errorOf([] { TextToInteger("12 "); }), "'12 ' is not a valid integer value");
}

TEST(ParsGlob, TextToFloatReadsThePointWhateverTheLocale) {
    const std::pair<const char*, double> good[] = {
        {"1.5", 1.5}, {" -1.5", -1.5}, {"+.5", 0.5}, {".", 0.0}, {"5.", 5.0}, {"1e3", 1e3}, {"1E+3", 1e3},
        {"2e-3", 2e-3}, {"-.25e1", -2.5}, {"1e-400", 0.0}, {"007.50", 7.5},
    };
    for (const auto& [text, value] : good) {
        double v = -99;
        EXPECT_TRUE(TryTextToFloat(text, v)) << text;
        EXPECT_DOUBLE_EQ(v, value) << text;
    }
    const char* bad[] = {"", " ", "-", "+", "e5", "1e", "1e+", "1.5 ", "1,5", "1e400", "..", "1.5.2",
                         "inf", "nan", "0x10"};
    for (const char* text : bad) {
        double v;
        EXPECT_FALSE(TryTextToFloat(text, v)) << text;
    }
    EXPECT_EQ(errorOf([] { TextToFloat(""); }), " isn't a valid float");
    EXPECT_EQ(errorOf([] { TextToFloat("1,5"); }), "1,5 isn't a valid float");
}

TEST(ParsGlob, RoundingHalvesToEvenAndKeepsTheLow32Bits) {
    const std::pair<double, std::int32_t> cases[] = {
        {2.5, 2}, {3.5, 4}, {-2.5, -2}, {-3.5, -4}, {0.5, 0}, {1.4999, 1}, {-0.5, 0},
        {2147483648.0, -2147483647 - 1}, {4294967301.0, 5},
    };
    for (const auto& [value, rounded] : cases)
        EXPECT_EQ(RoundToInt32(value), rounded) << value;
    EXPECT_EQ(TruncToInt32(-2.7), -2);
    EXPECT_EQ(TruncToInt32(4294967297.9), 1);
    EXPECT_EQ(errorOf([] { RoundToInt32(1e19); }), "Invalid floating point operation");
    EXPECT_EQ(errorOf([] { TruncToInt32(-1e300); }), "Invalid floating point operation");
}
// clang-format on

TEST(ParsGlob, PayloadTruthReadsTheFirstByte) {
    TExpr v;
    EXPECT_FALSE(v.PayloadTruth());
    v.SetBoolean(true);
    EXPECT_TRUE(v.PayloadTruth());
    v.SetInteger(1);
    EXPECT_TRUE(v.PayloadTruth());
    v.SetInteger(256); // low byte 0
    EXPECT_FALSE(v.PayloadTruth());
    v.SetString("x");
    EXPECT_FALSE(v.PayloadTruth());
}
