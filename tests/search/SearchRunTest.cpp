// Whole runs against the loopback feed server (and a real tinyproxy): what lands in the report,
// the log as the user reads it, and the ways a run ends.
#include "SearchHarness.h"
#include "search/SearchMessages.h"
#include "support/FeedServer.h"

#include <QElapsedTimer>

#include <memory>

#include <gtest/gtest.h>

namespace M = SearchMessages;

namespace {

std::string Listing(const std::string& url, const std::string& title = "T",
                    const std::string& description = "D", const std::string& redirect = "R") {
    return "<listing><title>" + title + "</title><description>" + description +
           "</description><url>" + url + "</url><redirect>" + redirect +
           "</redirect></listing>\r\n";
}

std::string Reply(const std::string& listings, const std::string& mark = "DSXOUT") {
    return "<" + mark + "><terms>w</terms><results>\r\n" + listings + "</results></" + mark +
           ">\r\n";
}

std::string Failure(const std::string& message) {
    return std::string(M::FailedWithMessage) + "\"" + message + "\"";
}

} // namespace

TEST(SearchRun, SeveralKeywordsFillTheReportAndLogExactly) {
    FeedServer feed({"--behave", "err500=status:500"});
    // Two addresses of one reply differ only in letter case; one is already in the report.
    feed.setReply("first", Reply(Listing("http://a.example/", " Title A ", "Desc A", "http://r/a") +
                                 Listing("http://B.example/") + Listing("http://b.example/") +
                                 "<other><url>http://skipped.example/</url></other>" +
                                 Listing("http://known.example/", "New title")));
    feed.setReply("lower", Reply(Listing("http://lower.example/"), "dsxout"));
    feed.setReply("mixed", Reply(Listing("http://mixed.example/"), "DsxOut"));
    feed.setReply("empty", "");
    feed.setReply("nul", std::string("\0", 1) + Reply(Listing("http://nul.example/")));
    feed.setReply("err500", Reply(Listing("http://status.example/")));
    // The terms replace every marker; a marker that a replacement forms is replaced as well.
    feed.setReply("terms",
                  "<dsxout><terms>TERMS</terms><results>" +
                      Listing("http://terms.example/", "a <<TERMS>> b", "c<<<<TERMS>>>>d") +
                      "</results></dsxout>");
    // Cut in the middle of the third listing: the first two and what was read of the third
    // are harvested.
    feed.setReply("broken", "<dsxout><results>" + Listing("http://one.example/") +
                                Listing("http://two.example/") +
                                "<listing><url>http://three.example/</url><title>cut");
    // A declaration becomes the root, so RESULTS is a child of the root only here.
    feed.setReply("decl", "<?xml version=\"1.0\"?>\r\n<results>" + Listing("http://decl.example/") +
                              "</results>\r\n<dsxout/>");

    SearchHarness h(feed.host());
    auto* known = new TQelPigger(h.urls);
    known->SetName("LISTING");
    known->SetAttr("URL", "HTTP://KNOWN.EXAMPLE/");
    known->SetAttr("CHK", "Y");

    h.Run({"first", "lower", "mixed", "empty", "nul", "err500", "terms", "broken", "decl"});

    EXPECT_EQ(h.log,
              (std::vector<std::string>{M::RequestSending,
                                        M::ResponceRetrieving,
                                        M::ResponceParsing, // first
                                        M::ResponceRetrieving,
                                        M::ResponceParsing, // lower
                                        M::ResponceRetrieving,
                                        M::WrongResponce, // mixed
                                        M::ResponceRetrieving,
                                        M::WrongResponce, // empty
                                        M::ResponceRetrieving,
                                        M::WrongResponce, // nul
                                        M::ResponceRetrieving,
                                        M::ResponceParsing, // err500
                                        M::ResponceRetrieving,
                                        M::ResponceParsing, // terms
                                        M::ResponceRetrieving,
                                        M::ResponceParsing,      // broken
                                        Failure("Syntax error"), // the text ends inside TITLE
                                        M::ResponceRetrieving,
                                        M::ResponceParsing,      // decl
                                        Failure("Syntax error"), // ?XML is never closed
                                        M::Finished,
                                        "New URLs added:9"}));
    EXPECT_EQ(h.Addresses(),
              (std::vector<std::string>{"http://known.example/", "http://a.example/",
                                        "http://b.example/", "http://lower.example/",
                                        "http://status.example/", "http://terms.example/",
                                        "http://one.example/", "http://two.example/",
                                        "http://three.example/", "http://decl.example/"}));
    EXPECT_EQ(h.run.NewCount, 9);
    EXPECT_FALSE(h.run.Failed);
    EXPECT_EQ(h.proxyCalls, 9);

    // The known record took the new reply's letter case and texts and kept its check mark.
    EXPECT_EQ(h.Field(known, "TITLE"), "New title");
    EXPECT_EQ(known->GetAttr("CHK"), "Y");
    const TQelPigger* a = h.Record("http://a.example/");
    EXPECT_EQ(h.Field(a, "TITLE"), "Title A");
    EXPECT_EQ(h.Field(a, "DESCRIPTION"), "Desc A");
    EXPECT_EQ(h.Field(a, "REDIRECT"), "http://r/a");
    const TQelPigger* t = h.Record("http://terms.example/");
    EXPECT_EQ(h.Field(t, "TITLE"), "a TERMS b");
    EXPECT_EQ(h.Field(t, "DESCRIPTION"), "cTERMSd");
    EXPECT_EQ(h.Field(h.Record("http://three.example/"), "TITLE"), "");
    EXPECT_EQ(h.run.Reply.Terms, "");

    // The feed saw one request per keyword, in order.
    const auto requests = feed.requests();
    ASSERT_EQ(requests.size(), 9u);
    EXPECT_NE(requests[0].find("Terms=first&"), std::string::npos);
    EXPECT_NE(requests[8].find("Terms=decl&"), std::string::npos);

    // The same keyword again adds nothing, yet the records are refreshed.
    known->FindChild("TITLE")->Text = "edited";
    h.log.clear();
    h.Run({"first"});
    EXPECT_EQ(h.log.back(), "New URLs added:0");
    EXPECT_EQ(h.Field(known, "TITLE"), "New title");
    EXPECT_EQ(h.urls->ChildCount(), 10);
}

