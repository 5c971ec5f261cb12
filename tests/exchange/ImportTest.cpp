#include "ExchangeSamples.h"

#include "exchange/Import.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace {

// As Firefox writes it: nested folders, a folder description, separators, saved queries,
// ICON_URI and ICON attributes, tags, descriptions in DD, and DT and p left open.
const char* kFirefox = R"(<!DOCTYPE NETSCAPE-Bookmark-file-1>
<!-- This is an automatically generated file.
     It will be read and overwritten.
     DO NOT EDIT! -->
<META HTTP-EQUIV="Content-Type" CONTENT="text/html; charset=UTF-8">
<meta http-equiv="Content-Security-Policy"
      content="default-src 'self'; script-src 'none'; img-src data: *; object-src 'none'"></meta>
<TITLE>Bookmarks</TITLE>
<H1>Bookmarks Menu</H1>

<DL><p>
    <DT><A HREF="place:parent=menu________&queryType=1&sort=12&maxResults=10" ADD_DATE="1700000000">Recent Tags</A>
    <DT><H3 ADD_DATE="1700000001" LAST_MODIFIED="1700000002">Garden</H3>
    <DD>Everything for the garden
    <DL><p>
        <DT><A HREF="https://spades.example/" ADD_DATE="1700000003" LAST_MODIFIED="1700000004" ICON_URI="https://spades.example/favicon.ico" ICON="data:image/png;base64,iVBORw0KGgo=" TAGS="tools">Spades &amp; forks</A>
<DD>Strong spades,
with &lt;long&gt; handles
        <HR>
        <DT><H3 ADD_DATE="1700000005">Deeper</H3>
        <DL><p>
            <DT><A HREF="https://rakes.example/" ADD_DATE="1700000006">Rakes &#8211; all kinds</A>
        </DL><p>
        <DT><A HREF="https://hoes.example/" ADD_DATE="1700000007">Hoes</A>
    </DL><p>
    <DT><H3 ADD_DATE="1700000008" PERSONAL_TOOLBAR_FOLDER="true">Bookmarks Toolbar</H3>
    <DL><p>
        <DT><A HREF="https://SPADES.example/" ADD_DATE="1700000009">Spades again</A>
        <DT><A HREF="https://gr%C3%BCn.example/">Grüne Seiten</A>
    </DL><p>
</DL>
)";

// As Chrome and Edge write it: upper-case tags, ADD_DATE and ICON, no descriptions, the
// closing tags of DT and p never written.
const char* kChrome = R"(<!DOCTYPE NETSCAPE-Bookmark-file-1>
<!-- This is an automatically generated file.
     It will be read and overwritten.
     DO NOT EDIT! -->
<META HTTP-EQUIV="Content-Type" CONTENT="text/html; charset=UTF-8">
<TITLE>Bookmarks</TITLE>
<H1>Bookmarks</H1>
<DL><p>
    <DT><H3 ADD_DATE="1700000000" LAST_MODIFIED="1700000001" PERSONAL_TOOLBAR_FOLDER="true">Bookmarks bar</H3>
    <DL><p>
        <DT><A HREF="https://one.example/" ADD_DATE="1700000002" ICON="data:image/png;base64,AAAA">One</A>
        <DT><H3 ADD_DATE="1700000003" LAST_MODIFIED="1700000004">Folder</H3>
        <DL><p>
            <DT><A HREF="https://two.example/path?a=1&amp;b=2" ADD_DATE="1700000005">Two</A>
            <DT><H3>Empty</H3>
            <DL><p>
            </DL><p>
            <DT><A HREF="https://three.example/">  Three  </A>
        </DL><p>
    </DL><p>
    <DT><A HREF="https://four.example/">Four
)";

std::vector<std::pair<std::string, std::string>>
urlsAndTitles(const std::vector<ExchangeRecord>& pages) {
    std::vector<std::pair<std::string, std::string>> out;
    for (const ExchangeRecord& p : pages)
        out.emplace_back(p.url.toStdString(), p.title.toStdString());
    return out;
}

using Pairs = std::vector<std::pair<std::string, std::string>>;

} // namespace

