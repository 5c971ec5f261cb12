#include "settings/core/PasswordScramble.h"

#include <cstdint>

namespace {

constexpr std::uint16_t kStartKey = 694;
constexpr std::uint16_t kMul = 24917;
constexpr std::uint16_t kAdd = 50261;

// The key always advances with the scrambled byte, in both directions. Passwords of any length
// are handled: the key simply keeps running.
std::uint16_t nextKey(std::uint16_t key, unsigned char scrambled) {
    return static_cast<std::uint16_t>((static_cast<std::uint32_t>(scrambled) + key) * kMul + kAdd);
}

int hexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return 0;
}

} // namespace

std::string ScramblePassword(std::string_view plain) {
    std::string out(plain.size(), '\0');
    std::uint16_t key = kStartKey;
    for (size_t i = 0; i < plain.size(); ++i) {
        const auto c =
            static_cast<unsigned char>(static_cast<unsigned char>(plain[i]) ^ (key >> 8));
        out[i] = static_cast<char>(c);
        key = nextKey(key, c);
    }
    return out;
}

std::string UnscramblePassword(std::string_view scrambled) {
    std::string out(scrambled.size(), '\0');
    std::uint16_t key = kStartKey;
    for (size_t i = 0; i < scrambled.size(); ++i) {
        const auto c = static_cast<unsigned char>(scrambled[i]);
        out[i] = static_cast<char>(c ^ (key >> 8));
        key = nextKey(key, c);
    }
    return out;
}

std::string HexEncode(std::string_view bytes) {
    static constexpr char digits[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(bytes.size() * 2);
    for (char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        out.push_back(digits[b >> 4]);
        out.push_back(digits[b & 0x0F]);
    }
    return out;
}

std::string HexDecode(std::string_view hex) {
    std::string out;
    out.reserve(hex.size() / 2);
    for (size_t i = 0; i + 1 < hex.size(); i += 2)
        out.push_back(static_cast<char>(hexValue(hex[i]) * 16 + hexValue(hex[i + 1])));
    return out;
}
