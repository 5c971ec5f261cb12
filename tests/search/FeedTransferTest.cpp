// The request as the feed (or a proxy) receives it, byte for byte, and the transfer's outcomes.
#include "search/FeedTransfer.h"
#include "support/FeedServer.h"

#include <gtest/gtest.h>

#include <future>

namespace {

const std::string UserAgent = "User-Agent: Mozilla/4.0 (compatible; Synapse)\r\n";

TransferResult Fetch(const FeedRequest& request, int timeoutMs = 10000) {
    // On a thread of its own, so that the test's event loop stays free.
    FeedTransfer transfer(request, timeoutMs);
    auto result = std::async(std::launch::async, [&] { return transfer.Perform(); });
    while (result.wait_for(std::chrono::milliseconds(5)) != std::future_status::ready)
        QCoreApplication::processEvents();
    return result.get();
}

} // namespace

TEST(FeedTransfer, RequestBytesDirect) {
    FeedServer feed;
    const FeedAddress host = ParseFeedHost(feed.host());
    // "&" and "#" travel as they are; blanks, controls and bytes from 0x80 up are escaped.
    const TransferResult r = Fetch(ComposeFeedRequest(host, "a&b#c d\t\xC3\xA9%", {}));
    ASSERT_EQ(r.outcome, TransferResult::Received) << r.error;
    EXPECT_EQ(r.status, 200);
    EXPECT_NE(r.body.find("<dsxout>"), std::string::npos);
    const auto requests = feed.requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0], "GET /feeds/xml.php?Terms=a&b#c%20d%09%C3%A9%&affiliate=velmora&IP="
                           "USER_IP HTTP/1.0\r\nHost: " +
                               feed.host() + "\r\n" + UserAgent + "\r\n");

    // A proxy that is switched off, or has no address, is not used.
    Fetch(ComposeFeedRequest(host, "w", {false, "127.0.0.1", 1, "u", "p"}));
    Fetch(ComposeFeedRequest(host, "w", {true, "  ", 1, "u", "p"}));
    ASSERT_EQ(feed.requests().size(), 3u);
    EXPECT_EQ(feed.requests()[1], feed.requests()[2]);
    EXPECT_EQ(feed.requests()[1].find("Proxy"), std::string::npos);
}

TEST(FeedTransfer, RequestBytesThroughProxy) {
    // The feed server stands in for the proxy and records what a proxy receives; the feed host
    // itself is never contacted.
    FeedServer proxy;
    const FeedAddress feed = ParseFeedHost("feed.quarrylog.example");
    const int port = proxy.port();
    const std::string line = "GET http://feed.quarrylog.example:80/feeds/xml.php?Terms=hotel&"
                             "affiliate=velmora&IP=USER_IP HTTP/1.0\r\n"
                             "Host: feed.quarrylog.example\r\n";

    EXPECT_TRUE(Fetch(ComposeFeedRequest(feed, "hotel", {true, "127.0.0.1", port, "", ""}))
                    .ReplyReceived());
    EXPECT_TRUE(Fetch(ComposeFeedRequest(feed, "hotel",
                                         {true, " 127.0.0.1 ", port, "al:ice", "p\xC3\xA4ss"}))
                    .ReplyReceived());
    // A password without a user name sends no authorization.
    Fetch(ComposeFeedRequest(feed, "hotel", {true, "127.0.0.1", port, "", "secret"}));
    // A feed on another port keeps its port in the target and the Host line.
    Fetch(ComposeFeedRequest(ParseFeedHost("feed.quarrylog.example:8081"), "x",
                             {true, "127.0.0.1", port, "", ""}));

    const auto requests = proxy.requests();
    ASSERT_EQ(requests.size(), 4u);
    EXPECT_EQ(requests[0], line + UserAgent + "\r\n");
    // Base64 of "al:ice:p\xC3\xA4ss".
    EXPECT_EQ(requests[1],
              line + "Proxy-Authorization: Basic YWw6aWNlOnDDpHNz\r\n" + UserAgent + "\r\n");
    EXPECT_EQ(requests[2], requests[0]);
    EXPECT_EQ(requests[3], "GET http://feed.quarrylog.example:8081/feeds/xml.php?Terms=x&"
                           "affiliate=velmora&IP=USER_IP HTTP/1.0\r\n"
                           "Host: feed.quarrylog.example:8081\r\n" +
                               UserAgent + "\r\n");
}

TEST(FeedTransfer, OutcomesWithoutReply) {
    FeedServer feed({"--behave", "gone=close", "--behave", "hang=hang"});
    const FeedAddress host = ParseFeedHost(feed.host());
    EXPECT_EQ(Fetch(ComposeFeedRequest(host, "gone", {})).outcome, TransferResult::Failed);
    const TransferResult hung = Fetch(ComposeFeedRequest(host, "hang", {}), 200);
    EXPECT_EQ(hung.outcome, TransferResult::TimedOut);
    EXPECT_FALSE(hung.error.empty());
    const TransferResult refused = Fetch(ComposeFeedRequest(
        ParseFeedHost("127.0.0.1:" + std::to_string(FreeLoopbackPort())), "x", {}));
    EXPECT_EQ(refused.outcome, TransferResult::Failed);
    EXPECT_FALSE(refused.error.empty());
}

TEST(FeedTransfer, AbortFromAnotherThread) {
    FeedServer feed({"--behave", "hang=hang"});
    FeedTransfer transfer(ComposeFeedRequest(ParseFeedHost(feed.host()), "hang", {}));
    auto result = std::async(std::launch::async, [&] { return transfer.Perform(); });
    ASSERT_TRUE(WaitUntil([&] { return feed.requests().size() == 1; }));
    transfer.Abort();
    ASSERT_EQ(result.wait_for(std::chrono::milliseconds(1000)), std::future_status::ready);
    EXPECT_EQ(result.get().outcome, TransferResult::Aborted);
}
