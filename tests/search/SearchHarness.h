// A search run over a report tree of its own, with the log lines it wrote.
#pragma once

#include "report/ReportLayout.h"
#include "report/ReportRecords.h"
#include "search/SearchRun.h"
#include "tree/TQelPigger.h"

#include <functional>
#include <string>
#include <vector>

// A report tree that a run fills, what the run's hooks count, and what the tests read of it.
struct RunReport {
    explicit RunReport(ProxyValues proxyValues) : proxy(std::move(proxyValues)) {
        doc.SetName(ReportKeys::Root);
        urls = new TQelPigger(&doc);
        urls->SetName(ReportKeys::Urls);
    }

    SearchLog LogHook() {
        return [this](const std::string& line) { log.push_back(line); };
    }
    std::function<ProxyValues()> ProxyHook() {
        return [this] {
            ++proxyCalls;
            return proxy;
        };
    }
    ListingSink AddHook() {
        return [this](const std::string& t, const std::string& d, const std::string& u,
                      const std::string& r) {
            ++added;
            return records.AddListing(urls, t, d, u, r);
        };
    }
    std::function<void()> NoKeywordsHook() {
        return [this] { ++noKeywords; };
    }

    std::vector<std::string> Addresses() const {
        std::vector<std::string> out;
        for (const TQelPigger* r : urls->Children())
            out.push_back(r->GetAttr(RecordFields::Url));
        return out;
    }

    TQelPigger doc;
    TQelPigger* urls;
    ReportRecords records;
    ProxyValues proxy;
    std::vector<std::string> log;
    int proxyCalls = 0;
    int added = 0;
    int noKeywords = 0;
};

struct SearchHarness : RunReport {
    explicit SearchHarness(const std::string& feedHost, ProxyValues proxyValues = {})
        : RunReport(std::move(proxyValues)),
          run(SearchRun::Hooks{LogHook(), ProxyHook(), AddHook(), NoKeywordsHook(), {}}) {
        run.FeedHostText = feedHost;
    }

    // Runs over the keywords and waits for the end.
    void Run(const std::vector<std::string>& keywords) {
        run.Start(keywords);
        run.WaitForEnd();
    }

    const TQelPigger* Record(const std::string& url) { return records.FindListing(urls, url); }
    static std::string Field(const TQelPigger* record, const char* name) {
        const TQelPigger* c = record ? record->FindChild(name) : nullptr;
        return c ? c->Text.str() : std::string("<none>");
    }

    SearchRun run;
};
