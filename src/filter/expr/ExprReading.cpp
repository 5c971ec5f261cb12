#include "filter/expr/ExprReading.h"

#include <cstdint>
#include <cstring>

namespace ExprReading {

const char* ScanString(const char* open, const char* end, TExpr& v) {
    const char quote = *open;
    const char* p = open + 1;
    const char* close =
        static_cast<const char*>(std::memchr(p, quote, static_cast<std::size_t>(end - p)));
    if (!close)
        return nullptr;
    if (close + 1 >= end || close[1] != quote) {
        v.SetString(std::string_view(p, static_cast<std::size_t>(close - p)));
    } else {
        // Doubled quotes stand for one.
        std::string text;
        for (;;) {
            text.append(p, close + 1); // the piece and one quote
            p = close + 2;
            close =
                static_cast<const char*>(std::memchr(p, quote, static_cast<std::size_t>(end - p)));
            if (!close)
                return nullptr;
            if (close + 1 >= end || close[1] != quote)
                break;
        }
        text.append(p, close);
        v.SetString(std::move(text));
    }
    return close + 1;
}

const char* ScanNumber(const char* start, const char* end, TExpr& v) {
    const char* p = start;
    if (*p == '0' && p + 1 < end && p[1] == 'x') {
        p += 2;
        std::uint32_t value = 0;
        int digits = 0, significant = 0;
        for (; p < end && isHexDigit(*p); ++p) {
            const char c = *p;
            const unsigned d = isDigit(c) ? static_cast<unsigned>(c - '0')
                                          : static_cast<unsigned>((c | 0x20) - 'a' + 10);
            ++digits;
            if (significant > 0 || d != 0)
                ++significant;
            value = (value << 4) | d;
        }
        v.SetInteger(digits > 0 && significant <= 8 ? static_cast<std::int32_t>(value) : 0);
        return p;
    }
    while (p < end && isDigit(*p))
        ++p;
    if (p < end && *p == '.') {
        ++p;
        while (p < end && isDigit(*p))
            ++p;
        v.SetFloat(TextToFloat(std::string_view(start, static_cast<std::size_t>(p - start))));
    } else {
        v.SetInteger(TextToInteger(std::string_view(start, static_cast<std::size_t>(p - start))));
    }
    return p;
}

} // namespace ExprReading
