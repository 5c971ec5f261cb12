#include "exchange/Export.h"

#include "tree/FileBoundary.h"

std::optional<ExportFormat> ExportFormatNamed(std::string_view name) {
    if (name == "html")
        return ExportFormat::Html;
    if (name == "csv")
        return ExportFormat::Csv;
    if (name == "json")
        return ExportFormat::Json;
    if (name == "bookmarks")
        return ExportFormat::Bookmarks;
    if (name == "package")
        return ExportFormat::Package;
    return std::nullopt;
}

QByteArray ExportReport(const TQelPigger& doc, ExportFormat format, bool checkedOnly) {
    const ExchangeReport report = ReadExchangeReport(doc, checkedOnly);
    switch (format) {
    case ExportFormat::Html:
    case ExportFormat::Package:
        return ExportHtml(report);
    case ExportFormat::Csv:
        return ExportCsv(report);
    case ExportFormat::Json:
        return ExportJson(report);
    case ExportFormat::Bookmarks:
        return ExportBookmarks(report);
    }
    return {};
}

bool ExportReportToFile(const TQelPigger& doc, ExportFormat format, bool checkedOnly,
                        const std::string& fileName, std::string* error) {
    const QByteArray bytes = ExportReport(doc, format, checkedOnly);
    return WriteFileAtomically(
        fileName,
        [&bytes](const FileSink& sink) {
            return sink(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
        },
        FilePermissions::Usual, error);
}
