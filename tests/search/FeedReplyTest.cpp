// Pieces of reading a reply that a whole run does not show one by one.
#include "search/FeedReply.h"

#include <gtest/gtest.h>

#include <random>

namespace {

// The markers replaced the plain way: left to right, on after each inserted text, pass after
// pass until a pass changes nothing.
std::string ReplacedInPasses(std::string text, const std::string& terms) {
    const std::string marker = "<<TERMS>>";
    for (;;) {
        size_t at = text.find(marker);
        if (at == std::string::npos)
            return text;
        std::string next;
        size_t from = 0;
        for (; at != std::string::npos; at = text.find(marker, from)) {
            next.append(text, from, at - from);
            next.append(terms);
            from = at + marker.size();
        }
        next.append(text, from, std::string::npos);
        text.swap(next);
    }
}

} // namespace

TEST(FeedReply, TermsAndMarkers) {
    EXPECT_EQ(FindTerms("<a><terms>new york</terms><terms>x</terms>"), "new york");
    EXPECT_EQ(FindTerms("<TERMS>no</TERMS>"), "");
    EXPECT_EQ(FindTerms("x<terms>to the end"), "to the end");

    std::string text;
    ReplaceTermsMarkers("<<TERMS>><<<<<<TERMS>>>>>><<TERMS", "TERMS", text);
    EXPECT_EQ(text, "TERMSTERMS<<TERMS");
    ReplaceTermsMarkers("a<<TERMS>>b<<TERMS>>", "", text);
    EXPECT_EQ(text, "ab");
}

TEST(FeedReply, LinesAndMark) {
    FeedReply reply;
    reply.Load(std::string("<dsxout>\r<x/>\n\n<y/>\0<z/>", 22));
    EXPECT_EQ(reply.ReplyText, "<dsxout>\r\n<x/>\r\n\r\n<y/>\r\n");
    EXPECT_TRUE(HasFeedMark("..DSXOUT.."));
    EXPECT_TRUE(HasFeedMark("..dsxout.."));
    EXPECT_FALSE(HasFeedMark("..Dsxout.."));

    // A rejected reply leaves the tree of the last accepted one.
    std::vector<std::string> log;
    reply.Load("<dsxout><results><listing><url>u</url></listing></results></dsxout>");
    ASSERT_TRUE(reply.ParseReply([&](const std::string& l) { log.push_back(l); }));
    reply.Load("nothing");
    EXPECT_FALSE(reply.ParseReply([&](const std::string& l) { log.push_back(l); }));
    int calls = 0;
    EXPECT_EQ(reply.HarvestListings([&](auto&, auto&, const std::string& url, auto&) {
        ++calls;
        return url == "u";
    }),
              1);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(log.size(), 2u);
}

TEST(FeedReply, MarkersInOneScanAsInPasses) {
    // Pieces that make markers across the inserted terms and their neighbours, nested markers,
    // markers cut short; terms that complete a marker with what precedes them, at their start
    // or after a first completed one.
    const std::vector<std::string> pieces{"<",     "<<",      "TERMS>>",  "T",
                                          ">",     "x",       "<<TER",    "MS>>",
                                          "TERMS", "<<TERMS", "<<TERMS>", "<<TERMS>>"};
    const std::vector<std::string> fixedTerms{"",      "x",       ">",        ">>",    ">>x",
                                              "S>>",   "MS>>",    "MS>>x",    "TERMS", "TERMS>>",
                                              "ERMS>", "S>>S>>x", "TERMS>>ab"};
    std::mt19937 random(20240517);
    const auto pick = [&](size_t n) {
        return std::uniform_int_distribution<size_t>(0, n - 1)(random);
    };
    int refused = 0;
    for (int round = 0; round < 40000; ++round) {
        std::string terms;
        if (round % 2 == 0) {
            terms = fixedTerms[pick(fixedTerms.size())];
        } else {
            for (size_t n = pick(5); n > 0; --n)
                terms += pieces[pick(pieces.size())];
            std::erase(terms, '<');
        }
        std::string text;
        for (size_t n = pick(31); n > 0; --n)
            text += pieces[pick(pieces.size())];
        const std::string expected = ReplacedInPasses(text, terms);
        // No limit, one below or at the result's length, or none at all that counts.
        const size_t limits[] = {std::size_t(-1), expected.size(),
                                 expected.size() > 0 ? expected.size() - 1 : 0, 0};
        const size_t limit = limits[pick(4)];
        std::string fast;
        const bool fits = expected.size() <= std::max(limit, text.size());
        ASSERT_EQ(ReplaceTermsMarkers(text, terms, fast, limit), fits)
            << "text " << text << " terms " << terms << " limit " << limit;
        if (fits) {
            ASSERT_EQ(fast, expected) << "text " << text << " terms " << terms;
        }
        refused += fits ? 0 : 1;
    }
    EXPECT_GT(refused, 1000);
}
