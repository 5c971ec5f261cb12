// The replies of search engines read into found pages: markup to plain text, RSS and Atom with
// the OpenSearch response elements, searx JSON.
#include "search/ResultFormats.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

static void PrintTo(const FoundPage& p, std::ostream* os) {
    *os << "{" << p.url << " | " << p.title << " | " << p.description << "}";
}

namespace {

const std::string Rd = "\xEF\xBF\xBD"; // U+FFFD

struct TextCase {
    std::string markup;
    std::string plain;
};

struct FeedCase {
    std::string label;
    std::string body;
    std::vector<FoundPage> pages;
    bool ok = true;
    std::string errorPart = ""; // when !ok
    long long totalResults = -1;
    long long startIndex = -1;
    long long itemsPerPage = -1;
};

std::string Rss(const std::string& channel, const std::string& rssAttributes = "") {
    return "<rss version=\"2.0\"" + rssAttributes + "><channel><title>Results</title>" + channel +
           "</channel></rss>";
}

std::string Item(const std::string& inside) {
    return "<item>" + inside + "</item>";
}

void ExpectFeed(const FeedCase& c) {
    SCOPED_TRACE(c.label);
    ResultPage page;
    std::string error;
    EXPECT_EQ(ReadResultFeed(c.body, page, error), c.ok) << error;
    EXPECT_EQ(page.pages, c.pages);
    if (c.ok)
        EXPECT_EQ(error, "");
    else
        EXPECT_NE(error.find(c.errorPart), std::string::npos) << error;
    EXPECT_EQ(page.totalResults, c.totalResults);
    EXPECT_EQ(page.startIndex, c.startIndex);
    EXPECT_EQ(page.itemsPerPage, c.itemsPerPage);
}

} // namespace

TEST(MarkupText, PlainText) {
    const std::vector<TextCase> cases{
        {"Caf&eacute; &amp; <b>bar</b>", "Café & bar"},
        {"a<br>b<br/>c<p>d</p>e<div>f</div><li>g", "a b c d e f g"},
        {"<i>it</i><span>al</span><a href='x>y'>ic</a>", "italic"},
        {"x<!-- a <b> comment -->y<!-->z<!-- not closed", "xyz"},
        {"<script>var s = '<b>';</script>t<STYLE>p{}</STYLE>u", "t u"},
        {"a < b &lt; c, x<3, a<b", "a < b < c, x<3, a<b"},
        {"x <a title='y> z</a> w<b>", "x z w"},
        {"<![CDATA[<b>&amp;</b>]]> <!DOCTYPE html><?pi x?>", "<b>&amp;</b>"},
        {"AT&T &unknown; &amp;amp; &copy 2020 &copy2020", "AT&T &unknown; &amp; © 2020 &copy2020"},
        {"&#233;&#xE9;&#Xe9 &#65", "ééé A"},
        {"&#0;&#xD800;&#xDFFF;&#x110000;&#99999999999999999999;", Rd + Rd + Rd + Rd + Rd},
        {"&#150;&#x80;&#x81;", "–€"},
        {"&# &#x; &#xg;", "&# &#x; &#xg;"},
        {"&nbsp;&AElig;&Eacute;&yuml;&nbsp;", "ÆÉÿ"},
        {"&mdash;&ndash;&hellip;&laquo;&raquo;&lsquo;&rsquo;&ldquo;&rdquo;&bull;&middot;&reg;"
         "&trade;&euro;&apos;&quot;&gt;",
         "—–…«»‘’“”•·®™€'\">"},
        {"  a \t\n b&nbsp;&nbsp;c\x01\x7F"
         "d  ",
         "a b c d"},
        {"a\xFF"
         "b\xC3 \xC0\xAF\xED\xA0\x80"
         "\xF4\x90\x80\x80",
         "a" + Rd + "b" + Rd + " " + Rd + Rd + Rd + Rd + Rd + Rd + Rd + Rd + Rd},
        {"\xF0\x9F\x98\x80 ok", "\xF0\x9F\x98\x80 ok"},
    };
    for (const TextCase& c : cases)
        EXPECT_EQ(PlainText(c.markup), c.plain) << c.markup;
    EXPECT_EQ(DecodeReferences("a&amp;b&lt;&#x41; <b> \xFF"), "a&b<A <b> " + Rd);
    // Snippets escaped twice lose their tags too; other angle brackets stay.
    EXPECT_EQ(ResultText("about &lt;strong&gt;cats&lt;/strong&gt; &amp;amp; kittens"),
              "about cats & kittens");
    EXPECT_EQ(ResultText("&lt;B&gt;x&lt;/B&gt; 2 &lt; 3"), "x 2 < 3");
    EXPECT_EQ(ResultText("a &lt;bc&gt; &lt;br"), "a <bc> <br");
}

