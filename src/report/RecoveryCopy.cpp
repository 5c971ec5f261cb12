#include "report/RecoveryCopy.h"

#include "tree/KeepAside.h"
#include "tree/LocalText.h"
#include "tree/TQelPigger.h"
#include "tree/TreeFile.h"

#include <QFile>
#include <QFileInfo>

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
    return WriteFileAtomically(
        RecoveryFileName(reportFileName),
        [&doc](const FileSink& sink) { return doc.SaveToSink(sink); }, FilePermissions::OwnerOnly,
        error);
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
