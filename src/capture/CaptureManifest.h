// The list of every capture of a report's captures folder: one line per saved (or failed, or
// later removed) file, never rewritten, only appended to; and the SHA256SUMS file beside it.
//
// MANIFEST.tsv starts with the line "#quarrylog captures 1" followed by the column line
// (ManifestColumns), then one line per entry, its fields separated by TABs, in this order:
//   number   the capture's number (the files of one capture share it: 000001.mhtml, 000001.pdf)
//   time     UTC, ISO 8601 ("2026-12-09T10:15:30Z"): when the file was saved, failed or removed
//   outcome  "saved", "failed" (nothing saved; the reason says why) or "removed" (the file of an
//            earlier "saved" line was removed on the user's request; its hash is repeated)
//   file     the file's name in the folder ("000001.mhtml"); empty for a failed capture
//   size     bytes of the file; empty for a failed capture
//   sha256   the file's SHA-256, 64 lower-case hex digits; empty for a failed capture
//   record   the address (URL) of the record the capture belongs to
//   asked    the address the browser was asked to load
//   final    the address the page came from in the end (after redirects)
//   title    the page's title
//   reason   why a capture failed; empty otherwise
// In a field a backslash is written "\\", a TAB "\t", a line feed "\n" and a carriage return
// "\r", so that no text of a page can break a line or a column. Each line is appended with a
// single write ending in its line feed; a last line without its line feed (a write cut short by
// a crash) is no entry and is ignored by the reader.
//
// SHA256SUMS holds "HASH  FILE" lines (two blanks, as sha256sum writes them) of every file that
// a "saved" line lists and no later "removed" line takes back, so that `sha256sum -c SHA256SUMS`
// in the folder checks them.
#pragma once

#include <QDateTime>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

inline constexpr const char* ManifestFileName = "MANIFEST.tsv";
inline constexpr const char* ChecksumsFileName = "SHA256SUMS";
inline constexpr const char* ManifestFirstLine = "#quarrylog captures 1";
inline constexpr const char* ManifestColumns =
    "number\ttime\toutcome\tfile\tsize\tsha256\trecord\tasked\tfinal\ttitle\treason";

enum class CaptureOutcome { Saved, Failed, Removed };

// "saved", "failed", "removed".
std::string_view CaptureOutcomeName(CaptureOutcome outcome);

struct CaptureEntry {
    long long number = 0;
    QDateTime time; // UTC
    CaptureOutcome outcome = CaptureOutcome::Saved;
    std::string file;
    long long size = 0;
    std::string sha256;
    std::string recordUrl;
    std::string askedUrl;
    std::string finalUrl;
    std::string title;
    std::string reason;

    bool operator==(const CaptureEntry&) const = default;
};

// A field as the manifest writes it, and back.
std::string EscapeManifestField(std::string_view text);
std::string UnescapeManifestField(std::string_view field);

// The entry's line with its line feed.
std::string ManifestLine(const CaptureEntry& entry);
// The entry of a line (without its line feed); none for a line that is not one.
std::optional<CaptureEntry> ParseManifestLine(std::string_view line);

// The entries of the manifest bytes, in order (header lines, broken lines and a last line
// without its line feed left out).
std::vector<CaptureEntry> ParseManifest(std::string_view bytes);

// The entries of the manifest file of folder; an empty list when it does not exist. False with
// the reason when it exists but cannot be read.
bool ReadManifest(const std::string& folder, std::vector<CaptureEntry>* entries,
                  std::string* error);

// Appends the entries to the manifest of folder (making it, with its header, when missing),
// each line in one write, and flushes it to the disk. False with the reason.
bool AppendManifest(const std::string& folder, const std::vector<CaptureEntry>& entries,
                    std::string* error);

// The files the entries leave in the folder: those of "saved" lines that no later "removed"
// line names, in the order of their lines, each with its last saved entry.
std::vector<CaptureEntry> PresentCaptures(const std::vector<CaptureEntry>& entries);

// The text of a SHA256SUMS file over (hash, name) pairs.
std::string ChecksumsText(const std::vector<std::pair<std::string, std::string>>& hashAndName);

// Rewrites SHA256SUMS of folder from its manifest (complete or not at all). False with the
// reason.
bool WriteFolderChecksums(const std::string& folder, std::string* error);

// The SHA-256 of a file, as lower-case hex, read in pieces; none when it cannot be read. size
// receives its length.
std::optional<std::string> FileSha256(const std::string& fileName, long long* size = nullptr);
// The SHA-256 of bytes, as lower-case hex.
std::string BytesSha256(std::string_view bytes);
