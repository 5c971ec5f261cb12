// Reports and records for the export and import tests.
#pragma once

#include "exchange/ExchangeRecord.h"
#include "report/ReportInfo.h"
#include "report/ReportLayout.h"
#include "report/ReportRecords.h"
#include "settings/core/AppInfo.h"
#include "tree/TQelPigger.h"

#include <string>
#include <vector>

struct SampleRecord {
    std::string url, title, description, redirect;
    bool checked;
};

// Records with everything that needs quoting or escaping somewhere.
inline std::vector<SampleRecord> AwkwardRecords() {
    return {
        {"http://a.example/?q=1&b=2", "Spades, \"forks\" & <rakes>",
         "Line one\r\nline two; with, commas", "http://r.example/a?x=\"1\"", true},
        {"https://b.example/stra\xc3\x9f"
         "e",
         "Gr\xc3\xbc\xc3\x9f"
         "e \xe2\x80\x94 \xe2\x9c\x93 'single'",
         "<b>not bold</b> &amp; kept",
         "https://b.example/stra\xc3\x9f"
         "e",
         false},
        {"http://c.example/", "", "", "", true},
        {"http://d.example/'q'", "Tab\there", "ends with a quote\"", "http://d.example/'q'", false},
    };
}

inline void AddSample(TQelPigger* urls, const SampleRecord& r) {
    ReportRecords records;
    records.AddListing(urls, r.title, r.description, r.url, r.redirect);
    if (r.checked)
        records.FindListing(urls, r.url)->SetAttr(RecordFields::Check, RecordFields::Checked);
}

// A report titled title with the records given.
inline void MakeSampleReport(TQelPigger& doc, const std::vector<SampleRecord>& records,
                             const std::string& title = "Garden & <tools> \"2026\"") {
    MakeNewReport(doc, AppInfo::Version);
    doc.SetAttr(ReportKeys::Title, title);
    doc.SetAttr(ReportKeys::Date, "12/6/26");
    doc.Text = "Suppliers of garden tools\r\nfound in December, <all> of them.";
    auto* urls = new TQelPigger(&doc);
    urls->SetName(ReportKeys::Urls);
    for (const SampleRecord& r : records)
        AddSample(urls, r);
}

inline std::vector<SampleRecord> RecordsOf(const TQelPigger& doc) {
    std::vector<SampleRecord> out;
    for (const ExchangeRecord& r : ReadExchangeReport(doc, false).records)
        out.push_back({r.url.toStdString(), r.title.toStdString(), r.description.toStdString(),
                       r.redirect.toStdString(), r.checked});
    return out;
}
