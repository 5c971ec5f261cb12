// One run of the automatic search over a list of keywords: one feed request per keyword, in
// order, each transfer on a thread that the run owns, and everything else (the proxy values, the
// log, the reply processing, every added listing) on the thread that owns the run, in keyword
// order.
#pragma once

#include "search/FeedReply.h"
#include "search/FeedRequest.h"
#include "search/FeedTransfer.h"

#include <QElapsedTimer>
#include <QObject>

#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

// Where a run over keywords stands, for a line and a bar beside the log.
struct RunProgress {
    // Whether the run is under way.
    bool running = false;
    // The keyword the run is at, counted from 1 (0 before the first), and its text.
    int keyword = 0;
    std::string word;
    int count = 0;
    // Keywords done with (answered, failed or stopped).
    int done = 0;
    // How long the reply to the keyword's request has been awaited; -1 when none is awaited.
    long long waitedMs = -1;
};

// "Keyword 3 of 9: garden", with ", waiting for a reply: 12 s" once a reply has been awaited a
// second; after the run "Searched 9 of 9 keywords."; empty before the first keyword.
std::string ProgressLine(const RunProgress& progress);

class SearchRun : public QObject {
    Q_OBJECT
public:
    struct Hooks {
        // Receives every log line.
        SearchLog log;
        // Called once per request, right before it is sent.
        std::function<ProxyValues()> proxy;
        // Receives every listing of an accepted reply.
        ListingSink addListing;
        // Called when a run starts without keywords, before the count line.
        std::function<void()> noKeywords;
        // Receives why a request got no reply (optional).
        std::function<void(const TransferResult&)> failure;
    };

    explicit SearchRun(Hooks hooks, QObject* parent = nullptr);
    // Aborts a transfer still in flight and waits for its thread, which takes milliseconds.
    ~SearchRun() override;

    // The feed's "host" or "host:port".
    std::string FeedHostText;
    int TimeoutMs = FeedTransfer::DefaultTimeoutMs;
    std::size_t MaxReplyBytes = FeedTransfer::DefaultMaxReplyBytes;

    // Starts a run (the first request is under way when this returns). The run ends with the
    // count line and the signal finished(); ignored while a run is going on.
    void Start(const std::vector<std::string>& keywords);
    // Aborts the request in flight and waits for its thread (milliseconds); the run then ends at
    // once, as after a request that could not be sent. Without a request in flight, nothing
    // happens.
    void Stop();
    // Waits, handling the events of this thread, until the run has ended.
    void WaitForEnd();

    bool Running() const { return running_; }
    // Where the run stands now (the last run's end when none is under way).
    RunProgress Progress() const;
    bool RequestInFlight() const { return job_ != nullptr; }
    // The transfer threads of all runs that have not ended yet: none once every run has been
    // stopped, has ended or is destroyed.
    static int LiveTransferThreads();

    // --- state of the run, as the window shows it
    bool Failed = false;
    int NewCount = 0;
    FeedReply Reply;

signals:
    void finished();
    // A keyword's request was sent, a keyword is done with, or the run ended.
    void progressChanged();

private:
    struct Job;
    void nextKeyword();
    void transferDone(unsigned long long jobId);
    void endTransfer();
    void requestFailed(const TransferResult& result);
    void finishRun();

    Hooks hooks_;
    bool running_ = false;
    std::vector<std::string> keywords_;
    std::size_t next_ = 0;
    // The transfer under way and the thread that performs it; the thread is joined before the
    // job goes, before the next one starts, and at the latest when the run is destroyed.
    std::unique_ptr<Job> job_;
    std::thread worker_;
    unsigned long long jobId_ = 0;
    // Keywords done with in this run, and since when the request in flight is awaited.
    std::size_t done_ = 0;
    QElapsedTimer sent_;
};
