#include "settings/core/KeywordList.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {
std::vector<std::string> values(const std::vector<TQelPigger*>& elements) {
    std::vector<std::string> out;
    for (const TQelPigger* e : elements)
        out.push_back(KeywordList::Value(e));
    return out;
}
} // namespace

TEST(KeywordList, AddTrimsAndRefusesEmptyAndDuplicatesIgnoringCase) {
    TQelPigger section;
    KeywordList list(&section);
    TQelPigger* hotel = list.Add("  hotel\t");
    ASSERT_NE(hotel, nullptr);
    EXPECT_EQ(KeywordList::Value(hotel), "hotel");
    EXPECT_EQ(list.Add("Hotel"), nullptr);
    EXPECT_EQ(list.Add("HOTEL "), nullptr);
    EXPECT_EQ(list.Add("   "), nullptr);
    EXPECT_EQ(list.Add(""), nullptr);
    // Letters beyond ASCII compare ignoring case too.
    ASSERT_NE(list.Add("Ärger"), nullptr);
    EXPECT_EQ(list.Add("ärger"), nullptr);
    EXPECT_EQ(list.Find("HoTeL"), hotel);
    EXPECT_EQ(section.ChildCount(), 2);
}

TEST(KeywordList, EntriesSkipEmptyValuesAndOtherElements) {
    TQelPigger section;
    section.SetAsText("<KEYWORDS><KW VAL=\"b\"/><KW/><NOTE VAL=\"x\"/><KW VAL=\"a\"/></KEYWORDS>");
    KeywordList list(&section);
    EXPECT_FALSE(list.IsEmpty());
    EXPECT_EQ(values(list.Entries()), (std::vector<std::string>{"b", "a"}));
    // The note's value still counts as present.
    EXPECT_EQ(list.Add("X"), nullptr);
    TQelPigger* b = list.Find("B");
    KeywordList::Remove(b);
    EXPECT_EQ(values(list.Entries()), (std::vector<std::string>{"a"}));
    EXPECT_EQ(section.ChildCount(), 3);
}

TEST(KeywordList, AnswerOfThePromptGivesItsFirstWord) {
    EXPECT_EQ(KeywordFromAnswer("new york"), "new");
    EXPECT_EQ(KeywordFromAnswer("hotel  "), "hotel");
    EXPECT_EQ(KeywordFromAnswer("   "), "");
    EXPECT_EQ(KeywordFromAnswer(" new york"), "");
}

TEST(KeywordList, ShownOrderIgnoresLetterCase) {
    std::vector<std::string> shown = KeywordList::Defaults();
    shown.push_back("Air");
    std::sort(shown.begin(), shown.end(),
              [](const std::string& a, const std::string& b) { return KeywordBefore(a, b); });
    EXPECT_EQ(shown, (std::vector<std::string>{"Air", "air", "business", "card", "credit",
                                               "hosting", "hotel", "mp3", "music", "plain",
                                               "ticket", "train", "travel", "WEB"}));
    EXPECT_FALSE(KeywordBefore("same", "same"));
}
