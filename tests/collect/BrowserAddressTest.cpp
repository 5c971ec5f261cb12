#include "collect/core/BrowserAddress.h"
#include "settings/core/AppInfo.h"

#include <gtest/gtest.h>

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
