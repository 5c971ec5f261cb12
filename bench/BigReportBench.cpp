// Reports of hundreds of megabytes: reading one as "qrl tree" does, writing its recovery copy
// (alone, and from the main window with the window's longest stall meanwhile), and opening one in
// the main window (read, list built and shown). Each size makes its report file once, in a
// temporary folder. The peak_MB counter is the process's peak resident memory so far, so run one
// case per process to see the peak of that case alone:
//   build/bin/bench_big_report --benchmark_filter='BM_OpenInMainWindow/500$'
#include "app/TFmain.h"
#include "cli/TreeCommand.h"
#include "report/RecoveryCopy.h"
#include "report/ReportFile.h"
#include "settings/TD_settings_user.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <memory>
#include <sstream>
#include <streambuf>
#include <string>

#include <sys/resource.h>

namespace {

// Writes a report of about megabytes MB: realistic records of some 450 bytes each.
bool writeReport(const QString& path, int megabytes, int* records) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const qint64 target = static_cast<qint64>(megabytes) * 1024 * 1024;
    file.write("\r\n<QRL VERSION=\"1.0.1 beta\" RTITLE=\"Garden tools\" RDATE=\"06.12.2026\">"
               "Suppliers of garden tools\r\n\t<URLS>");
    std::string chunk;
    int n = 0;
    while (file.size() + static_cast<qint64>(chunk.size()) < target) {
        const std::string id = std::to_string(n++);
        chunk +=
            "\r\n\t\t<LISTING URL=\"http://www.shop-" + id + ".example/garden/tools/item-" + id +
            ".html\"" + (n % 3 == 0 ? " CHK=\"Y\"" : "") + ">\r\n\t\t\t<TITLE>Garden tools " + id +
            ": spades, forks and rakes\r\n\t\t\t</TITLE>\r\n\t\t\t<DESCRIPTION>Hand-forged "
            "spades, digging forks and leaf rakes from a family workshop; delivery within "
            "three days, item " +
            id +
            ".\r\n\t\t\t</DESCRIPTION>\r\n\t\t\t<REDIRECT>http://click.feed.example/?to=www.shop-" +
            id + ".example\r\n\t\t\t</REDIRECT>\r\n\t\t</LISTING>";
        if (chunk.size() > (1 << 20)) {
            file.write(chunk.data(), static_cast<qint64>(chunk.size()));
            chunk.clear();
        }
    }
    file.write(chunk.data(), static_cast<qint64>(chunk.size()));
    file.write("\r\n\t</URLS>\r\n</QRL>");
    *records = n;
    return file.error() == QFileDevice::NoError;
}

double peakMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

// Drops what it is given, as /dev/null would.
class NullBuffer : public std::streambuf {
protected:
    int_type overflow(int_type c) override { return traits_type::not_eof(c); }
    std::streamsize xsputn(const char*, std::streamsize n) override { return n; }
};

void BM_QrlTree(benchmark::State& state) {
    QTemporaryDir dir;
    const QString path = dir.filePath("big.qrl");
    int records = 0;
    if (!writeReport(path, static_cast<int>(state.range(0)), &records)) {
        state.SkipWithError("report not written");
        return;
    }
    for (auto _ : state) {
        NullBuffer sink;
        std::ostream out(&sink);
        std::ostringstream err;
        if (RunTreeCommand(QFile::encodeName(path).toStdString(), out, err) != 0)
            state.SkipWithError(err.str().c_str());
    }
    state.counters["records"] = records;
    state.counters["peak_MB"] = peakMegabytes();
}
BENCHMARK(BM_QrlTree)->Arg(50)->Arg(200)->Arg(500)->Iterations(1)->Unit(benchmark::kSecond);

// What the program does every two minutes while such a report is modified.
void BM_WriteRecoveryCopy(benchmark::State& state) {
    QTemporaryDir dir;
    const QString path = dir.filePath("big.qrl");
    int records = 0;
    TQelPigger doc;
    if (!writeReport(path, static_cast<int>(state.range(0)), &records) ||
        ReadReportFile(doc, QFile::encodeName(path).toStdString()).outcome !=
            ReportLoadResult::Loaded) {
        state.SkipWithError("report not written or not read");
        return;
    }
    for (auto _ : state) {
        std::string error;
        if (!WriteRecoveryCopy(doc, QFile::encodeName(path).toStdString(), &error))
            state.SkipWithError(error.c_str());
    }
    state.counters["records"] = records;
    state.counters["peak_MB"] = peakMegabytes();
}
BENCHMARK(BM_WriteRecoveryCopy)->Arg(50)->Arg(200)->Iterations(1)->Unit(benchmark::kSecond);

