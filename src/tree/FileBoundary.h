// The program's one way through to files. Reading takes a file whole into memory, refusing what
// cannot be read that way: anything but a regular file (a device such as /dev/zero would be read
// without end, a named pipe would wait forever) and files larger than the tree reader's
// positions can count. Writing replaces a file in one step: the text goes into a new file beside
// it, which takes the file's name only once it is complete and on the disk.
//
// Every failure is worded the same way: "Cannot open file "NAME": why" and "Cannot read file
// "NAME": why" when reading, "Cannot create file "NAME": why" and "Cannot write file "NAME": why"
// when writing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "tree/FileMapping.h"

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
    // Nothing read yet: see Read.
    WholeFile() = default;
    // Reads the file; throws EQelFileError with the reason Read gives.
    explicit WholeFile(const std::string& fileName);
    WholeFile(const WholeFile&) = delete;
    WholeFile& operator=(const WholeFile&) = delete;

    // Reads fileName in place of what was read before. False, with nothing read, and the reason
    // in reason: "Cannot open file "NAME": why" when the file cannot be opened or is no regular
    // file; "Cannot read file "NAME": why" when it is too large, the system cannot read it, or
    // "it changed while it was read".
    bool Read(const std::string& fileName, std::string* reason);
    // Reads as Read does, but a file of a megabyte and more is mapped into memory where the
    // system allows it (see FileMapping.h) instead of copied: its bytes come from the system's
    // file cache as they are read. They may then still change until the reading is over, and
    // StillAsRead must be asked once it is. Of a mapped file's bytes only the room after them
    // and the last ones before it may be written.
    bool ReadInPlace(const std::string& fileName, std::string* reason);
    // Whether the bytes are those of the file as it was when it was read: always for a copy;
    // for a mapped file, when it was neither cut short nor written since. False with "Cannot
    // read file "NAME": it changed while it was read" in reason otherwise.
    bool StillAsRead(std::string* reason) const;

    char* data() const { return mapping_ ? mapping_->data() : bytes_.get(); }
    // Whether the two bytes from at on (up to size() + Spare) may be written.
    bool MayWrite(std::size_t at) const;
    std::size_t size() const { return size_; }
    std::string_view view() const { return {data(), size_}; }
    // Bytes of room after size(), for the line break the tree reader may add.
    static constexpr std::size_t Spare = 2;

    // The first used bytes will not be read again: the memory of their whole pages goes back
    // to the system (they read as zeros afterwards).
    void GiveBackPrefix(std::size_t used);

private:
    struct Release {
        // The size the block was taken with.
        std::size_t bytes;
        void operator()(char* block) const noexcept;
    };
    bool read(const std::string& fileName, std::string* reason, bool inPlace);

    std::unique_ptr<char[], Release> bytes_;
    std::size_t size_ = 0;
    // A mapped file: its mapping, the file kept open and its size and time of change when it
    // was mapped, for StillAsRead.
    std::unique_ptr<FileMapping> mapping_;
    int fd_ = -1;
    std::string name_;
    std::int64_t mappedSize_ = 0;
    std::int64_t mappedSeconds_ = 0;
    std::int64_t mappedNanoseconds_ = 0;

public:
    ~WholeFile();
};

// Takes each piece of a file's text in turn; false when it could not be written.
using FileSink = std::function<bool(std::string_view piece)>;
// Hands the whole text of a file to the sink, piece by piece; false to give up (as soon as the
// sink gives false, or for a reason of its own).
using FileProducer = std::function<bool(const FileSink& sink)>;

enum class FilePermissions {
    // Those of the file replaced; a new file gets read and write for all, less the umask.
    Usual,
    // Read and write for the owner alone, whatever the file had.
    OwnerOnly,
};

// Writes the text produce hands out as fileName, in one step: into a new file in the same folder
// (with its permissions from the start), flushed to the disk, renamed over fileName, with the
// folder flushed after. A name that is a symbolic link is written where the link leads. False,
// with fileName as it was and the reason in reason, when any step fails: "Cannot create file
// "NAME": why" when no new file could be made (also for a folder, a device or pipe, or a file
// this user may not write), "Cannot write file "NAME": why" after that. Why is the system's own
// reason ("No space left on device", "Permission denied", "Read-only file system") unless one of
// those refusals is meant.
//
// replace, when given, runs the rename that puts the new file in place (given as its argument):
// it may hold a lock around it, or give false without running it, and the new file is then
// removed and the reason is "Cannot write file "NAME": it was given up".
using FileReplace = std::function<bool(const std::function<bool()>& rename)>;
bool WriteFileAtomically(const std::string& fileName, const FileProducer& produce,
                         FilePermissions permissions, std::string* reason,
                         const FileReplace& replace = {});
