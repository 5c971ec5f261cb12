// Fixed texts and places of the program.
#pragma once

#include <QString>

#include <string>

namespace AppInfo {
// The version of the program ("1.0.1 beta"): shown, stored in new reports and compared with the
// newest one. It comes from the project's version in the top CMakeLists.txt.
extern const char* const Version;
inline constexpr const char* ProductName = "Quarrylog";
// Folder of report files, relative to the current directory.
inline constexpr const char* DataFolder = "../data";
// Folder of help pages, relative to the current directory.
inline constexpr const char* DocsFolder = "../docs";

// The maker and its web pages.
inline constexpr const char* MakerName = "Quarrylog Works";
inline constexpr const char* MakerWebSite = "http://www.quarrylog.example/";
inline constexpr const char* MakerSiteHost = "www.quarrylog.example";
inline constexpr const char* ProductPage = "http://www.quarrylog.example/quarrylog/download.html";

// Defaults of the pages the program searches on. Each can be replaced without rebuilding by an
// attribute of the settings file's root element (HOME_SEARCH_PAGE="http://...",
// FEED_HOST="host" or "host:port").
inline constexpr const char* DefaultHomeSearchPage = "http://www.quarrylog.example/search";
inline constexpr const char* DefaultFeedHost = "feed.quarrylog.example";
inline constexpr const char* HomeSearchPageKey = "HOME_SEARCH_PAGE";
inline constexpr const char* FeedHostKey = "FEED_HOST";
} // namespace AppInfo

class TQelPigger;

// The home search page and the search feed's host, from the settings root when set there.
std::string HomeSearchPage(const TQelPigger& settingsRoot);
std::string FeedHost(const TQelPigger& settingsRoot);

// An address without its scheme ("http://www.x.example/a" gives "www.x.example/a").
std::string WithoutScheme(const std::string& address);

// Where a per-user file belongs when the executable's folder cannot be written:
// beside the executable when it can, else under the XDG folder given (config or data).
enum class UserFileKind { Config, Data };
QString UserFilePath(const QString& fileNameBesideExecutable, UserFileKind kind);

// The settings file: the executable's path with ".set" (or its fallback place).
QString DefaultSettingsFilePath();
// The report used when the settings name none: the executable's path with ".qrl" (or fallback).
QString DefaultReportFilePath();
