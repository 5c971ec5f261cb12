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

// The word-at-a-time folding must give what folding each byte gives, for every ASCII byte at
// every place of a word and for every length up to a few words.
TEST(TextCase, AsciiFoldingAtEveryPlace) {
    const auto reference = [](std::string s) {
        for (char& c : s)
            if (c >= 'A' && c <= 'Z')
                c = static_cast<char>(c + 32);
        return s;
    };
    for (size_t length = 1; length <= 19; ++length)
        for (int b = 0; b < 128; ++b) {
            const size_t at = static_cast<size_t>(b) % length;
            std::string s(length, 'Q');
            s[at] = static_cast<char>(b);
            const std::string folded = reference(s);
            ASSERT_EQ(CaseKey(s), folded) << length << " " << b;
            EXPECT_EQ(CaseKeyHash(s), CaseKeyHash(folded)) << length << " " << b;
            EXPECT_TRUE(SameTextIgnoringCase(s, folded)) << length << " " << b;
            // One byte changed to a letter of another case-less value must tell them apart.
            std::string other = folded;
            other[at] = other[at] == '[' ? '{' : '[';
            EXPECT_FALSE(SameTextIgnoringCase(s, other)) << length << " " << b;
            EXPECT_TRUE(IsAscii(s));
            s[length - 1 - at] = static_cast<char>(0x80 | b);
            EXPECT_FALSE(IsAscii(s)) << length << " " << b;
        }
}

// Texts with equal keys have equal hashes, also past ASCII and for bytes that are not UTF-8;
// the hash of a key is the hash of any text with that key.
TEST(TextCase, KeyHashFollowsTheKey) {
    const char* const texts[] = {
        "",
        "a",
        "HTTP://WWW.EXAMPLE.COM/Path/To/Page.html?Q=1",
        "http://www.example.com/path/to/page.html?q=1",
        "http://\xC3\x84rger.example/STRA\xC3\x9F"
        "E", // Ärger ... STRAßE
        "http://\xC3\xA4RGER.example/stra\xC3\x9F"
        "e", // äRGER ... straße
        "A\xFF long text that is not UTF-8 at all",
        "a\xFF LONG TEXT THAT IS NOT UTF-8 AT ALL",
        "abcdefgh",
        "ABCDEFGHI",
    };
    for (const char* a : texts)
        for (const char* b : texts) {
            const bool same = CaseKey(a) == CaseKey(b);
            EXPECT_EQ(same, SameTextIgnoringCase(a, b)) << a << " / " << b;
            if (same)
                EXPECT_EQ(CaseKeyHash(a), CaseKeyHash(b)) << a << " / " << b;
            else
                EXPECT_NE(CaseKeyHash(a), CaseKeyHash(b)) << a << " / " << b;
        }
    EXPECT_EQ(CaseKeyHash("\xC3\x84rger"), CaseKeyHash(CaseKey("\xC3\x84rger")));
    // Zero bytes count: a text and the same text with zeros after it are different texts.
    EXPECT_NE(CaseKeyHash(std::string_view("abc", 3)), CaseKeyHash(std::string_view("abc\0", 4)));
}
