// The request sent to the search feed for one keyword: where it goes, its request target and
// the proxy it passes through.
#pragma once

#include <string>
#include <string_view>

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
};

FeedRequest ComposeFeedRequest(const FeedAddress& feed, std::string_view keyword,
                               const ProxyValues& proxy);
