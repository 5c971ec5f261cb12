// Capturing 50 pages of the scripted loopback web server (a page with a style sheet, a picture
// and a frame), 2 at a time, each in an off-screen browser page, saved as MHTML and recorded in a
// captures folder. Counters: pages a second, and the peak memory of the program together with
// the browser engine's processes (sampled every 100 ms as the resident memory of this process and
// all its descendants), which the engine's renderers dominate.
#include "collect/CaptureRun.h"
#include "support/CaptureSite.h"
#include "support/TempDir.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTimer>

#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

// Stopped by main while the application is still there.
std::unique_ptr<CaptureSite> SiteInstance;

// The resident memory of this process and every process below it, in MB.
double treeResidentMegabytes() {
    std::multimap<long, long> children;
    std::map<long, long> residentKb;
    for (const QString& entry : QDir("/proc").entryList(QDir::Dirs)) {
        bool number = false;
        const long pid = entry.toLong(&number);
        if (!number)
            continue;
        QFile status("/proc/" + entry + "/status");
        if (!status.open(QIODevice::ReadOnly))
            continue;
        long parent = 0, kb = 0;
        for (const QByteArray& line : status.readAll().split('\n')) {
            if (line.startsWith("PPid:"))
                parent = line.mid(5).trimmed().toLong();
            else if (line.startsWith("VmRSS:"))
                kb = line.mid(6).trimmed().split(' ').value(0).toLong();
        }
        children.emplace(parent, pid);
        residentKb[pid] = kb;
    }
    double total = 0;
    std::vector<long> pending{static_cast<long>(::getpid())};
    while (!pending.empty()) {
        const long pid = pending.back();
        pending.pop_back();
        total += static_cast<double>(residentKb[pid]);
        const auto [from, to] = children.equal_range(pid);
        for (auto it = from; it != to; ++it)
            pending.push_back(it->second);
    }
    return total / 1024.0;
}

void BM_CapturePages(benchmark::State& state) {
    if (!SiteInstance)
        SiteInstance = std::make_unique<CaptureSite>();
    CaptureSite& site = *SiteInstance;
    if (site.Server().port() <= 0) {
        state.SkipWithError("the web server did not start");
        return;
    }
    const int count = static_cast<int>(state.range(0));
    double seconds = 0, peak = 0;
    int ended = 0, failed = 0;
    for (auto _ : state) {
        TempDir dir;
        std::vector<CaptureItem> items;
        for (int i = 0; i < count; ++i)
            items.push_back({site.Url("page.html?n=" + std::to_string(i)), nullptr});
        PageSaveOptions options;
        options.limits.parallel = static_cast<int>(state.range(1));
        CaptureRun run(dir.path("r.qrl.captures"), items, options);
        bool finished = false;
        QObject::connect(&run, &CaptureRun::Finished, [&finished] { finished = true; });
        QTimer sampler;
        sampler.setInterval(100);
        QObject::connect(&sampler, &QTimer::timeout,
                         [&peak] { peak = std::max(peak, treeResidentMegabytes()); });
        QElapsedTimer clock;
        clock.start();
        sampler.start();
        run.Start();
        while (!finished)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        sampler.stop();
        seconds += static_cast<double>(clock.nsecsElapsed()) / 1e9;
        ended += static_cast<int>(run.Queue().Ended());
        failed += static_cast<int>(run.Queue().Failed());
    }
    if (failed > 0 || ended != count * static_cast<int>(state.iterations()))
        state.SkipWithError("not every page was captured");
    state.counters["pages_per_s"] = static_cast<double>(ended) / seconds;
    state.counters["peak_MB"] = peak;
}

} // namespace

BENCHMARK(BM_CapturePages)
    ->Args({50, 2})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    SiteInstance.reset();
    return 0;
}
