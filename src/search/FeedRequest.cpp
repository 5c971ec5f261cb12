#include "search/FeedRequest.h"

#include "settings/core/AppInfo.h"
#include "tree/TQelPigger.h"

#include <QLocale>
#include <QStringList>

#include <algorithm>
#include <cctype>
#include <charconv>

namespace {

// The value of text when it is a number of 1-65535, else 0.
int PortNumber(std::string_view text) {
    if (text.empty() || text.size() > 5)
        return 0;
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || value < 1 || value > 65535)
        return 0;
    return value;
}

std::string Lower(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

// The proxy part of a request, alike for the feed and the other sources.
void SetProxy(FeedRequest& r, const ProxyValues& proxy) {
    const std::string proxyHost(TrimBlanks(proxy.host));
    if (!proxy.use || proxyHost.empty())
        return;
    r.proxyHost = proxyHost;
    if (proxy.port > 0 && proxy.port <= 65535)
        r.proxyPort = proxy.port;
    if (!proxy.user.empty()) {
        r.proxyAuth = true;
        r.proxyUser = proxy.user;
        r.proxyPassword = proxy.password;
    }
}

} // namespace

FeedAddress ParseFeedHost(std::string_view text) {
    text = TrimBlanks(text);
    FeedAddress result;
    const size_t colon = text.rfind(':');
    if (colon != std::string_view::npos) {
        if (const int port = PortNumber(text.substr(colon + 1))) {
            result.host = std::string(text.substr(0, colon));
            result.port = port;
            return result;
        }
    }
    result.host = std::string(text);
    return result;
}

std::string EncodeTargetBytes(std::string_view keyword) {
    static constexpr char hex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(keyword.size());
    for (const char c : keyword) {
        const auto b = static_cast<unsigned char>(c);
        if (b <= 0x20 || b >= 0x7F) {
            out.push_back('%');
            out.push_back(hex[b >> 4]);
            out.push_back(hex[b & 0x0F]);
        } else {
            out.push_back(c);
        }
    }
    return out;
}

std::string FeedPathAndQuery(std::string_view keyword) {
    std::string path = FeedPathTemplate;
    path.replace(path.find("%s"), 2, EncodeTargetBytes(keyword));
    return path;
}

FeedRequest ComposeFeedRequest(const FeedAddress& feed, std::string_view keyword,
                               const ProxyValues& proxy) {
    FeedRequest r;
    const std::string port = std::to_string(feed.port);
    r.connectUrl = "http://" + feed.host + (feed.port == 80 ? "" : ":" + port) + "/";
    const std::string path = FeedPathAndQuery(keyword);
    SetProxy(r, proxy);
    r.target = r.proxyHost.empty() ? path : "http://" + feed.host + ":" + port + path;
    return r;
}

std::string AcceptLanguageValue(const std::vector<std::string>& languages) {
    constexpr size_t MaxLanguages = 10;
    std::vector<std::string> tags;
    const auto listed = [&](const std::string& tag) {
        return std::any_of(tags.begin(), tags.end(),
                           [&](const std::string& t) { return Lower(t) == Lower(tag); });
    };
    for (const std::string& given : languages) {
        const std::string tag(TrimBlanks(given));
        const std::string lower = Lower(tag);
        if (tag.empty() || lower == "c" || lower == "posix" ||
            tag.find_first_of(" ,;=\"") != std::string::npos || listed(tag))
            continue;
        tags.push_back(tag);
    }
    // The language alone after the last tag of that language, unless it is named anyway.
    for (size_t i = tags.size(); i-- > 0;) {
        const size_t dash = tags[i].find('-');
        if (dash == std::string::npos)
            continue;
        const std::string base = tags[i].substr(0, dash);
        if (listed(base))
            continue;
        const std::string prefix = Lower(base) + "-";
        size_t last = i;
        for (size_t j = i + 1; j < tags.size(); ++j)
            if (Lower(tags[j]).rfind(prefix, 0) == 0)
                last = j;
        tags.insert(tags.begin() + static_cast<std::ptrdiff_t>(last) + 1, base);
    }
    if (tags.size() > MaxLanguages)
        tags.resize(MaxLanguages);
    std::string value;
    for (size_t i = 0; i < tags.size(); ++i) {
        if (i > 0)
            value += ", ";
        value += tags[i];
        if (i > 0)
            value += ";q=0." + std::to_string(10 - i);
    }
    return value;
}

std::string SystemAcceptLanguage() {
    std::vector<std::string> languages;
    for (const QString& l : QLocale::system().uiLanguages())
        languages.push_back(l.toStdString());
    return AcceptLanguageValue(languages);
}

std::string_view AcceptValue(ReplyFormat format) {
    switch (format) {
    case ReplyFormat::Json:
        return "application/json";
    case ReplyFormat::ResultFeed:
        return "application/rss+xml, application/atom+xml;q=0.9, application/xml;q=0.8, "
               "text/xml;q=0.5";
    case ReplyFormat::OpenSearchDescription:
        return "application/opensearchdescription+xml, application/xml;q=0.9, "
               "text/html;q=0.8, */*;q=0.5";
    }
    return "*/*";
}

std::string SourceUserAgent() {
    return std::string(AppInfo::ProductName) + "/" + AppInfo::Version;
}

FeedRequest ComposeSourceRequest(std::string_view address, ReplyFormat format,
                                 const ProxyValues& proxy, const std::string& acceptLanguage) {
    FeedRequest r;
    r.connectUrl = std::string(address);
    SetProxy(r, proxy);
    r.http11 = true;
    r.maxRedirects = 5;
    r.userAgent = SourceUserAgent();
    r.headers.push_back("Accept: " + std::string(AcceptValue(format)));
    if (!acceptLanguage.empty())
        r.headers.push_back("Accept-Language: " + acceptLanguage);
    return r;
}

std::string AddressWithoutPassword(std::string_view address) {
    const size_t scheme = address.find("://");
    if (scheme == std::string_view::npos)
        return std::string(address);
    const size_t start = scheme + 3;
    const size_t end = std::min(address.find_first_of("/?#", start), address.size());
    const std::string_view authority = address.substr(start, end - start);
    const size_t at = authority.rfind('@');
    if (at == std::string_view::npos)
        return std::string(address);
    const size_t colon = authority.substr(0, at).find(':');
    if (colon == std::string_view::npos)
        return std::string(address);
    return std::string(address.substr(0, start + colon)) + std::string(address.substr(start + at));
}
