// A search run over a report tree of its own, with the log lines it wrote.
#pragma once

#include "report/ReportLayout.h"
#include "report/ReportRecords.h"
#include "search/SearchRun.h"
#include "tree/TQelPigger.h"

#include <string>
#include <vector>

struct SearchHarness {
    explicit SearchHarness(const std::string& feedHost, ProxyValues proxyValues = {})
        : proxy(std::move(proxyValues)),
          run(SearchRun::Hooks{[this](const std::string& line) { log.push_back(line); },
                               [this] {
                                   ++proxyCalls;
                                   return proxy;
                               },
                               [this](const std::string& t, const std::string& d,
                                      const std::string& u, const std::string& r) {
                                   ++added;
                                   return records.AddListing(urls, t, d, u, r);
                               },
                               [this] { ++noKeywords; },
                               {}}) {
        doc.SetName(ReportKeys::Root);
        urls = new TQelPigger(&doc);
        urls->SetName(ReportKeys::Urls);
        run.FeedHostText = feedHost;
    }

    // Runs over the keywords and waits for the end.
    void Run(const std::vector<std::string>& keywords) {
        run.Start(keywords);
        run.WaitForEnd();
    }

    std::vector<std::string> Addresses() const {
        std::vector<std::string> out;
        for (const TQelPigger* r : urls->Children())
            out.push_back(r->GetAttr(RecordFields::Url));
        return out;
    }
    const TQelPigger* Record(const std::string& url) { return records.FindListing(urls, url); }
    static std::string Field(const TQelPigger* record, const char* name) {
        const TQelPigger* c = record ? record->FindChild(name) : nullptr;
        return c ? c->Text.str() : std::string("<none>");
    }

    TQelPigger doc;
    TQelPigger* urls;
    ReportRecords records;
    ProxyValues proxy;
    std::vector<std::string> log;
    int proxyCalls = 0;
    int added = 0;
    int noKeywords = 0;
    SearchRun run;
};
