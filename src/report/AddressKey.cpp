#include "report/AddressKey.h"

#include "tree/TQelPigger.h"

#include <algorithm>
#include <array>
#include <vector>

namespace {

char LowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string LowerAscii(std::string_view s) {
    std::string out(s);
    std::transform(out.begin(), out.end(), out.begin(), [](char c) { return LowerAscii(c); });
    return out;
}

bool StartsWithNoCase(std::string_view s, std::string_view prefix) {
    return s.size() >= prefix.size() && LowerAscii(s.substr(0, prefix.size())) == prefix;
}

int HexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    c = LowerAscii(c);
    return c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
}

char UpperHex(char c) {
    return c >= 'a' && c <= 'f' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool Unreserved(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '.' || c == '_' || c == '~';
}

// Escapes of unreserved characters decoded, the hex digits of the others in upper case.
std::string NormalEscapes(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '%' && i + 2 < s.size() && HexValue(s[i + 1]) >= 0 && HexValue(s[i + 2]) >= 0) {
            const char c = static_cast<char>(HexValue(s[i + 1]) * 16 + HexValue(s[i + 2]));
            if (Unreserved(c)) {
                out += c;
            } else {
                out += '%';
                out += UpperHex(s[i + 1]);
                out += UpperHex(s[i + 2]);
            }
            i += 2;
        } else {
            out += s[i];
        }
    }
    return out;
}

constexpr std::array<std::string_view, 9> TrackingNames{
    "fbclid", "gclid", "dclid", "msclkid", "mc_cid", "mc_eid", "yclid", "_ga", "igshid"};

bool Tracking(std::string_view name) {
    const std::string lower = LowerAscii(name);
    return lower.rfind("utm_", 0) == 0 ||
           std::find(TrackingNames.begin(), TrackingNames.end(), lower) != TrackingNames.end();
}

std::string NormalQuery(std::string_view query) {
    struct Parameter {
        std::string name, whole;
    };
    std::vector<Parameter> kept;
    while (true) {
        const size_t amp = query.find('&');
        const std::string whole = NormalEscapes(query.substr(0, amp));
        if (!whole.empty()) {
            std::string name = whole.substr(0, whole.find('='));
            if (!Tracking(name))
                kept.push_back({std::move(name), whole});
        }
        if (amp == std::string_view::npos)
            break;
        query.remove_prefix(amp + 1);
    }
    std::stable_sort(kept.begin(), kept.end(),
                     [](const Parameter& a, const Parameter& b) { return a.name < b.name; });
    std::string out;
    for (const Parameter& p : kept)
        out += (out.empty() ? "" : "&") + p.whole;
    return out;
}

std::string NormalPath(std::string_view raw) {
    std::string path = NormalEscapes(raw);
    if (path.empty() || path[0] != '/')
        path.insert(0, "/");
    const size_t last = path.rfind('/') + 1;
    const std::string_view segment = std::string_view(path).substr(last);
    if (segment == "index.html" || segment == "index.htm" || segment == "index.php")
        path.erase(last);
    if (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

// The authority with the host in lower case and a default port left out.
std::string NormalAuthority(std::string_view authority, std::string_view defaultPort) {
    std::string userInfo;
    if (const size_t at = authority.rfind('@'); at != std::string_view::npos) {
        userInfo = std::string(authority.substr(0, at + 1));
        authority.remove_prefix(at + 1);
    }
    // The port's colon comes after the brackets of an IPv6 address.
    const size_t close = authority.rfind(']');
    size_t colon = authority.rfind(':');
    if (colon != std::string_view::npos && close != std::string_view::npos && colon < close)
        colon = std::string_view::npos;
    std::string_view host = authority.substr(0, colon);
    std::string_view port =
        colon == std::string_view::npos ? std::string_view() : authority.substr(colon + 1);
    while (port.size() > 1 && port[0] == '0')
        port.remove_prefix(1);
    std::string out = userInfo + LowerAscii(host);
    if (!port.empty() && port != defaultPort)
        out += ":" + std::string(port);
    return out;
}

} // namespace

std::string AddressKey(std::string_view url) {
    const std::string_view trimmed = TrimBlanks(url);
    std::string_view scheme, defaultPort;
    if (StartsWithNoCase(trimmed, "http://")) {
        scheme = "http";
        defaultPort = "80";
    } else if (StartsWithNoCase(trimmed, "https://")) {
        scheme = "https";
        defaultPort = "443";
    } else {
        return std::string(trimmed);
    }
    std::string_view rest = trimmed.substr(scheme.size() + 3);
    const size_t authorityEnd = rest.find_first_of("/?#");
    const std::string_view authority = rest.substr(0, authorityEnd);
    if (authority.empty() || authority.back() == '@')
        return std::string(trimmed);
    rest = authorityEnd == std::string_view::npos ? std::string_view() : rest.substr(authorityEnd);
    rest = rest.substr(0, rest.find('#'));
    const size_t question = rest.find('?');
    const std::string_view path = rest.substr(0, question);
    const std::string query =
        question == std::string_view::npos ? std::string() : NormalQuery(rest.substr(question + 1));

    std::string key(scheme);
    key += "://";
    key += NormalAuthority(authority, defaultPort);
    key += NormalPath(path);
    if (!query.empty())
        key += "?" + query;
    return key;
}
