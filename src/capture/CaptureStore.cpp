#include "capture/CaptureStore.h"

#include "report/ReportLayout.h"
#include "tree/FileBoundary.h"
#include "tree/TQelPigger.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <set>
#include <sys/stat.h>

namespace {

std::string Join(const std::string& folder, const std::string& name) {
    return folder.empty() || folder.back() == '/' ? folder + name : folder + "/" + name;
}

QString Q(const std::string& name) {
    return QFile::decodeName(name.c_str());
}

std::string E(const QString& name) {
    return QFile::encodeName(name).toStdString();
}

// "000001.mhtml", "000001.pdf": the names the counter gives, and nothing else.
const QRegularExpression& CaptureNamePattern() {
    static const QRegularExpression pattern(QStringLiteral("^([0-9]{6,18})\\.(mhtml|pdf)$"));
    return pattern;
}

long long NumberOfName(const QString& name) {
    const QRegularExpressionMatch m = CaptureNamePattern().match(name);
    return m.hasMatch() ? m.captured(1).toLongLong() : 0;
}

bool IsCaptureName(const std::string& name) {
    return CaptureNamePattern().match(Q(name)).hasMatch();
}

QStringList CaptureFilesIn(const std::string& folder) {
    QStringList names;
    for (const QString& name : QDir(Q(folder)).entryList(QDir::Files | QDir::Hidden, QDir::Name))
        if (CaptureNamePattern().match(name).hasMatch())
            names << name;
    return names;
}

std::string Iso(const QDateTime& when) {
    return when.toUTC().toString(Qt::ISODate).toStdString();
}

} // namespace

std::string CapturesFolderOf(const std::string& reportFile) {
    return reportFile + CapturesFolderSuffix;
}

bool MakeCapturesFolder(const std::string& folder, std::string* error) {
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
        *error = "Cannot create folder \"" + folder + "\": " + std::strerror(errno);
        return false;
    }
    struct stat st {};
    if (::stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
        *error = "Cannot create folder \"" + folder + "\": it is not a folder";
        return false;
    }
    if ((st.st_mode & 07777) != 0700 && ::chmod(folder.c_str(), 0700) != 0) {
        *error = "Cannot protect folder \"" + folder + "\": " + std::strerror(errno);
        return false;
    }
    return true;
}

std::string CaptureFileName(long long number, const std::string& extension) {
    char digits[32];
    std::snprintf(digits, sizeof digits, "%06lld", number);
    return std::string(digits) + "." + extension;
}

std::optional<long long> TakeCaptureNumber(const std::string& folder, std::string* error) {
    if (!MakeCapturesFolder(folder, error))
        return std::nullopt;
    long long last = 0;
    const std::string counterFile = Join(folder, CaptureCounterFileName);
    QFile counter(Q(counterFile));
    if (counter.open(QIODevice::ReadOnly))
        last = std::max(last, counter.readAll().trimmed().toLongLong());
    counter.close();
    std::vector<CaptureEntry> entries;
    std::string ignored;
    if (ReadManifest(folder, &entries, &ignored))
        for (const CaptureEntry& e : entries)
            last = std::max(last, e.number);
    for (const QString& name : CaptureFilesIn(folder))
        last = std::max(last, NumberOfName(name));
    const long long next = last + 1;
    const std::string text = std::to_string(next) + "\n";
    if (!WriteFileAtomically(
            counterFile, [&text](const FileSink& sink) { return sink(text); },
            FilePermissions::OwnerOnly, error))
        return std::nullopt;
    return next;
}

bool RecordCapture(const std::string& folder, TQelPigger* record, const CaptureAttempt& attempt,
                   const QDateTime& when, std::string* error) {
    CaptureEntry base;
    base.number = attempt.number;
    base.time = when.toUTC();
    base.recordUrl = record ? record->GetAttr(RecordFields::Url) : std::string();
    base.askedUrl = attempt.askedUrl;
    base.finalUrl = attempt.finalUrl;
    base.title = attempt.title;
    std::vector<CaptureEntry> lines;
    if (!attempt.saved) {
        CaptureEntry failed = base;
        failed.outcome = CaptureOutcome::Failed;
        failed.reason = attempt.failure.empty() ? std::string("unknown") : attempt.failure;
        lines.push_back(failed);
    } else {
        for (const std::string& file : {attempt.pageFile, attempt.pdfFile}) {
            if (file.empty())
                continue;
            if (!IsCaptureName(file)) {
                *error = "\"" + file + "\" is not the name of a capture file";
                return false;
            }
            CaptureEntry saved = base;
            saved.file = file;
            const std::optional<std::string> hash = FileSha256(Join(folder, file), &saved.size);
            if (!hash) {
                *error = "Cannot read file \"" + Join(folder, file) + "\"";
                return false;
            }
            saved.sha256 = *hash;
            lines.push_back(saved);
        }
        if (lines.empty() || attempt.pageFile.empty()) {
            *error = "No page file was named for the capture";
            return false;
        }
    }
    if (!MakeCapturesFolder(folder, error) || !AppendManifest(folder, lines, error))
        return false;
    if (!attempt.saved)
        return true;
    if (record) {
        record->SetAttr(CaptureFields::File, lines.front().file);
        record->SetAttr(CaptureFields::Time, Iso(when));
        record->SetAttr(CaptureFields::Sha256, lines.front().sha256);
        if (attempt.pdfFile.empty())
            record->DeleteAttr(CaptureFields::Pdf);
        else
            record->SetAttr(CaptureFields::Pdf, attempt.pdfFile);
    }
    return WriteFolderChecksums(folder, error);
}

