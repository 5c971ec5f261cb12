// The lines a run of an OpenSearch or searx source writes into its log, as the user sees them.
// The run's last two lines are the feed's: SearchMessages::Finished and the count line.
#pragma once

#include "search/FeedTransfer.h"

#include <string>
#include <string_view>
#include <vector>

namespace SourceMessages {
// Written when Stop ended the run, before "Finished.".
inline constexpr const char* Stopped = "Stopped.";
// What a searx server answers with 403 to a request for JSON.
inline constexpr const char* SearxJsonRefused =
    "The server does not allow the JSON format: enable \"json\" under \"search: formats\" in its "
    "settings.yml, or use its RSS output as an OpenSearch source.";
inline constexpr const char* TooManyRequests =
    "The server refuses to be asked this often: raise the interval between requests.";
inline constexpr const char* ProxyLoginRefused =
    "The proxy did not accept the login: check the proxy settings.";
inline constexpr const char* HtmlInsteadOfFeed = "The reply is a web page, not RSS or Atom.";
inline constexpr const char* HtmlInsteadOfJson = "The reply is a web page, not JSON.";

// `Searching "NAME" for 3 keywords...`
std::string RunStart(std::string_view sourceName, std::size_t keywords);
// `Cannot search "NAME": REASON`
std::string CannotSearch(std::string_view sourceName, std::string_view reason);
// `cats: 2 pages fetched, 17 results, 12 new records`
std::string KeywordSummary(std::string_view keyword, int pages, int results, int newRecords);
// `cats: ADDRESS failed: REASON` (the address without its password).
std::string KeywordFailed(std::string_view keyword, std::string_view address,
                          std::string_view reason);
// `cats: engines that did not answer: a (timeout), b (error)`
std::string EnginesSilent(std::string_view keyword, const std::vector<std::string>& engines);
// `cats: ADDRESS answered HTTP 429 Too Many Requests; asked again after 2 s`
std::string AskedAgain(std::string_view keyword, std::string_view address, long status,
                       long long waitedMs);

// Why a transfer brought no usable reply, as a sentence: the status with its meaning, the
// time-out, a refused connection, a certificate that was not accepted, a reply too large.
// searx: a 403 means the JSON format is not allowed.
// timeoutMs, maxReplyBytes: the limits the transfer had.
std::string TransferFailure(const TransferResult& result, bool searx, int timeoutMs,
                            std::size_t maxReplyBytes);
// "the engines did not answer: a (timeout), b (error)."
std::string EnginesFailed(const std::vector<std::string>& engines);
// "The reply cannot be read: REASON" (with what its Content-Type says when it is a web page).
std::string UnreadableReply(std::string_view reason, std::string_view contentType, bool searx);
// A span of milliseconds as a user reads it: "2 s", "1.5 s", "300 ms".
std::string Duration(long long ms);
} // namespace SourceMessages
