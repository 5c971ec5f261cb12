#include "settings/core/SearchSources.h"

#include "tree/TQelPigger.h"
#include "tree/TextCase.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <optional>

namespace {

namespace Keys {
constexpr const char* Sources = "SOURCES";
constexpr const char* Source = "SOURCE";
constexpr const char* Chosen = "CHOSEN";
constexpr const char* Name = "NAME";
constexpr const char* Kind = "KIND";
constexpr const char* Address = "ADDRESS";
constexpr const char* Pages = "PAGES";
constexpr const char* Parallel = "PARALLEL";
constexpr const char* Interval = "INTERVAL";
constexpr const char* IndexOffset = "INDEXOFFSET";
constexpr const char* PageOffset = "PAGEOFFSET";
} // namespace Keys

// Offsets of an OpenSearch description are small numbers (0 or 1 in practice).
constexpr int MaxOffset = 1000000;

std::optional<int> toInt(std::string_view s) {
    s = TrimBlanks(s);
    int value = 0;
    const char* first = s.data();
    const char* last = s.data() + s.size();
    const auto [ptr, ec] = std::from_chars(first, last, value);
    if (first == last || ec != std::errc() || ptr != last)
        return std::nullopt;
    return value;
}

int readNumber(const TQelPigger& element, const char* key, int fallback, int low, int high) {
    const std::optional<int> value = toInt(element.GetAttr(key));
    return std::clamp(value.value_or(fallback), low, high);
}

std::optional<SearchSource::Kind> kindFromWord(std::string_view word) {
    for (SearchSource::Kind kind : {SearchSource::OpenSearch, SearchSource::Searx})
        if (SameTextIgnoringCase(word, SourceKindWord(kind)))
            return kind;
    return std::nullopt;
}

bool startsWithIgnoringCase(std::string_view s, std::string_view prefix) {
    return s.size() >= prefix.size() && SameTextIgnoringCase(s.substr(0, prefix.size()), prefix);
}

// Why the address is no http or https address with a server (empty when it is one).
std::string checkWebAddress(std::string_view address) {
    for (const char c : address)
        if (static_cast<unsigned char>(c) <= ' ')
            return "The address must not hold blanks or control characters.";
    std::string_view rest;
    if (startsWithIgnoringCase(address, "http://"))
        rest = address.substr(7);
    else if (startsWithIgnoringCase(address, "https://"))
        rest = address.substr(8);
    else
        return "The address must begin with http:// or https://.";
    std::string_view authority = rest.substr(0, rest.find_first_of("/?#"));
    if (const size_t at = authority.rfind('@'); at != std::string_view::npos)
        authority = authority.substr(at + 1);
    std::string_view host = authority;
    if (!host.empty() && host.front() == '[') {
        const size_t close = host.find(']');
        if (close == std::string_view::npos)
            return "The address names no server.";
        host = host.substr(0, close + 1);
        authority.remove_prefix(close + 1);
    } else {
        const size_t colon = host.find(':');
        host = host.substr(0, colon);
        authority = colon == std::string_view::npos ? std::string_view() : authority.substr(colon);
    }
    if (host.empty() || host == "[]")
        return "The address names no server.";
    if (!authority.empty()) {
        // What follows the host is ":PORT".
        const std::optional<int> port = toInt(authority.substr(1));
        if (authority.front() != ':' || authority.size() < 2 || !port || *port < 1 ||
            *port > 65535 || authority.find_first_not_of("0123456789", 1) != std::string_view::npos)
            return "The port of the address must be a number from 1 to 65535.";
    }
    return {};
}

// Why an OpenSearch template cannot be filled in (empty when it can): every parameter closed,
// {searchTerms} among them, and every parameter that must be given one that can be.
std::string checkTemplate(std::string_view templ) {
    static constexpr std::array<std::string_view, 7> known = {
        "searchTerms", "count",         "startIndex",    "startPage",
        "language",    "inputEncoding", "outputEncoding"};
    bool terms = false;
    size_t pos = 0;
    while ((pos = templ.find('{', pos)) != std::string_view::npos) {
        const size_t close = templ.find('}', pos);
        if (close == std::string_view::npos)
            return "The template has a \"{\" that is not closed by \"}\".";
        std::string_view name = templ.substr(pos + 1, close - pos - 1);
        const bool optional = !name.empty() && name.back() == '?';
        if (optional)
            name.remove_suffix(1);
        if (name == "searchTerms")
            terms = true;
        if (!optional && std::find(known.begin(), known.end(), name) == known.end())
            return "The template asks for {" + std::string(name) +
                   "}, which cannot be filled in; write it as {" + std::string(name) +
                   "?} or leave it out.";
        pos = close + 1;
    }
    if (!terms)
        return "The template must hold {searchTerms} where the keyword goes.";
    return {};
}

std::string checkRange(const char* what, int value, int low, int high) {
    if (value >= low && value <= high)
        return {};
    return std::string(what) + " must be from " + std::to_string(low) + " to " +
           std::to_string(high) + ".";
}

} // namespace

SearchSource FeedSource() {
    SearchSource feed;
    feed.name = FeedSourceName;
    feed.kind = SearchSource::Feed;
    return feed;
}

std::string_view SourceKindWord(SearchSource::Kind kind) {
    switch (kind) {
    case SearchSource::Feed:
        return "feed";
    case SearchSource::OpenSearch:
        return "opensearch";
    case SearchSource::Searx:
        return "searx";
    }
    return {};
}

std::string_view SourceKindCaption(SearchSource::Kind kind) {
    switch (kind) {
    case SearchSource::Feed:
        return "Quarrylog feed";
    case SearchSource::OpenSearch:
        return "OpenSearch";
    case SearchSource::Searx:
        return "SearXNG / searx";
    }
    return {};
}

