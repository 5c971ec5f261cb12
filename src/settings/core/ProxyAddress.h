// The proxy address and port as the masked settings fields hold them, and the forms that are
// handed to the HTTP client.
#pragma once

#include <string>
#include <string_view>

// The address field holds four groups of three places, unfilled places as blanks
// ("192.168.1  .1  "). Gives the address with every blank removed and the leading zeros of each
// group dropped ("192.168.1.1", "010.000.000.001" -> "10.0.0.1"). A text that is still not four
// groups of 0-255 is given as typed, only trimmed; a field with no digit at all gives "".
std::string CleanProxyAddress(std::string_view fieldText);

// The port field's digits without the blanks of unfilled places ("80  " -> "80").
std::string CleanProxyPort(std::string_view fieldText);

// A port is a number from 1 to 65535.
inline constexpr int MaxProxyPort = 65535;
// The port the field's text names, blanks ignored ("80  " -> 80, "08080" -> 8080); 0 when it
// names none (no digits, 0, more than 65535, anything but digits).
int ProxyPortNumber(std::string_view fieldText);
