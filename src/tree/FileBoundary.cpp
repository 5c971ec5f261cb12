#include "tree/FileBoundary.h"

#include "tree/BulkMemory.h"

#include "tree/TQelPigger.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <ctime>
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

std::string systemError(int error) {
    return std::generic_category().message(error);
}

// "Cannot VERB file "NAME": why" into reason; gives false.
bool fail(std::string* reason, const char* verb, const std::string& fileName,
          const std::string& why) {
    if (reason)
        *reason = std::string("Cannot ") + verb + " file \"" + fileName + "\": " + why;
    return false;
}

bool refuse(std::string* reason, const std::string& fileName, const WholeFileCheck& check) {
    return fail(reason, check.refusal == WholeFileCheck::TooLarge ? "read" : "open", fileName,
                check.reason);
}

struct Handle {
    int fd = -1;
    Handle() = default;
    explicit Handle(int f) : fd(f) {}
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    ~Handle() {
        if (fd >= 0)
            ::close(fd);
    }
    // Closes now; false (with errno) when the close reports an error.
    bool close() {
        const int f = fd;
        fd = -1;
        return ::close(f) == 0;
    }
};

// Reads up to count bytes at to; gives how many (0 at the end of the file), -1 on an error.
ssize_t readSome(int fd, char* to, std::size_t count) {
    for (;;) {
        const ssize_t got = ::read(fd, to, count);
        if (got >= 0 || errno != EINTR)
            return got;
    }
}

// Writes all of bytes to fd, going on after interruptions and short writes.
bool writeAll(int fd, std::string_view bytes) {
    const char* p = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    return true;
}

bool sameTime(const struct timespec& a, const struct timespec& b) {
    return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

// Where the name leads: a symbolic link followed to its end (which need not exist yet), links
// pointing round in a circle left as they are.
std::string followLinks(std::string name) {
    for (int hops = 0; hops < 40; ++hops) {
        struct stat info;
        if (::lstat(name.c_str(), &info) != 0 || !S_ISLNK(info.st_mode))
            return name;
        std::string target(static_cast<std::size_t>(info.st_size > 0 ? info.st_size : 255) + 1,
                           '\0');
        const ssize_t n = ::readlink(name.c_str(), target.data(), target.size());
        if (n < 0 || static_cast<std::size_t>(n) >= target.size())
            return name;
        target.resize(static_cast<std::size_t>(n));
        if (target.front() != '/') {
            const std::size_t slash = name.rfind('/');
            if (slash != std::string::npos)
                target.insert(0, name, 0, slash + 1);
        }
        name = std::move(target);
    }
    return name;
}

std::string folderOf(const std::string& name) {
    const std::size_t slash = name.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : name.substr(0, slash);
}

// A new, empty file beside target with mode (less the umask), under a name no other file has.
int createBeside(const std::string& target, mode_t mode, std::string& made) {
    static std::atomic<unsigned> counter{0};
    static constexpr char digits[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    for (int attempt = 0; attempt < 100; ++attempt) {
        struct timespec now;
        ::clock_gettime(CLOCK_REALTIME, &now);
        unsigned long long seed = static_cast<unsigned long long>(now.tv_nsec) ^
                                  (static_cast<unsigned long long>(::getpid()) << 20) ^
                                  (static_cast<unsigned long long>(counter++) << 40);
        std::string name = target + ".";
        for (int i = 0; i < 6; ++i) {
            name.push_back(digits[seed % 36]);
            seed /= 36;
        }
        const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd >= 0 || errno != EEXIST) {
            made = std::move(name);
            return fd;
        }
    }
    errno = EEXIST;
    return -1;
}

} // namespace

WholeFileCheck CheckWholeFile(const std::string& fileName) {
    struct stat info;
    if (::stat(fileName.c_str(), &info) != 0)
        return {};
    return checkFile(info);
}

WholeFile::WholeFile(const std::string& fileName) {
    std::string reason;
    if (!Read(fileName, &reason))
        throw EQelFileError(reason);
}

WholeFile::~WholeFile() {
    mapping_.reset();
    if (fd_ >= 0)
        ::close(fd_);
}

bool WholeFile::Read(const std::string& fileName, std::string* reason) {
    return read(fileName, reason, false);
}

bool WholeFile::ReadInPlace(const std::string& fileName, std::string* reason) {
    return read(fileName, reason, true);
}

bool WholeFile::MayWrite(std::size_t at) const {
    return at + 2 <= size_ + Spare && (!mapping_ || mapping_->MayWrite(at));
}

bool WholeFile::StillAsRead(std::string* reason) const {
    if (!mapping_)
        return true;
    struct stat now;
    if (!mapping_->Cut() && ::fstat(fd_, &now) == 0 && now.st_size == mappedSize_ &&
        now.st_mtim.tv_sec == mappedSeconds_ && now.st_mtim.tv_nsec == mappedNanoseconds_)
        return true;
    return fail(reason, "read", name_, "it changed while it was read");
}

