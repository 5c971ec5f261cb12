#include "exchange/ExchangeRecord.h"

#include "exchange/TreeText.h"
#include "report/RecordRows.h"
#include "report/ReportLayout.h"
#include "tree/TQelPigger.h"

ExchangeReport ReadExchangeReport(const TQelPigger& doc, bool checkedOnly) {
    ExchangeReport report;
    report.title = TreeText(TrimBlanks(doc.GetAttr(ReportKeys::Title)));
    report.date = TreeText(doc.GetAttr(ReportKeys::Date));
    report.description = TreeText(doc.Text);
    const TQelPigger* urls = doc.FindChild(ReportKeys::Urls);
    if (!urls)
        return report;
    for (const TQelPigger* node : urls->Children()) {
        if (node->Name() != RecordFields::Listing)
            continue;
        ExchangeRecord record;
        record.checked = node->AttrRef(RecordFields::Check) == RecordFields::Checked;
        if (checkedOnly && !record.checked)
            continue;
        record.url = TreeText(node->AttrRef(RecordFields::Url));
        record.title = TreeText(ChildText(node, RecordFields::Title));
        record.description = TreeText(ChildText(node, RecordFields::Description));
        record.redirect = TreeText(ChildText(node, RecordFields::Redirect));
        report.records.push_back(std::move(record));
    }
    return report;
}
