// The report as one self-contained web page to read, print or mail.
#include "exchange/Export.h"
#include "exchange/HtmlText.h"

#include <QStringList>
#include <QUrl>

#include <algorithm>

namespace {

// Wide enough on screen, and on A4 paper no column is cut: the table has a fixed layout with
// widths in shares of the page, and long addresses and words break inside their cell.
constexpr const char* kStyle = R"(
@page { size: A4; margin: 14mm 12mm; }
html { -webkit-print-color-adjust: exact; print-color-adjust: exact; }
body { font-family: "DejaVu Sans", "Segoe UI", Arial, Helvetica, sans-serif; font-size: 10.5pt;
       line-height: 1.35; color: #222; max-width: 72em; margin: 1.5em auto; padding: 0 1em; }
h1 { font-size: 1.7em; margin: 0 0 0.2em; }
.date { color: #555; margin: 0 0 1em; }
.description { white-space: pre-wrap; margin: 0 0 1em; }
.count { font-weight: bold; margin: 0 0 0.6em; }
table { width: 100%; border-collapse: collapse; table-layout: fixed; }
col.number { width: 2.6em; }
col.mark { width: 2.2em; }
col.title { width: 27%; }
col.address { width: 30%; }
th, td { text-align: left; vertical-align: top; padding: 0.35em 0.45em;
         border-bottom: 1px solid #d0d0d0; overflow-wrap: anywhere; word-wrap: break-word; }
th { background: #e8e8e8; border-bottom: 2px solid #999; }
td.number, th.number { text-align: right; color: #666; }
td.mark, th.mark { text-align: center; }
td.description { white-space: pre-wrap; }
td.address { color: #333; font-size: 0.92em; }
tbody tr:nth-child(even) { background: #f6f6f6; }
tr.checked td.mark { color: #1a7f37; font-weight: bold; }
a { color: #0645ad; text-decoration: none; }
a.untitled { font-style: italic; }
thead { display: table-header-group; }
tr { break-inside: avoid; page-break-inside: avoid; }
@media print {
  body { max-width: none; margin: 0; padding: 0; font-size: 8.5pt; }
  a { color: #000; }
}
)";

// Only addresses that open a page become links; anything else (a script address above all)
// stays plain text, so that the page never runs code.
bool isLinkable(const QString& address) {
    const QUrl url(address);
    if (!url.isValid())
        return false;
    static const QStringList schemes = {"http", "https", "ftp", "ftps", "file", "mailto", "news"};
    return schemes.contains(url.scheme().toLower());
}

QString recordCount(size_t n) {
    return n == 1 ? QStringLiteral("1 record") : QString::number(n) + QStringLiteral(" records");
}

// Only in an evidence package, whose records link their captures.
constexpr const char* kCaptureStyle = R"(col.capture { width: 16%; }
td.capture { font-size: 0.85em; }
td.capture .sha256 { font-family: "DejaVu Sans Mono", monospace; color: #555; }
)";

} // namespace

QByteArray ExportHtml(const ExchangeReport& report) {
    const QString heading =
        report.title.isEmpty() ? QStringLiteral("Quarrylog report") : report.title;
    QString html;
    html += "<!DOCTYPE html>\n<html>\n<head>\n<meta charset=\"utf-8\">\n";
    html += "<meta name=\"generator\" content=\"Quarrylog\">\n";
    html += "<title>" + HtmlEscaped(heading) + "</title>\n";
    const bool captures =
        std::any_of(report.records.begin(), report.records.end(),
                    [](const ExchangeRecord& r) { return !r.captureLink.isEmpty(); });
    html += "<style>" + QString::fromLatin1(kStyle);
    if (captures)
        html += QString::fromLatin1(kCaptureStyle);
    html += "</style>\n</head>\n<body>\n";
    html += "<h1>" + HtmlEscaped(heading) + "</h1>\n";
    if (!report.date.isEmpty())
        html += "<p class=\"date\">" + HtmlEscaped(report.date) + "</p>\n";
    if (!report.description.isEmpty())
        html += "<div class=\"description\">" + HtmlEscaped(WithLfBreaks(report.description)) +
                "</div>\n";
    html += "<p class=\"count\">" + recordCount(report.records.size()) + "</p>\n";
    html += "<table>\n<colgroup><col class=\"number\"><col class=\"mark\"><col class=\"title\">"
            "<col class=\"address\"><col class=\"description\">";
    if (captures)
        html += "<col class=\"capture\">";
    html += "</colgroup>\n";
    html += "<thead><tr><th class=\"number\">#</th><th class=\"mark\" title=\"Ticked\">"
            "&#10003;</th><th>Title</th><th>Address</th><th>Description</th>";
    if (captures)
        html += "<th>Capture</th>";
    html += "</tr></thead>\n";
    html += "<tbody>\n";
    int number = 0;
    for (const ExchangeRecord& r : report.records) {
        ++number;
        const QString target = r.redirect.trimmed().isEmpty() ? r.url : r.redirect;
        // A record without a title is shown by its address, so that it can still be clicked.
        const bool untitled = r.title.isEmpty();
        const QString caption = HtmlEscaped(WithLfBreaks(untitled ? r.url : r.title));
        const QString classes = untitled ? QStringLiteral(" class=\"untitled\"") : QString();
        html += r.checked ? "<tr class=\"checked\">" : "<tr>";
        html += "<td class=\"number\">" + QString::number(number) + "</td>";
        html += "<td class=\"mark\">" + QString(r.checked ? "&#10003;" : "") + "</td>";
        html += "<td class=\"title\">";
        if (isLinkable(target))
            html += "<a href=\"" + HtmlEscaped(target) + "\"" + classes + ">" + caption + "</a>";
        else
            html += "<span" + classes + ">" + caption + "</span>";
        html += "</td>";
        html += "<td class=\"address\">" + HtmlEscaped(WithLfBreaks(r.url)) + "</td>";
        html += "<td class=\"description\">" + HtmlEscaped(WithLfBreaks(r.description)) + "</td>";
        if (captures) {
            html += "<td class=\"capture\">";
            if (!r.captureLink.isEmpty())
                html += "<a href=\"" + HtmlEscaped(r.captureLink) + "\">" +
                        HtmlEscaped(r.captureLink.section('/', -1)) +
                        "</a><br><span class=\"sha256\">SHA-256 " + HtmlEscaped(r.captureSha256) +
                        "</span>";
            html += "</td>";
        }
        html += "</tr>\n";
    }
    html += "</tbody>\n</table>\n</body>\n</html>\n";
    return html.toUtf8();
}
