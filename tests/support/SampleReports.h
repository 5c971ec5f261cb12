// The small report file of the documentation, as it lies on disk, with the date written in
// whatever short date form a test needs.
#pragma once

#include <string>

inline std::string SmallReportText(const std::string& date = "06.12.2026") {
    return "\r\n<QRL VERSION=\"1.0.1 beta\" RTITLE=\"Garden tools\" RDATE=\"" + date +
           "\">Suppliers of garden tools\r\nfound in December."
           "\r\n\t<URLS>"
           "\r\n\t\t<LISTING URL=\"u1\" CHK=\"Y\">"
           "\r\n\t\t\t<TITLE>Spades\r\n\t\t\t</TITLE>"
           "\r\n\t\t\t<DESCRIPTION>Spades and forks\r\n\t\t\t</DESCRIPTION>"
           "\r\n\t\t\t<REDIRECT>u1\r\n\t\t\t</REDIRECT>"
           "\r\n\t\t</LISTING>"
           "\r\n\t</URLS>"
           "\r\n</QRL>";
}
