// A link check over many addresses spread over 50 loopback hosts of the scripted web server,
// 16 in flight, no interval. Counters: records checked a second, and the longest stall of the
// owning thread's event loop during the check (a 1 ms timer measuring the longest gap between
// two of its ticks; the progress dialog needs it well under 50 ms).
#include "links/LinkCheckRun.h"
#include "support/WebServer.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int Hosts = 50;

// Stopped by main while the application is still there.
std::unique_ptr<WebServer> ServerInstance;

WebServer& Server() {
    if (!ServerInstance) {
        WebServerOptions options;
        options.hosts = Hosts;
        ServerInstance = std::make_unique<WebServer>(options);
        ServerInstance->setFile("page.html", "<html><head><title>A page</title></head></html>");
    }
    return *ServerInstance;
}

void BM_LinkCheck(benchmark::State& state) {
    WebServer& server = Server();
    if (server.port() <= 0) {
        state.SkipWithError("the web server did not start");
        return;
    }
    const int count = static_cast<int>(state.range(0));
    std::vector<std::string> urls;
    urls.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        urls.push_back(server.baseUrl(1 + i % Hosts) + "/page.html?n=" + std::to_string(i));

    double seconds = 0;
    qint64 maxStall = 0;
    int alive = 0;
    for (auto _ : state) {
        LinkCheckRun::Options options;
        options.parallel = 16;
        options.intervalMs = 0;
        LinkCheckRun run(urls, options);
        QElapsedTimer sinceTick;
        QTimer ticker;
        ticker.setTimerType(Qt::PreciseTimer);
        ticker.setInterval(1);
        QObject::connect(&ticker, &QTimer::timeout,
                         [&] { maxStall = std::max(maxStall, sinceTick.restart()); });
        QElapsedTimer clock;
        clock.start();
        sinceTick.start();
        ticker.start();
        run.Start();
        run.WaitForEnd();
        ticker.stop();
        seconds += static_cast<double>(clock.nsecsElapsed()) / 1e9;
        alive += run.Progress().alive;
    }
    if (alive != count * static_cast<int>(state.iterations()))
        state.SkipWithError("not every address answered");
    state.counters["records_per_s"] =
        static_cast<double>(count) * static_cast<double>(state.iterations()) / seconds;
    state.counters["max_stall_ms"] = static_cast<double>(maxStall);
}

} // namespace

BENCHMARK(BM_LinkCheck)
    ->Arg(1000)
    ->Arg(10000)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

int main(int argc, char** argv) {
    // The run's probes report back through the event loop.
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    ServerInstance.reset();
    return 0;
}
