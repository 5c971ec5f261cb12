// A source run against a real searx on loopback: 200 keywords of two full pages each, with one
// and with four keywords in flight and no interval. Counters: keywords a second, and the share
// of the run's wall time spent in our own handling of the replies (reading searx's JSON and
// AddListing into the report) against waiting for searx. Also the reading of a 1 MB RSS reply.
#include "report/ReportLayout.h"
#include "report/ReportRecords.h"
#include "search/FeedTransfer.h"
#include "search/ResultFormats.h"
#include "search/SourceRun.h"
#include "support/SearxServer.h"
#include "tree/TQelPigger.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>

#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int Keywords = 200;
constexpr int PerPage = 10;
constexpr int Pages = 2;

std::string Keyword(int k) {
    char text[16];
    std::snprintf(text, sizeof text, "topic%03dx", k);
    return text;
}

double Seconds(std::chrono::steady_clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

// Stopped by main while the application is still there.
std::unique_ptr<SearxServer> SearxInstance;

// searx over Keywords * PerPage * Pages pages, each keyword's own, started once.
SearxServer& Searx() {
    if (!SearxInstance) {
        std::vector<SearxPage> pages;
        for (int k = 0; k < Keywords; ++k)
            for (int n = 0; n < PerPage * Pages; ++n)
                pages.push_back({"http://www.site-" + std::to_string(k) + "-" + std::to_string(n) +
                                     ".example/page.html",
                                 "Result " + std::to_string(n) + " about " + Keyword(k),
                                 "A page of the benchmark that talks about " + Keyword(k) +
                                     " at some length, as result pages do."});
        SearxInstance = std::make_unique<SearxServer>(pages, SearxOptions{PerPage, false});
    }
    return *SearxInstance;
}

// What reading one of searx's replies takes on average, from a few replies fetched once.
double ReadSeconds() {
    static const double seconds = [] {
        std::vector<std::string> bodies;
        for (int k = 0; k < 20; ++k) {
            FeedTransfer t(ComposeSourceRequest(SearxSearchUrl(Searx().baseUrl(), Keyword(k), 1),
                                                ReplyFormat::Json, {}, ""));
            bodies.push_back(t.Perform().body);
        }
        constexpr int Rounds = 50;
        const auto start = std::chrono::steady_clock::now();
        for (int r = 0; r < Rounds; ++r)
            for (const std::string& body : bodies) {
                ResultPage page;
                std::string error;
                ReadSearxJson(body, page, error);
                benchmark::DoNotOptimize(page.pages.size());
            }
        return Seconds(std::chrono::steady_clock::now() - start) / (Rounds * bodies.size());
    }();
    return seconds;
}

void BM_SearxRun(benchmark::State& state) {
    SearxServer& searx = Searx();
    if (searx.port() <= 0) {
        state.SkipWithError("searx did not start");
        return;
    }
    std::vector<std::string> keywords;
    for (int k = 0; k < Keywords; ++k)
        keywords.push_back(Keyword(k));
    SearchSource source;
    source.name = "bench";
    source.kind = SearchSource::Searx;
    source.address = searx.baseUrl();
    source.pages = Pages;
    source.parallel = static_cast<int>(state.range(0));
    source.intervalMs = 0;

    double wall = 0, adding = 0;
    int added = 0, failed = 0;
    for (auto _ : state) {
        TQelPigger doc;
        doc.SetName(ReportKeys::Root);
        auto* urls = new TQelPigger(&doc);
        urls->SetName(ReportKeys::Urls);
        ReportRecords records;
        SourceRun run(source,
                      SourceRun::Hooks{[](const std::string&) {},
                                       {},
                                       [&](const std::string& t, const std::string& d,
                                           const std::string& u, const std::string& r) {
                                           const auto start = std::chrono::steady_clock::now();
                                           const bool isNew = records.AddListing(urls, t, d, u, r);
                                           adding +=
                                               Seconds(std::chrono::steady_clock::now() - start);
                                           return isNew;
                                       },
                                       {}});
        const auto start = std::chrono::steady_clock::now();
        run.Start(keywords);
        run.WaitForEnd();
        wall += Seconds(std::chrono::steady_clock::now() - start);
        added += run.NewCount;
        failed += run.FailedKeywords;
    }
    const double runs = static_cast<double>(state.iterations());
    if (failed > 0 || added != runs * Keywords * PerPage * Pages)
        state.SkipWithError("the run did not bring every result");
    const double replies = runs * Keywords * Pages;
    const double reading = ReadSeconds() * replies;
    state.counters["keywords_per_s"] = runs * Keywords / wall;
    state.counters["ms_per_reply"] = 1000 * wall / replies;
    state.counters["read_us_per_reply"] = 1e6 * reading / replies;
    state.counters["add_us_per_reply"] = 1e6 * adding / replies;
    state.counters["own_share_pct"] = 100 * (reading + adding) / wall;
}

// An RSS reply of about 1 MB: items with markup and entities in their descriptions.
const std::string& RssReply() {
    static const std::string reply = [] {
        std::string r = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<rss version=\"2.0\" "
                        "xmlns:opensearch=\"http://a9.com/-/spec/opensearch/1.1/\"><channel>"
                        "<title>Results</title><opensearch:totalResults>100000"
                        "</opensearch:totalResults>";
        for (int i = 0; r.size() < (std::size_t(1) << 20); ++i) {
            const std::string n = std::to_string(i);
            r += "<item><title>Result " + n + " &amp; more</title><link>http://www.site-" + n +
                 ".example/a/page.html</link><description>A &lt;b&gt;page&lt;/b&gt; about the "
                 "keyword, number " +
                 n + ", with &quot;quoted&quot; words and caf\xC3\xA9s.</description></item>\n";
        }
        return r + "</channel></rss>\n";
    }();
    return reply;
}

void BM_ReadResultFeed1MB(benchmark::State& state) {
    std::size_t items = 0;
    for (auto _ : state) {
        ResultPage page;
        std::string error;
        ReadResultFeed(RssReply(), page, error);
        items = page.pages.size();
        benchmark::DoNotOptimize(items);
    }
    if (items < 1000)
        state.SkipWithError("the reply was not read");
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(RssReply().size()));
    state.counters["items"] = static_cast<double>(items);
}

} // namespace

BENCHMARK(BM_SearxRun)->Arg(1)->Arg(4)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ReadResultFeed1MB)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    // The run's transfers report back through the event loop.
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    SearxInstance.reset();
    return 0;
}
