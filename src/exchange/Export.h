// Writing a report in the formats other programs read: a web page, CSV, JSON and a browser's
// bookmark file.
#pragma once

#include "exchange/ExchangeRecord.h"

#include <QByteArray>

#include <optional>
#include <string>
#include <string_view>

class TQelPigger;

// Package is the evidence package, a folder (see ExportPackage.h); as one file it is the web
// page alone.
enum class ExportFormat { Html, Csv, Json, Bookmarks, Package };

// "html", "csv", "json", "bookmarks" or "package".
std::optional<ExportFormat> ExportFormatNamed(std::string_view name);

// The file of each format, as UTF-8 bytes.
QByteArray ExportHtml(const ExchangeReport& report);
QByteArray ExportCsv(const ExchangeReport& report);
QByteArray ExportJson(const ExchangeReport& report);
QByteArray ExportBookmarks(const ExchangeReport& report);

QByteArray ExportReport(const TQelPigger& doc, ExportFormat format, bool checkedOnly);

// Writes the export to fileName (complete or not at all, see WriteFileAtomically); false with
// the reason in error ("Cannot create file "NAME": why" or "Cannot write file "NAME": why").
bool ExportReportToFile(const TQelPigger& doc, ExportFormat format, bool checkedOnly,
                        const std::string& fileName, std::string* error);
