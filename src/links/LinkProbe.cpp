#include "links/LinkProbe.h"

#include "search/CurlSupport.h"
#include "search/FeedRequest.h"
#include "search/FeedTransfer.h"

#include <curl/curl.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <ctime>
#include <mutex>
#include <set>
#include <utility>

namespace {

bool IsRedirect(long status) {
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

LinkFailure FailureOf(CURLcode code, int osErrno) {
    switch (code) {
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_RESOLVE_PROXY:
        return LinkFailure::Dns;
    case CURLE_COULDNT_CONNECT:
        return osErrno == ECONNREFUSED ? LinkFailure::Refused : LinkFailure::Other;
    case CURLE_OPERATION_TIMEDOUT:
        return LinkFailure::Timeout;
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_SSL_ENGINE_NOTFOUND:
    case CURLE_SSL_ENGINE_SETFAILED:
    case CURLE_SSL_CERTPROBLEM:
    case CURLE_SSL_CIPHER:
    case CURLE_USE_SSL_FAILED:
    case CURLE_SSL_ENGINE_INITFAILED:
    case CURLE_SSL_CACERT_BADFILE:
    case CURLE_SSL_SHUTDOWN_FAILED:
    case CURLE_SSL_CRL_BADFILE:
    case CURLE_SSL_ISSUER_ERROR:
    case CURLE_SSL_PINNEDPUBKEYNOTMATCH:
    case CURLE_SSL_INVALIDCERTSTATUS:
    case CURLE_SSL_CLIENTCERT:
        return LinkFailure::Tls;
    default:
        return LinkFailure::Other;
    }
}

// Whether a page of that Content-Type is read for its details: HTML, or no type named.
bool IsHtml(std::string_view contentType) {
    std::string type(contentType.substr(0, contentType.find(';')));
    type.erase(std::remove_if(type.begin(), type.end(),
                              [](char c) { return std::isspace(static_cast<unsigned char>(c)); }),
               type.end());
    std::transform(type.begin(), type.end(), type.begin(), [](char c) {
        return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    });
    return type.empty() || type == "text/html" || type == "application/xhtml+xml";
}

struct Easy {
    CURL* handle = curl_easy_init();
    ~Easy() {
        if (handle)
            curl_easy_cleanup(handle);
    }
};

// One request of a probe and what came of it.
struct Hop {
    bool replied = false;
    bool aborted = false;
    long status = 0;
    LinkFailure failure = LinkFailure::None;
    std::string error;
    // The address asked, as curl wrote it, and where a redirect leads (resolved against it).
    std::string effectiveUrl;
    std::string location;
    std::string contentType;
    std::string retryAfter;
    std::string body;
    bool cut = false;

    // Set while the request runs.
    bool get = false;
    bool keepBody = false;
    std::size_t maxBytes = 0;
    long long lastActivityMs = 0;
};

} // namespace

LinkProbe::LinkProbe(std::string url, ProbeOptions options)
    : url_(std::move(url)), options_(std::move(options)) {
    InitCurlOnce();
    current_ = curl_multi_init();
}

LinkProbe::~LinkProbe() {
    if (void* multi = current_.exchange(nullptr))
        curl_multi_cleanup(static_cast<CURLM*>(multi));
}

void LinkProbe::Abort() {
    abort_ = true;
    if (void* multi = current_.load())
        curl_multi_wakeup(static_cast<CURLM*>(multi));
}

namespace {

std::size_t OnBody(char* data, std::size_t size, std::size_t count, void* self) {
    auto* hop = static_cast<Hop*>(self);
    const std::size_t n = size * count;
    hop->lastActivityMs = SteadyNowMs();
    if (!hop->keepBody)
        return 0; // the status and header are all a check needs
    const std::size_t room = hop->maxBytes - std::min(hop->maxBytes, hop->body.size());
    if (n > room) {
        hop->body.append(data, room);
        hop->cut = true;
        return 0; // ends the transfer; what was read is kept
    }
    hop->body.append(data, n);
    return n;
}

std::size_t OnHeader(char* data, std::size_t size, std::size_t count, void* self) {
    auto* hop = static_cast<Hop*>(self);
    hop->lastActivityMs = SteadyNowMs();
    const std::string_view line(data, size * count);
    if (line.rfind("HTTP/", 0) == 0)
        hop->retryAfter.clear();
    else if (const std::string_view value = HeaderValue(line, "Retry-After"); !value.empty())
        hop->retryAfter = std::string(value);
    return size * count;
}

int OnConnected(void* self, char*, char*, int, int) {
    static_cast<Hop*>(self)->lastActivityMs = SteadyNowMs();
    return CURL_PREREQFUNC_OK;
}

// One request to url, HEAD or GET, without following a redirect.
Hop Request(const std::string& url, bool get, const ProbeOptions& options, CURLM* multi,
            std::atomic<bool>& abort) {
    Hop hop;
    hop.get = get;
    hop.keepBody = get && options.details;
    hop.maxBytes = options.maxPageBytes;
    hop.effectiveUrl = url;
    Easy easy;
    if (!multi || !easy.handle) {
        hop.failure = LinkFailure::Other;
        hop.error = "The HTTP client could not be created.";
        return hop;
    }
    const int timeoutMs = std::max(1, options.timeoutMs);
    CURL* h = easy.handle;
    char errorText[CURL_ERROR_SIZE] = {};
    curl_easy_setopt(h, CURLOPT_ERRORBUFFER, errorText);
    curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(h, CURLOPT_URL, url.c_str());
    curl_easy_setopt(h, CURLOPT_NOBODY, get ? 0L : 1L);
    const std::string agent = options.userAgent.empty() ? SourceUserAgent() : options.userAgent;
    curl_easy_setopt(h, CURLOPT_USERAGENT, agent.c_str());
    curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(h, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(h, CURLOPT_SSL_VERIFYHOST, 2L);
    // Each redirect is a request of its own, so that its status is kept.
    curl_easy_setopt(h, CURLOPT_FOLLOWLOCATION, 0L);
    if (hop.keepBody)
        curl_easy_setopt(h, CURLOPT_ACCEPT_ENCODING, "");
    curl_easy_setopt(h, CURLOPT_FORBID_REUSE, 1L);
    // The proxy is the user's setting only, never one from the environment.
    const ProxyValues& proxy = options.proxy;
    if (proxy.use && !proxy.host.empty()) {
        curl_easy_setopt(h, CURLOPT_PROXY, proxy.host.c_str());
        curl_easy_setopt(h, CURLOPT_PROXYTYPE, long(CURLPROXY_HTTP));
        curl_easy_setopt(
            h, CURLOPT_PROXYPORT,
            long(proxy.port > 0 && proxy.port <= 65535 ? proxy.port : DefaultProxyPort));
        if (!proxy.user.empty()) {
            curl_easy_setopt(h, CURLOPT_PROXYAUTH, long(CURLAUTH_BASIC));
            curl_easy_setopt(h, CURLOPT_PROXYUSERNAME, proxy.user.c_str());
            curl_easy_setopt(h, CURLOPT_PROXYPASSWORD, proxy.password.c_str());
        }
    } else {
        curl_easy_setopt(h, CURLOPT_PROXY, "");
    }
    curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT_MS, long(timeoutMs));
    curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, &OnBody);
    curl_easy_setopt(h, CURLOPT_WRITEDATA, &hop);
    curl_easy_setopt(h, CURLOPT_HEADERFUNCTION, &OnHeader);
    curl_easy_setopt(h, CURLOPT_HEADERDATA, &hop);
    curl_easy_setopt(h, CURLOPT_PREREQFUNCTION, &OnConnected);
    curl_easy_setopt(h, CURLOPT_PREREQDATA, &hop);
    curl_easy_setopt(h, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(h, CURLOPT_XFERINFOFUNCTION, &StopWhenAborted);
    curl_easy_setopt(h, CURLOPT_XFERINFODATA, &abort);
    curl_easy_setopt(h, CURLOPT_QUICK_EXIT, 1L);

    hop.lastActivityMs = SteadyNowMs();
    curl_multi_add_handle(multi, h);
    CURLcode code = CURLE_OK;
    bool done = false;
    bool timedOut = false;
    for (;;) {
        int running = 0;
        curl_multi_perform(multi, &running);
        int queued = 0;
        while (CURLMsg* msg = curl_multi_info_read(multi, &queued))
            if (msg->msg == CURLMSG_DONE && msg->easy_handle == h) {
                code = msg->data.result;
                done = true;
            }
        if (abort || done)
            break;
        const long long idle = SteadyNowMs() - hop.lastActivityMs;
        if (idle >= timeoutMs) {
            timedOut = true;
            break;
        }
        curl_multi_poll(multi, nullptr, 0,
                        static_cast<int>(std::min<long long>(timeoutMs - idle, 1000)), nullptr);
    }
    curl_multi_remove_handle(multi, h);
    if (abort) {
        hop.aborted = true;
        hop.error = "The check was stopped.";
        return hop;
    }
    if (timedOut) {
        hop.failure = LinkFailure::Timeout;
        hop.error = "No answer within " + std::to_string(timeoutMs) + " ms.";
        return hop;
    }

    const char* effective = nullptr;
    if (curl_easy_getinfo(h, CURLINFO_EFFECTIVE_URL, &effective) == CURLE_OK && effective)
        hop.effectiveUrl = effective;
    long status = 0;
    curl_easy_getinfo(h, CURLINFO_RESPONSE_CODE, &status);
    // Ended by us after the header (or at the size limit), or closed early: still a reply.
    const bool stoppedByUs = code == CURLE_WRITE_ERROR;
    if (status > 0 && (code == CURLE_OK || code == CURLE_PARTIAL_FILE || stoppedByUs)) {
        hop.replied = true;
        hop.status = status;
        if (const char* type = nullptr;
            curl_easy_getinfo(h, CURLINFO_CONTENT_TYPE, &type) == CURLE_OK && type)
            hop.contentType = type;
        if (const char* location = nullptr;
            curl_easy_getinfo(h, CURLINFO_REDIRECT_URL, &location) == CURLE_OK && location)
            hop.location = location;
        return hop;
    }
    // A proxy that refused the tunnel to an https address answered with its own status.
    long connectCode = 0;
    curl_easy_getinfo(h, CURLINFO_HTTP_CONNECTCODE, &connectCode);
    if (connectCode >= 300) {
        hop.replied = true;
        hop.status = connectCode;
        return hop;
    }
    long osErrno = 0;
    curl_easy_getinfo(h, CURLINFO_OS_ERRNO, &osErrno);
    hop.failure = FailureOf(code, static_cast<int>(osErrno));
    hop.error = errorText[0] ? errorText : curl_easy_strerror(code);
    return hop;
}

} // namespace

ProbeResult LinkProbe::Perform() {
    ProbeResult result;
    LinkOutcome& outcome = result.outcome;
    std::string url = url_;
    std::set<std::string> seen{url};
    for (;;) {
        if (abort_) {
            result.aborted = true;
            return result;
        }
        auto* multi = static_cast<CURLM*>(current_.load());
        Hop hop = Request(url, options_.details, options_, multi, abort_);
        // A server that refuses HEAD, or says nothing to it, is asked with GET.
        if (!options_.details && !hop.aborted &&
            (hop.replied ? hop.status == 405 || hop.status == 501
                         : hop.failure == LinkFailure::Other))
            hop = Request(url, true, options_, multi, abort_);
        if (hop.aborted) {
            result.aborted = true;
            result.error = hop.error;
            return result;
        }
        outcome.finalUrl = hop.effectiveUrl;
        if (!hop.replied) {
            outcome.failure = hop.failure;
            outcome.failures = 1;
            result.error = hop.error;
            return result;
        }
        seen.insert(hop.effectiveUrl);
        if (IsRedirect(hop.status) && !hop.location.empty()) {
            outcome.redirects.push_back(static_cast<int>(hop.status));
            if (static_cast<int>(outcome.redirects.size()) > options_.maxRedirects ||
                seen.count(hop.location)) {
                outcome.failure = LinkFailure::TooManyRedirects;
                outcome.failures = 1;
                result.error = "Redirected too often or in a loop.";
                return result;
            }
            url = hop.location;
            seen.insert(url);
            continue;
        }
        outcome.status = hop.status;
        if (hop.status == 429 || hop.status == 503)
            result.retryAfterMs = ParseRetryAfter(hop.retryAfter, std::time(nullptr));
        if (options_.details) {
            result.cut = hop.cut;
            if (hop.status >= 200 && hop.status < 300 && IsHtml(hop.contentType)) {
                result.details = ReadPageDetails(hop.body, hop.contentType);
                result.detailsRead = true;
            }
        }
        return result;
    }
}
