// Runs over many addresses against the scripted web server: the same outcomes in parallel as
// one by one, Retry-After, the second try of a failure, the interval per host, Stop, and no
// thread left behind.
#include "links/LinkCheckRun.h"

#include "LinkServer.h"
#include "support/FeedServer.h"

#include <QElapsedTimer>

#include <gtest/gtest.h>

#include <map>

namespace {

struct Checked {
    std::map<int, ProbeResult> results;
    int progressSignals = 0;
    bool finished = false;
};

class LinkCheckRunTest : public LinkServerTest {
protected:
    // Runs to the end; every result by index.
    static Checked Run(const std::vector<std::string>& urls, LinkCheckRun::Options options) {
        Checked out;
        LinkCheckRun run(urls, std::move(options));
        QObject::connect(&run, &LinkCheckRun::checked, [&](int index, const ProbeResult& r) {
            EXPECT_EQ(out.results.count(index), 0u) << index;
            out.results[index] = r;
        });
        QObject::connect(&run, &LinkCheckRun::progressChanged, [&] { ++out.progressSignals; });
        QObject::connect(&run, &LinkCheckRun::finished, [&] { out.finished = true; });
        run.Start();
        run.WaitForEnd();
        EXPECT_TRUE(out.finished);
        EXPECT_FALSE(run.Running());
        EXPECT_FALSE(run.Stopped());
        const LinkCheckRun::Counts counts = run.Progress();
        EXPECT_EQ(counts.total, static_cast<int>(urls.size()));
        EXPECT_EQ(counts.done, counts.total);
        EXPECT_EQ(counts.alive + counts.moved + counts.dead + counts.failed, counts.done);
        EXPECT_EQ(LinkCheckRun::LiveProbeThreads(), 0);
        return out;
    }

