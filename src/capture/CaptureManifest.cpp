#include "capture/CaptureManifest.h"

#include "tree/FileBoundary.h"

#include <QCryptographicHash>
#include <QFile>

#include <cerrno>
#include <charconv>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int FieldCount = 11;

std::string Join(const std::string& folder, const std::string& name) {
    return folder.empty() || folder.back() == '/' ? folder + name : folder + "/" + name;
}

std::string SystemReason() {
    return std::strerror(errno);
}

bool ReadNumber(std::string_view text, long long* value) {
    if (text.empty())
        return false;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), *value);
    return ec == std::errc() && end == text.data() + text.size() && *value >= 0;
}

bool IsHexDigest(std::string_view text) {
    if (text.size() != 64)
        return false;
    for (const char c : text)
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f')))
            return false;
    return true;
}

std::optional<CaptureOutcome> OutcomeNamed(std::string_view name) {
    for (const CaptureOutcome o :
         {CaptureOutcome::Saved, CaptureOutcome::Failed, CaptureOutcome::Removed})
        if (CaptureOutcomeName(o) == name)
            return o;
    return std::nullopt;
}

// Writes all of bytes to fd, going on after a partial write.
bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        bytes.remove_prefix(static_cast<size_t>(n));
    }
    return true;
}

// Cuts a last line that a crash left without its line feed, so that the next line starts on a
// line of its own. The reader passes such a line by anyway.
bool CutUnfinishedLine(int fd) {
    struct stat st {};
    if (::fstat(fd, &st) != 0)
        return false;
    off_t end = st.st_size;
    char c = '\n';
    while (end > 0) {
        if (::pread(fd, &c, 1, end - 1) != 1)
            return false;
        if (c == '\n')
            break;
        --end;
    }
    return end == st.st_size || ::ftruncate(fd, end) == 0;
}

} // namespace

std::string_view CaptureOutcomeName(CaptureOutcome outcome) {
    switch (outcome) {
    case CaptureOutcome::Saved:
        return "saved";
    case CaptureOutcome::Failed:
        return "failed";
    case CaptureOutcome::Removed:
        return "removed";
    }
    return {};
}

std::string EscapeManifestField(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        default:
            out += c;
        }
    }
    return out;
}

std::string UnescapeManifestField(std::string_view field) {
    std::string out;
    out.reserve(field.size());
    for (size_t i = 0; i < field.size(); ++i) {
        if (field[i] != '\\' || i + 1 == field.size()) {
            out += field[i];
            continue;
        }
        switch (field[++i]) {
        case 't':
            out += '\t';
            break;
        case 'n':
            out += '\n';
            break;
        case 'r':
            out += '\r';
            break;
        case '\\':
            out += '\\';
            break;
        default: // not written by us: kept as it stands
            out += '\\';
            out += field[i];
        }
    }
    return out;
}

std::string ManifestLine(const CaptureEntry& e) {
    const bool hasFile = e.outcome != CaptureOutcome::Failed;
    std::string line = std::to_string(e.number);
    const auto add = [&line](std::string_view field) {
        line += '\t';
        line += EscapeManifestField(field);
    };
    add(e.time.toUTC().toString(Qt::ISODate).toStdString());
    add(CaptureOutcomeName(e.outcome));
    add(hasFile ? e.file : std::string());
    add(hasFile ? std::to_string(e.size) : std::string());
    add(hasFile ? e.sha256 : std::string());
    add(e.recordUrl);
    add(e.askedUrl);
    add(e.finalUrl);
    add(e.title);
    add(e.reason);
    return line + '\n';
}

std::optional<CaptureEntry> ParseManifestLine(std::string_view line) {
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    std::vector<std::string_view> fields;
    for (size_t start = 0;;) {
        const size_t tab = line.find('\t', start);
        fields.push_back(line.substr(start, tab == std::string_view::npos ? tab : tab - start));
        if (tab == std::string_view::npos)
            break;
        start = tab + 1;
    }
    if (fields.size() != FieldCount)
        return std::nullopt;
    CaptureEntry e;
    const std::optional<CaptureOutcome> outcome = OutcomeNamed(fields[2]);
    if (!ReadNumber(fields[0], &e.number) || !outcome)
        return std::nullopt;
    e.outcome = *outcome;
    e.time = QDateTime::fromString(
        QString::fromLatin1(fields[1].data(), static_cast<qsizetype>(fields[1].size())),
        Qt::ISODate);
    if (!e.time.isValid())
        return std::nullopt;
    e.time = e.time.toUTC();
    if (e.outcome != CaptureOutcome::Failed) {
        e.file = UnescapeManifestField(fields[3]);
        if (e.file.empty() || e.file.find('/') != std::string::npos ||
            !ReadNumber(fields[4], &e.size) || !IsHexDigest(fields[5]))
            return std::nullopt;
        e.sha256 = std::string(fields[5]);
    }
    e.recordUrl = UnescapeManifestField(fields[6]);
    e.askedUrl = UnescapeManifestField(fields[7]);
    e.finalUrl = UnescapeManifestField(fields[8]);
    e.title = UnescapeManifestField(fields[9]);
    e.reason = UnescapeManifestField(fields[10]);
    return e;
}