TEST(ImportBookmarks, FirefoxFileWithFoldersDescriptionsAndQueries) {
    const auto pages = ReadBookmarks(kFirefox);
    EXPECT_EQ(urlsAndTitles(pages),
              (Pairs{{"https://spades.example/", "Spades & forks"},
                     {"https://rakes.example/", "Rakes \xe2\x80\x93 all kinds"},
                     {"https://hoes.example/", "Hoes"},
                     {"https://SPADES.example/", "Spades again"},
                     {"https://gr%C3%BCn.example/", "Gr\xc3\xbcne Seiten"}}));
    EXPECT_EQ(pages[0].description, "Strong spades,\nwith <long> handles");
    // The folder's description belongs to no link.
    for (size_t i = 1; i < pages.size(); ++i)
        EXPECT_EQ(pages[i].description, "") << i;
    EXPECT_EQ(GuessImportFormat("bookmarks.html", kFirefox), ImportFormat::Bookmarks);
    EXPECT_EQ(GuessImportFormat("no-extension", kFirefox), ImportFormat::Bookmarks);
}

TEST(ImportBookmarks, ChromeFileWithUnclosedTagsToTheEnd) {
    EXPECT_EQ(urlsAndTitles(ReadBookmarks(kChrome)),
              (Pairs{{"https://one.example/", "One"},
                     {"https://two.example/path?a=1&b=2", "Two"},
                     {"https://three.example/", "Three"},
                     {"https://four.example/", "Four"}}));
}

TEST(ImportBookmarks, OtherCodePagesAndBadFiles) {
    // A file in Windows-1252 that says so: read as such, whatever its declaration.
    const char* latin = "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n"
                        "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; "
                        "charset=windows-1252\">\n<DL><p><DT><A HREF=\"http://x.example/\">Caf\xe9 "
                        "\x80</A><DD>S\xfc\xdf\n</DL>";
    const auto pages = ReadBookmarks(latin);
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_EQ(pages[0].title, QString::fromUtf8("Café €"));
    EXPECT_EQ(pages[0].description, QString::fromUtf8("Süß"));

    EXPECT_THROW(ReadBookmarks(""), ImportError);
    EXPECT_THROW(ReadBookmarks("  \n "), ImportError);
    // Nothing that looks like a link gives no pages, and never a crash.
    EXPECT_TRUE(ReadBookmarks("<html><body><p>no links<a name=x>anchor</a>").empty());
    EXPECT_TRUE(ReadBookmarks(QByteArray("\x00\x01\xff\xfe<<<>>>\"\"'", 12)).empty());
    EXPECT_EQ(ReadBookmarks("<DL><DT><A HREF=\"http://a/\">a<DT><A HREF='http://b/'>b").size(), 2u);
}

TEST(ImportCsv, CommonSpreadsheetDialects) {
    // Semicolons, a quoted field over two lines, columns in another order and case, an
    // unknown column, a short row, rows without an address.
    const char* semicolons = "Title;URL;Notes;Checked\n"
                             "\"Spades; forks\";http://a.example/;x;yes\n"
                             "\"Two\nlines \"\"quoted\"\"\";  http://b.example/  ;;\n"
                             ";;\n"
                             "Short;http://c.example/\n";
    auto pages = ReadCsv(semicolons);
    EXPECT_EQ(urlsAndTitles(pages), (Pairs{{"http://a.example/", "Spades; forks"},
                                           {"http://b.example/", "Two\nlines \"quoted\""},
                                           {"http://c.example/", "Short"}}));
    EXPECT_TRUE(pages[0].checked);
    EXPECT_FALSE(pages[1].checked);
    EXPECT_EQ(pages[0].description, "");
    EXPECT_EQ(GuessImportFormat("list", semicolons), ImportFormat::Csv);

    // Comma, CR LF, a byte-order mark, a quote inside an unquoted field, Latin-1 bytes.
    pages = ReadCsv("\xEF\xBB\xBFurl,description,redirect\r\n"
                    "http://d.example/,5\" pots,http://r.example/\r\n"
                    "http://e.example/,Gr\xfc\xdf,\r\n");
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_EQ(pages[0].description, "5\" pots");
    EXPECT_EQ(pages[0].redirect, "http://r.example/");
    EXPECT_EQ(pages[1].description, QString::fromUtf8("Grüß"));

    // TAB-separated, as spreadsheets copy it.
    EXPECT_EQ(ReadCsv("url\ttitle\nhttp://f.example/\tF\n").size(), 1u);
}

