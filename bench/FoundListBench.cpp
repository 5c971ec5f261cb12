// The found URL list on large reports: fill, rebuild (after a refresh), storing check marks,
// sorting by a column and the quick find.
#include "collect/TO_results.h"
#include "filter/TF_lr_filter_user.h"
#include "filter/TOadvCloud.h"
#include "filter/core/FilterFunctions.h"
#include "tree/TQelPigger.h"

#include <benchmark/benchmark.h>

#include <QHeaderView>
#include <QLineEdit>
#include <QTableView>

#include <memory>
#include <string>

namespace {

std::unique_ptr<TQelPigger> makeUrls(int records) {
    auto urls = std::make_unique<TQelPigger>();
    urls->SetName("URLS");
    for (int i = 0; i < records; ++i) {
        auto* rec = urls->AddChild("LISTING");
        const std::string url = "http://site" + std::to_string(i) + ".example.com/page";
        rec->SetAttr("URL", url);
        if (i % 3 == 0)
            rec->SetAttr("CHK", "Y");
        for (const char* child : {"TITLE", "DESCRIPTION", "REDIRECT"}) {
            auto* c = rec->AddChild(child);
            c->Text = std::string(child) + " of record " + std::to_string(i) +
                      " with some more words to show";
        }
    }
    return urls;
}

struct ShownList {
    TO_results list;
    ShownList() {
        list.resize(1000, 700);
        list.show();
    }
};

void BM_FillList(benchmark::State& state) {
    const auto urls = makeUrls(static_cast<int>(state.range(0)));
    ShownList shown;
    for (auto _ : state) {
        shown.list.ClearItems();
        shown.list.Records = urls.get();
        shown.list.Rebuild();
        benchmark::DoNotOptimize(shown.list.RowCount());
    }
    state.SetComplexityN(state.range(0));
}

// The filter dialog with four overlapping conditions added as the user adds them and three
// pinned regions, switched on: its expression is the diagram's own text.
TF_lr_filter_user* fourCircleFilter() {
    RegisterExpressionFunctions();
    TF_lr_filter_user* dlg = F_lr_filter_user();
    TOadvCloud* d = dlg->OClouds1;
    d->Stop();
    d->Start();
    dlg->Placement().Reset();
    dlg->Placement().AddConditionCircle(*d, "a", "EXISTS('RECORD 1')");
    dlg->Placement().AddConditionCircle(*d, "b", "EXISTS('MORE WORDS')");
    dlg->Placement().AddConditionCircle(*d, "c", "RECORD_STATE('IS_CHECKED')");
    dlg->Placement().AddConditionCircle(*d, "d", "EXISTS('TO SHOW 7')");
    d->AddPin(40, 60);
    d->AddPin(200, 110);
    dlg->btnApplyClick();
    return dlg;
}

// Filling the list with the filter on: every record goes through the dialog's Matches.
void BM_FillListFiltered(benchmark::State& state) {
    const auto urls = makeUrls(static_cast<int>(state.range(0)));
    TF_lr_filter_user* dlg = fourCircleFilter();
    ShownList shown;
    shown.list.SetFilter([dlg](TQelPigger* r) { return dlg->Matches(r); },
                         [](TQelPigger*) { return true; });
    shown.list.SetFiltered(true);
    for (auto _ : state) {
        shown.list.ClearItems();
        shown.list.Records = urls.get();
        shown.list.Rebuild();
        benchmark::DoNotOptimize(shown.list.RowCount());
    }
    state.counters["rows"] = shown.list.RowCount();
    state.counters["expression_chars"] = static_cast<double>(dlg->ExprText().size());
    state.SetComplexityN(state.range(0));
}

void BM_RefreshList(benchmark::State& state) {
    const auto urls = makeUrls(static_cast<int>(state.range(0)));
    ShownList shown;
    shown.list.Records = urls.get();
    shown.list.Rebuild();
    for (auto _ : state) {
        // What the main window does on a refresh.
        shown.list.StoreChecks();
        shown.list.ClearItems();
        shown.list.Records = urls.get();
        shown.list.Rebuild();
    }
    state.SetComplexityN(state.range(0));
}

void BM_StoreChecks(benchmark::State& state) {
    const auto urls = makeUrls(static_cast<int>(state.range(0)));
    ShownList shown;
    shown.list.Records = urls.get();
    shown.list.Rebuild();
    for (auto _ : state)
        shown.list.StoreChecks();
    state.SetComplexityN(state.range(0));
}

void BM_ClearList(benchmark::State& state) {
    const auto urls = makeUrls(static_cast<int>(state.range(0)));
    ShownList shown;
    shown.list.Records = urls.get();
    for (auto _ : state) {
        state.PauseTiming();
        shown.list.Rebuild();
        state.ResumeTiming();
        shown.list.ClearItems();
    }
    state.SetComplexityN(state.range(0));
}

// The first click on the title's header after a rebuild: the texts' sort keys are made anew.
void BM_SortByTitle(benchmark::State& state) {
    const auto urls = makeUrls(static_cast<int>(state.range(0)));
    ShownList shown;
    shown.list.Records = urls.get();
    for (auto _ : state) {
        state.PauseTiming();
        while (shown.list.SortColumn() != -1)
            shown.list.HeaderClicked(shown.list.SortColumn());
        shown.list.Rebuild();
        state.ResumeTiming();
        shown.list.HeaderClicked(0);
        benchmark::DoNotOptimize(shown.list.LV1->model()->index(0, 0).data());
    }
    state.SetComplexityN(state.range(0));
}

// One keystroke in "Find in list" (typing a character, then erasing it) after the first one.
void BM_QuickFindKeystroke(benchmark::State& state) {
    const auto urls = makeUrls(static_cast<int>(state.range(0)));
    ShownList shown;
    shown.list.Records = urls.get();
    shown.list.Rebuild();
    shown.list.E_find->setText("record 4");
    bool typed = false;
    for (auto _ : state) {
        if (typed)
            shown.list.E_find->backspace();
        else
            shown.list.E_find->insert("2");
        typed = !typed;
        benchmark::DoNotOptimize(shown.list.LV1->model()->rowCount());
    }
    state.counters["rows_shown"] = shown.list.LV1->model()->rowCount();
    state.SetComplexityN(state.range(0));
}

} // namespace

BENCHMARK(BM_SortByTitle)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();
BENCHMARK(BM_QuickFindKeystroke)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();
BENCHMARK(BM_FillList)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();
BENCHMARK(BM_FillListFiltered)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();
BENCHMARK(BM_RefreshList)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();
BENCHMARK(BM_StoreChecks)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();
BENCHMARK(BM_ClearList)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();
