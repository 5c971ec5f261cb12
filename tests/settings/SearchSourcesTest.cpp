#include "settings/core/SearchSources.h"
#include "settings/core/SettingsStore.h"
#include "tree/TQelPigger.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

SearchSource source(std::string name, SearchSource::Kind kind, std::string address) {
    SearchSource s;
    s.name = std::move(name);
    s.kind = kind;
    s.address = std::move(address);
    return s;
}

SearchSource openSearch(std::string name = "Omega",
                        std::string address = "http://127.0.0.1:8080/cgi-bin/omega?P={searchTerms}"
                                              "&TOPDOC={startIndex?}&FMT=opensearch") {
    return source(std::move(name), SearchSource::OpenSearch, std::move(address));
}

SearchSource searx(std::string name = "Searx", std::string address = "http://127.0.0.1:8888") {
    return source(std::move(name), SearchSource::Searx, std::move(address));
}

struct Settings : TQelPigger {
    explicit Settings(const std::string& text) { SetAsText(text); }
};

std::vector<std::string> names(const std::vector<SearchSource>& sources) {
    std::vector<std::string> out;
    for (const SearchSource& s : sources)
        out.push_back(s.name);
    return out;
}

} // namespace

TEST(SearchSources, CheckSourceNamesWhatIsWrong) {
    struct Case {
        const char* what;
        std::function<void(SearchSource&)> change;
        SearchSource::Kind kind;
        const char* expected; // empty: usable
    };
    const std::vector<Case> cases = {
        {"template with optional paging", [](SearchSource&) {}, SearchSource::OpenSearch, ""},
        {"searx base with a path", [](SearchSource& s) { s.address = "https://u:p@h:8443/sx/"; },
         SearchSource::Searx, ""},
        {"IPv6 host", [](SearchSource& s) { s.address = "http://[::1]:8888"; }, SearchSource::Searx,
         ""},
        {"scheme in capitals",
         [](SearchSource& s) { s.address = "HTTPS://h/s?q={searchTerms}&l={language}"; },
         SearchSource::OpenSearch, ""},
        {"optional terms are filled in too",
         [](SearchSource& s) { s.address = "http://h/s?q={searchTerms?}&c={count}"; },
         SearchSource::OpenSearch, ""},
        {"the feed needs nothing", [](SearchSource& s) { s = FeedSource(); }, SearchSource::Feed,
         ""},
        {"empty template", [](SearchSource& s) { s.address = " "; }, SearchSource::OpenSearch,
         "Enter the address template of the source, such as "
         "https://example.org/search?q={searchTerms}&format=rss."},
        {"empty searx address", [](SearchSource& s) { s.address.clear(); }, SearchSource::Searx,
         "Enter the address of the searx server, such as http://127.0.0.1:8888."},
        {"other scheme", [](SearchSource& s) { s.address = "ftp://h/?q={searchTerms}"; },
         SearchSource::OpenSearch, "The address must begin with http:// or https://."},
        {"no scheme", [](SearchSource& s) { s.address = "localhost:8888"; }, SearchSource::Searx,
         "The address must begin with http:// or https://."},
        {"no host", [](SearchSource& s) { s.address = "http:///search?q={searchTerms}"; },
         SearchSource::OpenSearch, "The address names no server."},
        {"only a login", [](SearchSource& s) { s.address = "http://u@:80"; }, SearchSource::Searx,
         "The address names no server."},
        {"blank inside", [](SearchSource& s) { s.address = "http://h/s?q={searchTerms} x"; },
         SearchSource::OpenSearch, "The address must not hold blanks or control characters."},
        {"port no number", [](SearchSource& s) { s.address = "http://h:88x/"; },
         SearchSource::Searx, "The port of the address must be a number from 1 to 65535."},
        {"port too large", [](SearchSource& s) { s.address = "http://h:65536"; },
         SearchSource::Searx, "The port of the address must be a number from 1 to 65535."},
        {"without searchTerms", [](SearchSource& s) { s.address = "http://h/s?q={count?}"; },
         SearchSource::OpenSearch, "The template must hold {searchTerms} where the keyword goes."},
        {"unknown required parameter",
         [](SearchSource& s) { s.address = "http://h/s?q={searchTerms}&t={time:start}"; },
         SearchSource::OpenSearch,
         "The template asks for {time:start}, which cannot be filled in; write it as "
         "{time:start?} or leave it out."},
        {"brace not closed", [](SearchSource& s) { s.address = "http://h/s?q={searchTerms"; },
         SearchSource::OpenSearch, "The template has a \"{\" that is not closed by \"}\"."},
        {"searx address with a query", [](SearchSource& s) { s.address = "http://h/search?q=x"; },
         SearchSource::Searx,
         "Enter the server's own address, without a query: the search is asked at "
         "ADDRESS/search."},
        {"pages 0", [](SearchSource& s) { s.pages = 0; }, SearchSource::Searx,
         "Pages must be from 1 to 20."},
        {"pages 21", [](SearchSource& s) { s.pages = 21; }, SearchSource::OpenSearch,
         "Pages must be from 1 to 20."},
        {"parallel 9", [](SearchSource& s) { s.parallel = 9; }, SearchSource::Searx,
         "Keywords in flight must be from 1 to 8."},
        {"interval negative", [](SearchSource& s) { s.intervalMs = -1; }, SearchSource::Searx,
         "The interval must be from 0 to 60000."},
        {"interval too long", [](SearchSource& s) { s.intervalMs = 60001; }, SearchSource::Searx,
         "The interval must be from 0 to 60000."},
        {"offset negative", [](SearchSource& s) { s.indexOffset = -1; }, SearchSource::OpenSearch,
         "The index offset must be from 0 to 1000000."},
    };
    for (const Case& c : cases) {
        SearchSource s = c.kind == SearchSource::Searx ? searx() : openSearch();
        c.change(s);
        EXPECT_EQ(CheckSource(s), c.expected) << c.what;
    }
    SearchSource limits = searx();
    limits.pages = SearchSource::MaxPages;
    limits.parallel = SearchSource::MaxParallel;
    limits.intervalMs = 0;
    EXPECT_EQ(CheckSource(limits), "");
}

