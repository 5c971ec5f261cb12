// Reading a file whole, as the tree and the other file readers do, refusing what cannot be
// read that way: anything but a regular file (a device such as /dev/zero would be read without
// end, a named pipe would wait forever) and files larger than the tree reader's positions can
// count.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
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
// Whether fileName may be read whole, as far as its name tells now. A missing file is left to
// the reader, which words that case itself. WholeFile makes the same checks on the file it opened.
WholeFileCheck CheckWholeFile(const std::string& fileName);

// The bytes of a file read whole into memory of their own, with room for two more after them.
// The checks of CheckWholeFile are made on the open file, not on its name, so a name that comes
// to stand for a pipe or a device between a look at it and the opening is refused all the same.
// The bytes are a copy: another program that cuts the file short or writes it while it is read
// cannot pull them away under the reader. It can only make the copy a mix of old and new bytes,
// which the reading sees (the file's size and time of change differ from before) and refuses.
class WholeFile {
public:
    // Throws EQelFileError: "Cannot open file "NAME": reason" when the file cannot be opened or
    // is no regular file; "Cannot read file "NAME": reason" when it is too large, the system
    // cannot read it, or "it changed while it was read".
    explicit WholeFile(const std::string& fileName);
    WholeFile(const WholeFile&) = delete;
    WholeFile& operator=(const WholeFile&) = delete;

    char* data() const { return bytes_.get(); }
    std::size_t size() const { return size_; }
    // Bytes of room after size(), for the line break the tree reader may add.
    static constexpr std::size_t Spare = 2;

private:
    std::unique_ptr<char[]> bytes_;
    std::size_t size_ = 0;
};

// tree.LoadFromFile(fileName): raises EQelFileError ("Cannot open file "NAME": reason" or, for a
// file too large, "Cannot read file ...") and leaves tree as it was when the file is refused.
void LoadTreeFile(TQelPigger& tree, const std::string& fileName);
