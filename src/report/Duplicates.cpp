#include "report/Duplicates.h"

#include "report/AddressKey.h"
#include "report/RecordRows.h"
#include "report/ReportLayout.h"
#include "tree/TQelPigger.h"

#include <algorithm>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

namespace {

// Characters of a UTF-8 text.
std::size_t Characters(std::string_view text) {
    return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

bool Ticked(const TQelPigger* record) {
    return record->AttrRef(RecordFields::Check) == RecordFields::Checked;
}

std::size_t TextLength(const TQelPigger* record) {
    return Characters(ChildText(record, RecordFields::Title)) +
           Characters(ChildText(record, RecordFields::Description));
}

// The longest text of that child among the records, the first of equal length winning.
std::string LongestText(const std::vector<TQelPigger*>& records, const char* child) {
    std::string longest;
    std::size_t length = 0;
    for (const TQelPigger* record : records) {
        std::string text = ChildText(record, child);
        if (const std::size_t n = Characters(text); n > length) {
            longest = std::move(text);
            length = n;
        }
    }
    return longest;
}

void SetChildText(TQelPigger* record, const char* child, const std::string& text) {
    TQelPigger* node = record->FindChild(child);
    if (!node) {
        if (text.empty())
            return;
        node = record->AddChild(child);
    }
    if (!(node->Text == std::string_view(text)))
        node->Text = text;
}

// Gives the kept record of the group the others' tick and longer texts and adds the others
// that are still in urls to others; false when the group has no such kept record.
bool TakeIntoKept(TQelPigger* urls, const DuplicateGroup& group, std::size_t keep,
                  std::vector<TQelPigger*>& others) {
    if (!urls || keep >= group.records.size())
        return false;
    TQelPigger* kept = group.records[keep];
    if (kept->Parent() != urls)
        return false;
    const bool anyTicked = std::any_of(group.records.begin(), group.records.end(), Ticked);
    SetChildText(kept, RecordFields::Title, LongestText(group.records, RecordFields::Title));
    SetChildText(kept, RecordFields::Description,
                 LongestText(group.records, RecordFields::Description));
    if (anyTicked && !Ticked(kept))
        kept->SetAttr(RecordFields::Check, RecordFields::Checked);
    for (TQelPigger* record : group.records)
        if (record != kept && record->Parent() == urls)
            others.push_back(record);
    return true;
}

} // namespace

std::vector<DuplicateGroup> FindDuplicates(TQelPigger* urls) {
    std::vector<DuplicateGroup> groups;
    if (!urls)
        return groups;
    // Every key seen, with its group; the groups of one record are dropped at the end.
    std::unordered_map<std::string, std::size_t> byKey;
    byKey.reserve(static_cast<std::size_t>(urls->ChildCount()));
    for (TQelPigger* record : urls->Children()) {
        if (record->Name() != RecordFields::Listing)
            continue;
        std::string key = AddressKey(record->AttrRef(RecordFields::Url));
        // A record without an address names no page.
        if (key.empty())
            continue;
        const auto [at, isNew] = byKey.try_emplace(std::move(key), groups.size());
        if (isNew)
            groups.push_back({at->first, {}});
        groups[at->second].records.push_back(record);
    }
    std::erase_if(groups, [](const DuplicateGroup& g) { return g.records.size() < 2; });
    return groups;
}

int KeepOne(TQelPigger* urls, const DuplicateGroup& group, std::size_t keep) {
    std::vector<TQelPigger*> others;
    if (!TakeIntoKept(urls, group, keep, others))
        return 0;
    for (TQelPigger* record : others)
        urls->DeleteChildNode(record);
    return static_cast<int>(others.size());
}

int KeepChosen(TQelPigger* urls, const std::vector<DuplicateGroup>& groups,
               const std::vector<std::size_t>& keep) {
    std::vector<TQelPigger*> others;
    for (std::size_t g = 0; g < groups.size() && g < keep.size(); ++g)
        TakeIntoKept(urls, groups[g], keep[g], others);
    if (others.empty())
        return 0;
    // Taking out one child of many renumbers the others; so all are taken out from the last
    // (which renumbers nothing) and those that stay are put back in their order.
    const std::unordered_set<const TQelPigger*> doomed(others.begin(), others.end());
    const std::vector<TQelPigger*> children(urls->Children().begin(), urls->Children().end());
    for (auto it = children.rbegin(); it != children.rend(); ++it)
        (*it)->SetParent(nullptr);
    for (TQelPigger* child : children) {
        if (doomed.count(child))
            delete child;
        else
            child->SetParent(urls);
    }
    return static_cast<int>(others.size());
}

std::size_t SuggestedKeep(const DuplicateGroup& group) {
    std::size_t best = 0;
    for (std::size_t i = 1; i < group.records.size(); ++i) {
        const TQelPigger* a = group.records[i];
        const TQelPigger* b = group.records[best];
        if (Ticked(a) != Ticked(b)) {
            if (Ticked(a))
                best = i;
        } else if (TextLength(a) > TextLength(b)) {
            best = i;
        }
    }
    return best;
}
