#include "settings/core/ProxyAddress.h"

#include "tree/TQelPigger.h"

#include <vector>

namespace {

bool isBlank(char c) {
    return static_cast<unsigned char>(c) <= 32;
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

std::string withoutBlanks(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    for (char c : s)
        if (!isBlank(c))
            out += c;
    return out;
}

// The value of a group of digits when it is 0-255.
bool groupValue(std::string_view group, int& value) {
    if (group.empty())
        return false;
    value = 0;
    for (char c : group) {
        if (!isDigit(c))
            return false;
        value = value * 10 + (c - '0');
        if (value > 255)
            return false;
    }
    return true;
}

} // namespace

std::string CleanProxyAddress(std::string_view fieldText) {
    const std::string compact = withoutBlanks(fieldText);
    bool anyDigit = false;
    for (char c : compact)
        anyDigit = anyDigit || isDigit(c);
    if (!anyDigit && compact.find_first_not_of('.') == std::string::npos)
        return {};

    std::vector<std::string_view> groups;
    std::string_view rest = compact;
    for (;;) {
        const size_t dot = rest.find('.');
        groups.push_back(rest.substr(0, dot));
        if (dot == std::string_view::npos)
            break;
        rest.remove_prefix(dot + 1);
    }
    std::string address;
    bool valid = groups.size() == 4;
    for (size_t i = 0; valid && i < groups.size(); ++i) {
        int value = 0;
        valid = groupValue(groups[i], value);
        if (i > 0)
            address += '.';
        address += std::to_string(value);
    }
    if (!valid)
        return std::string(TrimBlanks(fieldText));
    return address;
}

std::string CleanProxyPort(std::string_view fieldText) {
    return withoutBlanks(fieldText);
}

int ProxyPortNumber(std::string_view fieldText) {
    const std::string digits = CleanProxyPort(fieldText);
    if (digits.empty())
        return 0;
    int port = 0;
    for (char c : digits) {
        if (!isDigit(c))
            return 0;
        port = port * 10 + (c - '0');
        if (port > MaxProxyPort)
            return 0;
    }
    return port;
}
