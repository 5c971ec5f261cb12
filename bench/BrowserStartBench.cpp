// What the embedded browser costs the program's start: the main window's start as it is (the
// web view is made when the "Manual search" page is first shown), and the first showing of that
// page, which is what making the view at start-up would add to it.
// Run with QTWEBENGINE_DISABLE_SANDBOX=1 when running as root.
#include "app/TFmain.h"
#include "collect/TO_WB.h"
#include "settings/TD_settings_user.h"

#include <benchmark/benchmark.h>

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>
#include <QWebEnginePage>
#include <QWebEngineView>

#include <memory>

namespace {

// A report folder and settings of their own, and the user's folders kept out of it.
struct Place {
    QTemporaryDir dir;
    Place() {
        qputenv("XDG_DATA_HOME", QFile::encodeName(dir.filePath("xdg-data")));
        qputenv("XDG_CACHE_HOME", QFile::encodeName(dir.filePath("xdg-cache")));
        QDir(dir.path()).mkpath("data");
    }
    std::unique_ptr<TFmain> start() {
        auto* settings = new TD_settings_user(dir.filePath("q.set"));
        settings->Store().Set("DATA_FILE_NAME",
                              QFile::encodeName(dir.filePath("data/r.qrl")).toStdString());
        settings->Store().Set("SI", "NO");
        auto window = std::make_unique<TFmain>();
        window->show();
        window->activateWindow();
        if (!QTest::qWaitForWindowExposed(window.get()))
            return nullptr;
        while (window->FirstActivation)
            QTest::qWait(1);
        return window;
    }
};

// Waits in short event loops (the browser engine needs them) until done() holds.
template <typename Predicate> void waitUntil(Predicate done) {
    while (!done())
        QTest::qWait(1);
}

void BM_MainWindowStartUp(benchmark::State& state) {
    Place place;
    for (auto _ : state) {
        std::unique_ptr<TFmain> window = place.start();
        if (!window || window->O_WB1->WebBrowser1)
            state.SkipWithError("window not shown, or the browser made at start");
        state.PauseTiming();
        window.reset();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_MainWindowStartUp)->Unit(benchmark::kMillisecond);

// Once per process: the engine starts with the first view.
void BM_ManualSearchFirstShown(benchmark::State& state) {
    Place place;
    std::unique_ptr<TFmain> window = place.start();
    for (auto _ : state) {
        window->N_Manualmode->trigger();
        QWebEngineView* view = window->O_WB1->WebBrowser1;
        bool loaded = false;
        QObject::connect(view, &QWebEngineView::loadFinished, [&loaded] { loaded = true; });
        view->setHtml("<html><body>first page</body></html>");
        waitUntil([&] { return loaded; });
    }
}
BENCHMARK(BM_ManualSearchFirstShown)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace
