// A reply of a search engine or a page on the way to one, read every way a search source reads
// one: as an RSS or Atom result feed, as searx JSON, as an OpenSearch description, as a web page
// naming its description, as markup in a title and as a URL template.
#include "FuzzCheck.h"
#include "search/OpenSearch.h"
#include "search/ResultFormats.h"

#include <QString>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace {

bool IsUtf8(const std::string& s) {
    return QString::fromUtf8(s).toUtf8().toStdString() == s;
}

// Text as the reports take it: UTF-8, no control characters, single blanks, trimmed.
bool IsTidy(const std::string& s) {
    if (!s.empty() && (s.front() == ' ' || s.back() == ' '))
        return false;
    if (s.find("  ") != std::string::npos)
        return false;
    for (const char c : s)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            return false;
    return IsUtf8(s);
}

bool IsWebAddress(std::string_view s) {
    const auto starts = [&](std::string_view prefix) {
        if (s.size() <= prefix.size())
            return false;
        for (std::size_t i = 0; i < prefix.size(); ++i)
            if (std::tolower(static_cast<unsigned char>(s[i])) != prefix[i])
                return false;
        return true;
    };
    return starts("http://") || starts("https://");
}

void CheckPage(const ResultPage& page) {
    for (const FoundPage& p : page.pages) {
        FuzzCheck(IsWebAddress(p.url), "a found page has a web address");
        FuzzCheck(p.url.find(' ') == std::string::npos, "a found address has no blank");
        FuzzCheck(IsTidy(p.title) && IsTidy(p.description), "titles and descriptions are tidy");
    }
    for (const long long count : {page.totalResults, page.startIndex, page.itemsPerPage})
        FuzzCheck(count >= -1, "counts are numbers or -1");
    for (const std::string& engine : page.unresponsiveEngines)
        FuzzCheck(!engine.empty() && IsUtf8(engine), "engines are named");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view body(reinterpret_cast<const char*>(data), size);
    std::string error;

    ResultPage page;
    const bool feed = ReadResultFeed(body, page, error);
    FuzzCheck(feed == error.empty(), "a feed fails with a reason");
    CheckPage(page);

    const bool json = ReadSearxJson(body, page, error);
    FuzzCheck(json == error.empty(), "JSON fails with a reason");
    CheckPage(page);

    OpenSearchDescription description;
    if (ReadOpenSearchDescription(body, "http://example.org/dir/osd.xml", description, error)) {
        FuzzCheck(!description.urls.empty(), "a description offers results");
        FuzzCheck(IsTidy(description.shortName), "the short name is tidy");
        for (const OpenSearchUrl& url : description.urls) {
            FuzzCheck(url.type == "application/rss+xml" || url.type == "application/atom+xml",
                      "only RSS and Atom are offered");
            FuzzCheck(IsWebAddress(url.templ), "templates are absolute web addresses");
            std::string expanded;
            FuzzCheck(ExpandOpenSearchTemplate(url.templ, {"k", 10, 1, 1, ""}, expanded, error),
                      "an offered template can be filled in");
        }
    } else {
        FuzzCheck(!error.empty() && description.urls.empty(), "a description fails with a reason");
    }

    for (const std::string& link : FindDescriptionLinks(body, "http://example.org/a/b.html"))
        FuzzCheck(!link.empty() && link.find(':') != std::string::npos, "links are absolute");

    FuzzCheck(IsTidy(PlainText(body)), "plain text is tidy");
    FuzzCheck(IsUtf8(DecodeReferences(body)), "decoded references are UTF-8");

    // The bytes as a URL template: every parameter is filled in, the braces with it.
    std::string url;
    if (ExpandOpenSearchTemplate(body, {"a {b} c", 0, 1, 1, ""}, url, error))
        FuzzCheck(url.find('{') == std::string::npos, "a filled-in template has no parameter");
    else
        FuzzCheck(!error.empty() && url.empty(), "a template fails with a reason");
    return 0;
}
