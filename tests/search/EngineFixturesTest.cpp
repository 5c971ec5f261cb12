// The loopback engines the search tests run against: a real searx, a real Xapian Omega and the
// scripted web server answer as the tests rely on.
#include "support/OmegaServer.h"
#include "support/SearxServer.h"
#include "support/WebServer.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTcpSocket>

#include <string>
#include <vector>

namespace {

struct HttpReply {
    int status = 0;
    std::string head;
    std::string body;

    bool has(const std::string& text) const { return body.find(text) != std::string::npos; }
};

// A plain HTTP/1.0 GET on 127.0.0.1, read to the end of the connection.
HttpReply Get(int port, const std::string& target) {
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, static_cast<quint16>(port));
    if (!socket.waitForConnected(5000))
        return {};
    socket.write(QByteArray::fromStdString(
        "GET " + target + " HTTP/1.0\r\nHost: 127.0.0.1:" + std::to_string(port) + "\r\n\r\n"));
    QByteArray data;
    while (socket.state() == QAbstractSocket::ConnectedState && socket.waitForReadyRead(20000))
        data += socket.readAll();
    data += socket.readAll();
    HttpReply reply;
    const auto cut = data.indexOf("\r\n\r\n");
    reply.head = data.left(cut).toStdString();
    reply.body = data.mid(cut + 4).toStdString();
    reply.status = data.mid(data.indexOf(' ') + 1, 3).toInt();
    return reply;
}

// A field of each entry of a list of a searx JSON answer (of a pair: its first member).
std::vector<std::string> JsonList(const HttpReply& reply, const char* list = "results",
                                  const char* field = "url") {
    std::vector<std::string> out;
    for (const QJsonValue& v : QJsonDocument::fromJson(QByteArray::fromStdString(reply.body))
                                   .object()
                                   .value(list)
                                   .toArray())
        out.push_back(v.isArray() ? v.toArray().at(0).toString().toStdString()
                                  : v.toObject().value(field).toString().toStdString());
    return out;
}

// The item addresses of an RSS answer, in order.
std::vector<std::string> RssLinks(const HttpReply& reply) {
    std::vector<std::string> out;
    for (std::size_t at = reply.body.find("<item>"); at != std::string::npos;
         at = reply.body.find("<item>", at + 1)) {
        const auto open = reply.body.find("<link>", at) + 6;
        out.push_back(reply.body.substr(open, reply.body.find("</link>", open) - open));
    }
    return out;
}

const std::vector<SearxPage> kSearxPages = {
    {"http://example.test/cats-1.html", "Cats one", "All about <b>cats</b> &amp; kittens"},
    {"http://example.test/cats-2.html", "Cats two", "More CATS"},
    {"http://example.test/dogs.html", "Dogs", "No felines here"},
    {"http://example.test/cats-3.html", "Third", "cats again"},
};

} // namespace

TEST(EngineFixtures, SearxAnswersJsonAndRssByPageAndDescribesItself) {
    SearxServer searx(kSearxPages, {.perPage = 2});

    const HttpReply first = Get(searx.port(), "/search?q=cats&format=json");
    EXPECT_EQ(first.status, 200) << first.head << first.body;
    EXPECT_EQ(JsonList(first), (std::vector<std::string>{"http://example.test/cats-1.html",
                                                         "http://example.test/cats-2.html"}));
    EXPECT_EQ(JsonList(first, "results", "content"),
              (std::vector<std::string>{"All about cats & kittens", "More CATS"}));
    EXPECT_TRUE(JsonList(first, "unresponsive_engines").empty());
    EXPECT_EQ(JsonList(Get(searx.port(), "/search?q=cats&format=json&pageno=2")),
              std::vector<std::string>{"http://example.test/cats-3.html"});
    EXPECT_TRUE(JsonList(Get(searx.port(), "/search?q=cats&format=json&pageno=3")).empty());
    EXPECT_TRUE(JsonList(Get(searx.port(), "/search?q=birds&format=json")).empty());

    std::string rssUrl = searx.rssTemplateUrl();
    rssUrl.replace(rssUrl.find("{searchTerms}"), 13, "cats");
    rssUrl.replace(rssUrl.find("{startPage?}"), 12, "2");
    const HttpReply rss = Get(searx.port(), rssUrl.substr(searx.baseUrl().size() - 1));
    EXPECT_TRUE(rss.has("xmlns:opensearch=\"http://a9.com/-/spec/opensearch/1.1/\"")) << rss.body;
    EXPECT_EQ(RssLinks(rss), std::vector<std::string>{"http://example.test/cats-3.html"});

    const HttpReply description =
        Get(searx.port(), searx.descriptionUrl().substr(searx.baseUrl().size() - 1));
    EXPECT_TRUE(description.has("method=\"get\" template=\"" + searx.baseUrl() +
                                "search?q={searchTerms}\""))
        << description.body;
}

TEST(EngineFixtures, SearxNamesItsBrokenEngineAsUnresponsive) {
    SearxServer searx(kSearxPages, {.brokenEngine = true});
    const HttpReply reply = Get(searx.port(), "/search?q=cats&format=json");
    EXPECT_EQ(JsonList(reply).size(), 3u) << reply.body;
    EXPECT_EQ(JsonList(reply, "unresponsive_engines"), std::vector<std::string>{"broken"});
}

