// Report data for benchmarks: records as the automatic search makes them (an address of mixed
// letter case, a title, a description of a few sentences, the feed's click-through address,
// every fourth one ticked), about 530 bytes each in the file.
#pragma once

#include "report/ReportLayout.h"
#include "tree/TQelPigger.h"

#include <memory>
#include <string>

namespace bench {

inline std::string RecordUrl(int i) {
    static const char* const hosts[] = {"www.Garden-Tools", "shop.Example", "News.Paper",
                                        "blog.SomeOne", "WIKI.example"};
    std::string url = "http://";
    url += hosts[i % 5];
    url += std::to_string(i % 977);
    url += ".com/Catalogue/Item";
    url += std::to_string(i);
    // One address in a hundred has letters beyond ASCII.
    url += (i % 100 == 7) ? "/Gr\xC3\xBC\xC3\x9F"
                            "e.html"
                          : "/index.HTML";
    return url;
}

// A record under urls, as AddListing leaves it.
inline TQelPigger* AddRecord(TQelPigger* urls, int i) {
    TQelPigger* rec = urls->AddChild(RecordFields::Listing);
    rec->SetAttr(RecordFields::Url, RecordUrl(i));
    if (i % 4 == 0)
        rec->SetAttr(RecordFields::Check, RecordFields::Checked);
    const std::string n = std::to_string(i);
    rec->AddChild(RecordFields::Title)->Text =
        "Spades, forks and rakes for every garden - offer number " + n;
    rec->AddChild(RecordFields::Description)->Text =
        "Record " + n +
        ": hand-forged garden tools with ash handles, delivered within three days. Compare "
        "prices, read the reviews of other gardeners and order online with free returns "
        "within thirty days of delivery.";
    rec->AddChild(RecordFields::Redirect)->Text =
        "http://feed.example.net/click?campaign=spring&position=" + n +
        "&target=" + std::to_string(i * 7919 % 100003);
    return rec;
}

// A report root (QRL with its URLS container) of that many records.
inline std::unique_ptr<TQelPigger> MakeReport(int records) {
    auto doc = std::make_unique<TQelPigger>();
    doc->SetName(ReportKeys::Root);
    doc->SetAttr(ReportKeys::Version, "1.0");
    doc->SetAttr(ReportKeys::Title, "Garden tools");
    TQelPigger* urls = doc->AddChild(ReportKeys::Urls);
    for (int i = 0; i < records; ++i)
        AddRecord(urls, i);
    return doc;
}

} // namespace bench
