#include "exchange/Import.h"

#include "exchange/TreeText.h"
#include "report/ReportLayout.h"
#include "report/ReportRecords.h"
#include "tree/TQelPigger.h"
#include "tree/TreeFile.h"

#include <QFile>
#include <QFileInfo>

std::optional<ImportFormat> ImportFormatNamed(std::string_view name) {
    if (name == "bookmarks")
        return ImportFormat::Bookmarks;
    if (name == "csv")
        return ImportFormat::Csv;
    if (name == "json")
        return ImportFormat::Json;
    if (name == "text")
        return ImportFormat::Text;
    return std::nullopt;
}

ImportFormat GuessImportFormat(const std::string& fileName, const QByteArray& bytes) {
    const QString suffix = QFileInfo(QFile::decodeName(fileName.c_str())).suffix().toLower();
    if (suffix == "html" || suffix == "htm")
        return ImportFormat::Bookmarks;
    if (suffix == "csv")
        return ImportFormat::Csv;
    if (suffix == "json")
        return ImportFormat::Json;
    if (suffix == "txt")
        return ImportFormat::Text;
    QByteArray start = bytes.left(4096);
    if (start.startsWith("\xEF\xBB\xBF"))
        start.remove(0, 3);
    start = start.trimmed();
    if (start.startsWith('<'))
        return ImportFormat::Bookmarks;
    if (start.startsWith('{'))
        return ImportFormat::Json;
    // A header line that names a url column among others.
    const QByteArray firstLine = start.left(start.indexOf('\n')).trimmed().toLower();
    if ((firstLine.contains(',') || firstLine.contains(';')) && firstLine.contains("url"))
        return ImportFormat::Csv;
    return ImportFormat::Text;
}

std::vector<ExchangeRecord> ReadImport(const QByteArray& bytes, ImportFormat format) {
    switch (format) {
    case ImportFormat::Bookmarks:
        return ReadBookmarks(bytes);
    case ImportFormat::Csv:
        return ReadCsv(bytes);
    case ImportFormat::Json:
        return ReadJson(bytes);
    case ImportFormat::Text:
        return ReadAddressList(bytes);
    }
    return {};
}

std::vector<ExchangeRecord> ReadImportFile(const std::string& fileName,
                                           std::optional<ImportFormat> format) {
    QFile file(QFile::decodeName(fileName.c_str()));
    if (QFileInfo(file).isDir())
        throw ImportError(fileName + ": is a folder");
    if (const WholeFileCheck check = CheckWholeFile(fileName);
        check.refusal != WholeFileCheck::None)
        throw ImportError(fileName + ": " + check.reason);
    if (!file.open(QIODevice::ReadOnly))
        throw ImportError(fileName + ": " + file.errorString().toStdString());
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw ImportError(fileName + ": " + file.errorString().toStdString());
    try {
        return ReadImport(bytes, format ? *format : GuessImportFormat(fileName, bytes));
    } catch (const ImportError& e) {
        throw ImportError(fileName + ": " + e.what());
    }
}

ImportCounts ImportPages(TQelPigger* urls, ReportRecords& records,
                         const std::vector<ExchangeRecord>& pages) {
    ImportCounts counts;
    if (!urls)
        return counts;
    // Ticks are set once all records are in: a changed attribute makes the address index
    // start again.
    std::vector<TQelPigger*> ticked;
    for (const ExchangeRecord& page : pages) {
        const std::string url = TreeBytes(page.url.trimmed());
        if (url.empty())
            continue;
        if (records.FindListing(urls, url)) {
            ++counts.present;
            continue;
        }
        const QString redirect = page.redirect.trimmed().isEmpty() ? page.url : page.redirect;
        records.AddListing(urls, TreeBytes(page.title), TreeBytes(page.description), url,
                           TreeBytes(redirect.trimmed()));
        if (page.checked)
            if (TQelPigger* record = records.FindListing(urls, url))
                ticked.push_back(record);
        ++counts.added;
    }
    for (TQelPigger* record : ticked)
        record->SetAttr(RecordFields::Check, RecordFields::Checked);
    return counts;
}

std::string ImportSummary(const ImportCounts& counts) {
    return "Imported " + std::to_string(counts.added) + " new records; " +
           std::to_string(counts.present) + " were already in the report.";
}
