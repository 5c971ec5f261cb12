// One check of one address against the scripted web server: statuses, redirects followed one by
// one, HEAD refused, the kinds of failure without a reply, page details, and Abort.
#include "links/LinkProbe.h"

#include "LinkServer.h"
#include "search/FeedRequest.h"

#include <QElapsedTimer>

#include <gtest/gtest.h>

#include <thread>

namespace {

ProbeResult Probe(const std::string& url, ProbeOptions options = {}) {
    return LinkProbe(url, std::move(options)).Perform();
}

struct ProbeCase {
    const char* path;
    long status;
    LinkFailure failure;
    std::vector<int> redirects;
    const char* finalPath;
    LinkVerdict verdict;
};

class LinkProbeTest : public LinkServerTest {};

TEST_F(LinkProbeTest, StatusesRedirectsAndVerdicts) {
    const ProbeCase cases[] = {
        {"ok", 200, LinkFailure::None, {}, "ok", LinkVerdict::Alive},
        {"moved301", 200, LinkFailure::None, {301}, "ok", LinkVerdict::Moved},
        {"found302", 200, LinkFailure::None, {302}, "ok", LinkVerdict::Moved},
        {"temp307", 200, LinkFailure::None, {307}, "ok", LinkVerdict::Moved},
        {"perm308", 200, LinkFailure::None, {308}, "ok", LinkVerdict::Moved},
        {"dir/relative", 200, LinkFailure::None, {301, 302}, "ok", LinkVerdict::Moved},
        {"loop-a", 0, LinkFailure::TooManyRedirects, {302, 302}, "loop-b", LinkVerdict::Failed},
        {"redirect-no-location",
         302,
         LinkFailure::None,
         {},
         "redirect-no-location",
         LinkVerdict::Failed},
        {"missing", 404, LinkFailure::None, {}, "missing", LinkVerdict::Dead},
        {"gone", 410, LinkFailure::None, {}, "gone", LinkVerdict::Dead},
        {"broken", 500, LinkFailure::None, {}, "broken", LinkVerdict::Failed},
        {"nohead", 200, LinkFailure::None, {}, "nohead", LinkVerdict::Alive},
        {"nohead501", 200, LinkFailure::None, {}, "nohead501", LinkVerdict::Alive},
        {"silenthead", 200, LinkFailure::None, {}, "silenthead", LinkVerdict::Alive},
    };
    for (const ProbeCase& c : cases) {
        SCOPED_TRACE(c.path);
        const ProbeResult r = Probe(Url(c.path));
        EXPECT_EQ(r.outcome.status, c.status);
        EXPECT_EQ(r.outcome.failure, c.failure);
        EXPECT_EQ(r.outcome.redirects, c.redirects);
        EXPECT_EQ(r.outcome.finalUrl, Url(c.finalPath));
        EXPECT_EQ(VerdictOf(r.outcome.status, r.outcome.failure, r.outcome.failures,
                            !r.outcome.redirects.empty() && r.outcome.finalUrl != Url(c.path)),
                  c.verdict);
        EXPECT_FALSE(r.aborted);
    }
}

TEST_F(LinkProbeTest, AsksWithHeadAndFallsBackToGetOnlyWhenRefused) {
    EXPECT_EQ(Probe(Url("ok")).outcome.status, 200);
    EXPECT_EQ(Probe(Url("nohead")).outcome.status, 200);
    EXPECT_EQ(RequestLines(),
              (std::vector<std::string>{"HEAD /ok HTTP/1.1", "HEAD /nohead HTTP/1.1",
                                        "GET /nohead HTTP/1.1"}));
    EXPECT_EQ(server->requests().back().header("User-Agent"), SourceUserAgent());
}

TEST_F(LinkProbeTest, MoreRedirectsThanAllowedFail) {
    ProbeOptions options;
    options.maxRedirects = 1;
    const ProbeResult r = Probe(Url("dir/relative"), options);
    EXPECT_EQ(r.outcome.failure, LinkFailure::TooManyRedirects);
    EXPECT_EQ(r.outcome.redirects, (std::vector<int>{301, 302}));
}

TEST_F(LinkProbeTest, FailuresWithoutReplyByKind) {
    TempDir dir;
    ASSERT_TRUE(MakeWrongNameCertificate(dir));
    WebServer tls({dir.path("cert.pem"), dir.path("key.pem"), 1});
    tls.setPathReply("ok", "Status: 200", "");

    ProbeOptions quick;
    quick.timeoutMs = 400;
    const struct {
        std::string url;
        LinkFailure failure;
    } cases[] = {
        {Url("hang"), LinkFailure::Timeout},
        {"http://127.0.0.1:" + std::to_string(RefusedPort()) + "/", LinkFailure::Refused},
        {"http://nothing.invalid/", LinkFailure::Dns},
        {tls.baseUrl() + "/ok", LinkFailure::Tls},
        {"ftp://127.0.0.1/", LinkFailure::Other},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.url);
        QElapsedTimer clock;
        clock.start();
        const ProbeResult r = Probe(c.url, quick);
        EXPECT_EQ(r.outcome.failure, c.failure) << r.error;
        EXPECT_EQ(r.outcome.status, 0);
        EXPECT_EQ(r.outcome.failures, 1);
        EXPECT_FALSE(r.error.empty());
        EXPECT_LT(clock.elapsed(), 5000);
    }
    // The handshake failed: no request reached the server.
    EXPECT_TRUE(tls.requests().empty());
}