TEST(ImportCsv, WithoutAUrlColumnOrWithAnOpenQuoteNothingIsRead) {
    try {
        ReadCsv("address,title\nhttp://a.example/,A\n");
        FAIL() << "no error";
    } catch (const ImportError& e) {
        EXPECT_STREQ(e.what(), "the header row has no url column");
    }
    EXPECT_THROW(ReadCsv(""), ImportError);
    EXPECT_THROW(ReadCsv("url,title\nhttp://a.example/,\"open\n"), ImportError);
}

TEST(ImportText, OneAddressALine) {
    const char* list = "# my list\r\n\r\nhttp://a.example/\n   \n  http://b.example/  \r"
                       "#http://skipped.example/\nhttp://c.example/";
    EXPECT_EQ(
        urlsAndTitles(ReadAddressList(list)),
        (Pairs{{"http://a.example/", ""}, {"http://b.example/", ""}, {"http://c.example/", ""}}));
    EXPECT_EQ(GuessImportFormat("x", list), ImportFormat::Text);
    EXPECT_EQ(GuessImportFormat("x.TXT", "<DL>"), ImportFormat::Text);
    EXPECT_TRUE(ReadAddressList("").empty());
}

TEST(ImportJson, BadFilesGiveAnError) {
    EXPECT_THROW(ReadJson("{\"records\": [}"), ImportError);
    EXPECT_THROW(ReadJson("{\"title\": \"no records\"}"), ImportError);
    EXPECT_EQ(ReadJson("[{\"url\": \"http://a/\"}, {\"title\": \"no url\"}, 5]").size(), 1u);
}

TEST(ImportPages, ExistingAddressesAreLeftAsTheUserMadeThem) {
    TQelPigger doc;
    MakeSampleReport(doc, {{"https://spades.example/", "My own title", "edited", "r", false}});
    TQelPigger* urls = doc.FindChild(ReportKeys::Urls);
    ReportRecords index;
    // Against the report (ignoring letter case) and within the file.
    ImportCounts counts = ImportPages(urls, index, ReadBookmarks(kFirefox));
    EXPECT_EQ(counts.added, 3);
    EXPECT_EQ(counts.present, 2);
    EXPECT_EQ(ImportSummary(counts), "Imported 3 new records; 2 were already in the report.");
    const auto got = RecordsOf(doc);
    ASSERT_EQ(got.size(), 4u);
    EXPECT_EQ(got[0].title, "My own title");
    EXPECT_EQ(got[0].description, "edited");
    EXPECT_EQ(got[0].redirect, "r");
    EXPECT_EQ(got[1].url, "https://rakes.example/");
    EXPECT_EQ(got[1].redirect, "https://rakes.example/");
    EXPECT_EQ(got[3].url, "https://gr%C3%BCn.example/");

    // A tick in the file is given to new records only.
    counts = ImportPages(urls, index,
                         ReadCsv("url,checked\nhttps://rakes.example/,Y\nhttp://new.example/,Y\n"));
    EXPECT_EQ(counts.added, 1);
    EXPECT_EQ(counts.present, 1);
    const auto after = RecordsOf(doc);
    EXPECT_FALSE(after[1].checked);
    EXPECT_TRUE(after[4].checked);
    EXPECT_EQ(ImportSummary(ImportPages(urls, index, {})),
              "Imported 0 new records; 0 were already in the report.");
}