TEST(ResultFeed, Rss) {
    const std::string os = " xmlns:os=\"http://a9.com/-/spec/opensearch/1.1/\"";
    const std::string atom = " xmlns:atom=\"http://www.w3.org/2005/Atom\"";
    const std::vector<FeedCase> cases{
        {"titles, descriptions and addresses",
         Rss("<os:totalResults>42</os:totalResults><os:startIndex>11</os:startIndex>"
             "<os:itemsPerPage>10</os:itemsPerPage>" +
                 Item("<title>Caf&amp;eacute; &amp;amp; &lt;b&gt;bar&lt;/b&gt;</title>"
                      "<link>\n  http://a.example/1  \n</link>"
                      "<description>&lt;p&gt;One&lt;/p&gt;&lt;p&gt;two &amp;amp; "
                      "three&lt;/p&gt;</description>") +
                 Item("<title><![CDATA[Fish & <i>chips</i>]]></title>"
                      "<link>https://a.example/2?x=1&amp;y=2</link>"
                      "<description><![CDATA[<b>bold</b>&nbsp;text]]></description>") +
                 Item("<title>permalink</title><guid>http://a.example/3</guid>") +
                 Item("<title>guid not a permalink</title>"
                      "<guid isPermaLink=\"false\">http://a.example/4</guid>") +
                 Item("<title>no address</title><description>x</description>") +
                 Item("<title>relative</title><link>/5</link>") +
                 Item("<title>not the web</title><link>ftp://a.example/6</link>") +
                 Item("<title>atom link only</title><atom:link href=\"http://a.example/7\"/>") +
                 Item("<title>content</title><link>http://a.example/8</link>"
                      "<content:encoded>&lt;p&gt;full&lt;/p&gt;</content:encoded>"),
             os + atom + " xmlns:content=\"http://purl.org/rss/1.0/modules/content/\""),
         {{"http://a.example/1", "Café & bar", "One two & three"},
          {"https://a.example/2?x=1&y=2", "Fish & chips", "bold text"},
          {"http://a.example/3", "permalink", ""},
          {"http://a.example/8", "content", "full"}},
         true,
         "",
         42,
         11,
         10},
        {"response elements under another prefix, the old namespace, or the wrong one",
         Rss("<x:totalResults>7</x:totalResults><opensearch:startIndex>3</opensearch:startIndex>"
             "<old:itemsPerPage> 5 </old:itemsPerPage>" +
                 Item("<link>http://a.example/</link>"),
             " xmlns:x=\"http://a9.com/-/spec/opensearch/1.1/\""
             " xmlns:opensearch=\"http://example.org/not-opensearch\""
             " xmlns:old=\"http://a9.com/-/spec/opensearchrss/1.0/\""),
         {{"http://a.example/", "", ""}},
         true,
         "",
         7,
         -1,
         5},
        {"counts below the items they came with (searx sends 0) are not taken, nor words",
         Rss("<os:totalResults>0</os:totalResults><os:itemsPerPage>0</os:itemsPerPage>"
             "<os:startIndex>first</os:startIndex>" +
                 Item("<link>http://a.example/</link>") + Item("<title>answer</title>"),
             os),
         {{"http://a.example/", "", ""}}},
        {"ISO-8859-1",
         "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><rss><channel><item>"
         "<title>Caf\xE9 cr\xE8me</title><link>http://a.example/caf\xE9</link>"
         "<description>\xC0 la carte</description></item></channel></rss>",
         {{"http://a.example/café", "Café crème", "À la carte"}}},
        {"HTML entities without a DTD",
         Rss(Item("<title>na&iuml;ve &mdash; ok</title><link>http://a.example/</link>")),
         {{"http://a.example/", "naïve — ok", ""}}},
        {"HTML entities with an old RSS DTD, which is not read",
         "<!DOCTYPE rss PUBLIC \"-//Netscape Communications//DTD RSS 0.91//EN\""
         " \"http://my.netscape.com/publish/formats/rss-0.91.dtd\">" +
             Rss(Item("<title>&eacute; &nosuch;</title><link>http://a.example/</link>")),
         {{"http://a.example/", "é &nosuch;", ""}}},
        {"an HTML page",
         "<html><head><title>x</title></head></html>",
         {},
         false,
         "neither RSS nor Atom: the document is <html>"},
        {"nothing", " \r\n", {}, false, "the reply is empty"},
        {"not XML", "Service Unavailable", {}, false, "unreadable XML"},
        {"cut off: what came before stays",
         "<rss><channel>" + Item("<title>one</title><link>http://a.example/1</link>") +
             "<item><title>two</title><link>http://a.example/2</link>",
         {{"http://a.example/1", "one", ""}},
         false,
         "unreadable XML: Premature end of document"},
    };
    for (const FeedCase& c : cases)
        ExpectFeed(c);
}

