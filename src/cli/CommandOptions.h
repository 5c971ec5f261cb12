// Option values shared by the qrl commands.
#pragma once

#include "settings/core/ProxySettings.h"

#include <optional>
#include <string>

class TQelPigger;

// The value of text when it is a whole number from low to high.
std::optional<int> NumberIn(const std::string& text, int low, int high);

// "HOST:PORT" (or "HOST") as proxy values to use; false when the host is empty or the port is
// not a number from 1 to 65535.
bool ParseProxy(const std::string& value, ProxyValues& proxy);

// The settings file of the program (quarrylog beside this tool, or its place under the user's
// configuration folder).
std::string ProgramSettingsFile();

// Reads the settings file named (the program's own when none is): false with the reason when
// it cannot be read. The program's own file may be missing: then there are no settings yet.
bool ReadSettings(const std::string& given, TQelPigger& root, std::string& fileName,
                  std::string& error);
