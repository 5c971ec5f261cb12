// Text made safe for the inside of an HTML element or a quoted attribute value.
#pragma once

#include <QString>

// Escapes &, <, >, " and '; control characters that HTML does not allow (other than TAB, LF and
// CR) become U+FFFD.
QString HtmlEscaped(const QString& text);
// Line breaks (CR LF, CR or LF) as LF, the form an HTML reader gives them back in.
QString WithLfBreaks(const QString& text);
