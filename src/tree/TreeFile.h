// Reading a file whole, as the tree and the other file readers do, refusing what cannot be
// read that way: anything but a regular file (a device such as /dev/zero would be read without
// end, a named pipe would wait forever) and files larger than the tree reader's positions can
// count.
#pragma once

#include <cstdint>
#include <string>

class TQelPigger;

// The largest file that is read whole: positions in a tree's text are 32-bit, and reading can
// double the length of a text whose lines end in a lone CR or LF.
inline constexpr std::int64_t MaxTreeFileBytes = (std::int64_t(1) << 30) - 1;

struct WholeFileCheck {
    enum Refusal {
        None,     // a regular file of at most MaxTreeFileBytes, or no file at all
        NotAFile, // a folder, device, pipe or socket
        TooLarge, // more than MaxTreeFileBytes
    };
    Refusal refusal = None;
    // Why, as the end of a message: "it is not a regular file", "it is a folder",
    // "it is too large (N bytes; at most M can be read)".
    std::string reason;
};
// Whether fileName may be read whole. A missing file is left to the reader, which words that
// case itself.
WholeFileCheck CheckWholeFile(const std::string& fileName);

// tree.LoadFromFile(fileName) once CheckWholeFile lets it; otherwise raises EQelFileError
// ("Cannot open file "NAME": reason" or, for a file too large, "Cannot read file ...") and
// leaves tree as it was.
void LoadTreeFile(TQelPigger& tree, const std::string& fileName);
