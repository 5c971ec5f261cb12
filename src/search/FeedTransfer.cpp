#include "search/FeedTransfer.h"

#include "search/CurlSupport.h"

#include <curl/curl.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <mutex>
#include <utility>

namespace {

// Header lists and easy handles freed on every way out.
struct Easy {
    CURL* handle = curl_easy_init();
    curl_slist* headers = nullptr;
    ~Easy() {
        if (handle)
            curl_easy_cleanup(handle);
        curl_slist_free_all(headers);
    }
};

bool IsCertificateFailure(CURLcode code) {
    switch (code) {
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_SSL_CACERT_BADFILE:
    case CURLE_SSL_ISSUER_ERROR:
    case CURLE_SSL_PINNEDPUBKEYNOTMATCH:
    case CURLE_SSL_INVALIDCERTSTATUS:
        return true;
    default:
        return false;
    }
}

} // namespace

std::string HttpStatusText(long status) {
    static const struct {
        long status;
        const char* phrase;
    } phrases[] = {
        {200, "OK"},
        {201, "Created"},
        {202, "Accepted"},
        {203, "Non-Authoritative Information"},
        {204, "No Content"},
        {206, "Partial Content"},
        {300, "Multiple Choices"},
        {301, "Moved Permanently"},
        {302, "Found"},
        {303, "See Other"},
        {304, "Not Modified"},
        {307, "Temporary Redirect"},
        {308, "Permanent Redirect"},
        {400, "Bad Request"},
        {401, "Unauthorized"},
        {402, "Payment Required"},
        {403, "Forbidden"},
        {404, "Not Found"},
        {405, "Method Not Allowed"},
        {406, "Not Acceptable"},
        {407, "Proxy Authentication Required"},
        {408, "Request Timeout"},
        {410, "Gone"},
        {413, "Content Too Large"},
        {414, "URI Too Long"},
        {415, "Unsupported Media Type"},
        {418, "I'm a teapot"},
        {421, "Misdirected Request"},
        {422, "Unprocessable Content"},
        {425, "Too Early"},
        {426, "Upgrade Required"},
        {428, "Precondition Required"},
        {429, "Too Many Requests"},
        {431, "Request Header Fields Too Large"},
        {451, "Unavailable For Legal Reasons"},
        {500, "Internal Server Error"},
        {501, "Not Implemented"},
        {502, "Bad Gateway"},
        {503, "Service Unavailable"},
        {504, "Gateway Timeout"},
        {505, "HTTP Version Not Supported"},
        {507, "Insufficient Storage"},
        {508, "Loop Detected"},
        {511, "Network Authentication Required"},
    };
    for (const auto& p : phrases)
        if (p.status == status)
            return std::to_string(status) + " " + p.phrase;
    return std::to_string(status);
}

long long ParseRetryAfter(std::string_view value, std::time_t now) {
    while (!value.empty() && std::isspace(static_cast<unsigned char>(value.front())))
        value.remove_prefix(1);
    while (!value.empty() && std::isspace(static_cast<unsigned char>(value.back())))
        value.remove_suffix(1);
    if (value.empty())
        return -1;
    if (std::all_of(value.begin(), value.end(),
                    [](char c) { return std::isdigit(static_cast<unsigned char>(c)); })) {
        // More than a day is as good as forever; it is bounded by the caller anyway.
        constexpr long long MaxSeconds = 86400;
        long long seconds = 0;
        for (const char c : value) {
            seconds = seconds * 10 + (c - '0');
            if (seconds > MaxSeconds)
                return MaxSeconds * 1000;
        }
        return seconds * 1000;
    }
    // An HTTP-date names its weekday first: "Wed, 21 Oct 2015 07:28:00 GMT".
    if (!std::isalpha(static_cast<unsigned char>(value.front())))
        return -1;
    const std::string text(value);
    const std::time_t when = curl_getdate(text.c_str(), nullptr);
    if (when == -1)
        return -1;
    return when <= now ? 0 : static_cast<long long>(when - now) * 1000;
}

FeedTransfer::FeedTransfer(FeedRequest request, int timeoutMs, std::size_t maxReplyBytes)
    : request_(std::move(request)), timeoutMs_(std::max(1, timeoutMs)),
      maxReplyBytes_(maxReplyBytes) {
    InitCurlOnce();
    multi_ = curl_multi_init();
}

