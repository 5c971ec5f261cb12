// The program's start with a large report, up to the first painting of the window after the
// report is shown, and saving that report from the main window (File > Save). Counters split
// the start: making and showing the window, reading the file (LoadDocument), showing the report
// (ShowDocument: the found URL list is filled), and the rest up to the painting.
// Run with QTWEBENGINE_DISABLE_SANDBOX=1 when running as root.
#include "ReportData.h"

#include "app/StartUp.h"
#include "app/TFmain.h"
#include "collect/TO_results.h"
#include "filter/core/FilterFunctions.h"
#include "report/ReportFile.h"
#include "settings/TD_settings_user.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QHeaderView>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

#include <memory>

namespace {

// The main window with the time its document steps took.
class TimedMain : public TFmain {
public:
    QElapsedTimer* clock = nullptr;
    qint64 loadStart = 0, loadEnd = 0, showEnd = 0;
    void LoadDocument() override {
        loadStart = clock->nsecsElapsed();
        TFmain::LoadDocument();
        loadEnd = clock->nsecsElapsed();
    }
    void ShowDocument() override {
        TFmain::ShowDocument();
        showEnd = clock->nsecsElapsed();
    }
};

// Notes the first painting of a widget of the watched window once the report is shown.
class PaintWatch : public QObject {
public:
    QWidget* window = nullptr;
    bool armed = false;
    bool painted = false;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (armed && !painted && event->type() == QEvent::Paint && watched->isWidgetType() &&
            static_cast<QWidget*>(watched)->window() == window)
            painted = true;
        return false;
    }
};

// A report file of that many records and settings that name it, in a folder of their own.
struct Place {
    QTemporaryDir dir;
    QString report;
    explicit Place(int records) {
        qputenv("XDG_DATA_HOME", QFile::encodeName(dir.filePath("xdg-data")));
        qputenv("XDG_CACHE_HOME", QFile::encodeName(dir.filePath("xdg-cache")));
        QDir(dir.path()).mkpath("data");
        report = dir.filePath("data/r.qrl");
        bench::MakeReport(records)->SaveToFile(QFile::encodeName(report).toStdString());
    }
    // The steps of the program's own start.
    std::unique_ptr<TimedMain> start(QElapsedTimer& clock, PaintWatch& watch) {
        auto* settings = new TD_settings_user(dir.filePath("q.set"));
        settings->Store().Set("DATA_FILE_NAME", QFile::encodeName(report).toStdString());
        settings->Store().Set("SI", "NO");
        auto window = std::make_unique<TimedMain>();
        window->clock = &clock;
        watch.window = window.get();
        window->RestoreGeometry();
        window->showMaximized();
        window->activateWindow();
        if (!QTest::qWaitForWindowExposed(window.get()))
            return nullptr;
        while (window->FirstActivation)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
        watch.armed = true;
        while (!watch.painted)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
        return window;
    }
};

void sharedWindows() {
    static const bool made = [] {
        RegisterExpressionFunctions();
        CreateSharedWindows();
        return true;
    }();
    (void)made;
}

