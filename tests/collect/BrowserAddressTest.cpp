#include "collect/core/BrowserAddress.h"
#include "collect/core/DownloadFolder.h"
#include "settings/core/AppInfo.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <QDir>

TEST(BrowserAddress, HomeAddressFromTheSetting) {
    EXPECT_EQ(ComposeHomeAddress(""), AppInfo::DefaultHomeSearchPage);
    EXPECT_EQ(ComposeHomeAddress(" \t"), AppInfo::DefaultHomeSearchPage);
    EXPECT_EQ(ComposeHomeAddress(AppInfo::DefaultHomeSearchPage), AppInfo::DefaultHomeSearchPage);
    // A full address stays as it is, apart from surrounding blanks.
    EXPECT_EQ(ComposeHomeAddress(" http://127.0.0.1:8080/find "), "http://127.0.0.1:8080/find");
    EXPECT_EQ(ComposeHomeAddress("https://s.example/search?lang=en"),
              "https://s.example/search?lang=en");
    // A host alone gets the scheme and the path.
    EXPECT_EQ(ComposeHomeAddress("127.0.0.1:8080"), "http://127.0.0.1:8080/search");
    EXPECT_EQ(ComposeHomeAddress("http://s.example"), "http://s.example/search");
    EXPECT_EQ(ComposeHomeAddress("s.example/"), "http://s.example/");
}

TEST(BrowserAddress, GoReloadsOnlyTheAddressShown) {
    EXPECT_TRUE(GoReloads("http://a.example/", "http://a.example/"));
    EXPECT_TRUE(GoReloads("http://a.example/", "  http://a.example/\t"));
    EXPECT_TRUE(GoReloads(" http://a.example/ ", "http://a.example/"));
    // Before the first page an empty field reloads (which does nothing).
    EXPECT_TRUE(GoReloads("", "  "));
    EXPECT_FALSE(GoReloads("http://a.example/", "http://A.example/"));
    EXPECT_FALSE(GoReloads("http://a.example/", "http://a.example"));
    EXPECT_FALSE(GoReloads("http://a.example/", "http://a .example/"));
    EXPECT_FALSE(GoReloads("", "http://a.example/"));
}

TEST(BrowserAddress, OneReloadAfterHomeWithAQuery) {
    const std::string home = "http://s.example/search";
    // The field still shows the bare home address: a location with the query reloads.
    EXPECT_TRUE(ReloadsAfterHome(home, "http://s.example/search?q=1", home));
    EXPECT_TRUE(ReloadsAfterHome(home, "http://s.example/search?", home));
    // "Contains", not "starts with": a redirector in front still counts.
    EXPECT_TRUE(ReloadsAfterHome(home, "http://r.example/?to=http://s.example/search?q", home));
    // No query, another page, or another case: no reload.
    EXPECT_FALSE(ReloadsAfterHome(home, home, home));
    EXPECT_FALSE(ReloadsAfterHome(home, "http://s.example/search/?q=1", home));
    EXPECT_FALSE(ReloadsAfterHome(home, "http://s.example/SEARCH?q=1", home));
    EXPECT_FALSE(ReloadsAfterHome(home, "http://s.example/other?q=1", home));
    // Once the field shows the location (or anything but the bare home address) never again.
    EXPECT_FALSE(
        ReloadsAfterHome("http://s.example/search?q=1", "http://s.example/search?q=1", home));
    EXPECT_FALSE(ReloadsAfterHome(" " + home, "http://s.example/search?q=1", home));
    EXPECT_FALSE(ReloadsAfterHome("", "?", ""));
}

TEST(BrowserAddress, AddressOrWordsTypedIntoTheField) {
    const char* addresses[] = {
        "http://a.example/",
        " https://a.example/x?q=1 ",
        "HTTP://A.EXAMPLE",
        "ftp://f.example/",
        "http://a.example/two words",
        "file:///tmp/a.html",
        "about:blank",
        "mailto:me@a.example",
        "data:text/plain,hi",
        "view-source:http://a.example/",
        "/tmp/a.html",
        "localhost",
        "LOCALHOST/x",
        "localhost:3000",
        "intranet:8080/x",
        "127.0.0.1",
        "127.0.0.1:8080/a",
        "[::1]:8080",
        "example.com",
        "www.example.com/path?q=x#top",
        "bücher.example",
        "a-b.example:80",
    };
    for (const char* text : addresses)
        EXPECT_TRUE(LooksLikeAddress(text)) << text;
    const char* words[] = {
        "",
        "  ",
        "garden",
        "garden tools",
        " garden tools ",
        "3.14",
        "version 1.2",
        "v1.2",
        "user@a.example",
        "example.com.",
        "a..example",
        "define:word",
        "localhost:",
        "what is c++?",
        "?example.com",
        "? garden",
        "www.example.com/a b",
    };
    for (const char* text : words)
        EXPECT_FALSE(LooksLikeAddress(text)) << text;
}

TEST(BrowserAddress, SearchAddressOfTheWordsWithTheHomePage) {
    struct Case {
        const char* home;
        const char* typed;
        const char* address;
    };
    const Case cases[] = {
        {"http://s.example/search", "garden tools", "http://s.example/search?q=garden+tools"},
        {"http://s.example/search", "  garden   tools ",
         "http://s.example/search?q=garden+++tools"},
        {"http://s.example/search", "? example.com", "http://s.example/search?q=example.com"},
        {"http://s.example/search", "c++ & 100%", "http://s.example/search?q=c%2B%2B+%26+100%25"},
        {"http://s.example/search",
         "grüße/ä?#=", "http://s.example/search?q=gr%C3%BC%C3%9Fe%2F%C3%A4%3F%23%3D"},
        {"https://s.example/search?lang=en", "spade", "https://s.example/search?lang=en&q=spade"},
        {"https://s.example/search?", "spade", "https://s.example/search?q=spade"},
        {"https://s.example/search?lang=en&", "spade", "https://s.example/search?lang=en&q=spade"},
        {"http://s.example/search#top", "spade", "http://s.example/search?q=spade"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SearchAddress(c.home, c.typed), c.address) << c.typed;
}

TEST(DownloadFolder, LastUsedThenTheDownloadFolderThenHome) {
    TempDir tmp;
    ASSERT_TRUE(QDir().mkpath(tmp.qpath("last")));
    ASSERT_TRUE(QDir().mkpath(tmp.qpath("dl")));
    tmp.write("file", "not a folder");
    const QString last = tmp.qpath("last"), dl = tmp.qpath("dl"), home = tmp.qpath("home");
    const QString gone = tmp.qpath("gone"), file = tmp.qpath("file");
    struct Case {
        QString lastUsed, downloads, start;
    };
    const Case cases[] = {
        {last, dl, last}, {"", dl, dl},   {gone, dl, dl},     {file, dl, dl},
        {"", gone, home}, {"", "", home}, {gone, file, home},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DownloadStartFolder(c.lastUsed, c.downloads, home), c.start)
            << c.lastUsed.toStdString() << " / " << c.downloads.toStdString();
}