TEST(SearchRun, RequestWithoutReplyEndsTheRun) {
    FeedServer feed({"--behave", "gone=close"});
    SearchHarness h(feed.host());
    h.Run({"fine", "gone", "never"});
    EXPECT_EQ(h.log, (std::vector<std::string>{M::RequestSending, M::ResponceRetrieving,
                                               M::ResponceParsing, M::CantSend, M::Finished,
                                               "New URLs added:5"}));
    EXPECT_TRUE(h.run.Failed);
    EXPECT_EQ(feed.requests().size(), 2u); // "never" was not asked for
    EXPECT_FALSE(h.run.Running());

    // A feed nobody listens on.
    SearchHarness none("127.0.0.1:" + std::to_string(FreeLoopbackPort()));
    none.Run({"x"});
    EXPECT_EQ(none.log, (std::vector<std::string>{M::RequestSending, M::CantSend, M::Finished,
                                                  "New URLs added:0"}));
}

TEST(SearchRun, NoKeywordsGiveTheCountLineOnly) {
    SearchHarness h("127.0.0.1:9");
    h.Run({});
    EXPECT_EQ(h.noKeywords, 1);
    EXPECT_EQ(h.log, std::vector<std::string>{"New URLs added:0"});
    EXPECT_FALSE(h.run.Running());
}

TEST(SearchRun, HungFeedIsBoundedByTheWait) {
    FeedServer feed({"--behave", "hang=hang"});
    SearchHarness h(feed.host());
    h.run.TimeoutMs = 300;
    h.Run({"hang"});
    EXPECT_EQ(h.log, (std::vector<std::string>{M::RequestSending, M::CantSend, M::Finished,
                                               "New URLs added:0"}));
}

