// Names of the nodes of a report file.
#pragma once

namespace ReportKeys {
// Root of a report; the document frame's own default root is FrameRoot.
inline constexpr const char* Root = "QRL";
inline constexpr const char* FrameRoot = "XML_DATA";
inline constexpr const char* Version = "VERSION";
inline constexpr const char* Title = "RTITLE";
inline constexpr const char* Date = "RDATE";
// Container of the records.
inline constexpr const char* Urls = "URLS";
} // namespace ReportKeys

// Names within a record: the LISTING element with its address and check mark as attributes
// and its texts as children.
namespace RecordFields {
inline constexpr const char* Listing = "LISTING";
inline constexpr const char* Url = "URL";
inline constexpr const char* Check = "CHK";
inline constexpr const char* Title = "TITLE";
inline constexpr const char* Description = "DESCRIPTION";
inline constexpr const char* Redirect = "REDIRECT";
inline constexpr const char* Checked = "Y";
} // namespace RecordFields
