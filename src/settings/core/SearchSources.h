// The search sources the user keeps in the settings file: named ways of turning a keyword into
// result pages. The built-in Quarrylog feed is always the first source and is not stored; the
// others live as "SOURCE" elements under the settings' "SOURCES" element.
#pragma once

#include <string>
#include <string_view>
#include <vector>

class TQelPigger;

struct SearchSource {
    enum Kind { Feed, OpenSearch, Searx };

    std::string name;
    Kind kind = Feed;
    // OpenSearch: the URL template ("https://host/search?q={searchTerms}&p={startPage?}");
    // searx: the base address ("http://127.0.0.1:8888", with or without a path); feed: empty
    // (the feed's host comes from its own setting).
    std::string address;
    // Result pages asked per keyword, 1 to MaxPages.
    int pages = 1;
    // Keywords in flight at once, 1 to MaxParallel (the feed always 1).
    int parallel = 1;
    // Least time between two requests to the same host, 0 to MaxIntervalMs.
    int intervalMs = 1000;
    // OpenSearch only: the first values of {startIndex} and {startPage} (the description's
    // indexOffset and pageOffset).
    int indexOffset = 1;
    int pageOffset = 1;

    static constexpr int MaxPages = 20;
    static constexpr int MaxParallel = 8;
    static constexpr int MaxIntervalMs = 60000;
    static constexpr int DefaultIntervalMs = 1000;

    bool operator==(const SearchSource&) const = default;
};

// The name of the built-in source.
inline constexpr const char* FeedSourceName = "Quarrylog feed";

// The built-in feed source.
SearchSource FeedSource();

// The kind's word in the settings file and on the command line: "feed", "opensearch", "searx".
std::string_view SourceKindWord(SearchSource::Kind kind);
// The kind's name as the settings window shows it: "Quarrylog feed", "OpenSearch",
// "SearXNG / searx".
std::string_view SourceKindCaption(SearchSource::Kind kind);

// Why the source cannot be used (empty when it can): an empty or duplicate name is the caller's
// affair; this checks the address (an http or https address; for OpenSearch a template holding
// {searchTerms}) and the numbers' ranges.
std::string CheckSource(const SearchSource& source);

// The feed first, then every stored source in stored order. Stored sources with an unknown kind
// or an empty name are skipped; numbers out of range are brought into range.
std::vector<SearchSource> ReadSources(const TQelPigger& settingsRoot);
// Replaces the stored sources by the given ones (the feed, if among them, is not stored). The
// "SOURCES" element is removed when nothing is left to store, so a settings file without
// sources keeps exactly its old shape.
void WriteSources(TQelPigger& settingsRoot, const std::vector<SearchSource>& sources);

// The source with this name (ignoring letter case), or none.
const SearchSource* FindSource(const std::vector<SearchSource>& sources, std::string_view name);

// The name of the source the user chose last ("CHOSEN" attribute of "SOURCES"); the feed's name
// when none is stored.
std::string ChosenSourceName(const TQelPigger& settingsRoot);
void SetChosenSourceName(TQelPigger& settingsRoot, std::string_view name);
