#include "ExchangeSamples.h"

#include "exchange/Export.h"
#include "exchange/Import.h"
#include "exchange/TreeText.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

namespace {

// Reads the three exports back with Python's csv, json and html.parser modules and prints
// what it read as one JSON object.
const char* kReadBack = R"PY(
import csv, json, sys
from html.parser import HTMLParser

folder = sys.argv[1]
with open(folder + '/r.csv', encoding='utf-8-sig', newline='') as f:
    rows = list(csv.reader(f))
with open(folder + '/r.json', encoding='utf-8') as f:
    data = json.load(f)

class Table(HTMLParser):
    def __init__(self):
        super().__init__()
        self.rows, self.cell, self.text, self.heading, self.count = [], None, '', None, None
        self.where = None
    def handle_starttag(self, tag, attrs):
        a = dict(attrs)
        if tag == 'tr':
            self.row = {}
        elif tag == 'td':
            self.cell, self.text = a.get('class'), ''
        elif tag in ('a', 'span') and self.cell == 'title':
            self.row['href'] = a.get('href')
            self.row['untitled'] = a.get('class') == 'untitled'
        elif tag == 'h1' or (tag == 'p' and a.get('class') == 'count'):
            self.where, self.text = tag, ''
        elif tag == 'script' or (tag == 'link') or (tag == 'img'):
            raise SystemExit('unexpected ' + tag)
    def handle_endtag(self, tag):
        if tag == 'td':
            self.row[self.cell] = self.text
            self.cell = None
        elif tag == 'tr' and self.row:
            self.rows.append(self.row)
        elif tag in ('h1', 'p') and self.where:
            if tag == 'h1':
                self.heading = self.text
            else:
                self.count = self.text
            self.where = None
    def handle_data(self, data):
        self.text += data

table = Table()
with open(folder + '/r.html', encoding='utf-8') as f:
    table.feed(f.read())
print(json.dumps({'csv': rows, 'json': data, 'html': table.rows,
                  'heading': table.heading, 'count': table.count}))
)PY";

QString q(const std::string& s) {
    return QString::fromStdString(s);
}

QString lf(const std::string& s) {
    return q(s).replace("\r\n", "\n");
}

} // namespace

TEST(TreeText, KeepsUtf8AndReadsOtherBytesAsWindows1252) {
    EXPECT_EQ(TreeText("Gr\xc3\xbc\xc3\x9f"
                       "e \xe2\x9c\x93 \xf0\x9f\x8c\xb1"),
              QString::fromUtf8("Grüße ✓ 🌱"));
    // Latin-1 and Windows-1252 bytes of a report from elsewhere.
    EXPECT_EQ(TreeText("Gr\xfc\xdf"
                       "e \x80 \x93quoted\x94 \x81"),
              QString::fromUtf8("Grüße € “quoted” \uFFFD"));
    // Overlong forms, surrogates, stray continuation bytes and a cut sequence are no UTF-8.
    EXPECT_EQ(TreeText("\xc0\xaf"), QString::fromUtf8("À¯"));
    EXPECT_EQ(TreeText("\xed\xa0\x80"), QString::fromUtf8("í\u00a0€"));
    EXPECT_EQ(TreeText("a\xe2\x9c"), QString::fromUtf8("aâœ"));
    EXPECT_EQ(TreeText(std::string("x\0y", 3)), QString("x") + QChar(0) + "y");
    EXPECT_EQ(TreeBytes(TreeText("\xfc")), "\xc3\xbc");
}

