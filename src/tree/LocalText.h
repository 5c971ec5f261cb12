// Conversions between the 8-bit texts of the tree, files and replies and Qt's texts, with the
// local 8-bit encoding (UTF-8 on Linux), and between file names as the tree keeps them (the
// bytes the system uses) and as Qt takes them.
#pragma once

#include <QString>

#include <string>
#include <string_view>

QString ToQ(std::string_view s);
std::string FromQ(const QString& s);

// A file name's bytes as a Qt file name, and back.
QString ToQPath(const std::string& fileName);
std::string FromQPath(const QString& fileName);

// The file name with its extension (the part from the last point of the last path component)
// replaced by ext; a name without extension gets ext appended.
std::string ChangeFileExt(const std::string& fileName, const std::string& ext);
