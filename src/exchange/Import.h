// Reading pages from other programs' files (a browser's bookmarks, CSV, JSON, a plain list of
// addresses) and adding them to a report without touching the records it already has.
#pragma once

#include "exchange/ExchangeRecord.h"

#include <QByteArray>

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

class ReportRecords;
class TQelPigger;

enum class ImportFormat { Bookmarks, Csv, Json, Text };

// Raised for a file that cannot be read as the format asked for; the message says why.
class ImportError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// "bookmarks", "csv", "json" or "text".
std::optional<ImportFormat> ImportFormatNamed(std::string_view name);
// The format of a file, from its name's extension (.html, .htm, .csv, .json, .txt) or else
// from its first bytes.
ImportFormat GuessImportFormat(const std::string& fileName, const QByteArray& bytes);

// The pages of a file, in file order. Texts of bytes that are not UTF-8 are read as TreeText
// reads them.
std::vector<ExchangeRecord> ReadBookmarks(const QByteArray& bytes);
std::vector<ExchangeRecord> ReadCsv(const QByteArray& bytes);
std::vector<ExchangeRecord> ReadJson(const QByteArray& bytes);
std::vector<ExchangeRecord> ReadAddressList(const QByteArray& bytes);

std::vector<ExchangeRecord> ReadImport(const QByteArray& bytes, ImportFormat format);
// Reads fileName (in format, or the guessed one); throws ImportError: for a file that cannot be
// read with the file boundary's reason ("Cannot open file "NAME": why"), for its content with
// "NAME: why".
std::vector<ExchangeRecord> ReadImportFile(const std::string& fileName,
                                           std::optional<ImportFormat> format);

// Whether a browser opens the address as a page: an http, https, ftp or file address (the
// scheme in any letter case), or an address without a scheme, which a browser takes for http
// ("www.example.com", also with a port: "example.com:8080/x", "localhost:3000"). Bookmarklets
// ("javascript:"), "mailto:", "data:", "about:" and other schemes are not.
bool IsPageAddress(const QString& address);

struct ImportCounts {
    int added = 0;
    // Pages whose address was in the report already (also through an earlier line of the same
    // file).
    int present = 0;
    // Entries whose address is no page (IsPageAddress).
    int skipped = 0;
};

// Adds every page whose address (ignoring letter case) is not yet in urls as a new record:
// its title, description and redirect (the address itself when the page has none, or when
// its redirect is no page address) and the tick. Records already there are left as they are;
// entries whose address is no page are skipped.
ImportCounts ImportPages(TQelPigger* urls, ReportRecords& records,
                         const std::vector<ExchangeRecord>& pages);

// One line for the command-line tool and the program's message: "Imported 2 new records; 1
// was already in the report; 3 were skipped (not web addresses)." The skipped part is left
// out when nothing was skipped.
std::string ImportSummary(const ImportCounts& counts);
