#include "report/RecordRows.h"
#include "report/OpenAddress.h"
#include "tree/TQelPigger.h"

#include <gtest/gtest.h>

TEST(RecordRows, AddressAndTextsAsShown) {
    EXPECT_EQ(ShownAddress("http://a.com/?u=http://b.com"), "a.com/?u=b.com");
    EXPECT_EQ(ShownAddress("https://a.com"), "https://a.com");
    EXPECT_EQ(ShownAddress("HTTP://a.com"), "HTTP://a.com");
    EXPECT_EQ(ShownAddress("httphttp://://x"), "http://x");
    EXPECT_EQ(OneLine("one\r\ntwo\rthree\nfour"), "one  two three four");
    EXPECT_EQ(OneLine("only\nfeeds\n"), "only feeds ");
    EXPECT_EQ(OneLine("\ronly returns"), " only returns");
    EXPECT_EQ(OneLine("one line"), "one line");
    EXPECT_EQ(ShownAddress("http://a\r\nb"), "a  b");

    TQelPigger rec;
    rec.SetAsText("<LISTING URL=\"http://x.org\" CHK=\"y\"><TITLE>T\r\nU</TITLE></LISTING>");
    const RowTexts texts = ReadRowTexts(&rec);
    EXPECT_EQ(texts.title, "T  U");
    EXPECT_EQ(texts.address, "x.org");
    EXPECT_EQ(texts.description, "");
    const std::string byColumn[] = {texts.title, texts.address, texts.description};
    for (int column = 0; column < 3; ++column)
        EXPECT_EQ(ReadRowText(&rec, column), byColumn[column]);
    EXPECT_FALSE(MakeRow(&rec).checked); // only an upper-case Y checks
    rec.SetAttr("CHK", "Y");
    EXPECT_TRUE(MakeRow(&rec).checked);
}

// The first child of each name counts, wherever it stands among the others.
TEST(RecordRows, FirstTitleAndDescriptionWhateverTheOrder) {
    TQelPigger rec;
    rec.SetAsText("<LISTING><NOTE>n</NOTE><description>d1</description><TITLE>t1</TITLE>"
                  "<TITLE>t2</TITLE><DESCRIPTION>d2</DESCRIPTION></LISTING>");
    RowTexts row = ReadRowTexts(&rec);
    EXPECT_EQ(row.title, "t1");
    EXPECT_EQ(row.description, "d1");
    rec.SetAsText("<LISTING><TITLE>t</TITLE><TITLE>t2</TITLE><REDIRECT>r</REDIRECT></LISTING>");
    row = ReadRowTexts(&rec);
    EXPECT_EQ(row.title, "t");
    EXPECT_EQ(row.description, "");
    rec.SetAsText("<LISTING><DESCRIPTION>only</DESCRIPTION></LISTING>");
    row = ReadRowTexts(&rec);
    EXPECT_EQ(row.title, "");
    EXPECT_EQ(row.description, "only");
}

// The status column's text and the verdict behind the row's colour, as the record's last check
// left them.
TEST(RecordRows, LinkCheckOfTheRecord) {
    struct Case {
        const char* attrs;
        const char* status;
        LinkVerdict verdict;
        const char* finalUrl;
    };
    const Case cases[] = {
        {"", "", LinkVerdict::Unchecked, ""},
        {R"(LINK="200" LINKTIME="2026-12-09T10:15:30Z")", "alive 200", LinkVerdict::Alive, ""},
        {R"(LINK="200" LINKURL="http://y.org/" LINKVIA="301")", "moved 301", LinkVerdict::Moved,
         "http://y.org/"},
        {R"(LINK="404" LINKTIME="2026-12-09T10:15:30Z")", "dead 404", LinkVerdict::Dead, ""},
        {R"(LINK="dns" LINKFAILS="2")", "dead dns", LinkVerdict::Dead, ""},
        {R"(LINK="timeout" LINKFAILS="1")", "failed timeout", LinkVerdict::Failed, ""},
    };
    for (const Case& c : cases) {
        TQelPigger rec;
        rec.SetAsText(std::string("<LISTING URL=\"http://x.org\" ") + c.attrs +
                      "><TITLE>t</TITLE></LISTING>");
        const RecordRow row = MakeRow(&rec);
        EXPECT_EQ(row.Details().status, c.status) << c.attrs;
        EXPECT_EQ(row.verdict, c.verdict) << c.attrs;
        EXPECT_EQ(row.Details().finalUrl, c.finalUrl) << c.attrs;
        EXPECT_EQ(row.Details().checkedAt.isValid(),
                  std::string_view(c.attrs).find("LINKTIME") != std::string_view::npos)
            << c.attrs;
    }
}

TEST(OpenAddress, OnlyWebAddressesAreHandedOut) {
    EXPECT_EQ(BrowserUrlFor("  http://example.com/a b  ").toString(), "http://example.com/a b");
    EXPECT_EQ(BrowserUrlFor("www.example.com/x").toString(), "http://www.example.com/x");
    EXPECT_EQ(BrowserUrlFor("example.com:8080/x").toString(), "http://example.com:8080/x");
    EXPECT_EQ(BrowserUrlFor("https://example.com").scheme(), "https");
    EXPECT_TRUE(BrowserUrlFor("ftp://files.example.com/a").isValid());
    for (const char* refused : {"", "   ", "file:///etc/passwd", "javascript:alert(1)",
                                "/usr/bin/xterm", "smb://host/share", "data:text/html,hi"})
        EXPECT_FALSE(BrowserUrlFor(refused).isValid()) << refused;
    EXPECT_NE(ProbePageHtml("www.quarrylog.example").find("Find new verisons here<A HREF="),
              std::string::npos);
}
