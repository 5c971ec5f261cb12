// Captures of found pages: copies of what the user saw, kept in a folder beside the report with
// the time they were made and their SHA-256.
//
// The folder of REPORT.qrl is REPORT.qrl.captures, readable by its owner only (mode 0700). The
// files of a capture are named by a counter, never by anything of the page: "000001.mhtml" and,
// when a PDF was saved as well, "000001.pdf". A number is never given twice, also after its files
// were removed: the folder's COUNTER file holds the last one given, and the manifest and the
// folder's files are looked at as well, so that a lost COUNTER cannot bring a number back.
//
// A record keeps its latest capture in attributes of its LISTING element (CaptureFields); the
// automatic search's refresh of a record keeps them, as it keeps every attribute but URL. All
// captures, also the earlier ones of a record and the failed ones, are in the manifest
// (CaptureManifest.h).
//
// Removing captures: the files no record refers to any more (UnusedCaptures) can be removed
// after the user agreed (RemoveCaptures). Their lines stay in the manifest, and a "removed" line
// is appended for each, so that the manifest stays the whole history of the folder; SHA256SUMS
// then lists only the files still there. Deleting a record removes nothing.
#pragma once

#include "capture/CaptureManifest.h"

#include <QDateTime>

#include <optional>
#include <string>
#include <vector>

class TQelPigger;

// Attributes of a record's LISTING element that name its latest capture.
namespace CaptureFields {
// The file of the latest capture in the captures folder ("000001.mhtml").
inline constexpr const char* File = "CAPTURE";
// When it was saved: UTC, ISO 8601 ("2026-12-09T10:15:30Z").
inline constexpr const char* Time = "CAPTURETIME";
// Its SHA-256 (64 lower-case hex digits).
inline constexpr const char* Sha256 = "CAPTURESHA256";
// The PDF of the same capture ("000001.pdf"); absent when none was saved.
inline constexpr const char* Pdf = "CAPTUREPDF";
} // namespace CaptureFields

inline constexpr const char* CapturesFolderSuffix = ".captures";
inline constexpr const char* CaptureCounterFileName = "COUNTER";

// "REPORT.qrl.captures" for "REPORT.qrl".
std::string CapturesFolderOf(const std::string& reportFile);

// Makes the folder (and gives it mode 0700, also when it was there already). False with the
// reason.
bool MakeCapturesFolder(const std::string& folder, std::string* error);

// A capture's file name: the number as six digits or more, a dot, the extension.
std::string CaptureFileName(long long number, const std::string& extension);

// Takes the next number of the folder (made when missing) and keeps it taken. The browser saves
// the page under CaptureFileName(number, "mhtml") (and "pdf") and then calls RecordCapture.
// None, with the reason, when the folder or its counter cannot be written.
std::optional<long long> TakeCaptureNumber(const std::string& folder, std::string* error);

// What the browser did for one record.
struct CaptureAttempt {
    long long number = 0; // from TakeCaptureNumber
    bool saved = false;   // the page file was written
    std::string pageFile; // its name in the folder ("000001.mhtml") when saved
    std::string pdfFile;  // a PDF saved beside it, or empty
    std::string failure;  // why nothing was saved, when not saved
    std::string askedUrl; // the address loaded
    std::string finalUrl; // where the page came from in the end
    std::string title;    // the page's title
};

// Records a capture of record (a LISTING) in the folder: hashes the saved files, appends their
// lines to the manifest (a failed attempt gets one "failed" line with its reason), rewrites
// SHA256SUMS and sets the record's CaptureFields. when is the time of saving (UTC). A failed
// attempt leaves the record as it was. False with the reason when the manifest cannot be
// written or a file said saved cannot be read (then the record is not changed either), or when
// SHA256SUMS cannot be rewritten (the capture is recorded all the same).
bool RecordCapture(const std::string& folder, TQelPigger* record, const CaptureAttempt& attempt,
                   const QDateTime& when, std::string* error);

// The record's latest capture file, or empty.
std::string LatestCapture(const TQelPigger* record);

enum class CaptureState { Intact, Changed, Missing };
// "intact", "changed", "missing".
std::string_view CaptureStateName(CaptureState state);

struct CaptureCheck {
    CaptureEntry entry;
    CaptureState state = CaptureState::Intact;
};

// Recomputes the hash of every file the manifest of folder lists (PresentCaptures): intact when
// it is the one written down, changed when not, missing when the file is gone. False with the
// reason when the manifest cannot be read.
bool VerifyCaptures(const std::string& folder, std::vector<CaptureCheck>* checks,
                    std::string* error);

// The capture files of the folder that no record of the report's URLS refers to (neither as
// CAPTURE nor as CAPTUREPDF), sorted by name: the list the user is asked about.
std::vector<std::string> UnusedCaptures(const std::string& folder, const TQelPigger& doc);

// Removes those files (only capture files of the folder; other names are passed by), appends a
// "removed" line for each to the manifest and rewrites SHA256SUMS. False with the reason; files
// removed before a failure are in the manifest all the same.
bool RemoveCaptures(const std::string& folder, const std::vector<std::string>& files,
                    const QDateTime& when, std::string* error);

// For Save as: copies the captures folder of fromReport to that of toReport (mode 0700), every
// file as it is. Nothing to do (true) when fromReport has none. Refuses (false with the reason)
// when the new folder exists and is not empty, so that another report's captures are never
// mixed in; with move the old folder is renamed instead when it can be, else copied and removed.
bool CopyCapturesFolder(const std::string& fromReport, const std::string& toReport, bool move,
                        std::string* error);
