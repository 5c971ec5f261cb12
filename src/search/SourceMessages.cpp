#include "search/SourceMessages.h"

#include "search/FeedRequest.h"

#include <curl/curl.h>

#include <cerrno>

namespace SourceMessages {

namespace {

std::string Counted(long long n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

std::string Joined(const std::vector<std::string>& items) {
    std::string out;
    for (const std::string& item : items) {
        if (!out.empty())
            out += ", ";
        out += item;
    }
    return out;
}

std::string Bytes(std::size_t n) {
    constexpr std::size_t MiB = std::size_t(1) << 20;
    if (n >= MiB && n % MiB == 0)
        return std::to_string(n / MiB) + " MB";
    return std::to_string(n) + " bytes";
}

// curl's own words for a failure, without the full stop it may end with.
std::string CurlWords(const TransferResult& result) {
    std::string words = result.error;
    while (!words.empty() && (words.back() == '.' || words.back() == '\n'))
        words.pop_back();
    return words;
}

} // namespace

std::string RunStart(std::string_view sourceName, std::size_t keywords) {
    return "Searching \"" + std::string(sourceName) + "\" for " +
           Counted(static_cast<long long>(keywords), "keyword", "keywords") + "...";
}

std::string CannotSearch(std::string_view sourceName, std::string_view reason) {
    return "Cannot search \"" + std::string(sourceName) + "\": " + std::string(reason);
}

std::string KeywordSummary(std::string_view keyword, int pages, int results, int newRecords) {
    return std::string(keyword) + ": " + Counted(pages, "page", "pages") + " fetched, " +
           Counted(results, "result", "results") + ", " +
           Counted(newRecords, "new record", "new records");
}

std::string KeywordFailed(std::string_view keyword, std::string_view address,
                          std::string_view reason) {
    return std::string(keyword) + ": " + AddressWithoutPassword(address) +
           " failed: " + std::string(reason);
}

std::string EnginesSilent(std::string_view keyword, const std::vector<std::string>& engines) {
    return std::string(keyword) + ": engines that did not answer: " + Joined(engines);
}

std::string AskedAgain(std::string_view keyword, std::string_view address, long status,
                       long long waitedMs) {
    return std::string(keyword) + ": " + AddressWithoutPassword(address) + " answered HTTP " +
           HttpStatusText(status) + "; asked again after " + Duration(waitedMs);
}

std::string TransferFailure(const TransferResult& result, bool searx, int timeoutMs,
                            std::size_t maxReplyBytes) {
    switch (result.outcome) {
    case TransferResult::Received: {
        std::string text = "HTTP " + HttpStatusText(result.status) + ".";
        if (searx && result.status == 403)
            text += std::string(" ") + SearxJsonRefused;
        else if (result.status == 429)
            text += std::string(" ") + TooManyRequests;
        else if (result.status == 407)
            text += std::string(" ") + ProxyLoginRefused;
        return text;
    }
    case TransferResult::TimedOut:
        return "No answer within " + Duration(timeoutMs) + ".";
    case TransferResult::TooLarge:
        return "The reply is larger than " + Bytes(maxReplyBytes) + "; it was not read.";
    case TransferResult::Aborted:
        return "The request was stopped.";
    case TransferResult::CertificateRejected:
        return "The server's certificate was not accepted: " + CurlWords(result) + ".";
    case TransferResult::Failed:
        break;
    }
    switch (result.curlCode) {
    case CURLE_COULDNT_CONNECT:
        if (result.osErrno == ECONNREFUSED)
            return "The connection was refused: no server listens at that address.";
        return "The server could not be reached: " + CurlWords(result) + ".";
    case CURLE_COULDNT_RESOLVE_HOST:
        return "The server's name is not known: " + CurlWords(result) + ".";
    case CURLE_COULDNT_RESOLVE_PROXY:
        return "The proxy's name is not known: " + CurlWords(result) + ".";
    case CURLE_GOT_NOTHING:
        return "The server closed the connection without a reply.";
    case CURLE_TOO_MANY_REDIRECTS:
        return "The address redirects too often: " + CurlWords(result) + ".";
    case CURLE_UNSUPPORTED_PROTOCOL:
        return "Only http and https addresses can be asked: " + CurlWords(result) + ".";
    case CURLE_URL_MALFORMAT:
        return "The address is not valid: " + CurlWords(result) + ".";
    default:
        return "The request failed: " + CurlWords(result) + ".";
    }
}

std::string EnginesFailed(const std::vector<std::string>& engines) {
    return "The engines did not answer: " + Joined(engines) + ".";
}

std::string UnreadableReply(std::string_view reason, std::string_view contentType, bool searx) {
    const bool html = std::string_view(contentType).substr(0, 9) == "text/html";
    std::string text;
    if (html)
        text = std::string(searx ? HtmlInsteadOfJson : HtmlInsteadOfFeed) + " ";
    text += "The reply cannot be read: " + std::string(reason);
    if (!text.empty() && text.back() != '.')
        text += ".";
    return text;
}

std::string Duration(long long ms) {
    if (ms < 1000)
        return std::to_string(ms) + " ms";
    std::string text = std::to_string(ms / 1000);
    if (const long long rest = ms % 1000) {
        std::string fraction = std::to_string(1000 + rest).substr(1);
        while (fraction.back() == '0')
            fraction.pop_back();
        text += "." + fraction;
    }
    return text + " s";
}

} // namespace SourceMessages