TEST(Export, PythonReadsEveryFieldBackExactly) {
    TQelPigger doc;
    const auto records = AwkwardRecords();
    MakeSampleReport(doc, records);
    TempDir dir;
    for (const auto& [format, name] :
         {std::pair{ExportFormat::Csv, "r.csv"}, std::pair{ExportFormat::Json, "r.json"},
          std::pair{ExportFormat::Html, "r.html"}}) {
        std::string error;
        ASSERT_TRUE(ExportReportToFile(doc, format, false, dir.path(name), &error)) << error;
    }
    // A file that cannot be made is worded as every writer of the program words it.
    std::string error;
    EXPECT_FALSE(ExportReportToFile(doc, ExportFormat::Csv, false, dir.path("gone/r.csv"), &error));
    EXPECT_EQ(error,
              "Cannot create file \"" + dir.path("gone/r.csv") + "\": No such file or directory");
    dir.write("read.py", kReadBack);
    QProcess python;
    python.start("python3", {dir.qpath("read.py"), dir.qpath("")});
    ASSERT_TRUE(python.waitForFinished(30000));
    ASSERT_EQ(python.exitCode(), 0) << python.readAllStandardError().toStdString();
    const QJsonObject read = QJsonDocument::fromJson(python.readAllStandardOutput()).object();

    const QJsonArray csv = read["csv"].toArray();
    ASSERT_EQ(csv.size(), 5);
    EXPECT_EQ(csv[0].toArray().toVariantList(),
              (QVariantList{"url", "title", "description", "redirect", "checked"}));
    const QJsonObject json = read["json"].toObject();
    EXPECT_EQ(json["title"].toString(), q("Garden & <tools> \"2026\""));
    EXPECT_EQ(json["date"].toString(), "12/6/26");
    EXPECT_EQ(json["description"].toString(),
              "Suppliers of garden tools\r\nfound in December, <all> of them.");
    const QJsonArray jsonRecords = json["records"].toArray();
    ASSERT_EQ(jsonRecords.size(), 4);
    const QJsonArray html = read["html"].toArray();
    ASSERT_EQ(html.size(), 4);
    EXPECT_EQ(read["heading"].toString(), q("Garden & <tools> \"2026\""));
    EXPECT_EQ(read["count"].toString(), "4 records");

    for (int i = 0; i < 4; ++i) {
        const SampleRecord& r = records[static_cast<size_t>(i)];
        SCOPED_TRACE(r.url);
        const QJsonArray row = csv[i + 1].toArray();
        EXPECT_EQ(row.toVariantList(), (QVariantList{q(r.url), q(r.title), q(r.description),
                                                     q(r.redirect), r.checked ? "Y" : ""}));
        const QJsonObject o = jsonRecords[i].toObject();
        EXPECT_EQ(o["url"].toString(), q(r.url));
        EXPECT_EQ(o["title"].toString(), q(r.title));
        EXPECT_EQ(o["description"].toString(), q(r.description));
        EXPECT_EQ(o["redirect"].toString(), q(r.redirect));
        EXPECT_EQ(o["checked"], QJsonValue(r.checked));
        const QJsonObject h = html[i].toObject();
        EXPECT_EQ(h["number"].toString(), QString::number(i + 1));
        EXPECT_EQ(h["mark"].toString(), r.checked ? QString::fromUtf8("✓") : "");
        EXPECT_EQ(h["address"].toString(), lf(r.url));
        EXPECT_EQ(h["description"].toString(), lf(r.description));
        // The link goes to the redirect address, or to the address when there is none; a
        // record without a title is shown by its address.
        EXPECT_EQ(h["href"].toString(), q(r.redirect.empty() ? r.url : r.redirect));
        EXPECT_EQ(h["untitled"].toBool(), r.title.empty());
        EXPECT_EQ(h["title"].toString(), lf(r.title.empty() ? r.url : r.title));
    }
}

TEST(Export, HtmlIsSelfContainedAndLinksNoScripts) {
    TQelPigger doc;
    MakeSampleReport(doc, {{"javascript:alert(1)", "evil", "", "", false},
                           {"http://ok.example/", "<script>alert(2)</script>", "", "", false}});
    const QString html = QString::fromUtf8(ExportReport(doc, ExportFormat::Html, false));
    EXPECT_TRUE(html.startsWith("<!DOCTYPE html>"));
    EXPECT_TRUE(html.contains("<meta charset=\"utf-8\">"));
    EXPECT_FALSE(html.contains("<script", Qt::CaseInsensitive));
    EXPECT_FALSE(html.contains("href=\"javascript", Qt::CaseInsensitive));
    EXPECT_TRUE(html.contains("&lt;script&gt;alert(2)&lt;/script&gt;"));
    EXPECT_FALSE(html.contains("http-equiv", Qt::CaseInsensitive));
    EXPECT_FALSE(html.contains("src=", Qt::CaseInsensitive));
    EXPECT_TRUE(html.contains("@page { size: A4"));
    EXPECT_TRUE(html.contains("<p class=\"count\">2 records</p>"));
}

