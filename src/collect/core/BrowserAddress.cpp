#include "collect/core/BrowserAddress.h"

#include "settings/core/AppInfo.h"
#include "tree/TQelPigger.h"

#include <algorithm>
#include <array>

std::string ComposeHomeAddress(std::string_view setting) {
    std::string address(TrimBlanks(setting));
    if (address.empty())
        return AppInfo::DefaultHomeSearchPage;
    if (address.find("://") == std::string::npos)
        address.insert(0, "http://");
    const size_t hostStart = address.find("://") + 3;
    if (address.find_first_of("/?#", hostStart) == std::string::npos)
        address += "/search";
    return address;
}

bool GoReloads(std::string_view location, std::string_view field) {
    return TrimBlanks(location) == TrimBlanks(field);
}

bool ReloadsAfterHome(std::string_view field, std::string_view location, std::string_view home) {
    if (home.empty() || field != home)
        return false;
    const std::string withQuery = std::string(home) + "?";
    return location.find(withQuery) != std::string_view::npos;
}

namespace {

bool asciiLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool asciiDigit(char c) {
    return c >= '0' && c <= '9';
}
bool allDigits(std::string_view s) {
    return !s.empty() && std::all_of(s.begin(), s.end(), asciiDigit);
}
bool blank(char c) {
    return static_cast<unsigned char>(c) <= 32;
}
std::string lowerAscii(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return out;
}

// The scheme at the start of the text ("http" of "http://..."), or empty when there is none.
std::string_view schemeOf(std::string_view text) {
    if (text.empty() || !asciiLetter(text[0]))
        return {};
    for (size_t i = 1; i < text.size(); ++i) {
        const char c = text[i];
        if (c == ':')
            return text.substr(0, i);
        if (!asciiLetter(c) && !asciiDigit(c) && c != '+' && c != '.' && c != '-')
            return {};
    }
    return {};
}

// A host name or IPv4 address: labels of letters (also beyond ASCII), digits and "-" between
// single dots, at least two, the last one no number unless there are four numbers.
bool looksLikeHostName(std::string_view host) {
    size_t labels = 0;
    size_t numbers = 0;
    std::string_view last;
    size_t start = 0;
    for (;;) {
        const size_t dot = host.find('.', start);
        const std::string_view label = host.substr(start, dot - start);
        if (label.empty())
            return false;
        for (char c : label)
            if (!asciiLetter(c) && !asciiDigit(c) && c != '-' &&
                static_cast<unsigned char>(c) < 128)
                return false;
        ++labels;
        numbers += allDigits(label) ? 1 : 0;
        last = label;
        if (dot == std::string_view::npos)
            break;
        start = dot + 1;
    }
    if (labels < 2)
        return false;
    return !allDigits(last) || (labels == 4 && numbers == 4);
}

} // namespace

bool LooksLikeAddress(std::string_view typed) {
    const std::string_view text = TrimBlanks(typed);
    if (text.empty() || text.front() == '?')
        return false;
    if (text.front() == '/')
        return true;
    const std::string_view scheme = schemeOf(text);
    if (!scheme.empty()) {
        const std::string_view rest = text.substr(scheme.size() + 1);
        if (rest.substr(0, 2) == "//")
            return true;
        static constexpr std::array<std::string_view, 5> known = {"about", "data", "file", "mailto",
                                                                  "view-source"};
        if (std::find(known.begin(), known.end(), lowerAscii(scheme)) != known.end())
            return true;
    }
    if (std::any_of(text.begin(), text.end(), blank))
        return false;
    // The host and port: up to the path, the query or the fragment.
    std::string_view host = text.substr(0, text.find_first_of("/?#"));
    if (!host.empty() && host.front() == '[')
        return true;
    if (const size_t colon = host.rfind(':'); colon != std::string_view::npos) {
        if (!allDigits(host.substr(colon + 1)))
            return false;
        host = host.substr(0, colon);
        if (!host.empty() && host.find(':') == std::string_view::npos &&
            std::all_of(host.begin(), host.end(), [](char c) {
                return asciiLetter(c) || asciiDigit(c) || c == '-' || c == '.' ||
                       static_cast<unsigned char>(c) >= 128;
            }))
            return true;
        return false;
    }
    return lowerAscii(host) == "localhost" || looksLikeHostName(host);
}

std::string SearchAddress(std::string_view home, std::string_view typed) {
    std::string_view words = TrimBlanks(typed);
    if (!words.empty() && words.front() == '?')
        words = TrimBlanks(words.substr(1));
    std::string address(home.substr(0, home.find('#')));
    const size_t query = address.find('?');
    if (query == std::string::npos)
        address += '?';
    else if (query + 1 != address.size() && address.back() != '&')
        address += '&';
    address += "q=";
    static constexpr char hex[] = "0123456789ABCDEF";
    for (const char c : words) {
        const auto byte = static_cast<unsigned char>(c);
        if (asciiLetter(c) || asciiDigit(c) || c == '-' || c == '.' || c == '_' || c == '~') {
            address += c;
        } else if (c == ' ') {
            address += '+';
        } else {
            address += '%';
            address += hex[byte >> 4];
            address += hex[byte & 15];
        }
    }
    return address;
}
