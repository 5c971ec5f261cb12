// A page's title and description as the link checker reads them: which tags count, the
// character set chosen (reply header, then the page's own declaration, then a guess), entities,
// blanks, and pages cut short at the size limit.
#include "links/PageDetails.h"

#include <gtest/gtest.h>

#include <cctype>
#include <string>

namespace {

struct DetailsCase {
    const char* name;
    std::string body;
    const char* contentType;
    const char* title;
    const char* description;
    const char* charset;
};

const DetailsCase Cases[] = {
    {"title and description, blanks collapsed",
     "<html><head><title>\n  Hello \t\n World  </title>"
     "<meta name=\"description\" content=\"  A   page\nabout things \"></head></html>",
     "text/html", "Hello World", "A page about things", "UTF-8"},
    {"Open Graph before title and description",
     "<html><head><title>Plain</title><meta name=\"description\" content=\"Plain text\">"
     "<meta property=\"og:title\" content=\"Graph title\">"
     "<meta property=\"og:description\" content=\"Graph text\"></head></html>",
     "text/html", "Graph title", "Graph text", "UTF-8"},
    {"only Open Graph, named with name=",
     "<head><meta name=\"og:title\" content=\"OG only\">"
     "<meta name=\"og:description\" content=\"Said by OG\"></head><body>x</body>",
     "", "OG only", "Said by OG", "UTF-8"},
    {"an empty og:title leaves the title",
     "<title>Kept</title><meta property=\"og:title\" content=\"  \">", "text/html", "Kept", "",
     "UTF-8"},
    {"ISO-8859-1 named only by meta charset",
     "<html><head><meta charset=\"ISO-8859-1\"><title>Caf\xE9 cr\xE8me</title></head></html>",
     "text/html", "Caf\xC3\xA9 cr\xC3\xA8me", "", "ISO-8859-1"},
    {"charset from http-equiv",
     "<head><meta http-equiv='Content-Type' content='text/html; charset=iso-8859-1'>"
     "<title>\xFC"
     "ber</title></head>",
     "text/html",
     "\xC3\xBC"
     "ber",
     "", "iso-8859-1"},
    {"the reply header's charset before the page's",
     "<head><meta charset=\"utf-8\"><title>\x93quoted\x94</title></head>",
     "text/html; charset=windows-1252", "\xE2\x80\x9Cquoted\xE2\x80\x9D", "", "windows-1252"},
    {"undeclared and not UTF-8: Windows-1252", "<title>\x80 price</title>", "text/html",
     "\xE2\x82\xAC price", "", "windows-1252"},
    {"undeclared UTF-8", "<title>\xE2\x82\xAC price</title>", "text/html", "\xE2\x82\xAC price", "",
     "UTF-8"},
    {"an unknown charset name: read as UTF-8", "<title>na\xC3\xAFve</title>",
     "text/html; charset=x-no-such-set", "na\xC3\xAFve", "", "UTF-8"},
    {"entities decoded",
     "<title>Fish &amp; Chips &eacute;t&#xE9; &#9786;</title>"
     "<meta name=description content=\"a &lt;b&gt; &quot;c&quot;\">",
     "text/html", "Fish & Chips \xC3\xA9t\xC3\xA9 \xE2\x98\xBA", "a <b> \"c\"", "UTF-8"},
    {"cut in the title and in a UTF-8 sequence", "<html><head><title>Long caf\xC3", "text/html",
     "Long caf", "", "UTF-8"},
    {"no head at all", "just text", "text/html", "", "", "UTF-8"},
};

class PageDetailsCase : public testing::TestWithParam<DetailsCase> {};

TEST_P(PageDetailsCase, ReadsTitleDescriptionAndCharset) {
    const DetailsCase& c = GetParam();
    const PageDetails d = ReadPageDetails(c.body, c.contentType);
    EXPECT_EQ(d.title, c.title);
    EXPECT_EQ(d.description, c.description);
    EXPECT_EQ(d.charset, c.charset);
}

INSTANTIATE_TEST_SUITE_P(Pages, PageDetailsCase, testing::ValuesIn(Cases),
                         [](const testing::TestParamInfo<DetailsCase>& param) {
                             std::string name;
                             for (const char* p = param.param.name; *p; ++p)
                                 if (std::isalnum(static_cast<unsigned char>(*p)))
                                     name += *p;
                             return name;
                         });

} // namespace
