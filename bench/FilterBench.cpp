// Filtering 100 000 records with a four-condition expression as the condition diagram writes
// it, once through the filter's evaluator and once through a hand-written loop that makes the
// same decisions directly. Both runs check that they pass the same records.
#include "filter/core/FilterFunctions.h"
#include "filter/core/FilterMatcher.h"
#include "filter/core/FilterText.h"
#include "tree/TQelPigger.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr int RecordCount = 100000;

const char* const Words[] = {"garden", "Tools",  "spade", "rake",   "Hose",    "seeds",   "lawn",
                             "mower",  "Shovel", "fork",  "gloves", "planter", "Compost", "trowel",
                             "pruner", "hedge",  "water", "soil",   "Fence",   "shed"};

std::string sentence(std::mt19937& rng, int words) {
    std::uniform_int_distribution<int> pick(0, static_cast<int>(std::size(Words)) - 1);
    std::string s;
    for (int i = 0; i < words; ++i) {
        if (i)
            s += ' ';
        s += Words[pick(rng)];
    }
    return s;
}

// The report's URLS element with RecordCount records of random titles, descriptions and ticks.
TQelPigger& records() {
    static TQelPigger* urls = [] {
        auto* root = new TQelPigger;
        root->SetName("QRL");
        auto* u = root->AddChild("URLS");
        std::mt19937 rng(12345);
        for (int i = 0; i < RecordCount; ++i) {
            auto* rec = u->AddChild("LISTING");
            rec->SetAttr("URL", "http://example.com/page" + std::to_string(i));
            if (rng() % 3 == 0)
                rec->SetAttr("CHK", "Y");
            auto* title = rec->AddChild("TITLE");
            title->Text = sentence(rng, 3);
            auto* desc = rec->AddChild("DESCRIPTION");
            desc->Text = sentence(rng, 8);
            auto* redirect = rec->AddChild("REDIRECT");
            redirect->Text = rec->GetAttr("URL");
        }
        return u;
    }();
    return *urls;
}

// The text the diagram writes for four overlapping circles with two pins: one in the first two
// circles only, one outside every circle.
std::string generatedExpression() {
    const std::string b1 = "EXISTS('GARDEN')", b2 = "EXISTS('TOOLS')",
                      b3 = "RECORD_STATE('IS_CHECKED')", b4 = "EXISTS('SPADE')";
    const std::string p = "(" + b1 + ")\n && (" + b2 + ")\n && !(" + b3 + ")\n && !(" + b4 + ")";
    const std::string q = "!(" + b1 + ") && !(" + b2 + ") && !(" + b3 + ") && !(" + b4 + ")";
    return "(" + p + ") \n|| (" + q + ")";
}

bool has(const std::string& upperTitle, const std::string& upperDescription, const char* word) {
    return upperTitle.find(word) != std::string::npos ||
           upperDescription.find(word) != std::string::npos;
}

// The same decisions, written by hand.
bool handMatches(const TQelPigger* record) {
    const TQelPigger* title = record->FindChild("TITLE");
    const TQelPigger* desc = record->FindChild("DESCRIPTION");
    static std::string t, d;
    UpperForFilter(title ? std::string_view(title->Text) : std::string_view(), t);
    UpperForFilter(desc ? std::string_view(desc->Text) : std::string_view(), d);
    const bool garden = has(t, d, "GARDEN"), tools = has(t, d, "TOOLS"), spade = has(t, d, "SPADE");
    const bool checked = record->AttrRef("CHK") == "Y";
    return (garden && tools && !checked && !spade) || (!garden && !tools && !checked && !spade);
}

int expectedCount() {
    static const int count = [] {
        int n = 0;
        for (const TQelPigger* r : records().Children())
            n += handMatches(r);
        return n;
    }();
    return count;
}

void check(int passed, benchmark::State& state) {
    if (passed != expectedCount())
        state.SkipWithError("the evaluator and the hand-written loop disagree");
}

void BM_FilterEvaluator(benchmark::State& state) {
    TFilterMatcher filter;
    filter.ExprText = generatedExpression();
    const auto& children = records().Children();
    for (auto _ : state) {
        int passed = 0;
        for (const TQelPigger* r : children)
            passed += filter.Matches(r);
        benchmark::DoNotOptimize(passed);
        check(passed, state);
    }
    state.SetItemsProcessed(state.iterations() * RecordCount);
}

void BM_FilterHandWritten(benchmark::State& state) {
    const auto& children = records().Children();
    for (auto _ : state) {
        int passed = 0;
        for (const TQelPigger* r : children)
            passed += handMatches(r);
        benchmark::DoNotOptimize(passed);
        check(passed, state);
    }
    state.SetItemsProcessed(state.iterations() * RecordCount);
}

// Both passes one after the other in every iteration, so that both see the same load on a
// shared machine; reports their times and the ratio.
void BM_FilterRatio(benchmark::State& state) {
    using Clock = std::chrono::steady_clock;
    TFilterMatcher filter;
    filter.ExprText = generatedExpression();
    const auto& children = records().Children();
    double evaluator = 0, hand = 0;
    for (auto _ : state) {
        int passed = 0;
        const auto t0 = Clock::now();
        for (const TQelPigger* r : children)
            passed += filter.Matches(r);
        const auto t1 = Clock::now();
        for (const TQelPigger* r : children)
            passed -= handMatches(r);
        const auto t2 = Clock::now();
        benchmark::DoNotOptimize(passed);
        if (passed != 0)
            state.SkipWithError("the evaluator and the hand-written loop disagree");
        evaluator += std::chrono::duration<double, std::milli>(t1 - t0).count();
        hand += std::chrono::duration<double, std::milli>(t2 - t1).count();
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["evaluator_ms"] = evaluator / n;
    state.counters["hand_ms"] = hand / n;
    state.counters["ratio"] = evaluator / hand;
}

BENCHMARK(BM_FilterEvaluator)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FilterHandWritten)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FilterRatio)->Unit(benchmark::kMillisecond)->MinTime(3.0);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    RegisterExpressionFunctions();
    benchmark::Initialize(&argc, argv);
    std::printf("expression:\n%s\nrecords passing: %d of %d\n", generatedExpression().c_str(),
                expectedCount(), RecordCount);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
