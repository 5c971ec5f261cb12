// Upper-casing of record texts for the filter's keyword search.
#pragma once

#include <string>
#include <string_view>

// Writes text upper-cased by the user's regional settings into out (reusing its storage).
// Gives the same bytes as LocaleUpper; plain ASCII text takes a fast path except under the
// languages whose upper-casing of ASCII letters differs (Turkish and Azerbaijani: i to İ).
void UpperForFilter(std::string_view text, std::string& out);

// Whether the user's regional settings upper-case the ASCII letters as the C locale does (all
// but Turkish and Azerbaijani, where i becomes İ).
bool AsciiUpperIsLocaleUpper();

// As UpperForFilter, with AsciiUpperIsLocaleUpper() already known: for the texts of one record,
// which ask the regional settings once.
void UpperForFilter(std::string_view text, std::string& out, bool asciiUpperIsLocaleUpper);