FeedTransfer::~FeedTransfer() {
    curl_multi_cleanup(static_cast<CURLM*>(multi_));
}

void FeedTransfer::Abort() {
    abort_ = true;
    if (multi_)
        curl_multi_wakeup(static_cast<CURLM*>(multi_));
}

void FeedTransfer::touch() {
    lastActivityMs_ = SteadyNowMs();
}

std::size_t FeedTransfer::onBody(char* data, std::size_t size, std::size_t count, void* self) {
    auto* t = static_cast<FeedTransfer*>(self);
    const std::size_t n = size * count;
    t->touch();
    if (t->body_.size() + n > t->maxReplyBytes_) {
        t->tooLarge_ = true;
        return 0; // ends the transfer with a write error
    }
    t->body_.append(data, n);
    return n;
}

std::size_t FeedTransfer::onHeader(char* data, std::size_t size, std::size_t count, void* self) {
    auto* t = static_cast<FeedTransfer*>(self);
    t->touch();
    const std::string_view line(data, size * count);
    // Each reply of a redirect or a proxy's tunnel starts with its status line: only the last
    // reply's header counts.
    if (line.rfind("HTTP/", 0) == 0)
        t->retryAfter_.clear();
    else if (const std::string_view value = HeaderValue(line, "Retry-After"); !value.empty())
        t->retryAfter_ = std::string(value);
    return size * count;
}

int FeedTransfer::onConnected(void* self, char*, char*, int, int) {
    static_cast<FeedTransfer*>(self)->touch();
    return CURL_PREREQFUNC_OK;
}

