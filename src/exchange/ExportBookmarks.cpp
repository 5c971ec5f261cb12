// The records as a bookmark file in the Netscape format that desktop browsers import: one
// folder named after the report.
#include "exchange/Export.h"
#include "exchange/HtmlText.h"

QByteArray ExportBookmarks(const ExchangeReport& report) {
    const QString folder = report.title.isEmpty() ? QStringLiteral("Quarrylog report")
                                                  : WithLfBreaks(report.title).replace('\n', ' ');
    QString out;
    out += "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n"
           "<!-- This is an automatically generated file.\n"
           "     It will be read and overwritten.\n"
           "     DO NOT EDIT! -->\n"
           "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=UTF-8\">\n"
           "<TITLE>Bookmarks</TITLE>\n"
           "<H1>Bookmarks</H1>\n"
           "<DL><p>\n";
    out += "    <DT><H3>" + HtmlEscaped(folder) + "</H3>\n";
    if (!report.description.trimmed().isEmpty())
        out += "    <DD>" + HtmlEscaped(WithLfBreaks(report.description)) + "\n";
    out += "    <DL><p>\n";
    for (const ExchangeRecord& r : report.records) {
        out += "        <DT><A HREF=\"" + HtmlEscaped(r.url) + "\">" +
               HtmlEscaped(WithLfBreaks(r.title)) + "</A>\n";
        if (!r.description.trimmed().isEmpty())
            out += "        <DD>" + HtmlEscaped(WithLfBreaks(r.description)) + "\n";
    }
    out += "    </DL><p>\n</DL><p>\n";
    return out.toUtf8();
}
