// OpenSearch 1.1: URL templates, description documents and their discovery from a web page.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// Every byte but the unreserved characters of URIs (letters, digits, "-", ".", "_", "~") as
// %XX: a blank becomes %20, "+" %2B.
std::string UriEncode(std::string_view text);

struct TemplateValues {
    std::string searchTerms;
    // 0: not known (the parameter then becomes empty).
    long long count = 0;
    long long startIndex = 1;
    long long startPage = 1;
    // Empty: "*" (any language).
    std::string language;
};

// The template with its parameters filled in: {searchTerms} percent-encoded as UTF-8, count,
// startIndex, startPage, language, inputEncoding and outputEncoding ("UTF-8"); an unknown
// optional parameter ({name?}, also with a namespace prefix) becomes empty. False with the reason
// in error for an unknown required parameter, a brace that is not closed, or a template without
// {searchTerms}.
bool ExpandOpenSearchTemplate(std::string_view templ, const TemplateValues& values,
                              std::string& url, std::string& error);
// Which of the paging parameters the template holds.
bool TemplateHas(std::string_view templ, std::string_view parameter);

struct OpenSearchUrl {
    std::string type;  // "application/rss+xml" or "application/atom+xml"
    std::string templ; // absolute
    int indexOffset = 1;
    int pageOffset = 1;
    bool operator==(const OpenSearchUrl&) const = default;
};

struct OpenSearchDescription {
    std::string shortName;
    // Only the Url elements of type RSS or Atom whose rel is "results" or absent, in document
    // order; relative templates made absolute against baseUrl, Param elements added to the
    // query. searx and SearXNG name only their web page of results: its address with
    // format=rss and pageno={startPage} is offered as RSS.
    std::vector<OpenSearchUrl> urls;
};

// False, with the reason in error, when the text is not an OpenSearch description or offers no
// RSS or Atom results.
bool ReadOpenSearchDescription(std::string_view xml, std::string_view baseUrl,
                               OpenSearchDescription& description, std::string& error);

// The addresses (made absolute against pageUrl) of every
// <link rel="search" type="application/opensearchdescription+xml" href="..."> of an HTML page, in
// document order.
std::vector<std::string> FindDescriptionLinks(std::string_view html, std::string_view pageUrl);
