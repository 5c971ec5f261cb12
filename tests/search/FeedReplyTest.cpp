// Pieces of reading a reply that a whole run does not show one by one.
#include "search/FeedReply.h"

#include <gtest/gtest.h>

TEST(FeedReply, TermsAndMarkers) {
    EXPECT_EQ(FindTerms("<a><terms>new york</terms><terms>x</terms>"), "new york");
    EXPECT_EQ(FindTerms("<TERMS>no</TERMS>"), "");
    EXPECT_EQ(FindTerms("x<terms>to the end"), "to the end");

    std::string text = "<<TERMS>><<<<<<TERMS>>>>>><<TERMS";
    ReplaceTermsMarkers(text, "TERMS");
    EXPECT_EQ(text, "TERMSTERMS<<TERMS");
    text = "a<<TERMS>>b<<TERMS>>";
    ReplaceTermsMarkers(text, "");
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
