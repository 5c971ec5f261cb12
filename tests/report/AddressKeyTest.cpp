#include "report/AddressKey.h"

#include <gtest/gtest.h>

#include <string>

TEST(AddressKey, TakesAwayWhatDoesNotChangeThePage) {
    const struct {
        const char* url;
        const char* key;
    } cases[] = {
        // scheme and host case, blanks, empty path
        {"  HTTP://Example.COM  ", "http://example.com/"},
        {"https://A.example/Path/File", "https://a.example/Path/File"},
        // default ports only, also written with leading zeros
        {"http://a.example:80/x", "http://a.example/x"},
        {"http://a.example:0080/x", "http://a.example/x"},
        {"https://a.example:443/x", "https://a.example/x"},
        {"http://a.example:443/x", "http://a.example:443/x"},
        {"https://a.example:8443/x", "https://a.example:8443/x"},
        {"http://a.example:/x", "http://a.example/x"},
        {"http://User@A.example:80", "http://User@a.example/"},
        {"http://[::1]:80/", "http://[::1]/"},
        {"http://[::1]:8080/x", "http://[::1]:8080/x"},
        // trailing slash and index pages as the last segment only
        {"http://a.example/dir/", "http://a.example/dir"},
        {"http://a.example/dir/index.html", "http://a.example/dir"},
        {"http://a.example/index.htm", "http://a.example/"},
        {"http://a.example/index.php?x=1", "http://a.example/?x=1"},
        {"http://a.example/index.html/x", "http://a.example/index.html/x"},
        {"http://a.example/myindex.html", "http://a.example/myindex.html"},
        {"http://a.example/Index.html", "http://a.example/Index.html"},
        // fragment, tracking parameters, parameter order (a name's values keep theirs)
        {"http://a.example/x#top", "http://a.example/x"},
        {"http://a.example/x?#top", "http://a.example/x"},
        {"http://a.example/x?utm_source=a&b=2&fbclid=z&a=1&gclid=q", "http://a.example/x?a=1&b=2"},
        {"http://a.example/x?UTM_Medium=m&_ga=1&igshid=2&msclkid=3", "http://a.example/x"},
        {"http://a.example/x?b=2&a=1&b=1", "http://a.example/x?a=1&b=2&b=1"},
        {"http://a.example/x?a=1&&b", "http://a.example/x?a=1&b"},
        {"http://a.example/x?Q=A%7e", "http://a.example/x?Q=A~"},
        // escapes: unreserved ones decoded, the others with upper-case digits
        {"http://a.example/%7euser/%41b", "http://a.example/~user/Ab"},
        {"http://a.example/a%2fb%20c", "http://a.example/a%2Fb%20c"},
        {"http://a.example/index%2Ehtml", "http://a.example/"},
        // not an absolute web address: as it stands
        {"ftp://A.example/x/", "ftp://A.example/x/"},
        {"mailto:X@Example.com", "mailto:X@Example.com"},
        {"  u1 ", "u1"},
        {"http://", "http://"},
        {"http:///x", "http:///x"},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(AddressKey(c.url), c.key) << c.url;
}

// Addresses that may well name different pages must keep different keys.
TEST(AddressKey, KeepsDifferentPagesApart) {
    const std::pair<const char*, const char*> pairs[] = {
        {"http://a.example/x", "https://a.example/x"},
        {"http://a.example/Page", "http://a.example/page"},
        {"http://a.example/x", "http://a.example/y"},
        {"http://a.example/x?a=1", "http://a.example/x?a=2"},
        {"http://a.example/x?a=1&a=2", "http://a.example/x?a=2&a=1"},
        {"http://a.example/x?utm=1", "http://a.example/x"},
        {"http://a.example/dir/index.html/", "http://a.example/dir"},
        {"http://a.example:8080/", "http://a.example/"},
        {"http://a.example/a%2Fb", "http://a.example/a/b"},
    };
    for (const auto& [a, b] : pairs)
        EXPECT_NE(AddressKey(a), AddressKey(b)) << a << " / " << b;
}