TEST(Export, TickedOnlyAndReportOrder) {
    TQelPigger doc;
    MakeSampleReport(doc, AwkwardRecords());
    const QJsonArray records = QJsonDocument::fromJson(ExportReport(doc, ExportFormat::Json, true))
                                   .object()["records"]
                                   .toArray();
    ASSERT_EQ(records.size(), 2);
    EXPECT_EQ(records[0].toObject()["url"].toString(), "http://a.example/?q=1&b=2");
    EXPECT_EQ(records[1].toObject()["url"].toString(), "http://c.example/");
    const QByteArray csv = ExportReport(doc, ExportFormat::Csv, true);
    EXPECT_TRUE(csv.startsWith("\xEF\xBB\xBFurl,title,description,redirect,checked\r\n"));
    EXPECT_TRUE(csv.endsWith("http://c.example/,,,,Y\r\n"));
    EXPECT_EQ(csv.count("\r\n"), 4); // header, two rows and the line break inside a field

    // Byte for byte: the first two of three records are ticked.
    TQelPigger three;
    MakeSampleReport(three, {{"http://a.example/", "A", "first", "http://a.example/", true},
                             {"http://b.example/", "B", "second", "http://b.example/", true},
                             {"http://c.example/", "C", "third", "http://c.example/", false}});
    EXPECT_EQ(ExportReport(three, ExportFormat::Csv, true),
              "\xEF\xBB\xBFurl,title,description,redirect,checked\r\n"
              "http://a.example/,A,first,http://a.example/,Y\r\n"
              "http://b.example/,B,second,http://b.example/,Y\r\n");
}

TEST(Export, BytesThatAreNoUtf8AreKeptAsWindows1252Characters) {
    TQelPigger doc;
    MakeSampleReport(doc, {{"http://x.example/\xe4", "Caf\xe9 \x80", "ok", "", false}},
                     "Gr\xfc\xdf");
    const QJsonObject json =
        QJsonDocument::fromJson(ExportReport(doc, ExportFormat::Json, false)).object();
    EXPECT_EQ(json["title"].toString(), QString::fromUtf8("Grüß"));
    const QJsonObject r = json["records"].toArray()[0].toObject();
    EXPECT_EQ(r["url"].toString(), QString::fromUtf8("http://x.example/ä"));
    EXPECT_EQ(r["title"].toString(), QString::fromUtf8("Café €"));
    for (ExportFormat f : {ExportFormat::Html, ExportFormat::Csv, ExportFormat::Bookmarks}) {
        const QByteArray bytes = ExportReport(doc, f, false);
        EXPECT_TRUE(bytes.contains("Caf\xc3\xa9 \xe2\x82\xac")) << bytes.toStdString();
    }
}

TEST(Export, RoundTripsThroughCsvJsonAndBookmarks) {
    const auto records = AwkwardRecords();
    TQelPigger doc;
    MakeSampleReport(doc, records);
    for (ExportFormat format : {ExportFormat::Csv, ExportFormat::Json, ExportFormat::Bookmarks}) {
        SCOPED_TRACE(static_cast<int>(format));
        const QByteArray bytes = ExportReport(doc, format, false);
        const ImportFormat back = format == ExportFormat::Csv    ? ImportFormat::Csv
                                  : format == ExportFormat::Json ? ImportFormat::Json
                                                                 : ImportFormat::Bookmarks;
        // The format is also recognised from the content alone.
        EXPECT_EQ(GuessImportFormat("exported", bytes), back);
        TQelPigger empty;
        MakeSampleReport(empty, {});
        ReportRecords index;
        const ImportCounts counts =
            ImportPages(empty.FindChild(ReportKeys::Urls), index, ReadImport(bytes, back));
        EXPECT_EQ(counts.added, 4);
        EXPECT_EQ(counts.present, 0);
        const auto got = RecordsOf(empty);
        ASSERT_EQ(got.size(), records.size());
        const bool keepsMore = format != ExportFormat::Bookmarks;
        for (size_t i = 0; i < got.size(); ++i) {
            SCOPED_TRACE(records[i].url);
            EXPECT_EQ(got[i].url, records[i].url);
            EXPECT_EQ(got[i].title, records[i].title);
            EXPECT_EQ(q(got[i].description),
                      keepsMore ? q(records[i].description) : lf(records[i].description));
            // Without a redirect of its own a record opens its address.
            const std::string redirect =
                keepsMore && !records[i].redirect.empty() ? records[i].redirect : records[i].url;
            EXPECT_EQ(got[i].redirect, redirect);
            EXPECT_EQ(got[i].checked, keepsMore && records[i].checked);
        }
    }
}
