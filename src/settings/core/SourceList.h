// The search sources as the settings window edits them: the feed first, never edited or
// removed; every change goes into the settings tree at once.
#pragma once

#include "settings/core/SearchSources.h"

#include <string>
#include <vector>

class TQelPigger;

class SourceList {
public:
    // settingsRoot: the settings tree's root (not owned); the list is read from it.
    explicit SourceList(TQelPigger& settingsRoot);

    const std::vector<SearchSource>& Sources() const { return sources_; }
    int Count() const { return static_cast<int>(sources_.size()); }
    // Whether the entry at index may be edited or removed: every entry but the feed.
    bool Editable(int index) const;

    // Why source cannot take the place of the entry at index (-1: as a new entry): an empty
    // name, a name another entry has (ignoring letter case), or what CheckSource finds. Empty
    // when it can.
    std::string Check(const SearchSource& source, int index) const;
    // Appends the source (its name trimmed) and gives its index; -1 with the reason in why
    // when Check refuses it.
    int Add(SearchSource source, std::string& why);
    // Puts the source in place of the entry at index; a renamed chosen source stays chosen.
    bool Replace(int index, SearchSource source, std::string& why);
    // Removes the entry at index; when it was the chosen source, the feed is chosen again.
    bool Remove(int index);

private:
    void store();

    TQelPigger& root_;
    std::vector<SearchSource> sources_;
};

// The row of the chosen source among sources (as ReadSources gives them): the feed's (0) when
// the chosen one is no longer there.
int ChosenSourceIndex(const std::vector<SearchSource>& sources, const TQelPigger& settingsRoot);

// Of the sources found in an OpenSearch description, the one to offer first: the first that
// gives RSS (by its name or its address), else the first.
int PreferredDiscoveredSource(const std::vector<SearchSource>& found);
