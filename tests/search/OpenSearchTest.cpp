// OpenSearch URL templates, description documents and their discovery in web pages.
#include "search/OpenSearch.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

static void PrintTo(const OpenSearchUrl& u, std::ostream* os) {
    *os << u.type << " " << u.templ << " " << u.indexOffset << "/" << u.pageOffset;
}

namespace {

const std::string Rss = "application/rss+xml";
const std::string Atom = "application/atom+xml";

// searx's /opensearch.xml as its server writes it, for a GET or the default POST form.
std::string SearxDescription(bool get) {
    return std::string(R"(<?xml version="1.0" encoding="utf-8"?>
<OpenSearchDescription xmlns="http://a9.com/-/spec/opensearch/1.1/">
  <ShortName>searx</ShortName>
  <Description>a privacy-respecting, hackable metasearch engine</Description>
  <InputEncoding>UTF-8</InputEncoding>
  <Image>http://127.0.0.1:8888/static/themes/__common__/img/favicon.png</Image>
  <LongName>searx metasearch</LongName>
  )") +
           (get ? R"(<Url rel="results" type="text/html" method="get" template="http://127.0.0.1:8888/search?q={searchTerms}"/>)"
                : R"(<Url rel="results" type="text/html" method="post" template="http://127.0.0.1:8888/search">
        <Param name="q" value="{searchTerms}" />
    </Url>)") +
           R"(
    <Url rel="suggestions" type="application/x-suggestions+json" template="http://127.0.0.1:8888/autocompleter?q={searchTerms}"/>
  <Url type="application/opensearchdescription+xml"
      rel="self"
      template="/opensearch.xml?method=post&amp;autocomplete=" />
</OpenSearchDescription>
)";
}

} // namespace

TEST(OpenSearchTemplate, Expand) {
    struct Case {
        std::string templ;
        TemplateValues values;
        std::string url; // empty: an error naming errorPart
        std::string errorPart = "";
    };
    const TemplateValues plain{"a b", 0, 1, 1, ""};
    const std::vector<Case> cases{
        {"http://h/s?q={searchTerms}&n={count}&i={startIndex}&p={startPage}&l={language}"
         "&ie={inputEncoding}&oe={outputEncoding}",
         {"a b", 20, 21, 2, ""},
         "http://h/s?q=a%20b&n=20&i=21&p=2&l=*&ie=UTF-8&oe=UTF-8"},
        {"http://h/s?q={searchTerms}&n={count?}&l={language?}",
         {"x", 0, 1, 1, "de-CH"},
         "http://h/s?q=x&n=&l=de-CH"},
        {"http://h/{searchTerms?}/{os:startIndex?}/{opensearch:count}/{a:b:startPage}",
         {"k", 5, 6, 7, ""},
         "http://h/k/6/5/7"},
        {"http://h/s?q={searchTerms}&box={geo:box?}&t={time:start?}{?}", plain,
         "http://h/s?q=a%20b&box=&t="},
        {"http://h/s?q={searchTerms}&box={geo:box}", plain, "", "{geo:box}"},
        {"http://h/s?q={searchTerms}&x={}", plain, "", "{}"},
        {"http://h/s?q={searchTerms", plain, "", "not closed"},
        {"http://h/s?q={count}", plain, "", "no {searchTerms}"},
        {"http://h/s?q={searchTerms}&a=%20{}x}",
         {"Grüße & #1 a+b/c~d_e.f-g", 0, 1, 1, ""},
         "",
         "{}"},
        {"http://h/s?q={searchTerms}&a=%20x}",
         {"Grüße & #1 a+b/c~d_e.f-g", 0, 1, 1, ""},
         "http://h/s?q=Gr%C3%BC%C3%9Fe%20%26%20%231%20a%2Bb%2Fc~d_e.f-g&a=%20x}"},
    };
    for (const Case& c : cases) {
        std::string url = "old";
        std::string error;
        EXPECT_EQ(ExpandOpenSearchTemplate(c.templ, c.values, url, error), !c.url.empty())
            << c.templ << ": " << error;
        EXPECT_EQ(url, c.url) << c.templ;
        if (c.url.empty()) {
            EXPECT_NE(error.find(c.errorPart), std::string::npos) << c.templ << ": " << error;
        }
    }

    const std::string templ = "http://h/?q={searchTerms}&s={os:startIndex?}&c={count}&{x}";
    EXPECT_TRUE(TemplateHas(templ, "startIndex"));
    EXPECT_TRUE(TemplateHas(templ, "count"));
    EXPECT_FALSE(TemplateHas(templ, "startPage"));
    EXPECT_FALSE(TemplateHas(templ, "os:startIndex"));
    EXPECT_FALSE(TemplateHas("http://h/?q={searchTerms}&p={startPage", "startPage"));
}