TEST(SearchSources, ReadingSkipsWhatCannotBeUsedAndBringsNumbersIntoRange) {
    struct Case {
        const char* what;
        const char* sources; // the SOURCE elements under SOURCES
        std::vector<std::string> names;
    };
    const std::vector<Case> cases = {
        {"none", "", {FeedSourceName}},
        {"kinds in any case",
         R"(<SOURCE NAME="a" KIND="OpenSearch"/><SOURCE NAME="b" KIND="SEARX"/>)",
         {FeedSourceName, "a", "b"}},
        {"unknown kind, stored feed, no kind",
         R"(<SOURCE NAME="a" KIND="yacy"/><SOURCE NAME="f" KIND="feed"/><SOURCE NAME="n"/>)",
         {FeedSourceName}},
        {"empty or blank name",
         R"(<SOURCE KIND="searx"/><SOURCE NAME="  " KIND="searx"/><SOURCE NAME=" x " KIND="searx"/>)",
         {FeedSourceName, "x"}},
        {"names taken already, the feed's included",
         R"(<SOURCE NAME="A" KIND="searx"/><SOURCE NAME="a" KIND="opensearch"/>)"
         R"(<SOURCE NAME="quarrylog FEED" KIND="searx"/>)",
         {FeedSourceName, "A"}},
        {"other elements left alone",
         R"(<NOTE NAME="a" KIND="searx"/><SOURCE NAME="b" KIND="searx"/>)",
         {FeedSourceName, "b"}},
    };
    for (const Case& c : cases) {
        const Settings root(std::string("<SETTINGS><SOURCES>") + c.sources +
                            "</SOURCES></SETTINGS>");
        EXPECT_EQ(names(ReadSources(root)), c.names) << c.what;
    }

    struct Numbers {
        const char* attrs;
        int pages, parallel, interval, indexOffset, pageOffset;
    };
    const std::vector<Numbers> numbers = {
        {"", 1, 1, SearchSource::DefaultIntervalMs, 1, 1},
        {R"(PAGES="5" PARALLEL="3" INTERVAL="0" INDEXOFFSET="0" PAGEOFFSET="2")", 5, 3, 0, 0, 2},
        {R"(PAGES="0" PARALLEL="99" INTERVAL="-5" INDEXOFFSET="-1" PAGEOFFSET="9999999")", 1, 8, 0,
         0, 1000000},
        {R"(PAGES="x" PARALLEL="2.5" INTERVAL="99999999999" INDEXOFFSET=" 3 ")", 1, 1,
         SearchSource::DefaultIntervalMs, 3, 1},
    };
    for (const Numbers& n : numbers) {
        const Settings root(
            std::string(R"(<SETTINGS><SOURCES><SOURCE NAME="s" KIND="searx" ADDRESS="http://h" )") +
            n.attrs + "/></SOURCES></SETTINGS>");
        const std::vector<SearchSource> read = ReadSources(root);
        ASSERT_EQ(read.size(), 2u) << n.attrs;
        const SearchSource& s = read[1];
        EXPECT_EQ(s.address, "http://h");
        EXPECT_EQ(
            std::vector<int>({s.pages, s.parallel, s.intervalMs, s.indexOffset, s.pageOffset}),
            std::vector<int>({n.pages, n.parallel, n.interval, n.indexOffset, n.pageOffset}))
            << n.attrs;
    }
}

TEST(SearchSources, WrittenShapeReadsBackTheSame) {
    Settings root(R"(<SETTINGS USEPROXY="Y"><KEYWORDS><KW VAL="hotel"/></KEYWORDS></SETTINGS>)");
    SearchSource omega = openSearch("Omega & co", "http://h/o?P={searchTerms}&X=\"1\"");
    omega.pages = 3;
    omega.parallel = 2;
    omega.intervalMs = 0;
    omega.indexOffset = 0;
    const std::vector<SearchSource> sources = {FeedSource(), omega, searx()};
    WriteSources(root, sources);
    EXPECT_EQ(ReadSources(root), sources);

    TQelPigger shape;
    shape.Assign(*root.FindChild("SOURCES"));
    shape.DeleteChild(0);
    EXPECT_EQ(shape.GetAsText(),
              "\r\n<SOURCES>\r\n\t<SOURCE NAME=\"Searx\" KIND=\"searx\" "
              "ADDRESS=\"http://127.0.0.1:8888\" PAGES=\"1\" PARALLEL=\"1\" INTERVAL=\"1000\" "
              "INDEXOFFSET=\"1\" PAGEOFFSET=\"1\"/>\r\n</SOURCES>");

    // Writing again replaces the stored sources; other children stay where they are.
    root.FindChild("SOURCES")->AddChild("NOTE");
    WriteSources(root, {searx("Other")});
    EXPECT_EQ(names(ReadSources(root)), (std::vector<std::string>{FeedSourceName, "Other"}));
    EXPECT_NE(root.FindChild("SOURCES")->FindChild("NOTE"), nullptr);
    EXPECT_EQ(root.Child(0)->Name(), "KEYWORDS");
}

TEST(SearchSources, TheChoiceIsKeptBesideTheSourcesAndTheFeedLeavesNoTrace) {
    Settings root("<SETTINGS/>");
    EXPECT_EQ(ChosenSourceName(root), FeedSourceName);

    SetChosenSourceName(root, "Searx");
    EXPECT_EQ(ChosenSourceName(root), "Searx");
    // The choice outlives the sources' list being emptied ...
    WriteSources(root, {FeedSource(), searx()});
    WriteSources(root, {FeedSource()});
    EXPECT_EQ(root.GetAsText(), "\r\n<SETTINGS>\r\n\t<SOURCES CHOSEN=\"Searx\"/>\r\n</SETTINGS>");
    // ... and choosing the feed (in any case, or nothing) takes the empty element away.
    SetChosenSourceName(root, "QUARRYLOG feed");
    EXPECT_EQ(root.GetAsText(), "\r\n<SETTINGS/>");
    SetChosenSourceName(root, "");
    EXPECT_EQ(root.GetAsText(), "\r\n<SETTINGS/>");

    WriteSources(root, {searx()});
    SetChosenSourceName(root, "Searx");
    SetChosenSourceName(root, FeedSourceName);
    EXPECT_EQ(ChosenSourceName(root), FeedSourceName);
    EXPECT_EQ(names(ReadSources(root)), (std::vector<std::string>{FeedSourceName, "Searx"}));

    const std::vector<SearchSource> sources = ReadSources(root);
    ASSERT_NE(FindSource(sources, "SEARX"), nullptr);
    EXPECT_EQ(FindSource(sources, "SEARX")->name, "Searx");
    EXPECT_EQ(FindSource(sources, "quarrylog feed"), &sources[0]);
    EXPECT_EQ(FindSource(sources, "Sear"), nullptr);
}

TEST(SearchSources, SettingsFileWithoutSourcesIsWrittenUnchanged) {
    TempDir dir;
    {
        SettingsStore first(dir.path("q.set"));
        first.LoadSettings();
        first.Set("USEPROXY", "Y");
        first.Set("PROXYPASS", "secret");
        SettingsStore::GetSection(&first.Tree(), "KEYWORDS")->AddChild("KW")->SetAttr("VAL", "x");
        first.Tree().AddChild("OTHER")->SetAttr("A", "1");
        ASSERT_TRUE(first.SaveNow());
    }
    const std::string before = dir.read("q.set");
    SettingsStore store(dir.path("q.set"));
    store.LoadSettings();
    WriteSources(store.Tree(), ReadSources(store.Tree()));
    SetChosenSourceName(store.Tree(), ChosenSourceName(store.Tree()));
    ASSERT_TRUE(store.SaveNow());
    EXPECT_EQ(dir.read("q.set"), before);
    EXPECT_EQ(before.find("SOURCES"), std::string::npos);
}