TEST(SearchRun, StopDuringSlowReplyEndsTheRunAtOnce) {
    // The reply would take 15 s at 16 bytes every 200 ms.
    FeedServer feed({"--behave", "slow=slow"});
    SearchHarness h(feed.host());
    h.run.Start({"fast", "slow", "later"});
    ASSERT_TRUE(WaitUntil([&] { return feed.requests().size() == 2; }));
    ASSERT_TRUE(WaitUntil([&] { return h.log.size() == 3; })); // the first keyword is through
    QThread::msleep(300);                                      // bytes of the slow reply came in
    ASSERT_TRUE(h.run.Running());
    ASSERT_TRUE(h.run.RequestInFlight());
    QElapsedTimer t;
    t.start();
    h.run.Stop();
    EXPECT_LT(t.elapsed(), 1000);
    EXPECT_EQ(SearchRun::LiveTransferThreads(), 0); // joined, not left running
    EXPECT_FALSE(h.run.Running());
    EXPECT_EQ(h.log, (std::vector<std::string>{M::RequestSending, M::ResponceRetrieving,
                                               M::ResponceParsing, M::CantSend, M::Finished,
                                               "New URLs added:5"}));
    // The aborted transfer's end brings nothing more.
    QCoreApplication::processEvents();
    QThread::msleep(100);
    QCoreApplication::processEvents();
    EXPECT_EQ(h.log.size(), 6u);
    EXPECT_EQ(feed.requests().size(), 2u);
}

TEST(SearchRun, StoppedOrDestroyedRunLeavesNoTransferThread) {
    FeedServer feed({"--behave", "hang=hang"});
    // The transfer threads still there when a stopped run reports its aborted request.
    std::vector<int> liveAtFailure;
    for (size_t round = 1; round <= 20; ++round) {
        auto run = std::make_unique<SearchRun>(
            SearchRun::Hooks{[](const std::string&) {},
                             {},
                             {},
                             {},
                             [&](const TransferResult&) {
                                 liveAtFailure.push_back(SearchRun::LiveTransferThreads());
                             }});
        run->FeedHostText = feed.host();
        run->Start({"hang"});
        ASSERT_TRUE(WaitUntil([&] { return feed.requests().size() == round; }));
        QElapsedTimer t;
        t.start();
        if (round % 2 == 0)
            run->Stop();
        run.reset();
        EXPECT_LT(t.elapsed(), 1000);
        EXPECT_EQ(SearchRun::LiveTransferThreads(), 0);
        QCoreApplication::processEvents(); // a result posted meanwhile goes nowhere
    }
    EXPECT_EQ(liveAtFailure, std::vector<int>(10, 0));
}

TEST(SearchRun, MarkersThatGrowTheReplyBeyondTheLimitRefuseIt) {
    // A megabyte of terms in 65 markers would make 65 MB of text.
    const std::string terms(1 << 20, 'a');
    std::string markers;
    for (int i = 0; i < 65; ++i)
        markers += "<<TERMS>>";
    FeedServer feed;
    feed.setReply("big", "<dsxout><terms>" + terms + "</terms><results>" +
                             Listing("http://big.example/", markers) + "</results></dsxout>");
    SearchHarness h(feed.host());
    h.Run({"big", "next"});
    EXPECT_EQ(h.log,
              (std::vector<std::string>{M::RequestSending, M::ResponceRetrieving,
                                        M::ResponceParsing, M::ReplyTooLarge, M::ResponceRetrieving,
                                        M::ResponceParsing, M::Finished, "New URLs added:5"}));
    EXPECT_FALSE(h.run.Failed);
    EXPECT_EQ(h.Record("http://big.example/"), nullptr);
}