    static LinkCheckRun::Options Quick(int parallel, int intervalMs = 0) {
        LinkCheckRun::Options o;
        o.parallel = parallel;
        o.intervalMs = intervalMs;
        o.timeoutMs = 300;
        o.recheckDelayMs = 100;
        return o;
    }
};

std::string Summary(const ProbeResult& r) {
    std::string s = std::to_string(r.outcome.status) + " " +
                    std::string(LinkFailureName(r.outcome.failure)) + " " +
                    std::to_string(r.outcome.failures) + " " + r.outcome.finalUrl;
    for (const int status : r.outcome.redirects)
        s += " " + std::to_string(status);
    return s;
}

TEST_F(LinkCheckRunTest, ParallelRunGivesTheOutcomesOfASerialOne) {
    std::vector<std::string> urls;
    for (const PathReply& r : LinkReplies)
        if (std::string(r.path) != "hang")
            urls.push_back(Url(r.path));
    urls.push_back("http://127.0.0.1:" + std::to_string(RefusedPort()) + "/");
    const Checked serial = Run(urls, Quick(1));
    const Checked parallel = Run(urls, Quick(4));
    ASSERT_EQ(serial.results.size(), urls.size());
    ASSERT_EQ(parallel.results.size(), urls.size());
    for (std::size_t i = 0; i < urls.size(); ++i)
        EXPECT_EQ(Summary(serial.results.at(int(i))), Summary(parallel.results.at(int(i))))
            << urls[i];
    // Two refusals in a row: dead.
    EXPECT_EQ(serial.results.at(int(urls.size()) - 1).outcome.failures, 2);
    EXPECT_GE(serial.progressSignals, static_cast<int>(urls.size()));
}

TEST_F(LinkCheckRunTest, CountsByVerdict) {
    LinkCheckRun run({Url("ok"), Url("moved301"), Url("missing"), Url("broken"), Url("hang")},
                     Quick(4));
    run.Start();
    run.WaitForEnd();
    const LinkCheckRun::Counts c = run.Progress();
    EXPECT_EQ(c.alive, 1);
    EXPECT_EQ(c.moved, 1);
    EXPECT_EQ(c.dead, 2); // 404, and two time-outs in a row
    EXPECT_EQ(c.failed, 1);
}

TEST_F(LinkCheckRunTest, RetryAfterIsWaitedThenAskedOnceMore) {
    server->setPathReply("later", "Status: 429\nRetry-After: 1\nX-Once: 1", "");
    server->setPathReply("later.again", "Status: 200", "");
    server->setPathReply("always-busy", "Status: 503\nRetry-After: 1", "");
    QElapsedTimer clock;
    clock.start();
    const Checked c = Run({Url("later"), Url("always-busy")}, Quick(2));
    EXPECT_GE(clock.elapsed(), 950);
    EXPECT_EQ(c.results.at(0).outcome.status, 200);
    EXPECT_EQ(c.results.at(1).outcome.status, 503);
    // Each asked twice, the second time a second later.
    const auto requests = server->requests();
    std::vector<qint64> later;
    for (const RecordedRequest& r : requests)
        if (r.target() == "/later")
            later.push_back(r.arrivalMs);
    ASSERT_EQ(later.size(), 2u);
    EXPECT_GE(later[1] - later[0], 950);
}

TEST_F(LinkCheckRunTest, ALongRetryAfterIsBounded) {
    server->setPathReply("much-later", "Status: 429\nRetry-After: 3600", "");
    auto options = Quick(1);
    options.maxRetryAfterMs = 200;
    QElapsedTimer clock;
    clock.start();
    const Checked c = Run({Url("much-later")}, options);
    EXPECT_LT(clock.elapsed(), 3000);
    EXPECT_EQ(RequestLines().size(), 2u);
    EXPECT_EQ(c.results.at(0).outcome.status, 429);
}

TEST_F(LinkCheckRunTest, AFailureIsTriedAgainAfterTheDelay) {
    server->setPathReply("flaky", "X-Hang: 1\nX-Once: 1", "");
    server->setPathReply("flaky.again", "Status: 200", "");
    auto options = Quick(2);
    options.recheckDelayMs = 500;
    const Checked c = Run({Url("hang"), Url("flaky")}, options);
    // Timed out twice: dead. Timed out, then answered: alive.
    EXPECT_EQ(c.results.at(0).outcome.failure, LinkFailure::Timeout);
    EXPECT_EQ(c.results.at(0).outcome.failures, 2);
    EXPECT_EQ(c.results.at(1).outcome.failure, LinkFailure::None);
    EXPECT_EQ(c.results.at(1).outcome.status, 200);
    qint64 first = -1, second = -1;
    for (const RecordedRequest& r : server->requests())
        if (r.target() == "/flaky")
            (first < 0 ? first : second) = r.arrivalMs;
    EXPECT_GE(second - first, 300 + 500 - 60); // the time-out, then the delay
}

TEST_F(LinkCheckRunTest, RequestsToOneHostKeepTheInterval) {
    const Checked c = Run({Url("ok"), Url("missing"), Url("gone")}, Quick(4, 300));
    EXPECT_EQ(c.results.size(), 3u);
    const auto requests = server->requests();
    ASSERT_GE(requests.size(), 3u);
    const auto n = requests.size();
    // The arrival times at the server, with room for the jitter of its threads.
    EXPECT_GE(requests[n - 2].arrivalMs - requests[n - 3].arrivalMs, 250);
    EXPECT_GE(requests[n - 1].arrivalMs - requests[n - 2].arrivalMs, 250);
}

TEST_F(LinkCheckRunTest, StopDuringAHangEndsAtOnce) {
    auto options = Quick(2);
    options.timeoutMs = 20000;
    LinkCheckRun run({Url("hang"), Url("hang"), Url("ok")}, options);
    int checked = 0;
    int finished = 0;
    QObject::connect(&run, &LinkCheckRun::checked, [&] { ++checked; });
    QObject::connect(&run, &LinkCheckRun::finished, [&] { ++finished; });
    run.Start();
    ASSERT_TRUE(WaitUntil([&] { return RequestLines().size() >= 2; }));
    EXPECT_EQ(LinkCheckRun::LiveProbeThreads(), 2);
    QElapsedTimer clock;
    clock.start();
    run.Stop();
    EXPECT_LT(clock.elapsed(), 200);
    EXPECT_FALSE(run.Running());
    EXPECT_TRUE(run.Stopped());
    EXPECT_EQ(finished, 1);
    EXPECT_EQ(checked, 0);
    EXPECT_EQ(LinkCheckRun::LiveProbeThreads(), 0);
    run.WaitForEnd(); // returns at once
    EXPECT_EQ(RequestLines().size(), 2u);
}

TEST_F(LinkCheckRunTest, GoesThroughTheProxyAskedBeforeEachRequest) {
    TinyProxy proxy("alice", "s3cret");
    ASSERT_TRUE(proxy.running());
    int asked = 0;
    std::string password = "s3cret";
    auto options = Quick(1);
    options.timeoutMs = 10000;
    options.proxy = [&] {
        ++asked;
        return ProxyValues{true, "127.0.0.1", proxy.port(), "alice", password};
    };
    const Checked right = Run({Url("ok"), Url("moved301")}, options);
    EXPECT_EQ(asked, 2);
    EXPECT_EQ(right.results.at(0).outcome.status, 200);
    EXPECT_EQ(right.results.at(1).outcome.redirects, std::vector<int>{301});
    EXPECT_NE(server->requests().back().header("Via").find("tinyproxy"), std::string::npos);
    // The proxy's own refusal is the reply.
    password = "wrong";
    const Checked wrong = Run({Url("ok")}, options);
    EXPECT_EQ(wrong.results.at(0).outcome.status, 401);
}

TEST_F(LinkCheckRunTest, AnEmptyListEndsAtOnce) {
    const Checked c = Run({}, Quick(4));
    EXPECT_TRUE(c.results.empty());
}

} // namespace
