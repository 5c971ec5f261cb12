// One HTTP GET to the search feed with libcurl: HTTP/1.0, the request target and header lines
// exactly as composed, every network wait bounded, the reply size bounded, and an abort that
// takes effect at once from any thread. The other search sources use it too, with HTTP/1.1,
// https, redirects and header lines of their own (see FeedRequest).
#pragma once

#include "search/FeedRequest.h"

#include <atomic>
#include <cstddef>
#include <ctime>
#include <string>
#include <string_view>

struct TransferResult {
    enum Outcome {
        Received, // a reply arrived (any HTTP status)
        Failed,   // no reply: connection refused, closed without a reply, bad address, ...
        TimedOut, // a network wait took longer than allowed
        TooLarge, // the reply went beyond the size limit and was not read
        Aborted,  // Abort was called
        CertificateRejected, // https: the server's certificate was not accepted
    };
    Outcome outcome = Failed;
    long status = 0;
    std::string body;
    // Why there was no reply (for the command line tool's error output).
    std::string error;
    // curl's result code of the transfer (CURLE_OK with a reply).
    int curlCode = 0;
    // The system's error number of a failed connection (ECONNREFUSED, ...), else 0.
    int osErrno = 0;
    // The reply's Content-Type, as sent; empty when none.
    std::string contentType;
    // The reply's Retry-After in milliseconds from its arrival; -1 when none or unreadable.
    long long retryAfterMs = -1;
    // The address that answered, after redirects.
    std::string finalUrl;

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
    std::string retryAfter_;
    long long lastActivityMs_ = 0;
};

// The status with its reason phrase ("403 Forbidden"); the number alone for an unknown one.
std::string HttpStatusText(long status);

// A Retry-After value in milliseconds: delay seconds, or an HTTP-date taken against now (a
// date in the past is 0). -1 when it is neither.
long long ParseRetryAfter(std::string_view value, std::time_t now);
