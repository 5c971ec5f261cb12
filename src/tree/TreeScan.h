// What the tree's reading, writing and files share of the text format: blank bytes, byte sets,
// names as the format stands for them, line-break scanning and the escaping of content text.
// Internal to the tree library.
#pragma once

#include "tree/NodeName.h"
#include "tree/TQelPigger.h"

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace TreeScan {

// Told, while the text at base is read, how many of its first bytes the reader has passed and
// will not read again (what it keeps of them is copied). Reading a file in place, LoadFromFile
// gives the memory of those bytes back to the system as the reader goes.
struct ReadProgress {
    const char* base = nullptr;
    virtual void Passed(std::size_t bytes) = 0;

protected:
    ~ReadProgress() = default;
};
inline thread_local ReadProgress* readProgress = nullptr;

inline bool isBlank(char c) {
    return static_cast<unsigned char>(c) <= 32;
}

struct ByteSet {
    std::array<bool, 256> has{};
    constexpr explicit ByteSet(std::string_view chars) {
        for (char c : chars)
            has[static_cast<unsigned char>(c)] = true;
    }
    bool operator()(char c) const { return has[static_cast<unsigned char>(c)]; }
};

// The name s with a-z upper-cased.
inline NodeName upperName(std::string_view s) {
    char upper[NodeName::MaxSharedLength];
    if (s.size() > sizeof upper)
        return NodeName(UpperAscii(s));
    for (size_t i = 0; i < s.size(); ++i) {
        const char c = s[i];
        upper[i] = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
    }
    return NodeName(std::string_view(upper, s.size()));
}

// The name s stands for: without the blanks around it, a-z upper-cased.
inline NodeName nameFrom(std::string_view s) {
    return upperName(TrimBlanks(s));
}

// How far a text goes before its first NUL, and whether every line break up to there is CR LF.
struct BreakScan {
    size_t length;
    bool crLfOnly;
};

// Whether the text needs CR LF added at its end (it does not end with a line break).
inline bool needsFinalBreak(const char* data, size_t n) {
    return n > 0 && data[n - 1] != '\r' && data[n - 1] != '\n';
}

// The scan of the first n bytes of data.
BreakScan scanBreaks(const char* data, size_t n);

// Writes content text escaped, and with the blanks at its start or end escaped too.
void encodeContentTo(std::string& out, std::string_view s);

} // namespace TreeScan
