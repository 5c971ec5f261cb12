// The address rules of the browser frame, without a display: the home search address, when Go
// reloads instead of navigating, and the one reload after Home.
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
