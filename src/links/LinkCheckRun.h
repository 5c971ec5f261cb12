// A check of many addresses: up to `parallel` in flight, at least `intervalMs` between two
// requests to the same host, a 429 or 503 with Retry-After waited out (bounded) and tried once
// more, a failure without a reply tried once more some seconds later (two failures of the same
// kind make a record dead), Stop at once. Probes run on threads of the run; results arrive on the
// thread that owns the run, through checked(), in whatever order the probes end.
#pragma once

#include "links/LinkProbe.h"

#include <QObject>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class LinkCheckRun : public QObject {
    Q_OBJECT
public:
    struct Options {
        int parallel = 4;
        int intervalMs = 1000;
        int timeoutMs = 15000;
        bool details = false;
        std::size_t maxPageBytes = std::size_t(2) * 1024 * 1024;
        // The wait before a failed address is tried the second time.
        int recheckDelayMs = 5000;
        // The longest Retry-After honoured; a longer one is waited this long.
        int maxRetryAfterMs = 60000;
        // Called on the owning thread right before each request (may show the proxy login).
        std::function<ProxyValues()> proxy;
    };

    // Where the run stands.
    struct Counts {
        int total = 0;
        int done = 0;
        int alive = 0;
        int moved = 0;
        int dead = 0;
        int failed = 0; // every other outcome, a stopped probe not counted
    };

    LinkCheckRun(std::vector<std::string> urls, Options options, QObject* parent = nullptr);
    // Aborts what is in flight and waits for its threads (milliseconds).
    ~LinkCheckRun() override;

    // Starts the run; ends with finished(). Call once.
    void Start();
    // Aborts every probe and wait at once; ends the run with finished().
    void Stop();
    // Runs the event loop of the calling thread until the run has ended.
    void WaitForEnd();
    bool Running() const;
    bool Stopped() const;
    Counts Progress() const;

    // Threads of probes of all runs not yet ended.
    static int LiveProbeThreads();

signals:
    // The address at index (of the list given) has been checked.
    void checked(int index, const ProbeResult& result);
    void progressChanged();
    void finished();

private:
    struct State;
    std::unique_ptr<State> state_;
};
