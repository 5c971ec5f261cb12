// Fixed texts and places of the program.
#pragma once

#include <QString>

#include <string>

namespace AppInfo {
inline constexpr const char* Version = "1.0.1 beta";
inline constexpr const char* ProductName = "Quarrylog";
// Folder of report files, relative to the current directory.
inline constexpr const char* DataFolder = "../data";
// Folder of help pages, relative to the current directory.
inline constexpr const char* DocsFolder = "../docs";
// Host of the maker's web site.
inline constexpr const char* MakerSiteHost = "quarrylog.example.org";
} // namespace AppInfo

// The file name with its extension (the part from the last point of the last path component)
// replaced by ext; a name without extension gets ext appended.
std::string ChangeFileExt(const std::string& fileName, const std::string& ext);

// Where a per-user file belongs when the executable's folder cannot be written:
// beside the executable when it can, else under the XDG folder given (config or data).
enum class UserFileKind { Config, Data };
QString UserFilePath(const QString& fileNameBesideExecutable, UserFileKind kind);

// The settings file: the executable's path with ".set" (or its fallback place).
QString DefaultSettingsFilePath();
// The report used when the settings name none: the executable's path with ".qrl" (or fallback).
QString DefaultReportFilePath();
