// One check of one address with libcurl: HEAD (then GET when the server refuses HEAD or answers
// 405 or 501), redirects followed one by one (at most a limit, no loops), and the outcome as the
// record keeps it. With page details asked, a GET whose body is read up to a size limit.
#pragma once

#include "links/PageDetails.h"
#include "report/LinkState.h"
#include "settings/core/ProxySettings.h"

#include <atomic>
#include <cstddef>
#include <string>

struct ProbeOptions {
    // Every network wait (connecting, the next bytes) is bounded by this.
    int timeoutMs = 15000;
    int maxRedirects = 10;
    // GET the page and read its title and description.
    bool details = false;
    // With details: the most bytes of the page read; the rest is not fetched.
    std::size_t maxPageBytes = std::size_t(2) * 1024 * 1024;
    // Empty host: a direct connection.
    ProxyValues proxy;
    // Empty: SourceUserAgent().
    std::string userAgent;
};

struct ProbeResult {
    LinkOutcome outcome;
    // The final reply's Retry-After in milliseconds (429, 503); -1 when none.
    long long retryAfterMs = -1;
    // With details and a 2xx reply: what the page says of itself.
    bool detailsRead = false;
    PageDetails details;
    // With details: the page was longer than maxPageBytes and was cut there.
    bool cut = false;
    // Why there was no reply, as curl tells it (for a log).
    std::string error;
    bool aborted = false;
};

class LinkProbe {
public:
    LinkProbe(std::string url, ProbeOptions options);
    ~LinkProbe();
    LinkProbe(const LinkProbe&) = delete;
    LinkProbe& operator=(const LinkProbe&) = delete;

    // Performs the check and waits for its end; call once.
    ProbeResult Perform();
    // Ends Perform within milliseconds, as aborted; safe from any thread.
    void Abort();

private:
    std::string url_;
    ProbeOptions options_;
    std::atomic<bool> abort_{false};
    // The transfer under way, for Abort.
    std::atomic<void*> current_{nullptr};
};
