// The import readers on any bytes: the first byte chooses the format (bookmarks, CSV, JSON or
// a list of addresses), the rest is the file. The pages read are added to a report.
#include "FuzzCheck.h"
#include "exchange/Import.h"
#include "report/RecordRows.h"
#include "report/ReportLayout.h"
#include "report/ReportRecords.h"
#include "tree/TQelPigger.h"

#include <QByteArray>

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    static constexpr ImportFormat formats[] = {ImportFormat::Bookmarks, ImportFormat::Csv,
                                               ImportFormat::Json, ImportFormat::Text};
    const ImportFormat format = formats[data[0] % 4];
    const QByteArray bytes(reinterpret_cast<const char*>(data + 1),
                           static_cast<qsizetype>(size - 1));
    std::vector<ExchangeRecord> pages;
    try {
        pages = ReadImport(bytes, format);
    } catch (const ImportError&) {
        return 0;
    }
    TQelPigger report;
    report.SetName(ReportKeys::Root);
    TQelPigger* urls = report.AddChild(ReportKeys::Urls);
    ReportRecords records;
    const ImportCounts counts = ImportPages(urls, records, pages);
    FuzzCheck(counts.added >= 0 && counts.present >= 0 && counts.skipped >= 0 &&
                  static_cast<std::size_t>(counts.added + counts.present + counts.skipped) <=
                      pages.size(),
              "every page is counted once");
    FuzzCheck(urls->ChildCount() == counts.added, "every added page is a record");
    for (const TQelPigger* record : urls->Children())
        FuzzCheck(
            IsPageAddress(QString::fromStdString(record->GetAttr(RecordFields::Url))) &&
                IsPageAddress(QString::fromStdString(ChildText(record, RecordFields::Redirect))),
            "only page addresses become records");
    // A second import of the same pages adds nothing.
    const ImportCounts second = ImportPages(urls, records, pages);
    FuzzCheck(second.added == 0, "pages already imported are not added again");
    const std::string saved = report.GetAsText();
    TQelPigger reopened;
    reopened.SetAsText(saved);
    FuzzCheck(reopened.GetAsText() == saved, "the report with the imported pages reads back");
    return 0;
}
