#include "search/FeedRequest.h"

#include "tree/TQelPigger.h"

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
    const std::string proxyHost(TrimBlanks(proxy.host));
    if (proxy.use && !proxyHost.empty()) {
        r.proxyHost = proxyHost;
        if (proxy.port > 0 && proxy.port <= 65535)
            r.proxyPort = proxy.port;
        r.target = "http://" + feed.host + ":" + port + path;
        if (!proxy.user.empty()) {
            r.proxyAuth = true;
            r.proxyUser = proxy.user;
            r.proxyPassword = proxy.password;
        }
    } else {
        r.target = path;
    }
    return r;
}