std::string CheckSource(const SearchSource& source) {
    if (source.kind == SearchSource::Feed)
        return {};
    const std::string_view address = source.address;
    if (TrimBlanks(address).empty())
        return source.kind == SearchSource::OpenSearch
                   ? "Enter the address template of the source, such as "
                     "https://example.org/search?q={searchTerms}&format=rss."
                   : "Enter the address of the searx server, such as http://127.0.0.1:8888.";
    if (std::string why = checkWebAddress(address); !why.empty())
        return why;
    if (source.kind == SearchSource::OpenSearch) {
        if (std::string why = checkTemplate(address); !why.empty())
            return why;
    } else if (address.find_first_of("?#{}") != std::string_view::npos) {
        return "Enter the server's own address, without a query: the search is asked at "
               "ADDRESS/search.";
    }
    for (const std::string& why :
         {checkRange("Pages", source.pages, 1, SearchSource::MaxPages),
          checkRange("Keywords in flight", source.parallel, 1, SearchSource::MaxParallel),
          checkRange("The interval", source.intervalMs, 0, SearchSource::MaxIntervalMs),
          checkRange("The index offset", source.indexOffset, 0, MaxOffset),
          checkRange("The page offset", source.pageOffset, 0, MaxOffset)})
        if (!why.empty())
            return why;
    return {};
}

std::vector<SearchSource> ReadSources(const TQelPigger& settingsRoot) {
    std::vector<SearchSource> sources{FeedSource()};
    const TQelPigger* section = settingsRoot.FindChild(Keys::Sources);
    if (!section)
        return sources;
    for (const TQelPigger* element : section->Children()) {
        if (element->Name() != Keys::Source)
            continue;
        const std::optional<SearchSource::Kind> kind = kindFromWord(element->GetAttr(Keys::Kind));
        SearchSource source;
        source.name = std::string(TrimBlanks(element->GetAttr(Keys::Name)));
        // A later source of a name already taken (the feed's included) could never be chosen.
        if (!kind || source.name.empty() || FindSource(sources, source.name))
            continue;
        source.kind = *kind;
        source.address = element->GetAttr(Keys::Address);
        source.pages = readNumber(*element, Keys::Pages, 1, 1, SearchSource::MaxPages);
        source.parallel = readNumber(*element, Keys::Parallel, 1, 1, SearchSource::MaxParallel);
        source.intervalMs = readNumber(*element, Keys::Interval, SearchSource::DefaultIntervalMs, 0,
                                       SearchSource::MaxIntervalMs);
        source.indexOffset = readNumber(*element, Keys::IndexOffset, 1, 0, MaxOffset);
        source.pageOffset = readNumber(*element, Keys::PageOffset, 1, 0, MaxOffset);
        sources.push_back(std::move(source));
    }
    return sources;
}

namespace {

// Takes the "SOURCES" element out of the tree when it holds nothing any more.
void dropWhenEmpty(TQelPigger& settingsRoot, TQelPigger* section) {
    if (section->ChildCount() == 0 && section->AttrCount() == 0 && section->Text.empty())
        settingsRoot.DeleteChildNode(section);
}

} // namespace

void WriteSources(TQelPigger& settingsRoot, const std::vector<SearchSource>& sources) {
    const bool anyStored = std::any_of(sources.begin(), sources.end(), [](const SearchSource& s) {
        return s.kind != SearchSource::Feed;
    });
    TQelPigger* section = settingsRoot.FindChild(Keys::Sources);
    if (!section && !anyStored)
        return;
    if (!section)
        section = settingsRoot.AddChild(Keys::Sources);
    for (int i = section->ChildCount() - 1; i >= 0; --i)
        if (section->Child(i)->Name() == Keys::Source)
            section->DeleteChild(i);
    for (const SearchSource& source : sources) {
        if (source.kind == SearchSource::Feed)
            continue;
        TQelPigger* element = section->AddChild(Keys::Source);
        element->SetAttr(Keys::Name, source.name);
        element->SetAttr(Keys::Kind, SourceKindWord(source.kind));
        element->SetAttr(Keys::Address, source.address);
        element->SetAttr(Keys::Pages, std::to_string(source.pages));
        element->SetAttr(Keys::Parallel, std::to_string(source.parallel));
        element->SetAttr(Keys::Interval, std::to_string(source.intervalMs));
        element->SetAttr(Keys::IndexOffset, std::to_string(source.indexOffset));
        element->SetAttr(Keys::PageOffset, std::to_string(source.pageOffset));
    }
    dropWhenEmpty(settingsRoot, section);
}

const SearchSource* FindSource(const std::vector<SearchSource>& sources, std::string_view name) {
    for (const SearchSource& source : sources)
        if (SameTextIgnoringCase(source.name, name))
            return &source;
    return nullptr;
}

std::string ChosenSourceName(const TQelPigger& settingsRoot) {
    if (const TQelPigger* section = settingsRoot.FindChild(Keys::Sources)) {
        std::string chosen = section->GetAttr(Keys::Chosen);
        if (!chosen.empty())
            return chosen;
    }
    return FeedSourceName;
}

void SetChosenSourceName(TQelPigger& settingsRoot, std::string_view name) {
    // The feed is what a settings file without a choice means; it is not written.
    const bool feed = TrimBlanks(name).empty() || SameTextIgnoringCase(name, FeedSourceName);
    TQelPigger* section = settingsRoot.FindChild(Keys::Sources);
    if (feed) {
        if (section) {
            section->DeleteAttr(Keys::Chosen);
            dropWhenEmpty(settingsRoot, section);
        }
        return;
    }
    if (!section)
        section = settingsRoot.AddChild(Keys::Sources);
    section->SetAttr(Keys::Chosen, name);
}
