// Reading and writing the report file, with its backup copy.
#pragma once

#include <string>

class TQelPigger;

// The backup beside a report: report.qrl gives report.BAK.
std::string BackupFileName(const std::string& fileName);

// Writes doc to fileName through a temporary file that replaces the file only once it is
// complete. With makeBackup the content the file had becomes the backup file (one generation).
// On failure the file keeps its content and the result is false; error receives the reason (as
// WriteFileAtomically words it, with the system's reason) followed by ". The report file on disk
// is unchanged." or, when there is no such file, ". No file was written.".
bool SaveReportFile(const TQelPigger& doc, const std::string& fileName, bool makeBackup,
                    std::string* error);

struct ReportLoadResult {
    enum Outcome {
        Loaded,     // doc holds the file
        Missing,    // there is no such file
        Empty,      // the file holds nothing but blanks
        Unreadable, // the file exists but holds no readable report
    };
    Outcome outcome = Missing;
    // Unreadable: why, and where the file was kept (empty when it could not be moved aside).
    std::string reason;
    std::string keptAs;
};

// Reads fileName into doc and tells how that went; the file itself is never touched.
// Unless loaded, doc is left cleared.
ReportLoadResult ReadReportFile(TQelPigger& doc, const std::string& fileName);

// Reads fileName into doc. Unless loaded, doc is left cleared. An unreadable file is renamed
// (or, failing that, copied) to fileName + ".unreadable" (".unreadable.2", ... when taken), so
// that nothing written later can destroy it.
ReportLoadResult LoadReportFile(TQelPigger& doc, const std::string& fileName);
