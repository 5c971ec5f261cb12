// Reading the 8-bit texts of a report, or of an imported file, as Unicode text.
#pragma once

#include <QString>

#include <string>
#include <string_view>

// Bytes as text: every valid UTF-8 sequence is taken as it stands; every other byte is read as
// a Windows-1252 character (the code page of most reports made elsewhere), so that no byte and
// no record is lost. The five bytes Windows-1252 leaves undefined become U+FFFD.
QString TreeText(std::string_view bytes);
// Text as the bytes the tree keeps (UTF-8).
std::string TreeBytes(const QString& text);
