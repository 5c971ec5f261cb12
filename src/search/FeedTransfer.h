// One HTTP GET to the search feed with libcurl: HTTP/1.0, the request target and header lines
// exactly as composed, every network wait bounded, the reply size bounded, and an abort that
// takes effect at once from any thread.
#pragma once

#include "search/FeedRequest.h"

#include <atomic>
#include <cstddef>
#include <string>

struct TransferResult {
    enum Outcome {
        Received, // a reply arrived (any HTTP status)
        Failed,   // no reply: connection refused, closed without a reply, bad address, ...
        TimedOut, // a network wait took longer than allowed
        TooLarge, // the reply went beyond the size limit and was not read
        Aborted,  // Abort was called
    };
    Outcome outcome = Failed;
    long status = 0;
    std::string body;
    // Why there was no reply (for the command line tool's error output).
    std::string error;

    bool ReplyReceived() const { return outcome == Received; }
};

class FeedTransfer {
public:
    static constexpr int DefaultTimeoutMs = 90000;
    static constexpr std::size_t DefaultMaxReplyBytes = std::size_t(64) * 1024 * 1024;

    explicit FeedTransfer(FeedRequest request, int timeoutMs = DefaultTimeoutMs,
                          std::size_t maxReplyBytes = DefaultMaxReplyBytes);
    ~FeedTransfer();
    FeedTransfer(const FeedTransfer&) = delete;
    FeedTransfer& operator=(const FeedTransfer&) = delete;

    // Performs the request and waits for its end; call once. Each wait (connecting, sending,
    // the next bytes of the reply) may last timeoutMs.
    TransferResult Perform();
    // Ends Perform as Aborted within milliseconds; safe from any thread, before or during Perform.
    void Abort();

    const FeedRequest& Request() const { return request_; }

private:
    static std::size_t onBody(char* data, std::size_t size, std::size_t count, void* self);
    static std::size_t onHeader(char* data, std::size_t size, std::size_t count, void* self);
    static int onConnected(void* self, char*, char*, int, int);
    void touch();

    FeedRequest request_;
    int timeoutMs_;
    std::size_t maxReplyBytes_;
    void* multi_;
    std::atomic<bool> abort_{false};
    bool tooLarge_ = false;
    std::string body_;
    long long lastActivityMs_ = 0;
};
