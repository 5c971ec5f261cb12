// The recovery copy of a modified report: the report as it is in memory, written beside its
// file from time to time so that a crash loses little, and offered again at the next open.
#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>

#include <string>

class TQelPigger;

// The recovery copy beside a report: report.qrl gives report.qrl.recover.
std::string RecoveryFileName(const std::string& reportFileName);

// What lies beside a report before it is opened.
struct RecoveryState {
    enum Kind {
        None,  // no recovery copy
        Newer, // a recovery copy newer than the report (or the report is missing): offer it
        Stale, // a recovery copy no newer than the report
    };
    Kind kind = None;
    // When the recovery copy was written (local time).
    QDateTime written;
};
RecoveryState FindRecoveryCopy(const std::string& reportFileName);

// Writes doc as the recovery copy of reportFileName, readable and writable by the owner only:
// into a new temporary file in the same folder, flushed to the disk, which then replaces the
// copy in one step; a failure leaves the previous copy as it was. False with the reason in
// error when it was not written.
bool WriteRecoveryCopy(const TQelPigger& doc, const std::string& reportFileName,
                       std::string* error);

// Removes the recovery copy; true when none is left.
bool RemoveRecoveryCopy(const std::string& reportFileName);

// Renames the recovery copy out of the way (report.qrl.recover.kept, .kept.2, ...) so that a
// later copy cannot replace it. The name it was kept as, or "" when it could not be kept.
std::string KeepRecoveryCopyAside(const std::string& reportFileName);

// "A recovery copy of this report from DATE was found. Restore it?" with DATE in the short
// date and time format of locale.
QString RecoveryQuestion(const QDateTime& written, const QLocale& locale);