std::string LatestCapture(const TQelPigger* record) {
    return record ? record->GetAttr(CaptureFields::File) : std::string();
}

std::string_view CaptureStateName(CaptureState state) {
    switch (state) {
    case CaptureState::Intact:
        return "intact";
    case CaptureState::Changed:
        return "changed";
    case CaptureState::Missing:
        return "missing";
    }
    return {};
}

bool VerifyCaptures(const std::string& folder, std::vector<CaptureCheck>* checks,
                    std::string* error) {
    checks->clear();
    std::vector<CaptureEntry> entries;
    if (!ReadManifest(folder, &entries, error))
        return false;
    for (CaptureEntry& e : PresentCaptures(entries)) {
        CaptureCheck check;
        const std::string name = Join(folder, e.file);
        struct stat st {};
        if (::lstat(name.c_str(), &st) != 0 && errno == ENOENT) {
            check.state = CaptureState::Missing;
        } else {
            // Anything that cannot be read as the file it was (a folder, a link, no access) has
            // changed as well.
            long long size = 0;
            const std::optional<std::string> hash =
                S_ISREG(st.st_mode) ? FileSha256(name, &size) : std::nullopt;
            if (!hash || *hash != e.sha256 || size != e.size)
                check.state = CaptureState::Changed;
        }
        check.entry = std::move(e);
        checks->push_back(std::move(check));
    }
    return true;
}

std::vector<std::string> UnusedCaptures(const std::string& folder, const TQelPigger& doc) {
    std::set<std::string> used;
    if (const TQelPigger* urls = doc.FindChild(ReportKeys::Urls))
        for (const TQelPigger* record : urls->Children())
            for (const char* field : {CaptureFields::File, CaptureFields::Pdf})
                if (const std::string file = record->GetAttr(field); !file.empty())
                    used.insert(file);
    std::vector<std::string> unused;
    for (const QString& name : CaptureFilesIn(folder))
        if (!used.count(E(name)))
            unused.push_back(E(name));
    return unused;
}

bool RemoveCaptures(const std::string& folder, const std::vector<std::string>& files,
                    const QDateTime& when, std::string* error) {
    std::vector<CaptureEntry> entries;
    if (!ReadManifest(folder, &entries, error))
        return false;
    const std::vector<CaptureEntry> present = PresentCaptures(entries);
    std::vector<CaptureEntry> removed;
    bool ok = true;
    for (const std::string& file : files) {
        if (!IsCaptureName(file))
            continue;
        const std::string name = Join(folder, file);
        const auto known = std::find_if(present.begin(), present.end(),
                                        [&file](const CaptureEntry& e) { return e.file == file; });
        CaptureEntry line;
        if (known != present.end()) {
            line = *known;
        } else {
            // A file the manifest never listed: its removal is written down with its hash.
            const std::optional<std::string> hash = FileSha256(name, &line.size);
            if (!hash)
                continue;
            line.number = NumberOfName(Q(file));
            line.file = file;
            line.sha256 = *hash;
        }
        if (std::remove(name.c_str()) != 0 && errno != ENOENT) {
            *error = "Cannot remove file \"" + name + "\": " + std::strerror(errno);
            ok = false;
            break;
        }
        line.outcome = CaptureOutcome::Removed;
        line.time = when.toUTC();
        line.reason.clear();
        removed.push_back(line);
    }
    std::string appendError;
    if (!removed.empty() && !AppendManifest(folder, removed, &appendError)) {
        *error = appendError;
        return false;
    }
    return WriteFolderChecksums(folder, ok ? error : &appendError) && ok;
}

bool CopyCapturesFolder(const std::string& fromReport, const std::string& toReport, bool move,
                        std::string* error) {
    const std::string from = CapturesFolderOf(fromReport), to = CapturesFolderOf(toReport);
    const QDir source(Q(from));
    if (!source.exists())
        return true;
    if (QFileInfo(Q(from)).canonicalFilePath() == QFileInfo(Q(to)).canonicalFilePath() &&
        QFileInfo::exists(Q(to)))
        return true;
    if (QDir(Q(to)).exists() && !QDir(Q(to)).isEmpty()) {
        *error = "Cannot copy the captures to \"" + to + "\": that folder is not empty";
        return false;
    }
    if (move) {
        QDir(Q(to)).removeRecursively(); // empty, as checked above
        if (std::rename(from.c_str(), to.c_str()) == 0)
            return MakeCapturesFolder(to, error);
    }
    if (!MakeCapturesFolder(to, error))
        return false;
    for (const QString& name : source.entryList(QDir::Files | QDir::Hidden, QDir::Name)) {
        const QString target = QDir(Q(to)).filePath(name);
        if (!QFile::copy(source.filePath(name), target)) {
            *error =
                "Cannot copy file \"" + E(source.filePath(name)) + "\" to \"" + E(target) + "\"";
            return false;
        }
    }
    if (move && !QDir(Q(from)).removeRecursively()) {
        *error = "Cannot remove folder \"" + from + "\" after copying it";
        return false;
    }
    return true;
}
