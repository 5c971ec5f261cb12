// Records that name the same page in a big report: finding the groups (one pass with a hash
// map of address keys), and keeping one record of each group. Every tenth record has a twin at
// the end of the report, its address written another way.
#include "ReportData.h"

#include "report/Duplicates.h"
#include "tree/TQelPigger.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

namespace {

std::unique_ptr<TQelPigger> reportWithTwins(int records) {
    auto doc = bench::MakeReport(records);
    TQelPigger* urls = doc->FindChild(ReportKeys::Urls);
    for (int i = 0; i < records; i += 10) {
        TQelPigger* twin = urls->AddChild(RecordFields::Listing);
        twin->SetAttr(RecordFields::Url, bench::RecordUrl(i) + "?utm_source=feed#top");
    }
    return doc;
}

void BM_FindDuplicates(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    const auto doc = reportWithTwins(n);
    TQelPigger* urls = doc->FindChild(ReportKeys::Urls);
    for (auto _ : state)
        benchmark::DoNotOptimize(FindDuplicates(urls));
    state.counters["groups"] = static_cast<double>(FindDuplicates(urls).size());
    state.SetComplexityN(n);
}

// The dialog's "Keep the chosen ones" with every suggestion taken.
void BM_KeepOneOfEachGroup(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    std::unique_ptr<TQelPigger> doc;
    for (auto _ : state) {
        state.PauseTiming();
        doc = reportWithTwins(n);
        TQelPigger* urls = doc->FindChild(ReportKeys::Urls);
        state.ResumeTiming();
        const std::vector<DuplicateGroup> groups = FindDuplicates(urls);
        std::vector<std::size_t> keep;
        for (const DuplicateGroup& group : groups)
            keep.push_back(SuggestedKeep(group));
        benchmark::DoNotOptimize(KeepChosen(urls, groups, keep));
    }
    state.SetComplexityN(n);
}

} // namespace

BENCHMARK(BM_FindDuplicates)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_KeepOneOfEachGroup)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
