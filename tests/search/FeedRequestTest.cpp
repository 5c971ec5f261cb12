// Composing the feed request: the feed host setting, the target and the proxy values.
#include "search/FeedRequest.h"

#include <gtest/gtest.h>

TEST(FeedRequest, FeedHostSetting) {
    EXPECT_EQ(ParseFeedHost(" feed.example ").host, "feed.example");
    EXPECT_EQ(ParseFeedHost("feed.example").port, 80);
    const FeedAddress h = ParseFeedHost("127.0.0.1:8765");
    EXPECT_EQ(h.host, "127.0.0.1");
    EXPECT_EQ(h.port, 8765);
    // Not a port: kept as part of the host, which then fails like any unknown host.
    EXPECT_EQ(ParseFeedHost("feed.example:99999").host, "feed.example:99999");
    EXPECT_EQ(ParseFeedHost("feed.example:").port, 80);
}

TEST(FeedRequest, TargetAndProxy) {
    const FeedAddress feed{"feed.example", 80};
    FeedRequest r = ComposeFeedRequest(feed, "hotel", {});
    EXPECT_EQ(r.connectUrl, "http://feed.example/");
    EXPECT_EQ(r.target, "/feeds/xml.php?Terms=hotel&affiliate=velmora&IP=USER_IP");
    EXPECT_TRUE(r.proxyHost.empty());

    r = ComposeFeedRequest(feed, "new york\x7F", {true, "10.0.0.1", 0, "u", ""});
    EXPECT_EQ(r.target, "http://feed.example:80/feeds/xml.php?Terms=new%20york%7F&affiliate="
                        "velmora&IP=USER_IP");
    EXPECT_EQ(r.proxyHost, "10.0.0.1");
    EXPECT_EQ(r.proxyPort, DefaultProxyPort);
    EXPECT_TRUE(r.proxyAuth);

    r = ComposeFeedRequest({"f", 81}, "x", {true, "p", 3128, "", "pw"});
    EXPECT_EQ(r.connectUrl, "http://f:81/");
    EXPECT_EQ(r.proxyPort, 3128);
    EXPECT_FALSE(r.proxyAuth);
}
