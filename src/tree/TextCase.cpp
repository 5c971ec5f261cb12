#include "tree/TextCase.h"

#include <QLocale>
#include <QString>

#include <bit>
#include <cstring>

namespace {

// Eight bytes at a time: the words are read in memory order, so the same bytes give the same
// word whatever their alignment.
constexpr std::uint64_t kOnes = 0x0101010101010101ULL;
constexpr std::uint64_t kHighBits = 0x8080808080808080ULL;

std::uint64_t loadWord(const char* p) {
    std::uint64_t w;
    std::memcpy(&w, p, sizeof w);
    return w;
}

// The last size % 8 bytes (fewer than eight), zero padded.
std::uint64_t loadTail(const char* p, size_t n) {
    std::uint64_t w = 0;
    std::memcpy(&w, p, n);
    return w;
}

// Lower-cases the letters A-Z of a word whose bytes are all below 0x80: a byte at or above 'A'
// and not above 'Z' gets its 0x20 bit. No addition carries into the next byte.
std::uint64_t foldAsciiWord(std::uint64_t w) {
    const std::uint64_t atLeastA = (w + (0x80 - 'A') * kOnes) & kHighBits;
    const std::uint64_t aboveZ = (w + (0x80 - 'Z' - 1) * kOnes) & kHighBits;
    return w | ((atLeastA & ~aboveZ) >> 2);
}

unsigned char foldAscii(unsigned char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + 32) : c;
}

// Decodes UTF-8, or gives false when the bytes are not valid UTF-8 (they would not survive the
// round trip, and two different byte runs could fold to the same replacement characters).
bool decodeUtf8(std::string_view s, QString& out) {
    out = QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
    const QByteArray back = out.toUtf8();
    return back.size() == static_cast<qsizetype>(s.size()) &&
           std::string_view(back.constData(), static_cast<size_t>(back.size())) == s;
}

// A 64-bit hash over words of eight bytes (the last one zero padded) and the length.
class WordHash {
public:
    void add(std::uint64_t w) {
        w *= 0x87c37b91114253d5ULL;
        w = std::rotl(w, 31);
        w *= 0x4cf5ad432745937fULL;
        h_ ^= w;
        h_ = std::rotl(h_, 27) * 5 + 0x52dce729;
    }
    std::uint64_t finish(size_t length) const {
        std::uint64_t h = h_ ^ static_cast<std::uint64_t>(length);
        h ^= h >> 33;
        h *= 0xff51afd7ed558ccdULL;
        h ^= h >> 33;
        h *= 0xc4ceb9fe1a85ec53ULL;
        h ^= h >> 33;
        return h;
    }

private:
    std::uint64_t h_ = 0x9e3779b97f4a7c15ULL;
};

std::uint64_t hashBytes(std::string_view s) {
    WordHash hash;
    size_t i = 0;
    for (; i + 8 <= s.size(); i += 8)
        hash.add(loadWord(s.data() + i));
    if (i < s.size())
        hash.add(loadTail(s.data() + i, s.size() - i));
    return hash.finish(s.size());
}

} // namespace

bool IsAscii(std::string_view s) {
    std::uint64_t any = 0;
    size_t i = 0;
    for (; i + 8 <= s.size(); i += 8)
        any |= loadWord(s.data() + i);
    if (i < s.size())
        any |= loadTail(s.data() + i, s.size() - i);
    return (any & kHighBits) == 0;
}

std::string CaseKey(std::string_view s) {
    QString text;
    if (!IsAscii(s) && decodeUtf8(s, text)) {
        const QByteArray folded = text.toCaseFolded().toUtf8();
        return std::string(folded.constData(), static_cast<size_t>(folded.size()));
    }
    std::string key(s);
    for (auto& c : key)
        c = static_cast<char>(foldAscii(static_cast<unsigned char>(c)));
    return key;
}

std::uint64_t CaseKeyHash(std::string_view s) {
    // ASCII text is its own key once folded: the words are folded as they are hashed.
    WordHash hash;
    size_t i = 0;
    for (; i + 8 <= s.size(); i += 8) {
        const std::uint64_t w = loadWord(s.data() + i);
        if (w & kHighBits)
            return hashBytes(CaseKey(s));
        hash.add(foldAsciiWord(w));
    }
    if (i < s.size()) {
        const std::uint64_t w = loadTail(s.data() + i, s.size() - i);
        if (w & kHighBits)
            return hashBytes(CaseKey(s));
        hash.add(foldAsciiWord(w));
    }
    return hash.finish(s.size());
}

bool SameTextIgnoringCase(std::string_view a, std::string_view b) {
    if (IsAscii(a) && IsAscii(b)) {
        if (a.size() != b.size())
            return false;
        size_t i = 0;
        for (; i + 8 <= a.size(); i += 8)
            if (foldAsciiWord(loadWord(a.data() + i)) != foldAsciiWord(loadWord(b.data() + i)))
                return false;
        return i == a.size() || foldAsciiWord(loadTail(a.data() + i, a.size() - i)) ==
                                    foldAsciiWord(loadTail(b.data() + i, b.size() - i));
    }
    return CaseKey(a) == CaseKey(b);
}

std::string LocaleUpper(std::string_view s) {
    const QByteArray up =
        QLocale::system()
            .toUpper(QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())))
            .toUtf8();
    return std::string(up.constData(), static_cast<size_t>(up.size()));
}
