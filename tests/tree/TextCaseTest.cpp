#include "tree/TextCase.h"

#include <gtest/gtest.h>

TEST(TextCase, EqualityIgnoringCaseAndItsKey) {
    const std::pair<const char*, const char*> same[] = {
        {"http://Example.COM/x", "HTTP://example.com/X"},
        {"\xC3\x84rger", "\xC3\xA4RGER"}, // Ärger / äRGER
        {"", ""},
    };
    for (const auto& [a, b] : same) {
        EXPECT_TRUE(SameTextIgnoringCase(a, b)) << a;
        EXPECT_EQ(CaseKey(a), CaseKey(b)) << a;
    }
    const std::pair<const char*, const char*> different[] = {
        {"abc", "abd"}, {"abc", "abcd"}, {"\xC3\x84", "A"}, {"\xFF\xFE", "\xFF\xFF"}};
    for (const auto& [a, b] : different) {
        EXPECT_FALSE(SameTextIgnoringCase(a, b)) << a;
        EXPECT_NE(CaseKey(a), CaseKey(b)) << a;
    }
    // Bytes that are not UTF-8 still fold their ASCII letters.
    EXPECT_TRUE(SameTextIgnoringCase("A\xFF", "a\xFF"));
}