bool WholeFile::read(const std::string& fileName, std::string* reason, bool inPlace) {
    bytes_.reset();
    mapping_.reset();
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
    size_ = 0;
    if (fileName.empty())
        return fail(reason, "open", fileName, "no file name given");
    // A device or a pipe is refused by its name without being opened.
    if (const WholeFileCheck check = CheckWholeFile(fileName);
        check.refusal != WholeFileCheck::None)
        return refuse(reason, fileName, check);
    // The name may stand for another file by now: what counts is the file opened. It is opened
    // without waiting, so that a named pipe is refused at once too.
    Handle handle(::open(fileName.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (handle.fd < 0)
        return fail(reason, "open", fileName, systemError(errno));
    const int fd = handle.fd;
    struct stat before;
    if (::fstat(fd, &before) != 0)
        return fail(reason, "read", fileName, systemError(errno));
    if (const WholeFileCheck check = checkFile(before); check.refusal != WholeFileCheck::None)
        return refuse(reason, fileName, check);

    const auto expected = static_cast<std::size_t>(before.st_size);
    // Read from start to end once: a file not in the system's cache comes in larger pieces.
    ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
    // A large file read in place: its pages as the system's file cache holds them.
    constexpr std::size_t kMappedFrom = std::size_t{1} << 20;
    if (inPlace && expected >= kMappedFrom) {
        if (auto mapping = FileMapping::Map(fd, expected, Spare)) {
            mapping_ = std::move(mapping);
            fd_ = handle.fd;
            handle.fd = -1;
            name_ = fileName;
            mappedSize_ = before.st_size;
            mappedSeconds_ = before.st_mtim.tv_sec;
            mappedNanoseconds_ = before.st_mtim.tv_nsec;
            size_ = expected;
            return true;
        }
    }
    // Otherwise memory of its own, taken from the system in bulk (see BulkMemory.h): filled
    // at once, and given back in pieces as the reader goes through it.
    std::unique_ptr<char[], Release> bytes(static_cast<char*>(TakeBulk(expected + Spare)),
                                           Release{expected + Spare});
    char* const data = bytes.get();
    std::size_t size = 0;

    // The file must end where its size said: shorter or longer, it changed since the look.
    bool changed = false;
    while (size < expected) {
        const ssize_t got = readSome(fd, data + size, expected - size);
        if (got < 0)
            return fail(reason, "read", fileName, systemError(errno));
        if (got == 0) {
            changed = true;
            break;
        }
        size += static_cast<std::size_t>(got);
    }
    if (!changed) {
        char more;
        const ssize_t got = readSome(fd, &more, 1);
        if (got < 0)
            return fail(reason, "read", fileName, systemError(errno));
        changed = got > 0;
    }
    // Written in place while it was read: the time of its last change moved.
    struct stat after;
    if (::fstat(fd, &after) != 0)
        return fail(reason, "read", fileName, systemError(errno));
    if (changed || after.st_size != before.st_size || !sameTime(after.st_mtim, before.st_mtim))
        return fail(reason, "read", fileName, "it changed while it was read");
    bytes_ = std::move(bytes);
    size_ = size;
    return true;
}

void WholeFile::Release::operator()(char* block) const noexcept {
    GiveBackBulk(block, bytes);
}

void WholeFile::GiveBackPrefix(std::size_t used) {
    GiveBackBulkPrefix(data(), std::min(used, size_));
}

bool WriteFileAtomically(const std::string& fileName, const FileProducer& produce,
                         FilePermissions permissions, std::string* reason,
                         const FileReplace& replace) {
    const auto cannot = [&](const char* verb, int error) {
        return fail(reason, verb, fileName, systemError(error));
    };
    if (fileName.empty())
        return fail(reason, "create", fileName, "no file name given");
    const std::string target = followLinks(fileName);
    // The file replaced: never a folder, never one this user may not write.
    struct stat existing {};
    const bool exists = ::stat(target.c_str(), &existing) == 0;
    if (exists && S_ISDIR(existing.st_mode))
        return fail(reason, "create", fileName, "it is a folder");
    // A device or a pipe is never replaced by a file (nor written into).
    if (exists && !S_ISREG(existing.st_mode))
        return fail(reason, "create", fileName, "it is not a regular file");
    if (exists && ::access(target.c_str(), W_OK) != 0)
        return cannot("create", errno);

    const bool ownerOnly = permissions == FilePermissions::OwnerOnly;
    std::string temporary;
    // Made for the owner alone while an existing file's permissions are still to be copied.
    Handle file(createBeside(target, ownerOnly || exists ? 0600 : 0666, temporary));
    if (file.fd < 0)
        return cannot("create", errno);
    const auto giveUp = [&](int error) {
        file.close();
        ::unlink(temporary.c_str());
        return cannot("write", error);
    };
    const mode_t mode = ownerOnly ? 0600 : existing.st_mode & 07777;
    if ((ownerOnly || exists) && ::fchmod(file.fd, mode) != 0)
        return giveUp(errno);

    int writeError = 0;
    const FileSink sink = [&](std::string_view piece) {
        if (writeAll(file.fd, piece))
            return true;
        writeError = errno;
        return false;
    };
    if (!produce(sink))
        return giveUp(writeError != 0 ? writeError : EIO);
    if (::fsync(file.fd) != 0)
        return giveUp(errno);
    if (!file.close()) {
        const int error = errno;
        ::unlink(temporary.c_str());
        return cannot("write", error);
    }
    int renameError = 0;
    const auto rename = [&] {
        if (std::rename(temporary.c_str(), target.c_str()) == 0)
            return true;
        renameError = errno;
        return false;
    };
    if (!(replace ? replace(rename) : rename())) {
        ::unlink(temporary.c_str());
        return renameError != 0 ? cannot("write", renameError)
                                : fail(reason, "write", fileName, "it was given up");
    }
    // The new name itself reaches the disk with the folder.
    const Handle folder(::open(folderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.fd >= 0)
        ::fsync(folder.fd);
    return true;
}