TEST(ImportPages, OnlyPageAddressesAreTakenInEveryFormat) {
    const std::pair<const char*, bool> addresses[] = {
        {"http://a.example/", true},
        {"HTTPS://a.example/", true},
        {"Ftp://files.example/x", true},
        {"file:///home/me/page.html", true},
        {"  www.example.com/x ", true},
        {"example.com:8080/x", true},
        {"LocalHost:3000?q#f", true},
        {"javascript:alert(1)", false},
        {" JavaScript:void(0)", false},
        {"javascript:0", false},
        {"mailto:me@example.com", false},
        {"data:text/html,<b>x</b>", false},
        {"about:blank", false},
        {"chrome://settings", false},
        {"place:sort=8", false},
        {"C:\\pages\\a.html", false},
        {"example.com:http", false},
        {"localhost:", false},
        {":x", false},
    };
    for (const auto& [address, page] : addresses)
        EXPECT_EQ(IsPageAddress(address), page) << address;

    // A bookmarklet and a mail address are counted, not taken; a redirect that is no page
    // address gives way to the page's own.
    const std::pair<ImportFormat, const char*> files[] = {
        {ImportFormat::Bookmarks, "<DL><DT><A HREF=\"JavaScript:alert(1)\">Bookmarklet</A>"
                                  "<DT><A HREF=\"mailto:me@example.com\">Mail</A><DT><A "
                                  "HREF=\"HTTP://page.example/\">P</A>"},
        {ImportFormat::Csv, "url,redirect\njavascript:alert(1),\nmailto:me@example.com,\n"
                            "HTTP://page.example/,javascript:alert(2)\n"},
        {ImportFormat::Json,
         "[{\"url\": \"javascript:alert(1)\"}, {\"url\": \"mailto:me@example.com\"},"
         "{\"url\": \"HTTP://page.example/\", \"redirect\": \"javascript:2\"}]"},
        {ImportFormat::Text, "JAVASCRIPT:alert(1)\nmailto:me@example.com\nHTTP://page.example/\n"},
    };
    for (const auto& [format, bytes] : files) {
        SCOPED_TRACE(bytes);
        TQelPigger doc;
        MakeSampleReport(doc, {});
        ReportRecords index;
        const ImportCounts counts =
            ImportPages(doc.FindChild(ReportKeys::Urls), index, ReadImport(bytes, format));
        EXPECT_EQ(counts.added, 1);
        EXPECT_EQ(counts.present, 0);
        EXPECT_EQ(counts.skipped, 2);
        const auto got = RecordsOf(doc);
        ASSERT_EQ(got.size(), 1u);
        EXPECT_EQ(got[0].url, "HTTP://page.example/");
        EXPECT_EQ(got[0].redirect, "HTTP://page.example/");
    }
}

TEST(ImportSummary, OneLineWithTheNumbersInGrammar) {
    const std::pair<ImportCounts, const char*> cases[] = {
        {{0, 0, 0}, "Imported 0 new records; 0 were already in the report."},
        {{1, 1, 0}, "Imported 1 new record; 1 was already in the report."},
        {{2, 3, 0}, "Imported 2 new records; 3 were already in the report."},
        {{1, 2, 1},
         "Imported 1 new record; 2 were already in the report; 1 was skipped (not a web "
         "address)."},
        {{0, 1, 4},
         "Imported 0 new records; 1 was already in the report; 4 were skipped (not web "
         "addresses)."},
    };
    for (const auto& [counts, line] : cases)
        EXPECT_EQ(ImportSummary(counts), line);
}

TEST(ImportFile, UnreadableFilesGiveAnErrorNamingThem) {
    TempDir dir;
    try {
        ReadImportFile(dir.path("missing.html"), std::nullopt);
        FAIL() << "no error";
    } catch (const ImportError& e) {
        // Worded as every reader of the program words a file it cannot open.
        EXPECT_EQ(std::string(e.what()), "Cannot open file \"" + dir.path("missing.html") +
                                             "\": No such file or directory");
    }
    try {
        ReadImportFile(dir.root(), std::nullopt);
        FAIL() << "no error";
    } catch (const ImportError& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot open file \"" + dir.root() + "\": it is a folder");
    }
    dir.write("list.csv", "title\nx\n");
    try {
        ReadImportFile(dir.path("list.csv"), std::nullopt);
        FAIL() << "no error";
    } catch (const ImportError& e) {
        EXPECT_EQ(std::string(e.what()),
                  dir.path("list.csv") + ": the header row has no url column");
    }
    // The format given wins over the name.
    dir.write("list.html", "http://a.example/\n");
    EXPECT_EQ(ReadImportFile(dir.path("list.html"), ImportFormat::Text).size(), 1u);
}
