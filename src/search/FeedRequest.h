// The request sent to the search feed for one keyword: where it goes, its request target and
// the proxy it passes through.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "settings/core/ProxySettings.h"

// The feed's host and port, from a setting "host" or "host:port".
struct FeedAddress {
    std::string host;
    int port = 80;
};
// A trailing ":digits" with a value of 1-65535 is the port; anything else is part of the host.
FeedAddress ParseFeedHost(std::string_view text);

// Path and query of a feed request; "%s" stands for the keyword.
inline constexpr const char* FeedPathTemplate =
    "/feeds/xml.php?Terms=%s&affiliate=velmora&IP=USER_IP";
inline constexpr const char* FeedUserAgent = "Mozilla/4.0 (compatible; Synapse)";
// The keyword as it can travel in a request target: bytes that cannot appear there at all
// (controls, blanks, DEL and bytes from 0x80 up) become "%XX"; every other byte, "&", "#",
// "%" and "=" included, stays as it is.
std::string EncodeTargetBytes(std::string_view keyword);

// The feed's path and query for the keyword.
std::string FeedPathAndQuery(std::string_view keyword);

struct FeedRequest {
    // The address curl connects to (scheme, host and port, no path).
    std::string connectUrl;
    // The request target written on the request line: the path and query, or through a proxy
    // the whole address with the port always written.
    std::string target;
    // Empty: a direct connection.
    std::string proxyHost;
    int proxyPort = DefaultProxyPort;
    // Basic proxy authorization is sent only with a proxy and a user name.
    bool proxyAuth = false;
    std::string proxyUser;
    std::string proxyPassword;

    // --- requests of the other search sources; the feed leaves these as they are.
    // HTTP/1.1 instead of 1.0, https allowed (the certificate checked), redirects followed up to
    // this many (0: a redirect is the reply).
    bool http11 = false;
    int maxRedirects = 0;
    // Empty: FeedUserAgent.
    std::string userAgent;
    // Further header lines ("Name: value"); an "Accept" line replaces the feed's empty one.
    std::vector<std::string> headers;
};

FeedRequest ComposeFeedRequest(const FeedAddress& feed, std::string_view keyword,
                               const ProxyValues& proxy);

// The header value of Accept-Language for the user's languages, most wanted first ("de-DE", "de",
// "en"): "de-DE, de;q=0.9, en;q=0.8". A language with a region is followed by the language alone
// when the list does not name it; "C", "POSIX", empty and repeated entries are left out, at most
// ten languages go. Empty when none is left.
std::string AcceptLanguageValue(const std::vector<std::string>& languages);
// The same for the system's languages (QLocale::system().uiLanguages()).
std::string SystemAcceptLanguage();

// What a search source's request expects back.
enum class ReplyFormat { Json, ResultFeed, OpenSearchDescription };
// The Accept value naming that format.
std::string_view AcceptValue(ReplyFormat format);
// "Quarrylog/" and the program's version.
std::string SourceUserAgent();

// A request of a search source for an http or https address: HTTP/1.1, redirects followed (at
// most 5), the User-Agent of the program, Accept for the format expected, Accept-Language for
// the system's languages (when it has any), through the proxy when one is used.
FeedRequest ComposeSourceRequest(std::string_view address, ReplyFormat format,
                                 const ProxyValues& proxy,
                                 const std::string& acceptLanguage = SystemAcceptLanguage());

// The address without the password of its user part ("http://u:p@h/" gives "http://u@h/"), as it
// may be written into a log.
std::string AddressWithoutPassword(std::string_view address);
