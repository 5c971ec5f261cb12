#include "tree/TreeFile.h"

#include "tree/TQelPigger.h"

#include <cerrno>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

WholeFileCheck checkFile(const struct stat& info) {
    WholeFileCheck check;
    if (!S_ISREG(info.st_mode)) {
        check.refusal = WholeFileCheck::NotAFile;
        check.reason = S_ISDIR(info.st_mode) ? "it is a folder" : "it is not a regular file";
    } else if (info.st_size > MaxTreeFileBytes) {
        check.refusal = WholeFileCheck::TooLarge;
        check.reason = "it is too large (" + std::to_string(info.st_size) + " bytes; at most " +
                       std::to_string(MaxTreeFileBytes) + " can be read)";
    }
    return check;
}

[[noreturn]] void refuse(const std::string& fileName, const WholeFileCheck& check) {
    throw EQelFileError((check.refusal == WholeFileCheck::TooLarge ? "Cannot read file \""
                                                                   : "Cannot open file \"") +
                        fileName + "\": " + check.reason);
}

[[noreturn]] void cannotRead(const std::string& fileName, const std::string& reason) {
    throw EQelFileError("Cannot read file \"" + fileName + "\": " + reason);
}

std::string systemError(int error) {
    return std::generic_category().message(error);
}

struct Handle {
    int fd;
    ~Handle() { ::close(fd); }
};

// Reads up to count bytes at to; gives how many (0 at the end of the file), -1 on an error.
ssize_t readSome(int fd, char* to, std::size_t count) {
    for (;;) {
        const ssize_t got = ::read(fd, to, count);
        if (got >= 0 || errno != EINTR)
            return got;
    }
}

bool sameTime(const struct timespec& a, const struct timespec& b) {
    return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

} // namespace

WholeFileCheck CheckWholeFile(const std::string& fileName) {
    struct stat info;
    if (::stat(fileName.c_str(), &info) != 0)
        return {};
    return checkFile(info);
}

WholeFile::WholeFile(const std::string& fileName) {
    if (fileName.empty())
        throw EQelFileError("Cannot open file \"\": no file name given");
    // A device or a pipe is refused by its name without being opened.
    if (const WholeFileCheck check = CheckWholeFile(fileName);
        check.refusal != WholeFileCheck::None)
        refuse(fileName, check);
    // The name may stand for another file by now: what counts is the file opened. It is opened
    // without waiting, so that a named pipe is refused at once too.
    const int fd = ::open(fileName.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        throw EQelFileError("Cannot open file \"" + fileName + "\": " + systemError(errno));
    const Handle handle{fd};
    struct stat before;
    if (::fstat(fd, &before) != 0)
        cannotRead(fileName, systemError(errno));
    if (const WholeFileCheck check = checkFile(before); check.refusal != WholeFileCheck::None)
        refuse(fileName, check);

    const auto expected = static_cast<std::size_t>(before.st_size);
    // Memory of its own (not a mapping of the file's pages, which another program cutting the
    // file short would take away from under the reader).
    bytes_ = std::make_unique_for_overwrite<char[]>(expected + Spare);
    char* const data = bytes_.get();

    // The file must end where its size said: shorter or longer, it changed since the look.
    bool changed = false;
    while (size_ < expected) {
        const ssize_t got = readSome(fd, data + size_, expected - size_);
        if (got < 0)
            cannotRead(fileName, systemError(errno));
        if (got == 0) {
            changed = true;
            break;
        }
        size_ += static_cast<std::size_t>(got);
    }
    if (!changed) {
        char more;
        const ssize_t got = readSome(fd, &more, 1);
        if (got < 0)
            cannotRead(fileName, systemError(errno));
        changed = got > 0;
    }
    // Written in place while it was read: the time of its last change moved.
    struct stat after;
    if (::fstat(fd, &after) != 0)
        cannotRead(fileName, systemError(errno));
    if (changed || after.st_size != before.st_size || !sameTime(after.st_mtim, before.st_mtim))
        cannotRead(fileName, "it changed while it was read");
}

void LoadTreeFile(TQelPigger& tree, const std::string& fileName) {
    tree.LoadFromFile(fileName);
}