std::vector<CaptureEntry> ParseManifest(std::string_view bytes) {
    std::vector<CaptureEntry> entries;
    size_t start = 0;
    for (size_t end; (end = bytes.find('\n', start)) != std::string_view::npos; start = end + 1) {
        const std::string_view line = bytes.substr(start, end - start);
        if (line.empty() || line.front() == '#' || line.rfind("number\t", 0) == 0)
            continue;
        if (std::optional<CaptureEntry> e = ParseManifestLine(line))
            entries.push_back(std::move(*e));
    }
    return entries;
}

bool ReadManifest(const std::string& folder, std::vector<CaptureEntry>* entries,
                  std::string* error) {
    entries->clear();
    const std::string name = Join(folder, ManifestFileName);
    struct stat st {};
    if (::stat(name.c_str(), &st) != 0 && errno == ENOENT)
        return true;
    WholeFile file;
    if (!file.Read(name, error))
        return false;
    *entries = ParseManifest(file.view());
    return true;
}

bool AppendManifest(const std::string& folder, const std::vector<CaptureEntry>& entries,
                    std::string* error) {
    const std::string name = Join(folder, ManifestFileName);
    const int fd = ::open(name.c_str(), O_RDWR | O_APPEND | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) {
        *error = "Cannot create file \"" + name + "\": " + SystemReason();
        return false;
    }
    struct stat st {};
    bool ok = ::fstat(fd, &st) == 0 && CutUnfinishedLine(fd);
    if (ok && ::lseek(fd, 0, SEEK_END) == 0)
        ok = WriteAll(fd, std::string(ManifestFirstLine) + "\n" + ManifestColumns + "\n");
    for (size_t i = 0; ok && i < entries.size(); ++i)
        ok = WriteAll(fd, ManifestLine(entries[i]));
    ok = ok && ::fsync(fd) == 0;
    if (!ok)
        *error = "Cannot write file \"" + name + "\": " + SystemReason();
    ::close(fd);
    return ok;
}

std::vector<CaptureEntry> PresentCaptures(const std::vector<CaptureEntry>& entries) {
    // The last word on each file decides; the files keep the order of their first saving.
    std::map<std::string, const CaptureEntry*> last;
    std::vector<std::string> order;
    for (const CaptureEntry& e : entries) {
        if (e.outcome == CaptureOutcome::Failed)
            continue;
        if (last.emplace(e.file, &e).second)
            order.push_back(e.file);
        else
            last[e.file] = &e;
    }
    std::vector<CaptureEntry> present;
    for (const std::string& file : order)
        if (last[file]->outcome == CaptureOutcome::Saved)
            present.push_back(*last[file]);
    return present;
}

std::string ChecksumsText(const std::vector<std::pair<std::string, std::string>>& hashAndName) {
    std::string text;
    for (const auto& [hash, name] : hashAndName)
        text += hash + "  " + name + "\n";
    return text;
}

bool WriteFolderChecksums(const std::string& folder, std::string* error) {
    std::vector<CaptureEntry> entries;
    if (!ReadManifest(folder, &entries, error))
        return false;
    std::vector<std::pair<std::string, std::string>> sums;
    for (const CaptureEntry& e : PresentCaptures(entries))
        sums.emplace_back(e.sha256, e.file);
    const std::string text = ChecksumsText(sums);
    return WriteFileAtomically(
        Join(folder, ChecksumsFileName), [&text](const FileSink& sink) { return sink(text); },
        FilePermissions::OwnerOnly, error);
}

std::optional<std::string> FileSha256(const std::string& fileName, long long* size) {
    QFile file(QFile::decodeName(fileName.c_str()));
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!hash.addData(&file))
        return std::nullopt;
    if (size)
        *size = file.size();
    return hash.result().toHex().toStdString();
}

std::string BytesSha256(std::string_view bytes) {
    return QCryptographicHash::hash(
               QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())),
               QCryptographicHash::Sha256)
        .toHex()
        .toStdString();
}
