// Replies of an OpenSearch engine for the scripted web server (WebServer.h): an RSS 2.0 result
// page, and a web page naming an OpenSearch description with its description.
#pragma once

#include <string>
#include <utility>
#include <vector>

// An RSS result page with one item per (title, link), the link as the description too.
inline std::string RssReply(const std::vector<std::pair<std::string, std::string>>& items) {
    std::string body = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<rss version=\"2.0\"><channel>"
                       "<title>Results</title>";
    for (const auto& [title, link] : items)
        body += "<item><title>" + title + "</title><link>" + link + "</link><description>" + link +
                "</description></item>";
    return body + "</channel></rss>\n";
}

// The header lines of such a reply for WebServer::setReply.
inline const char* const RssHeaders = "Content-Type: application/rss+xml; charset=UTF-8";

// An OpenSearch description named shortName offering an Atom and an RSS template under base.
inline std::string DescriptionOffering(const std::string& shortName, const std::string& base) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<OpenSearchDescription xmlns=\"http://a9.com/-/spec/opensearch/1.1/\">"
           "<ShortName>" +
           shortName +
           "</ShortName><Description>Test engine</Description>"
           "<Url type=\"application/atom+xml\" template=\"" +
           base +
           "/search?q={searchTerms}&amp;format=atom\"/>"
           "<Url type=\"application/rss+xml\" template=\"" +
           base +
           "/search?q={searchTerms}&amp;format=rss&amp;p={startPage?}\"/>"
           "</OpenSearchDescription>\n";
}

// A web page that names its description with <link rel="search">.
inline std::string PageNamingDescription(const std::string& descriptionPath) {
    return "<!DOCTYPE html><html><head><title>Engine</title>"
           "<link rel=\"search\" type=\"application/opensearchdescription+xml\" title=\"Engine\" "
           "href=\"" +
           descriptionPath + "\"></head><body>Search here</body></html>\n";
}