TEST(OpenSearchDescription, Read) {
    struct Case {
        std::string label;
        std::string xml;
        std::string base;
        std::string shortName;
        std::vector<OpenSearchUrl> urls; // empty: an error naming errorPart
        std::string errorPart = "";
    };
    const std::string searxRss =
        "http://127.0.0.1:8888/search?q={searchTerms}&format=rss&pageno={startPage}";
    const std::vector<Case> cases{
        {"searx, GET",
         SearxDescription(true),
         "http://127.0.0.1:8888/opensearch.xml",
         "searx",
         {{Rss, searxRss, 1, 1}}},
        {"searx, POST form", SearxDescription(false), "", "searx", {{Rss, searxRss, 1, 1}}},
        {"several Urls",
         R"xml(<os:OpenSearchDescription xmlns:os="http://a9.com/-/spec/opensearch/1.1/">
              <os:ShortName> Example &amp; co </os:ShortName>
              <os:Url type="text/html" template="http://example.org/html?q={searchTerms}"/>
              <os:Url type="application/rss+xml; charset=UTF-8" rel="results"
                      template="/search?q={searchTerms}&amp;start={startIndex?}"/>
              <os:Url type="application/atom+xml" rel="suggestions"
                      template="http://example.org/s?q={searchTerms}"/>
              <os:Url type="Application/Atom+XML" rel="  Results  other "
                      template="atom?q={searchTerms}&amp;p={startPage}"
                      indexOffset="0" pageOffset="0"/>
              <os:Url type="application/rss+xml" rel="results"
                      template="//other.example/r?q={searchTerms}&amp;c={count?}"
                      pageOffset="x"/>
              <os:Url type="application/rss+xml" template="https://abs.example/?q={searchTerms}&amp;a=b%20c"/>
              <os:Url xmlns:os="http://example.org/other" type="application/rss+xml"
                      template="http://wrong.example/?q={searchTerms}">
                <os:Param xmlns:os="http://a9.com/-/spec/opensearch/1.1/" name="not" value="x"/>
              </os:Url>
              <os:Url type="application/rss+xml" template="http://x.example/?q={searchTerms}&amp;b={geo:box}"/>
              <os:Url type="application/rss+xml" template="http://x.example/?q={searchTerms"/>
              <os:Url type="application/rss+xml" template="javascript:go('{searchTerms}')"/>
            </os:OpenSearchDescription>)xml",
         "http://example.org/dir/osd.xml",
         "Example & co",
         {{Rss, "http://example.org/search?q={searchTerms}&start={startIndex?}", 1, 1},
          {Atom, "http://example.org/dir/atom?q={searchTerms}&p={startPage}", 0, 0},
          {Rss, "http://other.example/r?q={searchTerms}&c={count?}", 1, 1},
          {Rss, "https://abs.example/?q={searchTerms}&a=b%20c", 1, 1}}},
        {"a relative template without an address to start from",
         R"(<OpenSearchDescription xmlns="http://a9.com/-/spec/opensearch/1.1/">
              <Url type="application/rss+xml" template="/s?q={searchTerms}"/>
            </OpenSearchDescription>)",
         "",
         "",
         {},
         "offers no results as RSS or Atom"},
        {"web pages only",
         R"(<OpenSearchDescription xmlns="http://a9.com/-/spec/opensearch/1.1/">
              <LongName>not searx</LongName>
              <Url type="text/html" template="http://h/?q={searchTerms}"/>
            </OpenSearchDescription>)",
         "http://h/",
         "",
         {},
         "offers no results as RSS or Atom"},
        {"the wrong namespace",
         R"(<OpenSearchDescription xmlns="http://a9.com/-/spec/opensearch/1.0/"/>)",
         "",
         "",
         {},
         "not an OpenSearch description"},
        {"a feed",
         "<rss><channel/></rss>",
         "",
         "",
         {},
         "not an OpenSearch description: the document is <rss>"},
        {"broken",
         R"(<OpenSearchDescription xmlns="http://a9.com/-/spec/opensearch/1.1/">)",
         "",
         "",
         {},
         "unreadable XML"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        OpenSearchDescription d;
        std::string error;
        EXPECT_EQ(ReadOpenSearchDescription(c.xml, c.base, d, error), !c.urls.empty()) << error;
        EXPECT_EQ(d.urls, c.urls);
        if (c.urls.empty()) {
            EXPECT_NE(error.find(c.errorPart), std::string::npos) << error;
        } else {
            EXPECT_EQ(d.shortName, c.shortName);
        }
    }
}

TEST(OpenSearchDescription, FindLinks) {
    struct Case {
        std::string html;
        std::vector<std::string> found;
    };
    const std::string page = "http://example.org/a/b.html";
    const std::vector<Case> cases{
        {R"(<head><link rel="search" type="application/opensearchdescription+xml" href="/osd.xml" title="x">)",
         {"http://example.org/osd.xml"}},
        {R"(<link title="searx" type="application/opensearchdescription+xml" rel="search" href="/opensearch.xml?method=POST&amp;autocomplete="/>)",
         {"http://example.org/opensearch.xml?method=POST&autocomplete="}},
        {R"(<LINK HREF=osd.xml TITLE='a b' REL=Search TYPE='application/OpenSearchDescription+xml'/>)",
         {"http://example.org/a/osd.xml"}},
        {"<link\ntype=\"application/opensearchdescription+xml\"\trel=\"alternate search\"\n"
         "href=\"https://other.example/o?a=1&amp;b=2\">",
         {"https://other.example/o?a=1&b=2"}},
        {R"(<link rel="searchbox" type="application/opensearchdescription+xml" href="/1">
            <link rel="search" type="application/rss+xml" href="/2">
            <link rel="search" href="/3"><link rel="search" type="application/opensearchdescription+xml">
            <!-- <link rel="search" type="application/opensearchdescription+xml" href="/4"> -->
            <script>s = '<link rel="search" type="application/opensearchdescription+xml" href="/5">';</script>
            <linkx rel="search" type="application/opensearchdescription+xml" href="/6">)",
         {}},
        {R"(<base href="http://cdn.example/x/"><base href="http://ignored.example/">
            <link rel="search" type="application/opensearchdescription+xml" href="one.xml">
            <link href="two.xml" rel="search" type="application/opensearchdescription+xml" href="not.xml">)",
         {"http://cdn.example/x/one.xml", "http://cdn.example/x/two.xml"}},
        {R"(<link rel="search" type="application/opensearchdescription+xml" href="/x)", {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FindDescriptionLinks(c.html, page), c.found) << c.html;
}
