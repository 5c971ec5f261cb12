// Escaping of attribute values and content text, and the scans of the text format.
#include "tree/TQelPigger.h"
#include "tree/TreeScan.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

using namespace TreeScan;

namespace {

ByteSet makeEncodeSet() {
    ByteSet set("\"%<>");
    for (int b = 0x00; b <= 0x1F; ++b)
        if (b != 0x09 && b != 0x0A && b != 0x0D)
            set.has[static_cast<size_t>(b)] = true;
    return set;
}

const ByteSet kEncoded = makeEncodeSet();

// Position of the first byte from i on that is written escaped, or n.
size_t findEncoded(const char* data, size_t i, size_t n) {
#if defined(__SSE2__)
    const __m128i ctrlMax = _mm_set1_epi8(0x1F);
    const __m128i tab = _mm_set1_epi8('\t'), lf = _mm_set1_epi8('\n'), cr = _mm_set1_epi8('\r');
    const __m128i quote = _mm_set1_epi8('"'), pct = _mm_set1_epi8('%');
    const __m128i lt = _mm_set1_epi8('<'), gt = _mm_set1_epi8('>');
    for (; i + 16 <= n; i += 16) {
        const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i));
        // Codes 0-31 other than TAB, LF and CR, and the four signs of the format.
        const __m128i ctrl = _mm_cmpeq_epi8(_mm_min_epu8(x, ctrlMax), x);
        const __m128i kept = _mm_or_si128(
            _mm_or_si128(_mm_cmpeq_epi8(x, tab), _mm_cmpeq_epi8(x, lf)), _mm_cmpeq_epi8(x, cr));
        const __m128i signs =
            _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(x, quote), _mm_cmpeq_epi8(x, pct)),
                         _mm_or_si128(_mm_cmpeq_epi8(x, lt), _mm_cmpeq_epi8(x, gt)));
        const auto mask = static_cast<unsigned>(
            _mm_movemask_epi8(_mm_or_si128(_mm_andnot_si128(kept, ctrl), signs)));
        if (mask != 0)
            return i + static_cast<size_t>(__builtin_ctz(mask));
    }
#endif
    for (; i < n; ++i)
        if (kEncoded.has[static_cast<unsigned char>(data[i])])
            return i;
    return n;
}

int hexDigit(unsigned char d) {
    return d < 'A' ? d - '0' : d - 'A' + 10;
}

} // namespace

TreeScan::BreakScan TreeScan::scanBreaks(const char* data, size_t n) {
    size_t i = 0;
    // Looks at a CR, LF or NUL at k; gives false at a NUL or once a break is not CR LF.
    const auto regular = [&](size_t k) {
        const char c = data[k];
        if (c == '\r')
            return k + 1 < n && data[k + 1] == '\n';
        if (c == '\n')
            return k > 0 && data[k - 1] == '\r';
        return c != '\0';
    };
    const auto rest = [&](size_t from) -> BreakScan {
        // A break that is not CR LF was found at from: only the NUL is left to look for.
        const void* nul = std::memchr(data + from, '\0', n - from);
        return {nul ? static_cast<size_t>(static_cast<const char*>(nul) - data) : n, false};
    };
#if defined(__SSE2__)
    const __m128i cr = _mm_set1_epi8('\r'), lf = _mm_set1_epi8('\n');
    const __m128i nul = _mm_setzero_si128();
    for (; i + 16 <= n; i += 16) {
        const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i));
        auto mask = static_cast<unsigned>(_mm_movemask_epi8(_mm_or_si128(
            _mm_or_si128(_mm_cmpeq_epi8(x, cr), _mm_cmpeq_epi8(x, lf)), _mm_cmpeq_epi8(x, nul))));
        while (mask != 0) {
            const size_t k = i + static_cast<size_t>(__builtin_ctz(mask));
            mask &= mask - 1;
            if (!regular(k))
                return data[k] == '\0' ? BreakScan{k, true} : rest(k);
        }
    }
#endif
    for (; i < n; ++i) {
        const char c = data[i];
        if ((c == '\r' || c == '\n' || c == '\0') && !regular(i))
            return c == '\0' ? BreakScan{i, true} : rest(i);
    }
    return {n, true};
}

std::string_view TrimBlanks(std::string_view s) {
    size_t b = 0, e = s.size();
    while (b < e && isBlank(s[b]))
        ++b;
    while (e > b && isBlank(s[e - 1]))
        --e;
    return s.substr(b, e - b);
}

std::string UpperAscii(std::string_view s) {
    std::string r(s);
    for (auto& c : r)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 32);
    return r;
}

void PercentEncodeTo(std::string& out, std::string_view s) {
    static constexpr char hex[] = "0123456789ABCDEF";
    const char* const data = s.data();
    const size_t n = s.size();
    size_t runStart = 0;
    for (size_t i = findEncoded(data, 0, n); i < n; i = findEncoded(data, i + 1, n)) {
        const auto b = static_cast<unsigned char>(data[i]);
        out.append(data + runStart, i - runStart);
        const char escape[3] = {'%', hex[b >> 4], hex[b & 0x0F]};
        out.append(escape, 3);
        runStart = i + 1;
    }
    out.append(data + runStart, n - runStart);
}

// Content text is read without the blanks around it, so blanks at its start or end are written
// encoded: they then read back as part of the text.
void TreeScan::encodeContentTo(std::string& out, std::string_view s) {
    static constexpr char hex[] = "0123456789ABCDEF";
    const auto escaped = [&](char c) {
        const auto b = static_cast<unsigned char>(c);
        out.push_back('%');
        out.push_back(hex[b >> 4]);
        out.push_back(hex[b & 0x0F]);
    };
    size_t b = 0, e = s.size();
    while (b < e && isBlank(s[b]))
        ++b;
    while (e > b && isBlank(s[e - 1]))
        --e;
    for (size_t i = 0; i < b; ++i)
        escaped(s[i]);
    PercentEncodeTo(out, s.substr(b, e - b));
    for (size_t i = e; i < s.size(); ++i)
        escaped(s[i]);
}

std::string PercentEncode(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    PercentEncodeTo(out, s);
    return out;
}

void PercentDecodeTo(std::string& out, std::string_view s) {
    const char* const data = s.data();
    const size_t n = s.size();
    size_t i = 0;
    while (i < n) {
        const void* hit = std::memchr(data + i, '%', n - i);
        const size_t pct = hit ? static_cast<size_t>(static_cast<const char*>(hit) - data) : n;
        out.append(data + i, pct - i);
        if (pct == n)
            break;
        // A percent sign without two characters after it stays as it is.
        if (pct + 2 < n) {
            const int value = 16 * hexDigit(static_cast<unsigned char>(data[pct + 1])) +
                              hexDigit(static_cast<unsigned char>(data[pct + 2]));
            out.push_back(static_cast<char>(value & 0xFF));
            i = pct + 3;
        } else {
            out.push_back('%');
            i = pct + 1;
        }
    }
}

std::string PercentDecode(std::string_view s) {
    std::string out;
    if (s.empty() || std::memchr(s.data(), '%', s.size()) == nullptr) {
        out.assign(s);
        return out;
    }
    out.reserve(s.size());
    PercentDecodeTo(out, s);
    return out;
}
