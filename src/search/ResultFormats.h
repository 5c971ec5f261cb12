// Reading the replies of the search engines people run: RSS 2.0 and Atom 1.0 result feeds with
// the OpenSearch response elements, and the JSON of SearXNG / searx. Markup in titles and
// descriptions is removed and entities decoded; texts come out as UTF-8.
#pragma once

#include "search/MarkupText.h" // PlainText

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

// An RSS 2.0 or Atom 1.0 reply (decided by the root element). Elements are matched by namespace
// URI, never by prefix. The encoding comes from the XML declaration; no external entity or DTD
// is loaded. Items without an absolute http(s) address are left out. page is cleared first.
// False, with the reason in error, for a reply that is neither or cannot be read; the pages read
// before an error in the middle stay in page.
bool ReadResultFeed(std::string_view body, ResultPage& page, std::string& error);

// A searx JSON reply ("results" with "url", "title", "content"; "unresponsive_engines").
// page is cleared first; "number_of_results" is not taken (servers often send 0).
bool ReadSearxJson(std::string_view body, ResultPage& page, std::string& error);

// The JSON request of a searx server for one keyword and page (1-based):
// BASE/search?q=KEYWORD&format=json&pageno=PAGE, the keyword percent-encoded as UTF-8; a
// trailing slash of the base does not double.
std::string SearxSearchUrl(std::string_view baseAddress, std::string_view keyword, int pageNo);

// How every XML reply from a server is read: no external entity is ever loaded, entities declared
// in a DTD expand to little, the HTML named entities are known even when no DTD declares them,
// and nesting deeper than MaxReplyNesting elements is an error (ReplyTooDeep).
class QXmlStreamReader;
void GuardReplyReader(QXmlStreamReader& reader);
inline constexpr int MaxReplyNesting = 64;
inline constexpr const char* ReplyTooDeep = "the reply is too deeply nested";
