// The address rules of the browser frame, without a display: the home search address, when Go
// reloads instead of navigating, the one reload after Home, and what Go does with words typed
// into the address field.
#pragma once

#include <string>
#include <string_view>

// The home search address from the HOME_SEARCH_PAGE setting (empty: the built-in default).
// A setting without a scheme gets "http://"; one that names only a host (and port) gets the
// path "/search". Surrounding blanks are dropped.
std::string ComposeHomeAddress(std::string_view setting);

// Go reloads the page shown instead of navigating when the browser's location and the address
// field are equal once their surrounding blanks are dropped (case counts).
bool GoReloads(std::string_view location, std::string_view field);

// After a completed navigation: true when the page must be reloaded once, which is when the
// field still shows exactly the home address and the browser's location contains the home
// address followed by "?" (the home search address with a query). Once the field shows the
// location this no longer holds, so it fires once after Home.
bool ReloadsAfterHome(std::string_view field, std::string_view location, std::string_view home);

// Whether the text of the address field is an address to open (as a browser's address bar takes
// it) rather than words to search for. An address: a text with a scheme followed by "//" or with
// a scheme browsers know without one (about:, data:, file:, mailto:, view-source:); a path
// starting with "/"; or, without blanks, a host (with a port, a path, a query or a fragment
// after it): "localhost", an IPv6 address in brackets, any name followed by a port
// ("intranet:8080"), or a name of two or more labels whose last one is not a number unless all
// four are (1.2.3.4). Anything else, and a text starting with "?", is words; a blank text is
// neither.
bool LooksLikeAddress(std::string_view typed);

// The address that searches for the words typed with the home search page: the home address
// (without a fragment) with the query parameter "q" holding the words, their surrounding blanks
// and a "?" before them dropped, blanks as "+", every byte but letters, digits and "-._~"
// percent-encoded. The parameter follows the home address's own query when it has one.
std::string SearchAddress(std::string_view home, std::string_view typed);