TransferResult FeedTransfer::Perform() {
    TransferResult result;
    auto* multi = static_cast<CURLM*>(multi_);
    Easy easy;
    if (!multi || !easy.handle) {
        result.error = "The HTTP client could not be created.";
        return result;
    }
    CURL* h = easy.handle;
    char errorText[CURL_ERROR_SIZE] = {};
    curl_easy_setopt(h, CURLOPT_ERRORBUFFER, errorText);
    curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(h, CURLOPT_URL, request_.connectUrl.c_str());
    if (!request_.target.empty())
        curl_easy_setopt(h, CURLOPT_REQUEST_TARGET, request_.target.c_str());
    curl_easy_setopt(h, CURLOPT_HTTP_VERSION,
                     long(request_.http11 ? CURL_HTTP_VERSION_1_1 : CURL_HTTP_VERSION_1_0));
    curl_easy_setopt(h, CURLOPT_USERAGENT,
                     request_.userAgent.empty() ? FeedUserAgent : request_.userAgent.c_str());
    // The feed gets only Host, the proxy's authorization and User-Agent: curl's own Accept and
    // Proxy-Connection lines are removed. The other sources add lines of their own.
    const bool ownAccept =
        std::any_of(request_.headers.begin(), request_.headers.end(),
                    [](const std::string& l) { return !HeaderValue(l, "Accept").empty(); });
    if (!ownAccept)
        easy.headers = curl_slist_append(easy.headers, "Accept:");
    easy.headers = curl_slist_append(easy.headers, "Proxy-Connection:");
    for (const std::string& line : request_.headers)
        easy.headers = curl_slist_append(easy.headers, line.c_str());
    curl_easy_setopt(h, CURLOPT_HTTPHEADER, easy.headers);
    // Only web addresses, also where a redirect leads; curl checks certificates of https ones.
    curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(h, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(h, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(h, CURLOPT_SSL_VERIFYHOST, 2L);
    curl_easy_setopt(h, CURLOPT_FOLLOWLOCATION, request_.maxRedirects > 0 ? 1L : 0L);
    curl_easy_setopt(h, CURLOPT_MAXREDIRS, long(request_.maxRedirects));
    if (request_.http11)
        curl_easy_setopt(h, CURLOPT_ACCEPT_ENCODING, ""); // every encoding curl can undo
    curl_easy_setopt(h, CURLOPT_FORBID_REUSE, 1L);
    // The proxy is the user's setting only, never one from the environment.
    curl_easy_setopt(h, CURLOPT_PROXY, request_.proxyHost.c_str());
    if (!request_.proxyHost.empty()) {
        curl_easy_setopt(h, CURLOPT_PROXYTYPE, long(CURLPROXY_HTTP));
        curl_easy_setopt(h, CURLOPT_PROXYPORT, long(request_.proxyPort));
        if (request_.proxyAuth) {
            curl_easy_setopt(h, CURLOPT_PROXYAUTH, long(CURLAUTH_BASIC));
            curl_easy_setopt(h, CURLOPT_PROXYUSERNAME, request_.proxyUser.c_str());
            curl_easy_setopt(h, CURLOPT_PROXYPASSWORD, request_.proxyPassword.c_str());
        }
    }
    curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT_MS, long(timeoutMs_));
    curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, &FeedTransfer::onBody);
    curl_easy_setopt(h, CURLOPT_WRITEDATA, this);
    curl_easy_setopt(h, CURLOPT_HEADERFUNCTION, &FeedTransfer::onHeader);
    curl_easy_setopt(h, CURLOPT_HEADERDATA, this);
    curl_easy_setopt(h, CURLOPT_PREREQFUNCTION, &FeedTransfer::onConnected);
    curl_easy_setopt(h, CURLOPT_PREREQDATA, this);
    // An abort also ends the transfer inside curl's own work, not only between two waits.
    curl_easy_setopt(h, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(h, CURLOPT_XFERINFOFUNCTION, &StopWhenAborted);
    curl_easy_setopt(h, CURLOPT_XFERINFODATA, &abort_);
    // Ending the transfer does not wait for a name lookup still under way (that can take as long
    // as the resolver's own time-out): curl lets it finish on its own.
    curl_easy_setopt(h, CURLOPT_QUICK_EXIT, 1L);

    body_.clear();
    retryAfter_.clear();
    tooLarge_ = false;
    touch();
    curl_multi_add_handle(multi, h);

    CURLcode code = CURLE_OK;
    bool done = false;
    for (;;) {
        int running = 0;
        curl_multi_perform(multi, &running);
        int queued = 0;
        while (CURLMsg* msg = curl_multi_info_read(multi, &queued)) {
            if (msg->msg == CURLMSG_DONE && msg->easy_handle == h) {
                code = msg->data.result;
                done = true;
            }
        }
        if (abort_) {
            result.outcome = TransferResult::Aborted;
            result.error = "The request was aborted.";
            break;
        }
        if (done)
            break;
        const long long idle = SteadyNowMs() - lastActivityMs_;
        if (idle >= timeoutMs_) {
            result.outcome = TransferResult::TimedOut;
            result.error = "No answer within " + std::to_string(timeoutMs_) + " ms.";
            break;
        }
        const int wait = static_cast<int>(std::min<long long>(timeoutMs_ - idle, 1000));
        curl_multi_poll(multi, nullptr, 0, wait, nullptr);
    }
    curl_multi_remove_handle(multi, h);
    if (!done)
        return result;

    if (tooLarge_) {
        result.outcome = TransferResult::TooLarge;
        result.error = "The reply is larger than " + std::to_string(maxReplyBytes_) + " bytes.";
        return result;
    }
    result.curlCode = static_cast<int>(code);
    long status = 0;
    curl_easy_getinfo(h, CURLINFO_RESPONSE_CODE, &status);
    const char* effective = nullptr;
    if (curl_easy_getinfo(h, CURLINFO_EFFECTIVE_URL, &effective) == CURLE_OK && effective)
        result.finalUrl = effective;
    // A reply whose connection closed before its announced end still arrived.
    if ((code == CURLE_OK || code == CURLE_PARTIAL_FILE) && status > 0) {
        result.outcome = TransferResult::Received;
        result.status = status;
        result.body = std::move(body_);
        const char* type = nullptr;
        if (curl_easy_getinfo(h, CURLINFO_CONTENT_TYPE, &type) == CURLE_OK && type)
            result.contentType = type;
        result.retryAfterMs = ParseRetryAfter(retryAfter_, std::time(nullptr));
        return result;
    }
    long osErrno = 0;
    curl_easy_getinfo(h, CURLINFO_OS_ERRNO, &osErrno);
    result.osErrno = static_cast<int>(osErrno);
    if (code == CURLE_OPERATION_TIMEDOUT)
        result.outcome = TransferResult::TimedOut;
    else if (IsCertificateFailure(code))
        result.outcome = TransferResult::CertificateRejected;
    result.error = errorText[0] ? errorText : curl_easy_strerror(code);
    return result;
}
