// qrl search end to end: the real qrl against the loopback feed server (and a tinyproxy), and
// against a real searx and the scripted web server as other search sources; qrl sources.
#include "QrlRun.h"
#include "search/SearchMessages.h"
#include "search/SourceMessages.h"

#include "support/FeedServer.h"
#include "support/SearxServer.h"
#include "support/TempDir.h"
#include "support/WebServer.h"

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

TEST(SearchCommand, SourcesOfTheSettingsFile) {
    SearxServer searx({{"http://a.example/1", "Cats one", "About cats"},
                       {"http://a.example/2", "Cats two", "cats again"},
                       {"http://a.example/3", "Dogs", "dogs"}},
                      {1});
    TempDir tmp;
    tmp.write("q.set", "<SETTINGS FEED_HOST=\"127.0.0.1:1\"><SOURCES>"
                       "<SOURCE NAME=\"Local searx\" KIND=\"searx\" ADDRESS=\"" +
                           searx.baseUrl() +
                           "\" PAGES=\"3\" PARALLEL=\"2\" INTERVAL=\"5000\"/>"
                           "<SOURCE NAME=\"Web\" KIND=\"opensearch\" "
                           "ADDRESS=\"https://w.example/?q={searchTerms}\"/></SOURCES></SETTINGS>");
    const QString settings = tmp.qpath("q.set");
    CliRun r = RunQrl({"sources", "--settings", settings});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "Quarrylog feed\tfeed\t127.0.0.1:1\t1\t1\t0\n"
                     "Local searx\tsearx\t" +
                         searx.baseUrl() +
                         "\t3\t2\t5000\n"
                         "Web\topensearch\thttps://w.example/?q={searchTerms}\t1\t1\t1000\n");

    // The source's pace can be changed for the run; the name is found whatever its letter case.
    r = RunQrl({"search", "--source", "local SEARX", "--settings", settings, "--interval", "0",
                "--pages", "2", tmp.qpath("r.qrl"), "cats", "dogs"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, Lines({"Searching \"Local searx\" for 2 keywords...",
                            "cats: 2 pages fetched, 2 results, 2 new records",
                            "dogs: 2 pages fetched, 1 result, 1 new record", M::Finished,
                            "New URLs added:3"}));
    const std::string saved = tmp.read("r.qrl");
    EXPECT_NE(saved.find("URL=\"http://a.example/2\""), std::string::npos);
    EXPECT_NE(saved.find("<REDIRECT>http://a.example/3\r\n"), std::string::npos);

    // The feed by its name goes to the settings' feed host.
    r = RunQrl({"search", "--source", "Quarrylog feed", "--settings", settings, "--timeout", "2000",
                tmp.qpath("r.qrl"), "x"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.out, Lines({M::RequestSending, M::CantSend, M::Finished, "New URLs added:0"}));

    const std::vector<FailingRun> failures{
        {{"search", "--source", "nothing", "--settings", settings, tmp.qpath("r.qrl"), "x"},
         2,
         "qrl search: no source \"nothing\" in " + settings.toStdString() +
             " (qrl sources lists them)\n"},
        {{"search", "--source", "Web", "--settings", tmp.qpath("none.set"), tmp.qpath("r.qrl"),
          "x"},
         2,
         ""},
        {{"sources", "--settings", tmp.qpath("none.set")}, 2, ""},
        {{"sources", "--bogus"}, 2, ""},
    };
    for (const FailingRun& f : failures) {
        SCOPED_TRACE(f.args.join(' ').toStdString());
        const CliRun failed = RunQrl(f.args);
        EXPECT_EQ(failed.code, f.code);
        EXPECT_EQ(failed.out, "");
        if (!f.err.empty()) {
            EXPECT_EQ(failed.err, f.err);
        }
        EXPECT_EQ(failed.err.rfind(f.args[0] == "search" ? "qrl search: " : "qrl sources: ", 0),
                  0u);
    }
}

TEST(SearchCommand, OpenSearchAndSearxAddresses) {
    WebServer web;
    web.setFile("index.html", "<html><head><link rel=\"search\" "
                              "type=\"application/opensearchdescription+xml\" "
                              "href=\"/d.osd.xml\"></head></html>");
    web.setFile("d.osd.xml",
                "<OpenSearchDescription xmlns=\"http://a9.com/-/spec/opensearch/1.1/\">"
                "<ShortName>Site</ShortName><Url type=\"application/atom+xml\" "
                "template=\"/atom?q={searchTerms}\"/><Url "
                "type=\"application/rss+xml\" template=\"/rss?q={searchTerms}\"/>"
                "</OpenSearchDescription>");
    web.setReply("cats", "Content-Type: application/rss+xml",
                 "<rss version=\"2.0\"><channel><item><title>Cat</title><link>http://cat.example/"
                 "</link></item></channel></rss>");
    web.setReply("refused", "Status: 403", "");
    TempDir tmp;
    const QString report = tmp.qpath("r.qrl");
    const QString base = QString::fromStdString(web.baseUrl());
    // Of the two offered, the RSS one.
    CliRun r = RunQrl({"search", "--opensearch", base + "/", report, "cats"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, Lines({"Searching \"Site (RSS)\" for 1 keyword...",
                            "cats: 1 page fetched, 1 result, 1 new record", M::Finished,
                            "New URLs added:1"}));
    EXPECT_EQ(web.requests().back().target(), "/rss?q=cats");
    EXPECT_EQ(web.requests().back().header("User-Agent").rfind("Quarrylog/", 0), 0u);

    // A keyword that fails ends with 1; the report is left as it was.
    const std::string before = tmp.read("r.qrl");
    r = RunQrl({"search", "--searx", base, report, "refused"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.out, Lines({"Searching \"" + web.baseUrl() + "\" for 1 keyword...",
                            "refused: " + web.baseUrl() +
                                "/search?q=refused&format=json&pageno=1 failed: HTTP 403 "
                                "Forbidden. " +
                                SourceMessages::SearxJsonRefused,
                            M::Finished, "New URLs added:0"}));
    EXPECT_EQ(tmp.read("r.qrl"), before);

    // Nothing found where --opensearch points: 1, nothing written.
    r = RunQrl({"search", "--opensearch", base + "/missing.html", tmp.qpath("new.qrl"), "x"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err,
              "qrl search: " + web.baseUrl() + "/missing.html failed: HTTP 404 Not Found.\n");
    EXPECT_FALSE(tmp.exists("new.qrl"));

    for (const auto& [args, error] : std::vector<std::pair<QStringList, std::string>>{
             {{"--searx", base, "--pages", "0"}, "--pages needs a number from 1 to 20"},
             {{"--searx", base, "--pages", "21"}, "--pages needs a number from 1 to 20"},
             {{"--searx", base, "--parallel", "9"}, "--parallel needs a number from 1 to 8"},
             {{"--searx", base, "--interval", "-1"},
              "--interval needs milliseconds from 0 to 60000"},
             {{"--searx", base, "--interval", "60001"},
              "--interval needs milliseconds from 0 to 60000"},
             {{"--searx", base, "--opensearch", base},
              "give one of --source, --opensearch and --searx"},
             {{"--settings", "x.set"}, "--settings goes with --source"},
             {{"--searx", base, "--feed", "h"}, "--feed applies to the feed only"},
             {{"--pages", "2"},
              "--pages, --parallel and --interval apply to sources other than the feed"},
             {{"--searx", "ftp://h.example/"},
              "the source \"ftp://h.example/\" cannot be used: The address must begin with "
              "http:// or https://."},
         }) {
        r = RunQrl(QStringList{"search"} + args + QStringList{tmp.qpath("w.qrl"), "x"});
        EXPECT_EQ(r.code, 2) << args.join(' ').toStdString();
        EXPECT_EQ(r.err.substr(0, r.err.find('\n')), "qrl search: " + error);
    }
    EXPECT_FALSE(tmp.exists("w.qrl"));
}