void BM_OpenInMainWindow(benchmark::State& state) {
    QTemporaryDir dir;
    qputenv("XDG_DATA_HOME", QFile::encodeName(dir.filePath("xdg-data")));
    qputenv("XDG_CACHE_HOME", QFile::encodeName(dir.filePath("xdg-cache")));
    QDir(dir.path()).mkpath("data");
    const QString path = dir.filePath("data/big.qrl");
    int records = 0;
    if (!writeReport(path, static_cast<int>(state.range(0)), &records)) {
        state.SkipWithError("report not written");
        return;
    }
    for (auto _ : state) {
        auto* settings = new TD_settings_user(dir.filePath("q.set"));
        settings->Store().Set("DATA_FILE_NAME", QFile::encodeName(path).toStdString());
        settings->Store().Set("SI", "NO");
        auto window = std::make_unique<TFmain>();
        window->show();
        window->FormActivate();
        // The list page as the user turns to it.
        window->N_FoundURLlist->trigger();
        QCoreApplication::processEvents();
        if (!window->Urls || window->Urls->ChildCount() != records)
            state.SkipWithError("the report was not read whole");
        state.PauseTiming();
        window.reset();
        delete D_settings_user;
        state.ResumeTiming();
    }
    state.counters["records"] = records;
    state.counters["peak_MB"] = peakMegabytes();
}
BENCHMARK(BM_OpenInMainWindow)
    ->Arg(50)
    ->Arg(200)
    ->Arg(500)
    ->Iterations(1)
    ->Unit(benchmark::kSecond);

// The window's longest stall while the recovery copy of such a report, modified, is written:
// the longest gap between two ticks of a 1 ms timer from the start of the copy until it is on
// the disk (stall_ms), and that whole time (total_ms). The second argument 0 writes the copy at
// once on the window's thread, as WriteRecoveryCopy does; 1 as the window does it.
void BM_RecoveryCopyStall(benchmark::State& state) {
    QTemporaryDir dir;
    qputenv("XDG_DATA_HOME", QFile::encodeName(dir.filePath("xdg-data")));
    qputenv("XDG_CACHE_HOME", QFile::encodeName(dir.filePath("xdg-cache")));
    QDir(dir.path()).mkpath("data");
    const QString path = dir.filePath("data/big.qrl");
    int records = 0;
    if (!writeReport(path, static_cast<int>(state.range(0)), &records)) {
        state.SkipWithError("report not written");
        return;
    }
    const bool inWindow = state.range(1) != 0;
    double stallMs = 0, totalMs = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto* settings = new TD_settings_user(dir.filePath("q.set"));
        settings->Store().Set("DATA_FILE_NAME", QFile::encodeName(path).toStdString());
        settings->Store().Set("SI", "NO");
        auto window = std::make_unique<TFmain>();
        window->show();
        window->FormActivate();
        window->Edit_report_title->setText("Garden tools, changed");
        QCoreApplication::processEvents();
        state.ResumeTiming();

        QElapsedTimer clock;
        qint64 lastTick = 0, longest = 0;
        QTimer ticks;
        ticks.setTimerType(Qt::PreciseTimer);
        ticks.setInterval(1);
        QObject::connect(&ticks, &QTimer::timeout, [&] {
            const qint64 now = clock.nsecsElapsed();
            longest = std::max(longest, now - lastTick);
            lastTick = now;
        });
        clock.start();
        ticks.start();
        if (inWindow) {
            window->SaveRecoveryCopy();
            window->WaitForRecoveryCopy();
        } else {
            window->StoreDocument();
            std::string error;
            if (!WriteRecoveryCopy(window->Doc, window->GetFileName(), &error))
                state.SkipWithError(error.c_str());
        }
        // The last tick after the copy.
        QCoreApplication::processEvents();
        const qint64 total = clock.nsecsElapsed();
        longest = std::max(longest, total - lastTick);
        stallMs = static_cast<double>(longest) / 1e6;
        totalMs = static_cast<double>(total) / 1e6;
        if (!QFile::exists(path + ".recover"))
            state.SkipWithError("no recovery copy");

        state.PauseTiming();
        window.reset();
        delete D_settings_user;
        QFile::remove(path + ".recover");
        state.ResumeTiming();
    }
    state.counters["records"] = records;
    state.counters["stall_ms"] = stallMs;
    state.counters["total_ms"] = totalMs;
    state.counters["peak_MB"] = peakMegabytes();
}
BENCHMARK(BM_RecoveryCopyStall)
    ->Args({200, 0})
    ->Args({200, 1})
    ->Iterations(1)
    ->Unit(benchmark::kSecond);

} // namespace