TEST(SearchRun, ReplyOverTheSizeLimitIsAFailedRequest) {
    FeedServer feed({"--behave", "huge=endless"});
    SearchHarness h(feed.host());
    h.Run({"huge", "next"});
    EXPECT_EQ(h.log, (std::vector<std::string>{M::RequestSending, M::ReplyTooLarge, M::CantSend,
                                               M::Finished, "New URLs added:0"}));
    EXPECT_EQ(h.urls->ChildCount(), 0);
}

TEST(SearchRun, ThroughTinyproxyWithBasicAuth) {
    FeedServer feed;
    TinyProxy proxy("alice", "s3cret");
    ASSERT_TRUE(proxy.running());
    const int port = proxy.port();

    SearchHarness right(feed.host(), {true, "127.0.0.1", port, "alice", "s3cret"});
    right.Run({"air", "hotel"});
    EXPECT_EQ(right.log.back(), "New URLs added:10");
    EXPECT_EQ(right.proxyCalls, 2);

    // The proxy refuses: its error page is no feed reply.
    SearchHarness wrong(feed.host(), {true, "127.0.0.1", port, "alice", "wrong"});
    wrong.Run({"air"});
    EXPECT_EQ(wrong.log,
              (std::vector<std::string>{M::RequestSending, M::ResponceRetrieving, M::WrongResponce,
                                        M::Finished, "New URLs added:0"}));
    SearchHarness anonymous(feed.host(), {true, "127.0.0.1", port, "", "s3cret"});
    anonymous.Run({"air"});
    EXPECT_EQ(anonymous.log[2], M::WrongResponce);
    EXPECT_EQ(feed.requests().size(), 2u);
}

TEST(RunProgress, LineForEachStage) {
    const struct {
        RunProgress progress;
        std::string line;
    } cases[] = {
        {{}, ""},                      // before any run
        {{true, 0, "", 3, 0, -1}, ""}, // started, no request yet
        {{true, 3, "garden", 9, 2, -1}, "Keyword 3 of 9: garden"},
        {{true, 3, "garden", 9, 2, 999}, "Keyword 3 of 9: garden"}, // a quick reply: no count
        {{true, 3, "garden", 9, 2, 1000}, "Keyword 3 of 9: garden, waiting for a reply: 1 s"},
        {{true, 1, "a b", 1, 0, 89999}, "Keyword 1 of 1: a b, waiting for a reply: 89 s"},
        {{false, 0, "", 9, 9, -1}, "Searched 9 of 9 keywords."},
        {{false, 0, "", 4, 2, -1}, "Searched 2 of 4 keywords."}, // failed or stopped
        {{false, 0, "", 0, 0, -1}, ""},                          // a run without keywords
    };
    for (const auto& c : cases)
        EXPECT_EQ(ProgressLine(c.progress), c.line) << c.line;
}

TEST(SearchRun, ProgressNamesTheKeywordAndTheSecondsWaited) {
    FeedServer feed({"--behave", "slow=slow"});
    SearchHarness h(feed.host());
    std::vector<int> announced;
    QObject::connect(&h.run, &SearchRun::progressChanged,
                     [&] { announced.push_back(h.run.Progress().keyword); });
    h.run.Start({"fast", "slow", "later"});
    ASSERT_TRUE(WaitUntil([&] { return feed.requests().size() == 2; }));
    ASSERT_TRUE(WaitUntil([&] { return h.run.Progress().waitedMs >= 1000; }, 5000));
    const RunProgress p = h.run.Progress();
    EXPECT_TRUE(p.running);
    EXPECT_EQ(p.keyword, 2);
    EXPECT_EQ(p.word, "slow");
    EXPECT_EQ(p.count, 3);
    EXPECT_EQ(p.done, 1);
    EXPECT_EQ(ProgressLine(p).rfind("Keyword 2 of 3: slow, waiting for a reply: ", 0), 0u);

    h.run.Stop();
    EXPECT_EQ(announced, (std::vector<int>{1, 2, 0}));
    EXPECT_EQ(ProgressLine(h.run.Progress()), "Searched 2 of 3 keywords.");
    EXPECT_EQ(h.run.Progress().waitedMs, -1);
}
