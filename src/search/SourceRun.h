// One run of an OpenSearch or searx source over a list of keywords: up to `parallel` keywords in
// flight, each asking up to `pages` result pages one after the other, at least `intervalMs`
// between two requests to the same host, a 429 or 503 with Retry-After waited out (bounded) and
// tried once more. Transfers run on threads the run owns; the log, the proxy values and every
// added listing happen on the thread that owns the run, and records enter in keyword order and,
// within a keyword, in result order, however the replies arrive.
#pragma once

#include "search/FeedReply.h"
#include "search/SearchRun.h"
#include "settings/core/ProxySettings.h"
#include "settings/core/SearchSources.h"

#include <QObject>

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class SourceRun : public QObject {
    Q_OBJECT
public:
    struct Hooks {
        // Receives every log line.
        SearchLog log;
        // Called once per request, right before it is sent (may show the proxy login dialog).
        std::function<ProxyValues()> proxy;
        // Receives every result, in keyword order and result order.
        ListingSink addListing;
        // Called when a run starts without keywords, before the count line.
        std::function<void()> noKeywords;
    };

    SourceRun(SearchSource source, Hooks hooks, QObject* parent = nullptr);
    // Aborts the transfers still in flight and waits for their threads (milliseconds).
    ~SourceRun() override;

    int TimeoutMs = 90000;
    std::size_t MaxReplyBytes = std::size_t(64) * 1024 * 1024;
    // The longest Retry-After honoured; a longer one is waited this long.
    int MaxRetryAfterMs = 60000;

    // Starts a run; ends with "Finished.", the count line and finished(). Ignored while running.
    void Start(const std::vector<std::string>& keywords);
    // Aborts every transfer and wait at once; what was received is entered (in keyword order),
    // the run ends as usual.
    void Stop();
    void WaitForEnd();

    bool Running() const;
    // Where the run stands: the first keyword whose lines the log still waits for (with more
    // keywords in flight, the others are further on), the keywords entered so far.
    RunProgress Progress() const;
    // Threads of transfers of all runs not yet ended (none after Stop, the end or destruction).
    static int LiveTransferThreads();

    // --- state of the run
    int NewCount = 0;
    // Keywords that ended with a failure (no reply, an HTTP error, an unreadable reply, engines
    // that did not answer).
    int FailedKeywords = 0;

signals:
    void finished();
    // A request was sent, a keyword was entered, or the run ended.
    void progressChanged();

private:
    struct State;
    std::unique_ptr<State> state_;
};
