// Letter-case rules shared by everything that compares texts ignoring case.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Whether a and b are equal ignoring letter case (Unicode case folding for UTF-8 text, ASCII
// folding for bytes that are not valid UTF-8).
bool SameTextIgnoringCase(std::string_view a, std::string_view b);

// A key such that SameTextIgnoringCase(a, b) holds exactly when CaseKey(a) == CaseKey(b).
std::string CaseKey(std::string_view s);

// A hash of CaseKey(s), made without the key itself when s is ASCII. Equal keys give equal
// hashes; equal hashes only make equal keys likely.
std::uint64_t CaseKeyHash(std::string_view s);

// Whether every byte is below 0x80.
bool IsAscii(std::string_view s);

// Upper-casing under the user's regional settings.
std::string LocaleUpper(std::string_view s);