namespace {

// Atom entries with the elements written as p + name.
std::string AtomEntries(const std::string& p) {
    const auto e = [&](const std::string& name, const std::string& attributes,
                       const std::string& inside) {
        return "<" + p + name + attributes + ">" + inside + "</" + p + name + ">";
    };
    const auto link = [&](const std::string& attributes) {
        return "<" + p + "link " + attributes + "/>";
    };
    const std::string xhtml = " xmlns=\"http://www.w3.org/1999/xhtml\"";
    return e("entry", "",
             e("title", " type=\"html\"", "Caf&amp;eacute; &lt;b&gt;bar&lt;/b&gt;") +
                 link("rel=\"self\" href=\"http://a.example/self\"") +
                 link("rel=\"alternate\" href=\"http://a.example/1\"") +
                 link("href=\"http://a.example/other\"") +
                 e("summary", " type=\"text\"", "a &lt;b&gt; is literal") +
                 e("content", " type=\"html\"", "&lt;p&gt;not taken&lt;/p&gt;")) +
           e("entry", "",
             e("title", "", "plain &amp;amp; simple") + link("href=\"http://a.example/2\"") +
                 e("content", " type=\"xhtml\"",
                   "<div" + xhtml + "><p>first</p><p>second &amp;lt;</p></div>")) +
           e("entry", "",
             e("title", " type=\"xhtml\"", "<div" + xhtml + ">x<b>y</b></div>") +
                 link("rel=\"edit\" href=\"http://a.example/edit\"") +
                 e("id", "", "https://a.example/3") +
                 e("content", " src=\"http://a.example/3.txt\"", "")) +
           e("entry", "", e("title", "", "urn id") + e("id", "", "urn:uuid:1")) +
           e("entry", "", e("title", "", "relative") + link("href=\"4.html\"")) +
           e("entry", "",
             e("title", "", "media") + link("href=\"http://a.example/5\"") +
                 e("content", " type=\"image/png\"", "AAAA"));
}

} // namespace

TEST(ResultFeed, Atom) {
    const std::vector<FoundPage> pages{
        {"http://a.example/1", "Café bar", "a <b> is literal"},
        {"http://a.example/2", "plain &amp; simple", "first second &lt;"},
        {"https://a.example/3", "xy", ""},
        {"http://a.example/5", "media", ""}};
    const std::vector<FeedCase> cases{
        {"unprefixed",
         "<feed xmlns=\"http://www.w3.org/2005/Atom\""
         " xmlns:opensearch=\"http://a9.com/-/spec/opensearch/1.1/\"><title>t</title>"
         "<opensearch:totalResults>100</opensearch:totalResults>"
         "<opensearch:startIndex>1</opensearch:startIndex>" +
             AtomEntries("") + "</feed>",
         pages, true, "", 100, 1},
        {"prefixed, with Atom's names in another default namespace",
         "<a:feed xmlns:a=\"http://www.w3.org/2005/Atom\" xmlns=\"http://example.org/other\">"
         "<os:itemsPerPage xmlns:os=\"http://a9.com/-/spec/opensearch/1.1/\">4"
         "</os:itemsPerPage><entry><link href=\"http://a.example/other\"/></entry>" +
             AtomEntries("a:") + "</a:feed>",
         pages, true, "", -1, -1, 4},
        {"Atom's names outside its namespace",
         "<feed><entry><link href=\"http://a.example/\"/></entry></feed>",
         {},
         false,
         "neither RSS nor Atom: the document is <feed>"},
    };
    for (const FeedCase& c : cases)
        ExpectFeed(c);
}

