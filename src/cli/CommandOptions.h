// Option values shared by the qrl commands.
#pragma once

#include "settings/core/ProxySettings.h"

#include <optional>
#include <string>

// The value of text when it is a whole number from low to high.
std::optional<int> NumberIn(const std::string& text, int low, int high);

// "HOST:PORT" (or "HOST") as proxy values to use; false when the host is empty or the port is
// not a number from 1 to 65535.
bool ParseProxy(const std::string& value, ProxyValues& proxy);
