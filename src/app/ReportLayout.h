// Names of the nodes of a report file.
#pragma once

namespace ReportKeys {
// Root of a report; the document frame's own default root is FrameRoot.
inline constexpr const char* Root = "QRL";
inline constexpr const char* FrameRoot = "XML_DATA";
inline constexpr const char* Version = "VERSION";
inline constexpr const char* Title = "RTITLE";
inline constexpr const char* Date = "RDATE";
// Container of the records (the names within a record are in collect/RecordRows.h).
inline constexpr const char* Urls = "URLS";
} // namespace ReportKeys
