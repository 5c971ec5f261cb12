// Feed replies built to make the "<<TERMS>>" markers expensive: the time per MB of reply stays
// the same from 1 MB to 32 MB, and a whole reply of the largest size the transfer takes (64 MB)
// is processed, from the body to the harvested report, in a fraction of a second (on the
// thread of the window, where replies are processed).
#include "report/ReportLayout.h"
#include "report/ReportRecords.h"
#include "search/FeedReply.h"
#include "tree/TQelPigger.h"

#include <benchmark/benchmark.h>

#include <malloc.h>

#include <string>

namespace {

constexpr size_t MB = size_t(1) << 20;

std::string Repeat(std::string_view piece, size_t bytes) {
    std::string out;
    out.reserve(bytes + piece.size());
    while (out.size() + piece.size() <= bytes)
        out += piece;
    return out;
}

// The shapes, text and terms together about `bytes` long.
struct Shape {
    std::string text;
    std::string terms;
};

// "<<" n times, then "TERMS>>" n times: every pass replaces the innermost marker only.
Shape Nested(size_t bytes) {
    const size_t n = bytes / 9;
    return {Repeat("<<", 2 * n) + Repeat("TERMS>>", 7 * n), ""};
}

// "<<TER" n times and one marker: the terms finish the marker before them, pass after pass,
// and leave an "x" behind each time.
Shape RebuiltByTerms(size_t bytes) {
    return {Repeat("<<TER", bytes - 9) + "<<TERMS>>", "MS>>x"};
}

// Unfinished markers of two kinds in turn: the terms finish each with their first or with
// their first two characters, so that the rest of every copy of the terms waits on another.
Shape Alternating(size_t bytes) {
    return {Repeat("<<TERMS><<TERMS", bytes - 9) + "<<TERMS>>", ">>x"};
}

// A quarter of the reply is terms, the rest a marker every ten bytes: they would make
// gigabytes to terabytes of text.
Shape Growing(size_t bytes) {
    return {Repeat("<<TERMS>>x", bytes - bytes / 4), std::string(bytes / 4, 'a')};
}

using ShapeMaker = Shape (*)(size_t);

void Replace(benchmark::State& state, ShapeMaker make, bool refused) {
    const Shape shape = make(static_cast<size_t>(state.range(0)) * MB);
    for (auto _ : state) {
        std::string text;
        const bool done = ReplaceTermsMarkers(shape.text, shape.terms, text, 64 * MB);
        if (done == refused)
            state.SkipWithError("unexpected outcome");
        benchmark::DoNotOptimize(text.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(shape.text.size()));
}

void BM_MarkersNested(benchmark::State& state) {
    Replace(state, &Nested, false);
}
void BM_MarkersRebuiltByTerms(benchmark::State& state) {
    Replace(state, &RebuiltByTerms, false);
}
void BM_MarkersAlternating(benchmark::State& state) {
    Replace(state, &Alternating, false);
}
// Refused once 64 MB are written, whatever the reply's size.
void BM_MarkersGrowing(benchmark::State& state) {
    Replace(state, &Growing, true);
}

// A whole reply of 64 MB as the window gets it: lines, the checks, the markers, the tree and
// the harvest into an empty report.
void Whole(benchmark::State& state, ShapeMaker make) {
    const Shape shape = make(64 * MB - 128);
    // The terms in their element, the shape inside a listing's title, the mark at the end.
    const std::string body = "<dsxout><terms>" + shape.terms +
                             "</terms><results><listing><url>http://x.example/</url><title>" +
                             shape.text + "</title></listing></results></dsxout>";
    int added = 0;
    for (auto _ : state) {
        TQelPigger doc;
        doc.SetName(ReportKeys::Root);
        TQelPigger* urls = doc.AddChild(ReportKeys::Urls);
        ReportRecords records;
        FeedReply reply;
        reply.Load(body);
        added = reply.ParseReply([](const std::string&) {})
                    ? reply.HarvestListings([&](const std::string& t, const std::string& d,
                                                const std::string& u, const std::string& r) {
                          return records.AddListing(urls, t, d, u, r);
                      })
                    : 0;
        benchmark::DoNotOptimize(added);
    }
    state.counters["added"] = added;
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(body.size()));
}

void BM_WholeReply64MB_Nested(benchmark::State& state) {
    Whole(state, &Nested);
}
void BM_WholeReply64MB_RebuiltByTerms(benchmark::State& state) {
    Whole(state, &RebuiltByTerms);
}
void BM_WholeReply64MB_Alternating(benchmark::State& state) {
    Whole(state, &Alternating);
}
void BM_WholeReply64MB_Growing(benchmark::State& state) {
    Whole(state, &Growing);
}

void Sizes(benchmark::internal::Benchmark* b) {
    b->RangeMultiplier(2)->Range(1, 32)->Unit(benchmark::kMillisecond);
}

} // namespace

BENCHMARK(BM_MarkersNested)->Apply(Sizes);
BENCHMARK(BM_MarkersRebuiltByTerms)->Apply(Sizes);
BENCHMARK(BM_MarkersAlternating)->Apply(Sizes);
BENCHMARK(BM_MarkersGrowing)->Apply(Sizes);
BENCHMARK(BM_WholeReply64MB_Nested)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WholeReply64MB_RebuiltByTerms)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WholeReply64MB_Alternating)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WholeReply64MB_Growing)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    // Every buffer of 128 KB and more comes new from the system and goes back to it when freed,
    // as the buffers of a large reply do in the program: the small sizes do not get the large
    // ones' memory back warm.
    mallopt(M_MMAP_THRESHOLD, 128 * 1024);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
