#include "filter/core/FilterText.h"

#include "tree/TextCase.h"

#include <QLocale>

#include <cstdint>
#include <cstring>

bool AsciiUpperIsLocaleUpper() {
    const QLocale::Language l = QLocale::system().language();
    return l != QLocale::Turkish && l != QLocale::Azerbaijani;
}

void UpperForFilter(std::string_view text, std::string& out) {
    UpperForFilter(text, out, AsciiUpperIsLocaleUpper());
}

namespace {

constexpr std::uint64_t Bytes(unsigned char b) {
    return 0x0101010101010101ULL * b;
}

// The ASCII text of n bytes from in, upper-cased as in C, into to; false, with to only partly
// written, when a byte is beyond ASCII. Eight bytes at a time: a lower-case letter is a byte
// from 'a' to 'z', told by the carries of two additions that never cross into the next byte
// (every byte is below 0x80), and loses its 0x20 bit.
bool upperAscii(const char* in, char* to, std::size_t n) {
    constexpr std::uint64_t High = Bytes(0x80);
    std::size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        std::uint64_t w;
        std::memcpy(&w, in + i, 8);
        if (w & High)
            return false;
        const std::uint64_t fromA = w + Bytes(0x80 - 'a');
        const std::uint64_t beyondZ = w + Bytes(0x80 - 'z' - 1);
        w ^= ((fromA & ~beyondZ) & High) >> 2;
        std::memcpy(to + i, &w, 8);
    }
    for (; i < n; ++i) {
        const auto c = static_cast<unsigned char>(in[i]);
        if (c >= 0x80)
            return false;
        to[i] = static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c);
    }
    return true;
}

} // namespace

void UpperForFilter(std::string_view text, std::string& out, bool asciiUpperIsLocaleUpper) {
    if (asciiUpperIsLocaleUpper) {
        out.resize(text.size());
        if (upperAscii(text.data(), out.data(), text.size()))
            return;
    }
    out = LocaleUpper(text);
}
