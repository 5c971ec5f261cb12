// Reading a feed reply of 10 000 listings and adding them to a report: into an empty report
// against into one that already holds 100 000 records. Bytes processed are those of the reply.
#include "report/ReportLayout.h"
#include "report/ReportRecords.h"
#include "search/FeedReply.h"
#include "tree/TQelPigger.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

constexpr int ReplyListings = 10000;

std::string MakeReply() {
    std::string r = "<dsxout>\r\n<terms>travel</terms>\r\n<results>\r\n";
    for (int i = 0; i < ReplyListings; ++i) {
        const std::string n = std::to_string(i);
        r += "<listing><title>Travel offer " + n + " for <<TERMS>></title><description>Cheap " +
             "flights and hotels, offer number " + n +
             ", book today</description><url>http://www." + "travel-" + n +
             ".example/offers/</url><redirect>http://click.feed.example/?to=www." + "travel-" + n +
             ".example</redirect></listing>\r\n";
    }
    return r + "</results>\r\n</dsxout>\r\n";
}

const std::string& Reply() {
    static const std::string reply = MakeReply();
    return reply;
}

struct Report {
    explicit Report(int count) {
        doc.SetName(ReportKeys::Root);
        urls = new TQelPigger(&doc);
        urls->SetName(ReportKeys::Urls);
        for (int i = 0; i < count; ++i)
            records.AddListing(urls, "Kept page", "A page of the report",
                               "http://www.kept-" + std::to_string(i) + ".example/",
                               "http://www.kept.example/");
    }
    // Takes the records of the last harvest out again, and brings the index up to date.
    void Reset(int count) {
        while (urls->ChildCount() > count)
            urls->DeleteChild(urls->ChildCount() - 1);
        records.FindListing(urls, "http://none.example/");
    }
    TQelPigger doc;
    TQelPigger* urls;
    ReportRecords records;
};

void Harvest(benchmark::State& state, int existing) {
    Report report(existing);
    FeedReply reply;
    int added = 0;
    for (auto _ : state) {
        reply.Load(Reply());
        reply.ParseReply([](const std::string&) {});
        added = reply.HarvestListings([&](const std::string& t, const std::string& d,
                                          const std::string& u, const std::string& r) {
            return report.records.AddListing(report.urls, t, d, u, r);
        });
        state.PauseTiming();
        if (added != ReplyListings)
            state.SkipWithError("listings were not added");
        report.Reset(existing);
        state.ResumeTiming();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(Reply().size()));
}

void BM_HarvestIntoEmptyReport(benchmark::State& state) {
    Harvest(state, 0);
}
void BM_HarvestInto100kReport(benchmark::State& state) {
    Harvest(state, 100000);
}

// The reply alone: line splitting, the checks, the markers and the tree.
void BM_ParseReply(benchmark::State& state) {
    FeedReply reply;
    for (auto _ : state) {
        reply.Load(Reply());
        reply.ParseReply([](const std::string&) {});
        benchmark::DoNotOptimize(reply.ReplyTree.ChildCount());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(Reply().size()));
}

} // namespace

BENCHMARK(BM_HarvestIntoEmptyReport)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HarvestInto100kReport)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ParseReply)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
