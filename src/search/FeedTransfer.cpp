#include "search/FeedTransfer.h"

#include <curl/curl.h>

#include <algorithm>
#include <chrono>
#include <mutex>
#include <utility>

namespace {

void InitCurlOnce() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

long long NowMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

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

// Called by curl at least once a second during a transfer; non-zero ends it.
int StopWhenAborted(void* abort, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    return static_cast<const std::atomic<bool>*>(abort)->load() ? 1 : 0;
}

} // namespace

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
    lastActivityMs_ = NowMs();
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

std::size_t FeedTransfer::onHeader(char*, std::size_t size, std::size_t count, void* self) {
    static_cast<FeedTransfer*>(self)->touch();
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
    curl_easy_setopt(h, CURLOPT_REQUEST_TARGET, request_.target.c_str());
    curl_easy_setopt(h, CURLOPT_HTTP_VERSION, long(CURL_HTTP_VERSION_1_0));
    curl_easy_setopt(h, CURLOPT_USERAGENT, FeedUserAgent);
    // Only Host, the proxy's authorization and User-Agent go out: curl's own Accept and
    // Proxy-Connection lines are removed.
    easy.headers = curl_slist_append(easy.headers, "Accept:");
    easy.headers = curl_slist_append(easy.headers, "Proxy-Connection:");
    curl_easy_setopt(h, CURLOPT_HTTPHEADER, easy.headers);
    curl_easy_setopt(h, CURLOPT_FOLLOWLOCATION, 0L);
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
        const long long idle = NowMs() - lastActivityMs_;
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
    long status = 0;
    curl_easy_getinfo(h, CURLINFO_RESPONSE_CODE, &status);
    // A reply whose connection closed before its announced end still arrived.
    if ((code == CURLE_OK || code == CURLE_PARTIAL_FILE) && status > 0) {
        result.outcome = TransferResult::Received;
        result.status = status;
        result.body = std::move(body_);
        return result;
    }
    if (code == CURLE_OPERATION_TIMEDOUT)
        result.outcome = TransferResult::TimedOut;
    result.error = errorText[0] ? errorText : curl_easy_strerror(code);
    return result;
}
