#include "search/SourceDiscovery.h"

#include "search/FeedTransfer.h"
#include "search/OpenSearch.h"
#include "search/SourceMessages.h"
#include "tree/FileBoundary.h"
#include "tree/TQelPigger.h"

#include <QFileInfo>
#include <QUrl>

#include <algorithm>

namespace {

// A description larger than this is none.
constexpr std::size_t MaxDescriptionBytes = std::size_t(4) * 1024 * 1024;

bool IsWebAddress(std::string_view text) {
    const QUrl url(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
    return url.isValid() && !url.host().isEmpty() &&
           (url.scheme() == "http" || url.scheme() == "https");
}

TemplateValues SampleValues() {
    TemplateValues values;
    values.searchTerms = "test";
    return values;
}

// The host of an address or template, for naming a source without a name of its own.
std::string HostName(const std::string& address) {
    const size_t scheme = address.find("://");
    const size_t start = scheme == std::string::npos ? 0 : scheme + 3;
    size_t end = std::min(address.find_first_of("/?#{", start), address.size());
    std::string host = address.substr(start, end - start);
    if (const size_t at = host.rfind('@'); at != std::string::npos)
        host.erase(0, at + 1);
    return host.empty() ? address : host;
}

// A GET of address; false with the reason (the address named) when no 2xx reply came.
bool Fetch(const std::string& address, const ProxyValues& proxy, int timeoutMs,
           TransferResult& result, std::string& error) {
    FeedTransfer transfer(ComposeSourceRequest(address, ReplyFormat::OpenSearchDescription, proxy),
                          timeoutMs, MaxDescriptionBytes);
    result = transfer.Perform();
    if (result.outcome == TransferResult::Received && result.status >= 200 && result.status < 300) {
        if (result.finalUrl.empty())
            result.finalUrl = address;
        return true;
    }
    error = AddressWithoutPassword(address) + " failed: " +
            SourceMessages::TransferFailure(result, false, timeoutMs, MaxDescriptionBytes);
    return false;
}

// One source per offered Url, named after the description.
void MakeSources(const OpenSearchDescription& description, const std::string& from,
                 DiscoveredSources& found) {
    std::string name = std::string(TrimBlanks(description.shortName));
    if (name.empty())
        name = HostName(description.urls.empty() ? from : description.urls.front().templ);
    found.sources.clear();
    found.from = from;
    // RSS first: it is what most engines give best.
    std::vector<OpenSearchUrl> urls = description.urls;
    std::stable_partition(urls.begin(), urls.end(), [](const OpenSearchUrl& u) {
        return u.type.find("atom") == std::string::npos;
    });
    for (const OpenSearchUrl& url : urls) {
        SearchSource s;
        s.kind = SearchSource::OpenSearch;
        s.name = name;
        if (description.urls.size() > 1)
            s.name += url.type.find("atom") != std::string::npos ? " (Atom)" : " (RSS)";
        // Two Urls of the same format get numbers.
        const auto same =
            std::count_if(found.sources.begin(), found.sources.end(), [&](const SearchSource& o) {
                return o.name == s.name || o.name.rfind(s.name + " ", 0) == 0;
            });
        if (same > 0)
            s.name += " " + std::to_string(same + 1);
        s.address = url.templ;
        s.indexOffset = url.indexOffset;
        s.pageOffset = url.pageOffset;
        found.sources.push_back(std::move(s));
    }
}

bool FromDescription(std::string_view xml, const std::string& from, const std::string& base,
                     DiscoveredSources& found, std::string& error) {
    OpenSearchDescription description;
    if (!ReadOpenSearchDescription(xml, base, description, error))
        return false;
    MakeSources(description, from, found);
    return true;
}

} // namespace

bool DiscoverOpenSearch(const std::string& given, const ProxyValues& proxy, int timeoutMs,
                        DiscoveredSources& found, std::string& error) {
    found = DiscoveredSources();
    const std::string text(TrimBlanks(given));
    if (text.empty()) {
        error = "Give an OpenSearch URL template, or the address or file of an OpenSearch "
                "description, or the address of a web page that names one.";
        return false;
    }

    if (TemplateHas(text, "searchTerms")) {
        std::string url;
        if (!ExpandOpenSearchTemplate(text, SampleValues(), url, error))
            return false;
        if (!IsWebAddress(url)) {
            error = "The template does not make an http or https address: " + text;
            return false;
        }
        SearchSource s;
        s.kind = SearchSource::OpenSearch;
        s.name = HostName(text);
        s.address = text;
        found.sources.push_back(std::move(s));
        found.from = text;
        return true;
    }

    QString localName;
    const QUrl asUrl(QString::fromStdString(text));
    if (asUrl.isLocalFile())
        localName = asUrl.toLocalFile();
    else if (!IsWebAddress(text) && QFileInfo(QString::fromStdString(text)).exists())
        localName = QString::fromStdString(text);
    if (!localName.isEmpty()) {
        const std::string fileName = QFile::encodeName(localName).toStdString();
        WholeFile file;
        if (!file.Read(fileName, &error))
            return false;
        const std::string base =
            QUrl::fromLocalFile(QFileInfo(localName).absoluteFilePath()).toString().toStdString();
        if (!FromDescription(file.view(), fileName, base, found, error)) {
            error = fileName + ": " + error;
            return false;
        }
        return true;
    }

    if (!IsWebAddress(text)) {
        error = "\"" + text +
                "\" is no http or https address, no OpenSearch URL template holding "
                "{searchTerms} and no existing file.";
        return false;
    }

    TransferResult page;
    if (!Fetch(text, proxy, timeoutMs, page, error))
        return false;
    std::string descriptionError;
    if (FromDescription(page.body, page.finalUrl, page.finalUrl, found, descriptionError))
        return true;

    const std::vector<std::string> links = FindDescriptionLinks(page.body, page.finalUrl);
    if (links.empty()) {
        // A description that cannot be used says why; any other page names none.
        if (page.body.find("OpenSearchDescription") != std::string::npos)
            error = AddressWithoutPassword(page.finalUrl) + ": " + descriptionError;
        else
            error = "The page names no OpenSearch description (no <link rel=\"search\" "
                    "type=\"application/opensearchdescription+xml\">): " +
                    AddressWithoutPassword(page.finalUrl);
        return false;
    }
    for (const std::string& link : links) {
        TransferResult description;
        std::string why;
        if (Fetch(link, proxy, timeoutMs, description, why)) {
            if (FromDescription(description.body, description.finalUrl, description.finalUrl, found,
                                why))
                return true;
            why = AddressWithoutPassword(description.finalUrl) + ": " + why;
        }
        error = why;
    }
    if (links.size() > 1)
        error = "None of the " + std::to_string(links.size()) +
                " descriptions the page names can be used; the last: " + error;
    return false;
}
