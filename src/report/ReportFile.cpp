#include "report/ReportFile.h"

#include "settings/core/AppInfo.h"
#include "tree/KeepAside.h"
#include "tree/LocalText.h"
#include "tree/TQelPigger.h"
#include "tree/TreeFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cstdio>
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

bool blankOnly(const QByteArray& bytes) {
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
    const auto fail = [&](const QString& what, const QString& why) {
        if (error)
            *error = (what + " \"" + ToQPath(fileName) + "\": " + why).toStdString();
        return false;
    };
    QSaveFile file(ToQPath(fileName));
    // Never write into the file itself: a failure half way would destroy it.
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly))
        return fail("Cannot create file", file.errorString());
    // In pieces: a large report's text is never whole in memory.
    const bool written = doc.WriteText([&](std::string_view piece) {
        return file.write(piece.data(), static_cast<qint64>(piece.size())) ==
               static_cast<qint64>(piece.size());
    });
    if (!written) {
        const QString why = file.errorString();
        file.cancelWriting();
        return fail("Cannot write file", why);
    }
    if (makeBackup && QFileInfo(ToQPath(fileName)).isFile())
        refreshBackup(ToQPath(fileName), ToQPath(BackupFileName(fileName)));
    if (!file.commit())
        return fail("Cannot write file", file.errorString());
    return true;
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
    QFile file(path);
    if (info.isFile() && info.size() <= MaxTreeFileBytes && file.open(QIODevice::ReadOnly) &&
        blankOnly(file.readAll())) {
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
