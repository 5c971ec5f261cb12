// Names of the nodes of a report file.
#pragma once

namespace ReportKeys {
// Root of a report; the document frame's own default root is FrameRoot.
inline constexpr const char* Root = "QRL";
inline constexpr const char* FrameRoot = "XML_DATA";
inline constexpr const char* Version = "VERSION";
inline constexpr const char* Title = "RTITLE";
inline constexpr const char* Date = "RDATE";
// Container of the records and the records themselves.
inline constexpr const char* Urls = "URLS";
inline constexpr const char* Listing = "LISTING";
inline constexpr const char* Url = "URL";
inline constexpr const char* Check = "CHK";
inline constexpr const char* ListingTitle = "TITLE";
inline constexpr const char* ListingDescription = "DESCRIPTION";
inline constexpr const char* Redirect = "REDIRECT";
} // namespace ReportKeys
