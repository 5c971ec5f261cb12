// The form of an address under which two records are the same page.
#pragma once

#include <string>
#include <string_view>

// The address with what does not change the page it names taken away: scheme and host in lower
// case, the default port (80 for http, 443 for https) left out, an empty path as "/", a last
// path segment "index.html" (or "index.htm", "index.php") and a trailing "/" of the path taken
// away, the fragment left out, the usual tracking parameters (utm_*, fbclid, gclid, dclid,
// msclkid, mc_cid, mc_eid, yclid, _ga, igshid) taken out of the query and the others sorted by
// name (a parameter's values keep their order), and percent escapes of unreserved characters
// decoded (the hex digits of the other escapes in upper case). An address that is not an
// absolute http or https address stays as it is, apart from surrounding blanks.
//
// What may name another page stays: http and https are different pages (a site may serve
// different content on each), the path and query keep their letter case, "index.html" is taken
// away only as the last segment, and a parameter's value is never changed.
std::string AddressKey(std::string_view url);
