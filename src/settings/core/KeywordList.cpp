#include "settings/core/KeywordList.h"

#include "settings/core/SettingsStore.h"
#include "tree/TextCase.h"

const std::vector<std::string>& KeywordList::Defaults() {
    static const std::vector<std::string> defaults = {
        "WEB",  "hosting", "ticket", "air",   "plain",  "hotel",   "credit",
        "card", "music",   "mp3",    "train", "travel", "business"};
    return defaults;
}

std::string KeywordList::Value(const TQelPigger* element) {
    return element->GetAttr(SettingsKeys::KeywordValue);
}

std::vector<TQelPigger*> KeywordList::Entries() const {
    std::vector<TQelPigger*> entries;
    for (TQelPigger* child : section_->Children())
        if (child->Name() == SettingsKeys::Keyword && !Value(child).empty())
            entries.push_back(child);
    return entries;
}

TQelPigger* KeywordList::Find(std::string_view text) const {
    for (TQelPigger* child : section_->Children())
        if (SameTextIgnoringCase(Value(child), text))
            return child;
    return nullptr;
}

TQelPigger* KeywordList::Add(std::string_view text) {
    const std::string_view keyword = TrimBlanks(text);
    if (keyword.empty() || Find(keyword))
        return nullptr;
    TQelPigger* element = section_->AddChild(SettingsKeys::Keyword);
    element->SetAttr(SettingsKeys::KeywordValue, keyword);
    return element;
}

void KeywordList::AddDefaults() {
    for (const std::string& keyword : Defaults())
        Add(keyword);
}

std::string KeywordFromAnswer(std::string_view answer) {
    if (TrimBlanks(answer).empty())
        return {};
    return std::string(answer.substr(0, answer.find(' ')));
}

bool KeywordBefore(std::string_view a, std::string_view b) {
    const std::string ka = CaseKey(a);
    const std::string kb = CaseKey(b);
    if (ka != kb)
        return ka < kb;
    return a < b;
}