TEST_F(LinkProbeTest, DetailsReadFromThePageInItsCharset) {
    server->setPathReply("latin", "Status: 200\nContent-Type: text/html",
                         "<html><head><meta charset=\"ISO-8859-1\"><title>Caf\xE9</title>"
                         "<meta name=\"description\" content=\"Cr\xE8me br\xFBl\xE9\"></head>"
                         "<body>x</body></html>");
    server->setPathReply("graph", "Status: 200",
                         "<head><meta property=\"og:title\" content=\"Graph &amp; co\">"
                         "<meta property=\"og:description\" content=\" Only  OG \"></head>");
    server->setPathReply("data", "Status: 200\nContent-Type: application/json",
                         "{\"title\": \"no\"}");
    server->setPathReply("huge",
                         "Status: 200\nContent-Type: text/html; charset=utf-8\nX-Huge-MiB: 50",
                         "<html><head><title>Big page</title>"
                         "<meta name=\"description\" content=\"Very long\"></head><body>");
    ProbeOptions details;
    details.details = true;
    details.maxPageBytes = 256 * 1024;

    const ProbeResult latin = Probe(Url("latin"), details);
    EXPECT_TRUE(latin.detailsRead);
    EXPECT_EQ(latin.details.title, "Caf\xC3\xA9");
    EXPECT_EQ(latin.details.description, "Cr\xC3\xA8me br\xC3\xBBl\xC3\xA9");
    EXPECT_EQ(latin.details.charset, "ISO-8859-1");
    EXPECT_FALSE(latin.cut);

    const ProbeResult graph = Probe(Url("graph"), details);
    EXPECT_EQ(graph.details.title, "Graph & co");
    EXPECT_EQ(graph.details.description, "Only OG");

    const ProbeResult data = Probe(Url("data"), details);
    EXPECT_EQ(data.outcome.status, 200);
    EXPECT_FALSE(data.detailsRead);

    QElapsedTimer clock;
    clock.start();
    const ProbeResult huge = Probe(Url("huge"), details);
    EXPECT_EQ(huge.outcome.status, 200);
    EXPECT_EQ(huge.outcome.failure, LinkFailure::None);
    EXPECT_TRUE(huge.cut);
    EXPECT_EQ(huge.details.title, "Big page");
    EXPECT_EQ(huge.details.description, "Very long");
    EXPECT_LT(clock.elapsed(), 3000);

    // A page not found has no details; a redirect is followed with GET.
    EXPECT_FALSE(Probe(Url("missing"), details).detailsRead);
    const ProbeResult moved = Probe(Url("moved301"), details);
    EXPECT_EQ(moved.details.title, "OK");
    for (const std::string& line : RequestLines())
        EXPECT_EQ(line.rfind("GET ", 0), 0u) << line;
}

TEST_F(LinkProbeTest, RetryAfterOfTheFinalReply) {
    server->setPathReply("busy", "Status: 429\nRetry-After: 7", "");
    server->setPathReply("down", "Status: 503", "");
    EXPECT_EQ(Probe(Url("busy")).retryAfterMs, 7000);
    EXPECT_EQ(Probe(Url("down")).retryAfterMs, -1);
}

TEST_F(LinkProbeTest, AbortFromAnotherThreadEndsAHangAtOnce) {
    LinkProbe probe(Url("hang"), ProbeOptions{});
    ProbeResult result;
    QElapsedTimer clock;
    std::thread t([&] { result = probe.Perform(); });
    ASSERT_TRUE(WaitUntil([&] { return !RequestLines().empty(); }));
    clock.start();
    probe.Abort();
    t.join();
    EXPECT_LT(clock.elapsed(), 500);
    EXPECT_TRUE(result.aborted);
}

} // namespace
