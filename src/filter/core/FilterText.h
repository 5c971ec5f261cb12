// Upper-casing of record texts for the filter's keyword search.
#pragma once

#include <string>
#include <string_view>

// Writes text upper-cased by the user's regional settings into out (reusing its storage).
// Gives the same bytes as LocaleUpper; plain ASCII text takes a fast path except under the
// languages whose upper-casing of ASCII letters differs (Turkish and Azerbaijani: i to İ).
void UpperForFilter(std::string_view text, std::string& out);
