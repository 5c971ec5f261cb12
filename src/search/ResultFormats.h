// Reading the replies of the search engines people run: RSS 2.0 and Atom 1.0 result feeds with
// the OpenSearch response elements, and the JSON of SearXNG / searx. Markup in titles and
// descriptions is removed and entities decoded; texts come out as UTF-8.
#pragma once

#include <string>
#include <string_view>
#include <vector>

struct FoundPage {
    std::string url;
    std::string title;
    std::string description;
    bool operator==(const FoundPage&) const = default;
};

struct ResultPage {
    std::vector<FoundPage> pages;
    // The OpenSearch response elements (-1 when not given or not a number).
    long long totalResults = -1;
    long long startIndex = -1;
    long long itemsPerPage = -1;
    // searx: the engines that did not answer, each as "name (reason)".
    std::vector<std::string> unresponsiveEngines;
};

// Text without markup: tags and comments removed (a <br> or a block end becomes a blank),
// character and entity references decoded (the HTML ones as well as the XML ones), runs of white
// space made one blank, trimmed. Invalid UTF-8 is replaced by U+FFFD.
std::string PlainText(std::string_view markup);

// An RSS 2.0 or Atom 1.0 reply (decided by the root element). Elements are matched by namespace
// URI, never by prefix. False, with the reason in error, for a reply that is neither or cannot
// be read; the pages read before an error in the middle stay in page.
bool ReadResultFeed(std::string_view body, ResultPage& page, std::string& error);

// A searx JSON reply ("results" with "url", "title", "content"; "unresponsive_engines").
bool ReadSearxJson(std::string_view body, ResultPage& page, std::string& error);

// The JSON request of a searx server for one keyword and page (1-based):
// BASE/search?q=KEYWORD&format=json&pageno=PAGE, the keyword percent-encoded as UTF-8; a
// trailing slash of the base does not double.
std::string SearxSearchUrl(std::string_view baseAddress, std::string_view keyword, int pageNo);
