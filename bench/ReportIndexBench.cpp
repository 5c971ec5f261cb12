// The address index of a report's records: building it (the first FindListing), the first
// AddListing after a report was read from its text, and keeping it current when the user ticks
// a record, edits an address or deletes a record between two additions. The counter
// "rebuilds" is how often an iteration made the whole index anew.
#include "ReportData.h"

#include "report/ReportRecords.h"
#include "tree/TQelPigger.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

namespace {

TQelPigger* urlsOf(TQelPigger& doc) {
    return doc.FindChild(ReportKeys::Urls);
}

void BM_IndexBuild(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    const auto doc = bench::MakeReport(n);
    TQelPigger* urls = urlsOf(*doc);
    const std::string wanted = bench::RecordUrl(n / 2);
    for (auto _ : state) {
        ReportRecords records;
        benchmark::DoNotOptimize(records.FindListing(urls, wanted));
    }
    state.SetComplexityN(n);
}

// A report read from its text, then the first record the search brings.
void BM_FirstAddListingAfterLoad(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    TQelPigger doc;
    doc.SetAsText(bench::MakeReport(n)->GetAsText());
    TQelPigger* urls = urlsOf(doc);
    int fresh = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto records = std::make_unique<ReportRecords>();
        const std::string url = "http://new.example/" + std::to_string(fresh++);
        state.ResumeTiming();
        records->AddListing(urls, "title", "description", url, url);
        state.PauseTiming();
        urls->DeleteChild(urls->ChildCount() - 1);
        records.reset();
        state.ResumeTiming();
    }
    state.SetComplexityN(n);
}

// Between two results of a search the user changes one record; the second result refreshes a
// record that is already there.
enum class Change { Tick, EditAddress, Delete };

void changeThenAddListing(benchmark::State& state, Change change) {
    const int n = static_cast<int>(state.range(0));
    const auto doc = bench::MakeReport(n);
    TQelPigger* urls = urlsOf(*doc);
    ReportRecords records;
    records.FindListing(urls, "");
    const int before = records.Rebuilds();
    int i = 0;
    for (auto _ : state) {
        TQelPigger* record = urls->Child((i * 7919) % urls->ChildCount());
        switch (change) {
        case Change::Tick:
            record->SetAttr(RecordFields::Check,
                            record->AttrRef(RecordFields::Check).empty() ? "Y" : "");
            break;
        case Change::EditAddress:
            record->SetAttr(RecordFields::Url, "http://edited.example/" + std::to_string(i));
            break;
        case Change::Delete:
            delete record;
            break;
        }
        const std::string url = bench::RecordUrl((i * 104729) % n);
        records.AddListing(urls, "title", "description", url, url);
        ++i;
    }
    state.counters["rebuilds"] =
        benchmark::Counter(records.Rebuilds() - before, benchmark::Counter::kAvgIterations);
    state.SetComplexityN(n);
}

void BM_TickThenAddListing(benchmark::State& state) {
    changeThenAddListing(state, Change::Tick);
}
void BM_EditAddressThenAddListing(benchmark::State& state) {
    changeThenAddListing(state, Change::EditAddress);
}
void BM_DeleteThenAddListing(benchmark::State& state) {
    changeThenAddListing(state, Change::Delete);
}

} // namespace

BENCHMARK(BM_IndexBuild)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();
BENCHMARK(BM_FirstAddListingAfterLoad)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TickThenAddListing)->Arg(10000)->Arg(100000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_EditAddressThenAddListing)->Arg(10000)->Arg(100000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DeleteThenAddListing)->Arg(10000)->Arg(100000)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
