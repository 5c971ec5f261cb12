#include "report/ReportFile.h"

#include "tree/KeepAside.h"
#include "tree/LocalText.h"
#include "tree/TQelPigger.h"
#include "tree/TreeFile.h"

#include <QFile>
#include <QFileInfo>

#include <cstdio>
#include <string_view>
#include <unistd.h>

namespace {

QByteArray native(const QString& s) {
    return QFile::encodeName(s);
}

// Makes backup hold what file holds now: a second name for the same content where the file
// system allows it, else a copy; the old backup is replaced in one step. Failures leave the
// old backup as it was.
void refreshBackup(const QString& file, const QString& backup) {
    const QString real = QFileInfo(file).canonicalFilePath();
    if (real.isEmpty())
        return;
    const QString temporary = backup + ".new";
    QFile::remove(temporary);
    const bool made = ::link(native(real).constData(), native(temporary).constData()) == 0 ||
                      QFile::copy(real, temporary);
    if (!made)
        return;
    if (std::rename(native(temporary).constData(), native(backup).constData()) != 0)
        QFile::remove(temporary);
}

bool blankOnly(std::string_view bytes) {
    for (char c : bytes)
        if (static_cast<unsigned char>(c) > 32)
            return false;
    return true;
}

} // namespace

std::string BackupFileName(const std::string& fileName) {
    return ChangeFileExt(fileName, ".BAK");
}

bool SaveReportFile(const TQelPigger& doc, const std::string& fileName, bool makeBackup,
                    std::string* error) {
    const auto produce = [&](const FileSink& sink) {
        if (!doc.SaveToSink(sink))
            return false;
        // The new text is complete: the old one becomes the backup before it is replaced.
        if (makeBackup && QFileInfo(ToQPath(fileName)).isFile())
            refreshBackup(ToQPath(fileName), ToQPath(BackupFileName(fileName)));
        return true;
    };
    if (WriteFileAtomically(fileName, produce, FilePermissions::Usual, error))
        return true;
    // The file is replaced in one step or not at all: what the disk holds is as it was.
    if (error)
        *error += QFileInfo(ToQPath(fileName)).isFile() ? ". The report file on disk is unchanged."
                                                        : ". No file was written.";
    return false;
}

ReportLoadResult ReadReportFile(TQelPigger& doc, const std::string& fileName) {
    ReportLoadResult result;
    const QString path = ToQPath(fileName);
    const QFileInfo info(path);
    if (!info.exists()) {
        doc.Clear();
        result.outcome = ReportLoadResult::Missing;
        return result;
    }
    try {
        LoadTreeFile(doc, fileName);
        if (!doc.Name().empty()) {
            result.outcome = ReportLoadResult::Loaded;
            return result;
        }
        result.reason = "it holds no report";
    } catch (const EQelPiggerError& e) {
        result.reason = DescribeReadError(e);
    } catch (const std::exception& e) {
        result.reason = e.what();
    }
    // A file of nothing but blanks holds nothing to keep.
    WholeFile file;
    if (file.Read(fileName, nullptr) && blankOnly(file.view())) {
        doc.Clear();
        result.reason.clear();
        result.outcome = ReportLoadResult::Empty;
        return result;
    }
    doc.Clear();
    result.outcome = ReportLoadResult::Unreadable;
    return result;
}

ReportLoadResult LoadReportFile(TQelPigger& doc, const std::string& fileName) {
    ReportLoadResult result = ReadReportFile(doc, fileName);
    if (result.outcome == ReportLoadResult::Unreadable && QFileInfo(ToQPath(fileName)).isFile())
        result.keptAs = KeepAside(fileName, ".unreadable");
    return result;
}
