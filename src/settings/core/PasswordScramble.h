// Light obfuscation of the proxy password in the settings file (not encryption: it only keeps
// the password from being read at a glance).
#pragma once

#include <string>
#include <string_view>

std::string ScramblePassword(std::string_view plain);
std::string UnscramblePassword(std::string_view scrambled);
// Two upper-case hexadecimal digits per byte, high half first.
std::string HexEncode(std::string_view bytes);
// Reads pairs of hexadecimal digits back; an odd last digit is ignored and a character that is
// no hexadecimal digit counts as 0.
std::string HexDecode(std::string_view hex);
