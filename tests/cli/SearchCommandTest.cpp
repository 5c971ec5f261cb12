// qrl search end to end: the real qrl against the loopback feed server (and a tinyproxy).
#include "QrlRun.h"
#include "search/SearchMessages.h"

#include "support/FeedServer.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace M = SearchMessages;

namespace {

std::string Lines(std::initializer_list<std::string> lines) {
    std::string out;
    for (const std::string& l : lines)
        out += l + "\n";
    return out;
}

} // namespace

TEST(SearchCommand, NewReportFromSeveralKeywords) {
    FeedServer feed({"--listings", "2"});
    TempDir tmp;
    const QString report = tmp.qpath("r.qrl");
    const CliRun r = RunQrl({"search", "--feed", QString::fromStdString(feed.host()), report,
                             "hotel", "new york", "--air"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, Lines({M::RequestSending, M::ResponceRetrieving, M::ResponceParsing,
                            M::ResponceRetrieving, M::ResponceParsing, M::ResponceRetrieving,
                            M::ResponceParsing, M::Finished, "New URLs added:6"}));
    // One keyword per argument, exactly as given.
    const auto requests = feed.requests();
    ASSERT_EQ(requests.size(), 3u);
    EXPECT_NE(requests[1].find("Terms=new%20york&"), std::string::npos);
    EXPECT_NE(requests[2].find("Terms=--air&"), std::string::npos);
    const std::string saved = tmp.read("r.qrl");
    EXPECT_EQ(saved.find("\r\n<QRL VERSION=\"1.0.1 beta\">"), 0u) << saved;
    EXPECT_NE(saved.find("URL=\"http://www.new_york-2.example/\""), std::string::npos);
    EXPECT_NE(saved.find("<TITLE>hotel result 1 for hotel\r\n"), std::string::npos);
}

TEST(SearchCommand, ExistingReportKeepsItsContentAndGetsABackup) {
    FeedServer feed({"--listings", "1", "--behave", "gone=close"});
    TempDir tmp;
    const std::string before = "\r\n<QRL VERSION=\"1.0.1 beta\" RTITLE=\"Mine\">Notes"
                               "\r\n\t<URLS>"
                               "\r\n\t\t<LISTING URL=\"HTTP://WWW.AIR-1.EXAMPLE/\" CHK=\"Y\">"
                               "\r\n\t\t\t<TITLE>old</TITLE>"
                               "\r\n\t\t</LISTING>"
                               "\r\n\t</URLS>"
                               "\r\n\t<EXTRA A=\"1\"/>"
                               "\r\n</QRL>";
    tmp.write("r.qrl", before);
    // The second keyword gets no reply: the run ends, what the first brought is saved.
    const CliRun r = RunQrl({"search", "--feed", QString::fromStdString(feed.host()),
                             tmp.qpath("r.qrl"), "air", "gone", "never"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.out, Lines({M::RequestSending, M::ResponceRetrieving, M::ResponceParsing,
                            M::CantSend, M::Finished, "New URLs added:0"}));
    EXPECT_NE(r.err.find("qrl search: "), std::string::npos);
    EXPECT_EQ(tmp.read("r.BAK"), before);
    EXPECT_EQ(
        tmp.read("r.qrl"),
        "\r\n<QRL VERSION=\"1.0.1 beta\" RTITLE=\"Mine\">Notes"
        "\r\n\t<URLS>"
        "\r\n\t\t<LISTING URL=\"http://www.air-1.example/\" CHK=\"Y\">"
        "\r\n\t\t\t<TITLE>air result 1 for air\r\n\t\t\t</TITLE>"
        "\r\n\t\t\t<DESCRIPTION>Page 1 found for air\r\n\t\t\t</DESCRIPTION>"
        "\r\n\t\t\t<REDIRECT>http://click.feed.example/?to=www.air-1.example\r\n\t\t\t</REDIRECT>"
        "\r\n\t\t</LISTING>"
        "\r\n\t</URLS>"
        "\r\n\t<EXTRA A=\"1\"/>"
        "\r\n</QRL>");
}

TEST(SearchCommand, NothingChangedNothingWritten) {
    FeedServer feed({"--behave", "bad=status:502"});
    TempDir tmp;
    feed.setReply("bad", "<html>Bad gateway</html>");
    tmp.write("r.qrl", "<QRL/>");
    const CliRun r = RunQrl(
        {"search", "--feed", QString::fromStdString(feed.host()), tmp.qpath("r.qrl"), "bad"});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, Lines({M::RequestSending, M::ResponceRetrieving, M::WrongResponce, M::Finished,
                            "New URLs added:0"}));
    EXPECT_EQ(tmp.read("r.qrl"), "<QRL/>");
    EXPECT_FALSE(tmp.exists("r.BAK"));
}

TEST(SearchCommand, WrongArgumentsAndUnreadableReport) {
    TempDir tmp;
    tmp.write("bad.qrl", "<QRL><URLS>");
    const CliRun unreadable =
        RunQrl({"search", "--feed", "127.0.0.1:9", tmp.qpath("bad.qrl"), "x"});
    EXPECT_EQ(unreadable.code, 2);
    EXPECT_EQ(unreadable.out, "");
    EXPECT_NE(unreadable.err.find("bad.qrl"), std::string::npos);
    EXPECT_EQ(tmp.read("bad.qrl"), "<QRL><URLS>");
    EXPECT_FALSE(tmp.exists("bad.qrl.unreadable"));

    for (const QStringList& args :
         {QStringList{"search"}, QStringList{"search", tmp.qpath("r.qrl")},
          QStringList{"search", "--timeout", "0", tmp.qpath("r.qrl"), "x"},
          QStringList{"search", "--bogus", "1", tmp.qpath("r.qrl"), "x"},
          QStringList{"search", "--proxy-user", "u", tmp.qpath("r.qrl"), "x"},
          QStringList{"search", "--feed"}}) {
        const CliRun r = RunQrl(args);
        EXPECT_EQ(r.code, 2) << args.join(' ').toStdString();
        EXPECT_NE(r.err.find("qrl search"), std::string::npos);
    }
    EXPECT_FALSE(tmp.exists("r.qrl"));
}

TEST(SearchCommand, ThroughProxyAndBoundedWait) {
    FeedServer feed({"--behave", "hang=hang", "--listings", "1"});
    TinyProxy proxy("alice", "s3cret");
    ASSERT_TRUE(proxy.running());
    TempDir tmp;
    const QString feedHost = QString::fromStdString(feed.host());
    const QString proxyAt = "127.0.0.1:" + QString::number(proxy.port());
    CliRun r = RunQrl({"search", "--feed", feedHost, "--proxy", proxyAt, "--proxy-user", "alice",
                       "--proxy-pass", "s3cret", tmp.qpath("r.qrl"), "air"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.out.find("New URLs added:1\n"), std::string::npos);
    r = RunQrl({"search", "--feed", feedHost, "--proxy", proxyAt, "--proxy-user", "alice",
                "--proxy-pass", "wrong", tmp.qpath("r.qrl"), "air"});
    EXPECT_EQ(r.code, 0);
    EXPECT_NE(r.out.find(M::WrongResponce), std::string::npos);

    r = RunQrl({"search", "--feed", feedHost, "--timeout", "300", tmp.qpath("r.qrl"), "hang"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.out, Lines({M::RequestSending, M::CantSend, M::Finished, "New URLs added:0"}));
}
