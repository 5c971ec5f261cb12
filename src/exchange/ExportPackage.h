// The evidence package: a folder to hand over that opens on any computer, with the report as a
// web page (each record's latest capture linked with its SHA-256), copies of the captures, their
// manifest (and its time stamp) and a SHA256SUMS over everything, so that
// `cd FOLDER && sha256sum -c SHA256SUMS` checks it.
//
//   FOLDER/report.html          the web page export, with a "Capture" column when any record
//                               has a capture
//   FOLDER/captures/000001.mhtml ...  the capture files still in the captures folder
//   FOLDER/captures/MANIFEST.tsv(.tsq, .tsr)  the manifest and its stamp, when there are any
//   FOLDER/SHA256SUMS           "HASH  PATH" for every other file of the package; a capture's
//                               line has the hash its manifest wrote down, so that a capture
//                               changed since it was saved fails the check here as well
#pragma once

#include <string>

class TQelPigger;

inline constexpr const char* PackagePageName = "report.html";
inline constexpr const char* PackageCapturesFolder = "captures";

// Writes the package of doc (read from reportFile, whose captures folder is used) into folder,
// which must not exist or be empty (it is made). checkedOnly: only the ticked records in the
// page. False with the reason; a package left half-written is said so.
bool ExportPackage(const TQelPigger& doc, const std::string& reportFile, const std::string& folder,
                   bool checkedOnly, std::string* error);