TEST(EngineFixtures, OmegaListsTheIndexedPagesInOpenSearchRssByTopdoc) {
    auto page = [](const std::string& title, const std::string& text) {
        return "<html><head><title>" + title + "</title></head><body><p>" + text +
               "</p></body></html>";
    };
    OmegaServer omega({{"cat1.html", page("Cat one", "A page about cats.")},
                       {"cat2.html", page("Cat two", "A page about cats.")},
                       {"dog.html", page("Dog", "A page about dogs.")},
                       {"sub/cat3.html", page("Cat three", "A page about cats.")}});
    auto target = [&](int topdoc) {
        std::string url = omega.templateUrl(2);
        url.replace(url.find("{searchTerms}"), 13, "cats");
        url.replace(url.find("{startIndex?}"), 13, std::to_string(topdoc));
        return url.substr(omega.baseUrl().size());
    };

    const HttpReply first = Get(omega.port(), target(0 + OmegaServer::TemplateIndexOffset));
    EXPECT_EQ(first.status, 200) << first.head << first.body;
    EXPECT_TRUE(first.has("xmlns:openSearch=\"http://a9.com/-/spec/opensearch/1.1/\""));
    EXPECT_TRUE(first.has("<openSearch:itemsPerPage>2</openSearch:itemsPerPage>"));
    EXPECT_EQ(RssLinks(first),
              (std::vector<std::string>{omega.pageUrl("cat1.html"), omega.pageUrl("cat2.html")}));
    EXPECT_EQ(RssLinks(Get(omega.port(), target(2 + OmegaServer::TemplateIndexOffset))),
              std::vector<std::string>{omega.pageUrl("sub/cat3.html")});
    EXPECT_TRUE(Get(omega.port(), "/pages/sub/cat3.html").has("Cat three"));
}

TEST(EngineFixtures, WebServerAnswersFromItsScriptAndRecordsEachRequest) {
    WebServer web;
    web.setReply("cats", "Status: 429\nRetry-After: 2\nX-Once: 1", "slow down");
    web.setReply("cats.again", "Content-Type: application/rss+xml", "<rss/>");
    web.setReply("cats.2", "X-Delay-Ms: 300", "page two");
    web.setReply("caf\xc3\xa9 au lait", "Status: 500", "broken");
    web.setReply("huge", "X-Huge-MiB: 1", "<rss>");
    web.setReply("hang", "X-Hang: 1", "");
    web.setFile("d/engine.osd.xml", "<OpenSearchDescription/>");

    auto now = [] {
        QElapsedTimer clock;
        clock.start();
        return clock.msecsSinceReference();
    };
    const qint64 before = now();
    const HttpReply limited = Get(web.port(), "/s?q=cats");
    EXPECT_EQ(limited.status, 429);
    EXPECT_NE(limited.head.find("\r\nRetry-After: 2\r\n"), std::string::npos) << limited.head;
    EXPECT_EQ(limited.body, "slow down");
    const HttpReply again = Get(web.port(), "/s?q=cats&pageno=1");
    EXPECT_EQ(again.status, 200);
    EXPECT_NE(again.head.find("Content-Type: application/rss+xml"), std::string::npos);
    EXPECT_EQ(again.body, "<rss/>");
    const qint64 asked = now();
    EXPECT_EQ(Get(web.port(), "/s?q=cats&startIndex=2").body, "page two");
    EXPECT_GE(now() - asked, 300);
    EXPECT_EQ(Get(web.port(), "/s?P=caf%C3%A9+au+lait").status, 500);
    EXPECT_EQ(Get(web.port(), "/s?q=huge").body.size(), 1024u * 1024u);
    EXPECT_EQ(Get(web.port(), "/s?q=none").status, 404);
    const HttpReply file = Get(web.port(), "/d/engine.osd.xml");
    EXPECT_NE(file.head.find("Content-Type: application/opensearchdescription+xml"),
              std::string::npos);
    EXPECT_EQ(file.body, "<OpenSearchDescription/>");

    QTcpSocket hung;
    hung.connectToHost(QHostAddress::LocalHost, static_cast<quint16>(web.port()));
    ASSERT_TRUE(hung.waitForConnected(5000));
    hung.write("GET /s?q=hang HTTP/1.0\r\n\r\n");
    EXPECT_FALSE(hung.waitForReadyRead(300));
    EXPECT_EQ(hung.state(), QAbstractSocket::ConnectedState);

    ASSERT_TRUE(WaitUntil([&] { return web.requests().size() == 8; }, 5000));
    const std::vector<RecordedRequest> requests = web.requests();
    EXPECT_EQ(requests[0].requestLine, "GET /s?q=cats HTTP/1.0");
    EXPECT_EQ(requests[2].target(), "/s?q=cats&startIndex=2");
    EXPECT_EQ(requests[0].header("HOST"), "127.0.0.1:" + std::to_string(web.port()));
    EXPECT_GE(requests[0].arrivalMs, before);
    EXPECT_LE(requests[0].arrivalMs, requests[7].arrivalMs);
    EXPECT_LE(requests[7].arrivalMs, now());
}
