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
    WholeFile file;
    std::string reason;
    if (!file.Read(fileName, &reason))
        throw ImportError(reason);
    const QByteArray bytes =
        QByteArray::fromRawData(file.data(), static_cast<qsizetype>(file.size()));
    try {
        return ReadImport(bytes, format ? *format : GuessImportFormat(fileName, bytes));
    } catch (const ImportError& e) {
        throw ImportError(fileName + ": " + e.what());
    }
}

namespace {

// An address as a record keeps it: without blanks, control characters or invisible format
// characters (such as a byte-order mark) around it.
QString trimmedAddress(const QString& address) {
    const auto blank = [](QChar c) {
        return c.isSpace() || c.unicode() <= 32 || c.category() == QChar::Other_Format;
    };
    qsizetype first = 0, last = address.size();
    while (first < last && blank(address[first]))
        ++first;
    while (last > first && blank(address[last - 1]))
        --last;
    return address.mid(first, last - first);
}

} // namespace

bool IsPageAddress(const QString& address) {
    const QString text = trimmedAddress(address);
    // A scheme: a letter, then letters, digits, "+", "-" or ".", up to a colon.
    qsizetype colon = -1;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        const bool letter = (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
        const bool other = (c >= u'0' && c <= u'9') || c == u'+' || c == u'-' || c == u'.';
        if (c == u':')
            colon = i;
        if (!(letter || (i > 0 && other)))
            break;
    }
    if (colon < 0)
        return true;
    const QString scheme = text.left(colon).toLower();
    if (scheme == "http" || scheme == "https" || scheme == "ftp" || scheme == "file")
        return true;
    // No scheme but a host name and its port: digits up to the path, query or fragment.
    if (scheme != "localhost" && !scheme.contains('.'))
        return false;
    qsizetype end = colon + 1;
    while (end < text.size() && text[end] >= u'0' && text[end] <= u'9')
        ++end;
    return end > colon + 1 && (end == text.size() || QStringLiteral("/?#").contains(text[end]));
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
        const std::string url = TreeBytes(trimmedAddress(page.url));
        if (url.empty())
            continue;
        if (!IsPageAddress(page.url)) {
            ++counts.skipped;
            continue;
        }
        if (records.FindListing(urls, url)) {
            ++counts.present;
            continue;
        }
        const bool ownRedirect =
            !trimmedAddress(page.redirect).isEmpty() && IsPageAddress(page.redirect);
        const QString redirect = ownRedirect ? page.redirect : page.url;
        records.AddListing(urls, TreeBytes(page.title), TreeBytes(page.description), url,
                           TreeBytes(trimmedAddress(redirect)));
        if (page.checked)
            if (TQelPigger* record = records.FindListing(urls, url))
                ticked.push_back(record);
        ++counts.added;
    }
    for (TQelPigger* record : ticked)
        record->SetAttr(RecordFields::Check, RecordFields::Checked);
    return counts;
}

namespace {

std::string counted(int n, const char* one, const char* many) {
    return std::to_string(n) + (n == 1 ? one : many);
}

} // namespace

std::string ImportSummary(const ImportCounts& counts) {
    std::string line =
        "Imported " + counted(counts.added, " new record", " new records") + "; " +
        counted(counts.present, " was already in the report", " were already in the report");
    if (counts.skipped > 0)
        line += "; " + counted(counts.skipped, " was skipped (not a web address)",
                               " were skipped (not web addresses)");
    return line + ".";
}
