// The often used keywords of the settings: one "KW" element with the attribute "VAL" per
// keyword under the settings' "KEYWORDS" element.
#pragma once

#include "tree/TQelPigger.h"

#include <string>
#include <string_view>
#include <vector>

class KeywordList {
public:
    // section: the "KEYWORDS" element (not owned).
    explicit KeywordList(TQelPigger* section) : section_(section) {}

    // The keywords a first start offers, in the order they are added.
    static const std::vector<std::string>& Defaults();

    // The keyword an element holds.
    static std::string Value(const TQelPigger* element);

    // No element at all under the section (a new or emptied list).
    bool IsEmpty() const { return section_->ChildCount() == 0; }
    // The "KW" elements with a non-empty value, in stored order.
    std::vector<TQelPigger*> Entries() const;
    // The first element whose value equals text ignoring letter case, or none.
    TQelPigger* Find(std::string_view text) const;
    // Adds the trimmed text as a new "KW" element and returns it; none when the trimmed text is
    // empty or already present (ignoring letter case).
    TQelPigger* Add(std::string_view text);
    // Adds every default keyword in order.
    void AddDefaults();
    // Destroys the element, which takes it out of the section.
    static void Remove(TQelPigger* element) { delete element; }

private:
    TQelPigger* section_;
};

// The keyword taken from an answer of the "New keyword" prompt: empty when the trimmed answer
// is empty, else its characters up to, not including, its first blank.
std::string KeywordFromAnswer(std::string_view answer);

// Order of the shown keyword list: ignoring letter case, equal ones by their exact text.
bool KeywordBefore(std::string_view a, std::string_view b);
