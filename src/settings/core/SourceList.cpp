#include "settings/core/SourceList.h"

#include "tree/TQelPigger.h"
#include "tree/TextCase.h"

namespace {

bool holdsIgnoringCase(const std::string& text, std::string_view word) {
    return CaseKey(text).find(CaseKey(word)) != std::string::npos;
}

} // namespace

SourceList::SourceList(TQelPigger& settingsRoot)
    : root_(settingsRoot), sources_(ReadSources(settingsRoot)) {}

bool SourceList::Editable(int index) const {
    return index > 0 && index < Count() && sources_[index].kind != SearchSource::Feed;
}

std::string SourceList::Check(const SearchSource& source, int index) const {
    const std::string_view name = TrimBlanks(source.name);
    if (name.empty())
        return "Enter a name for the source.";
    for (int i = 0; i < Count(); ++i)
        if (i != index && SameTextIgnoringCase(sources_[i].name, name))
            return "There is a source named \"" + sources_[i].name +
                   "\" already; choose another name.";
    if (source.kind == SearchSource::Feed)
        return "Choose the kind of the source.";
    return CheckSource(source);
}

int SourceList::Add(SearchSource source, std::string& why) {
    why = Check(source, -1);
    if (!why.empty())
        return -1;
    source.name = std::string(TrimBlanks(source.name));
    sources_.push_back(std::move(source));
    store();
    return Count() - 1;
}

bool SourceList::Replace(int index, SearchSource source, std::string& why) {
    if (!Editable(index)) {
        why = "The built-in feed cannot be changed.";
        return false;
    }
    why = Check(source, index);
    if (!why.empty())
        return false;
    source.name = std::string(TrimBlanks(source.name));
    const bool chosen = SameTextIgnoringCase(ChosenSourceName(root_), sources_[index].name);
    sources_[index] = std::move(source);
    store();
    if (chosen)
        SetChosenSourceName(root_, sources_[index].name);
    return true;
}

bool SourceList::Remove(int index) {
    if (!Editable(index))
        return false;
    const bool chosen = SameTextIgnoringCase(ChosenSourceName(root_), sources_[index].name);
    sources_.erase(sources_.begin() + index);
    // The choice goes first, so that an emptied list leaves no trace in the file.
    if (chosen)
        SetChosenSourceName(root_, FeedSourceName);
    store();
    return true;
}

void SourceList::store() {
    WriteSources(root_, sources_);
}

int ChosenSourceIndex(const std::vector<SearchSource>& sources, const TQelPigger& settingsRoot) {
    const SearchSource* chosen = FindSource(sources, ChosenSourceName(settingsRoot));
    return chosen ? static_cast<int>(chosen - sources.data()) : 0;
}

int PreferredDiscoveredSource(const std::vector<SearchSource>& found) {
    for (size_t i = 0; i < found.size(); ++i)
        if (holdsIgnoringCase(found[i].name, "rss") || holdsIgnoringCase(found[i].address, "rss"))
            return static_cast<int>(i);
    return 0;
}