TEST(ResultFeed, HostileReplies) {
    // An external entity is never loaded, however the DTD declares it.
    TempDir dir;
    dir.write("secret.txt", "SECRET");
    const std::string secretUrl = "file://" + dir.path("secret.txt");
    std::string nested;
    for (int k = 0; k < 100; ++k)
        nested = "<x>" + nested + "</x>";
    const std::vector<FeedCase> cases{
        {"external entities",
         "<?xml version=\"1.0\" encoding=\"UTF-8\"?><!DOCTYPE rss [<!ENTITY file SYSTEM \"" +
             secretUrl +
             "\"><!ENTITY word \"internal\">"
             "<!ENTITY % dtd SYSTEM \"http://127.0.0.1:1/evil.dtd\"> %dtd;]>" +
             Rss(Item("<title>a&file;b &word;</title><link>http://a.example/</link>")),
         {{"http://a.example/", "ab internal", ""}}},
        {"entities that grow to a few thousand characters",
         "<!DOCTYPE rss [<!ENTITY a \"aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa\">"
         "<!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\"><!ENTITY c \"&b;&b;&b;&b;\">]>" +
             Rss(Item("<link>http://a.example/1</link>") + Item("<title>&c;</title>")),
         {{"http://a.example/1", "", ""}},
         false,
         "entity expansion limit"},
        {"deep nesting",
         Rss(Item("<link>http://a.example/1</link>") +
             Item("<link>http://a.example/2</link>" + nested)),
         {{"http://a.example/1", "", ""}},
         false,
         "the reply is too deeply nested"},
    };
    for (const FeedCase& c : cases)
        ExpectFeed(c);
}

TEST(SearxJson, Replies) {
    struct Case {
        std::string label;
        std::string body;
        bool ok;
        std::vector<FoundPage> pages;
        std::vector<std::string> unresponsive;
        std::string errorPart;
    };
    const std::vector<Case> cases{
        {"results",
         R"({"query": "q", "number_of_results": 0, "results": [
             {"url": "http://a.example/1", "title": "<b>One</b> &amp; only", "content": "c1",
              "engine": "x"},
             {"url": " https://a.example/2 ", "title": "two"},
             {"url": "http://a.example/3", "title": "three", "content": null},
             {"url": "ftp://a.example/4", "title": "not the web"},
             {"title": "no address"}, 5, null],
            "answers": [], "unresponsive_engines": []})",
         true,
         {{"http://a.example/1", "One & only", "c1"},
          {"https://a.example/2", "two", ""},
          {"http://a.example/3", "three", ""}},
         {},
         ""},
        {"engines that did not answer",
         R"({"results": [], "unresponsive_engines": [["google", "timeout"],
             ["bing", "Suspended: access denied"], ["qwant"], "wikipedia", [7, 8], []]})",
         true,
         {},
         {"google (timeout)", "bing (Suspended: access denied)", "qwant", "wikipedia", "7 (8)"},
         ""},
        {"no number of results",
         R"({"results": [{"url": "http://a.example/"}]})",
         true,
         {{"http://a.example/", "", ""}},
         {},
         ""},
        {"a list", "[]", false, {}, {}, "the reply is not a JSON object"},
        {"no results", R"({"query": "q"})", false, {}, {}, "the reply has no \"results\" list"},
        {"results not a list", R"({"results": {}})", false, {}, {}, "no \"results\" list"},
        {"not JSON", "<html></html>", false, {}, {}, "unreadable JSON"},
        {"cut off",
         R"({"results": [{"url": "http://a.example/"})",
         false,
         {},
         {},
         "unreadable JSON"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        ResultPage page;
        page.pages.push_back({"left", "from", "before"});
        std::string error;
        EXPECT_EQ(ReadSearxJson(c.body, page, error), c.ok) << error;
        EXPECT_EQ(page.pages, c.pages);
        EXPECT_EQ(page.unresponsiveEngines, c.unresponsive);
        EXPECT_EQ(page.totalResults, -1);
        EXPECT_NE(error.find(c.errorPart), std::string::npos) << error;
    }
}

TEST(SearxJson, SearchUrl) {
    EXPECT_EQ(SearxSearchUrl("http://127.0.0.1:8888", "new york & co", 1),
              "http://127.0.0.1:8888/search?q=new%20york%20%26%20co&format=json&pageno=1");
    EXPECT_EQ(SearxSearchUrl("https://h.example/searx/", "Grüße #1+1", 3),
              "https://h.example/searx/search?q=Gr%C3%BC%C3%9Fe%20%231%2B1&format=json&pageno=3");
    EXPECT_EQ(SearxSearchUrl("http://h//", "a", 0), "http://h/search?q=a&format=json&pageno=1");
}
