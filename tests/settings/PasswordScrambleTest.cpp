#include "settings/core/PasswordScramble.h"

#include <gtest/gtest.h>

TEST(PasswordScramble, KnownValuesAndBack) {
    EXPECT_EQ(HexEncode(ScramblePassword("secret")), "71F22A10D59A");
    EXPECT_EQ(UnscramblePassword(HexDecode("71F22A10D59A")), "secret");
    EXPECT_EQ(HexEncode(ScramblePassword("")), "");
    // The key follows the scrambled byte: equal letters scramble differently.
    const std::string aa = ScramblePassword("aa");
    EXPECT_NE(aa[0], aa[1]);
}

TEST(PasswordScramble, EveryByteAndLongPasswordsRoundTrip) {
    std::string all;
    for (int b = 0; b < 256; ++b)
        all.push_back(static_cast<char>(b));
    EXPECT_EQ(UnscramblePassword(ScramblePassword(all)), all);
    const std::string longOne(1000, 'x');
    EXPECT_EQ(UnscramblePassword(HexDecode(HexEncode(ScramblePassword(longOne)))), longOne);
}

TEST(PasswordScramble, HexForms) {
    EXPECT_EQ(HexEncode(std::string("\x00\x0F\xF0\xFF", 4)), "000FF0FF");
    EXPECT_EQ(HexDecode("000FF0FF"), std::string("\x00\x0F\xF0\xFF", 4));
    EXPECT_EQ(HexDecode("4142f"), "AB"); // odd last digit ignored
    EXPECT_EQ(HexDecode("6a"), "j");     // lower case read too
}