void BM_StartWithReport(benchmark::State& state) {
    sharedWindows();
    Place place(static_cast<int>(state.range(0)));
    double window = 0, load = 0, show = 0, paint = 0;
    for (auto _ : state) {
        QElapsedTimer clock;
        PaintWatch watch;
        qApp->installEventFilter(&watch);
        clock.start();
        std::unique_ptr<TimedMain> main = place.start(clock, watch);
        const qint64 end = clock.nsecsElapsed();
        state.PauseTiming();
        qApp->removeEventFilter(&watch);
        if (!main || main->Urls == nullptr || main->Urls->ChildCount() != state.range(0)) {
            state.SkipWithError("the report was not shown");
            break;
        }
        window += static_cast<double>(main->loadStart) / 1e6;
        load += static_cast<double>(main->loadEnd - main->loadStart) / 1e6;
        show += static_cast<double>(main->showEnd - main->loadEnd) / 1e6;
        paint += static_cast<double>(end - main->showEnd) / 1e6;
        main.reset();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
    const auto avg = benchmark::Counter::kAvgIterations;
    state.counters["window_ms"] = benchmark::Counter(window, avg);
    state.counters["load_ms"] = benchmark::Counter(load, avg);
    state.counters["show_ms"] = benchmark::Counter(show, avg);
    state.counters["paint_ms"] = benchmark::Counter(paint, avg);
}
BENCHMARK(BM_StartWithReport)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();

// The program started with the place's report, its window painted; none when it was not shown.
std::unique_ptr<TimedMain> startedWindow(Place& place) {
    sharedWindows();
    QElapsedTimer clock;
    clock.start();
    PaintWatch watch;
    qApp->installEventFilter(&watch);
    std::unique_ptr<TimedMain> main = place.start(clock, watch);
    qApp->removeEventFilter(&watch);
    return main;
}

// File > Save in the started program: the window's fields and check marks into the tree, the
// backup, the safe write.
void BM_SaveFromWindow(benchmark::State& state) {
    Place place(static_cast<int>(state.range(0)));
    std::unique_ptr<TimedMain> main = startedWindow(place);
    if (!main) {
        state.SkipWithError("the window was not shown");
        return;
    }
    for (auto _ : state)
        if (!main->N_SaveClick())
            state.SkipWithError("not saved");
}
BENCHMARK(BM_SaveFromWindow)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();

// Sorting by the title in the started program, as the user does it: a click on the header of
// the found URL list's Title column, to the list's rows painted again. Each iteration sorts the
// other way (ascending, descending), then a third click goes back to record order untimed.
void BM_SortInWindow(benchmark::State& state) {
    Place place(static_cast<int>(state.range(0)));
    std::unique_ptr<TimedMain> main = startedWindow(place);
    if (!main) {
        state.SkipWithError("the window was not shown");
        return;
    }
    main->N_FoundURLlistClick();
    QTableView* view = main->O_results1->LV1;
    QHeaderView* header = view->horizontalHeader();
    QCoreApplication::processEvents();
    const QPoint title(header->sectionViewportPosition(0) + 20, header->height() / 2);
    // The viewport's next painting.
    class Painted : public QObject {
    public:
        bool seen = false;
        bool eventFilter(QObject*, QEvent* event) override {
            seen = seen || event->type() == QEvent::Paint;
            return false;
        }
    } painted;
    view->viewport()->installEventFilter(&painted);
    int timed = 0;
    double first = 0;
    for (auto _ : state) {
        painted.seen = false;
        QElapsedTimer click;
        click.start();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, title);
        while (!painted.seen)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
        // The first sort makes the keys of the titles as well.
        if (timed == 0)
            first = static_cast<double>(click.nsecsElapsed()) / 1e6;
        // After ascending and descending: back to record order.
        if (++timed % 2 == 0) {
            state.PauseTiming();
            QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, title);
            QCoreApplication::processEvents();
            state.ResumeTiming();
        }
    }
    view->viewport()->removeEventFilter(&painted);
    state.counters["first_ms"] = first;
}
BENCHMARK(BM_SortInWindow)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();

// The report file alone, without a window, with and without its backup.
void BM_SaveReportFile(benchmark::State& state) {
    QTemporaryDir dir;
    const auto doc = bench::MakeReport(static_cast<int>(state.range(0)));
    const std::string name = QFile::encodeName(dir.filePath("r.qrl")).toStdString();
    const bool backup = state.range(1) != 0;
    SaveReportFile(*doc, name, backup, nullptr);
    for (auto _ : state)
        if (!SaveReportFile(*doc, name, backup, nullptr))
            state.SkipWithError("not saved");
}
BENCHMARK(BM_SaveReportFile)
    ->Args({100000, 0})
    ->Args({100000, 1})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// The tree's own share of saving: the text.
void BM_ReportText(benchmark::State& state) {
    const auto doc = bench::MakeReport(static_cast<int>(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(doc->GetAsText());
}
BENCHMARK(BM_ReportText)->Arg(100000)->Unit(benchmark::kMillisecond);

} // namespace
