// Conversions between the 8-bit texts of the tree, files and replies and Qt's texts, with the
// local 8-bit encoding (UTF-8 on Linux).
#pragma once

#include <QString>

#include <string>

QString ToQ(const std::string& s);
std::string FromQ(const QString& s);
