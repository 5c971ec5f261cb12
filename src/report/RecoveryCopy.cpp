#include "report/RecoveryCopy.h"

#include "tree/KeepAside.h"
#include "tree/LocalText.h"
#include "tree/TQelPigger.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string errorText(int code) {
    return std::strerror(code);
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

} // namespace

std::string RecoveryFileName(const std::string& reportFileName) {
    return reportFileName + ".recover";
}

RecoveryState FindRecoveryCopy(const std::string& reportFileName) {
    RecoveryState state;
    const QFileInfo copy(ToQPath(RecoveryFileName(reportFileName)));
    if (!copy.isFile())
        return state;
    state.written = copy.lastModified();
    const QFileInfo report(ToQPath(reportFileName));
    state.kind = !report.exists() || state.written > report.lastModified() ? RecoveryState::Newer
                                                                           : RecoveryState::Stale;
    return state;
}

bool WriteRecoveryCopy(const TQelPigger& doc, const std::string& reportFileName,
                       std::string* error) {
    const std::string target = RecoveryFileName(reportFileName);
    const auto fail = [&](const std::string& what, int code) {
        if (error)
            *error = what + " \"" + target + "\": " + errorText(code);
        return false;
    };
    // mkstemp makes the file for the owner alone.
    std::string temporary = target + ".XXXXXX";
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0)
        return fail("Cannot create file", errno);
    const auto giveUp = [&](int code) {
        ::close(fd);
        ::unlink(temporary.c_str());
        return fail("Cannot write file", code);
    };
    if (::fchmod(fd, S_IRUSR | S_IWUSR) != 0)
        return giveUp(errno);
    // In pieces: a large report's text is never whole in memory.
    if (!doc.WriteText([fd](std::string_view piece) { return writeAll(fd, piece); }))
        return giveUp(errno);
    if (::fsync(fd) != 0)
        return giveUp(errno);
    if (::close(fd) != 0) {
        const int code = errno;
        ::unlink(temporary.c_str());
        return fail("Cannot write file", code);
    }
    if (std::rename(temporary.c_str(), target.c_str()) != 0) {
        const int code = errno;
        ::unlink(temporary.c_str());
        return fail("Cannot write file", code);
    }
    // The new name itself reaches the disk with the folder.
    const std::string folder = FromQPath(QFileInfo(ToQPath(target)).absolutePath());
    const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return true;
}

bool RemoveRecoveryCopy(const std::string& reportFileName) {
    const QString copy = ToQPath(RecoveryFileName(reportFileName));
    return !QFileInfo::exists(copy) || QFile::remove(copy);
}

std::string KeepRecoveryCopyAside(const std::string& reportFileName) {
    const std::string copy = RecoveryFileName(reportFileName);
    if (!QFileInfo(ToQPath(copy)).isFile())
        return {};
    const std::string kept = KeepAside(copy, ".kept");
    // Kept as a copy (the rename failed): the copy itself must not be offered again.
    if (!kept.empty())
        QFile::remove(ToQPath(copy));
    return kept;
}

QString RecoveryQuestion(const QDateTime& written, const QLocale& locale) {
    return "A recovery copy of this report from " + locale.toString(written, QLocale::ShortFormat) +
           " was found. Restore it?";
}
