#include "tree/TQelPigger.h"

#include "support/SampleReports.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <QThread>

#include <sstream>
#include <string>
#include <vector>

namespace {

struct ReadError {
    std::string message;
    int position;
};

// Reads text and returns the error it raised (message empty when it was read).
ReadError readError(const std::string& text) {
    TQelPigger t;
    try {
        t.SetAsText(text);
    } catch (const EQelPiggerError& e) {
        return {e.what(), e.Position};
    }
    return {"", 0};
}

TQelPigger* addChild(TQelPigger* parent, const std::string& name, const std::string& text = "") {
    auto* c = new TQelPigger(parent);
    c->SetName(name);
    c->Text = text;
    return c;
}

const std::string kSmallReport = SmallReportText();

} // namespace

TEST(TQelPiggerWriting, ReportRootExampleIsWrittenByteForByte) {
    TQelPigger root;
    root.SetName("qrl");
    root.SetAttr("version", "1.0.1 beta");
    root.Text = "First line\r\nSecond line";
    addChild(&root, "URLS");
    EXPECT_EQ(root.GetAsText(),
              "\r\n<QRL VERSION=\"1.0.1 beta\">First line\r\nSecond line\r\n\t<URLS/>\r\n</QRL>");
}

TEST(TQelPiggerWriting, SmallReportRoundTripsByteForByte) {
    TQelPigger root;
    root.SetAsText(kSmallReport);
    EXPECT_EQ(root.Name(), "QRL");
    EXPECT_EQ(root.GetAttr("rdate"), "06.12.2026");
    EXPECT_EQ(root.Text, "Suppliers of garden tools\r\nfound in December.");
    TQelPigger* listing = root.FindChild("URLS")->FindChild("LISTING");
    ASSERT_NE(listing, nullptr);
    EXPECT_EQ(listing->Indent(), "\r\n\t\t");
    EXPECT_EQ(listing->FindChild("TITLE")->Text, "Spades");
    EXPECT_EQ(root.GetAsText(), kSmallReport);

    // The same by building the record at depth 2 by hand.
    TQelPigger built;
    built.SetName("QRL");
    TQelPigger* urls = addChild(&built, "URLS");
    TQelPigger* rec = addChild(urls, "LISTING");
    rec->SetAttr("URL", "u1");
    rec->SetAttr("CHK", "Y");
    addChild(rec, "TITLE", "Some title");
    EXPECT_EQ(built.GetAsText(), "\r\n<QRL>\r\n\t<URLS>\r\n\t\t<LISTING URL=\"u1\" CHK=\"Y\">"
                                 "\r\n\t\t\t<TITLE>Some title\r\n\t\t\t</TITLE>"
                                 "\r\n\t\t</LISTING>\r\n\t</URLS>\r\n</QRL>");
}

TEST(TQelPiggerWriting, EmptyNamesWriteNothing) {
    TQelPigger root;
    EXPECT_EQ(root.GetAsText(), "");
    root.SetName("A");
    TQelPigger* hidden = addChild(&root, "  ");
    addChild(hidden, "B");
    // Written as an empty element, as it reads back.
    EXPECT_EQ(root.GetAsText(), "\r\n<A/>");
    addChild(&root, "C");
    EXPECT_EQ(root.GetAsText(), "\r\n<A>\r\n\t<C/>\r\n</A>");
    // Read from a text, a tag without a name makes such a child too.
    TQelPigger read;
    read.SetAsText("<A><B x=\"1\"><\x18/></B></A>");
    EXPECT_EQ(read.GetAsText(), "\r\n<A>\r\n\t<B X=\"1\"/>\r\n</A>");

    TempDir dir;
    TQelPigger nameless;
    nameless.SaveToFile(dir.path("empty.qrl"));
    EXPECT_TRUE(dir.exists("empty.qrl"));
    EXPECT_EQ(dir.read("empty.qrl"), "");
}

TEST(TQelPiggerEscaping, EncodeAndDecode) {
    EXPECT_EQ(PercentEncode("50% <done>"), "50%25 %3Cdone%3E");
    EXPECT_EQ(PercentEncode(std::string("a\0b\x01\"", 5)), "a%00b%01%22");
    // TAB, LF, CR, ampersand, apostrophe and high bytes stay as they are.
    EXPECT_EQ(PercentEncode("\t\n\r&'=/\xC3\xA9"), "\t\n\r&'=/\xC3\xA9");
    EXPECT_EQ(PercentEncode("\x0B\x0C\x0E\x1F"), "%0B%0C%0E%1F");

    EXPECT_EQ(PercentDecode("%41%3c%25"),
              std::string("A") + char(0x3 * 16 + ('c' - 'A' + 10)) + "%");
    EXPECT_EQ(PercentDecode("50%25 %3Cdone%3E"), "50% <done>");
    // A percent sign near the end never reads past the text.
    EXPECT_EQ(PercentDecode("a%"), "a%");
    EXPECT_EQ(PercentDecode("a%4"), "a%4");
    EXPECT_EQ(PercentDecode("%"), "%");
    EXPECT_EQ(PercentDecode("%414"), "A4");
}

TEST(TQelPiggerEscaping, EveryByteSurvivesAttributeRoundTrip) {
    std::string all;
    for (int b = 1; b < 256; ++b)
        all.push_back(static_cast<char>(b));
    all.push_back('\0');
    TQelPigger t;
    t.SetName("A");
    t.SetAttr("V", all);
    const std::string text = t.GetAsText();
    EXPECT_EQ(text.find('<', 3), std::string::npos);
    TQelPigger back;
    back.SetAsText(text);
    EXPECT_EQ(back.GetAttr("V"), all);
}

TEST(TQelPiggerEscaping, BlanksAroundContentTextSurviveRoundTrip) {
    // Content is read without the blanks around it; those that belong to the text come back.
    for (const std::string& text : std::vector<std::string>{
             " lead", "trail ", "\t\r\nboth\r\n", " ", "a b\tc", std::string("\x01x\0", 3)}) {
        TQelPigger t;
        t.SetName("A");
        t.Text = text;
        t.AddChild("B")->Text = text;
        TQelPigger back;
        back.SetAsText(t.GetAsText());
        EXPECT_EQ(back.Text, text);
        ASSERT_EQ(back.ChildCount(), 1);
        EXPECT_EQ(back.Child(0)->Text, text);
        EXPECT_EQ(back.GetAsText(), t.GetAsText());
    }
    // Blanks inside the text are written as they are.
    TQelPigger t;
    t.SetName("A");
    t.Text = " two words ";
    EXPECT_EQ(t.GetAsText(), "\r\n<A>%20two words%20\r\n</A>");
}

TEST(TQelPiggerReading, AcceptedForms) {
    for (const char* text : {"<A/>", "<A />", "<a></A>", "<A>text</a >", "junk<A/>"}) {
        TQelPigger t;
        EXPECT_NO_THROW(t.SetAsText(text)) << text;
        EXPECT_EQ(t.Name(), "A") << text;
    }
    TQelPigger t;
    t.SetAsText("<A>text</a >");
    EXPECT_EQ(t.Text, "text");
}

TEST(TQelPiggerReading, ErrorsWithMessageAndPosition) {
    struct Case {
        const char* text;
        const char* message;
        int position;
    };
    const Case cases[] = {
        {"<A / >", "Syntax error", 5},
        {"<A></ A>", "Unclosed tag: A", 4},
        {"<A></B>", "Unclosed tag: A", 4},
        {"<A><B></A>", "Unclosed tag: B", 7},
        {"<A>text", "Syntax error", 4},
        {"  \r\n", "Syntax error", 4},
        {"abc", "Syntax error", 1},
        {"<A x=\"1>", "Syntax error", 6},
        {"<A></A", "Unclosed tag: A", 4},
        {"<A>\r\n  </A  x>", "Unclosed tag: A", 8},
        // A text cut off inside the opening tag ends with an error, never loops.
        {"<A ", "Syntax error", 3},
        {"<A x=\"1\" ", "Syntax error", 9},
        {"<A x=\"1\"", "Syntax error", 9},
        {"<A", "Syntax error", 2},
        {"<", "Syntax error", 2},
        {"<A x", "Syntax error", 4},
        {"<A x=", "Syntax error", 6},
    };
    for (const Case& c : cases) {
        const ReadError e = readError(c.text);
        EXPECT_EQ(e.message, c.message) << c.text;
        EXPECT_EQ(e.position, c.position) << c.text;
    }
}

TEST(TQelPiggerReading, AttributesAndValues) {
    // The unquoted value a/b is read as a; what follows ("/b") is no end of the tag.
    const ReadError e = readError("<a x=a/b/>");
    EXPECT_EQ(e.message, "Syntax error");
    EXPECT_EQ(e.position, 8);
    TQelPigger u;
    u.SetAsText("<a x=a y = \"q\" z flag=\"%41 \" x=\"second\"/>");
    EXPECT_EQ(u.GetAttr("Y"), "q");
    EXPECT_EQ(u.GetAttr("Z"), "");
    EXPECT_EQ(u.AttrName(2), "Z");
    EXPECT_EQ(u.GetAttr("flag"), "A ");
    // A repeated name is kept twice; lookups find the first.
    EXPECT_EQ(u.AttrCount(), 5);
    EXPECT_EQ(u.GetAttr("x"), "a");
    // Written back, every value is quoted, even empty ones read from a file.
    EXPECT_EQ(u.GetAsText(), "\r\n<A X=\"a\" Y=\"q\" Z=\"\" FLAG=\"A \" X=\"second\"/>");
}

TEST(TQelPiggerReading, ContentPiecesAreTrimmedAndJoined) {
    TQelPigger t;
    t.SetAsText("<A>  a \r\n<B/>  b\tc  <C>x</C>%20</A>");
    EXPECT_EQ(t.Text, "ab\tc ");
    EXPECT_EQ(t.ChildCount(), 2);
    EXPECT_EQ(t.Child(1)->Text, "x");
    // Entities and comments mean nothing special.
    t.SetAsText("<A>&amp;</A>");
    EXPECT_EQ(t.Text, "&amp;");
}

TEST(TQelPiggerReading, XmlDeclarationSwallowsTheRest) {
    TQelPigger t;
    const std::string text = "<?xml version=\"1.0\"?>\r\n<A/>\r\n";
    const ReadError e = readError(text);
    EXPECT_EQ(e.message, "Syntax error");
    try {
        t.SetAsText(text);
    } catch (const EQelPiggerError&) {
    }
    // A failed read keeps what was read so far.
    EXPECT_EQ(t.Name(), "?XML");
    EXPECT_EQ(t.AttrName(1), "?");
    ASSERT_EQ(t.ChildCount(), 1);
    EXPECT_EQ(t.Child(0)->Name(), "A");
}

TEST(TQelPiggerReading, EmptyTextAndLineBreaks) {
    TQelPigger t;
    t.SetName("X");
    t.SetAsText("");
    EXPECT_EQ(t.Name(), "");

    EXPECT_EQ(TQelPigger::NormalizeLineBreaks("a\nb\rc\r\nd"), "a\r\nb\r\nc\r\nd\r\n");
    EXPECT_EQ(TQelPigger::NormalizeLineBreaks("a\n\n"), "a\r\n\r\n");
    EXPECT_EQ(TQelPigger::NormalizeLineBreaks(""), "");
    EXPECT_EQ(TQelPigger::NormalizeLineBreaks(std::string("<A/>\0<B>", 9)), "<A/>\r\n");

    std::istringstream in("<A>one\ntwo\rthree</A>");
    t.LoadFromStream(in);
    EXPECT_EQ(t.Text, "one\r\ntwo\r\nthree");
}

TEST(TQelPiggerReading, DeepNestingFailsCleanly) {
    const int depth = 1000000;
    std::string text;
    text.reserve(static_cast<size_t>(depth) * 3 + 2);
    for (int i = 0; i < depth; ++i)
        text += "<A>";
    const ReadError e = readError(text);
    EXPECT_EQ(e.message, "Syntax error");
    // The element that would be one level too deep is where reading stops.
    EXPECT_EQ(e.position, TQelPigger::MaxReadDepth * 3 + 1);

    // Nesting below the limit reads, writes and frees.
    std::string ok;
    const int fine = 5000;
    for (int i = 0; i < fine; ++i)
        ok += "<A>";
    for (int i = 0; i < fine; ++i)
        ok += "</A>";
    TQelPigger t;
    t.SetAsText(ok);
    TQelPigger* n = &t;
    int levels = 1;
    while (n->ChildCount() == 1) {
        n = n->Child(0);
        ++levels;
    }
    EXPECT_EQ(levels, fine);
}

// Reading runs on a thread with a small stack, far smaller than the depth limit would need with
// one stack frame per level; the tree is made and freed on the test's own thread.
TEST(TQelPiggerReading, DepthLimitHoldsOnASmallStack) {
    std::string deepest, tooDeep;
    // The outermost element is at depth 0, so MaxReadDepth levels read and one more does not.
    for (int i = 0; i <= TQelPigger::MaxReadDepth; ++i)
        tooDeep += "<A>";
    for (int i = 0; i < TQelPigger::MaxReadDepth; ++i)
        deepest += "<A>";
    for (int i = 0; i < TQelPigger::MaxReadDepth; ++i)
        deepest += "</A>";

    TQelPigger tree;
    ReadError limit{"not run", 0};
    bool deepestRead = false;
    QThread* reader = QThread::create([&] {
        limit = readError(tooDeep);
        tree.SetAsText(deepest);
        deepestRead = true;
    });
    reader->setStackSize(128 * 1024);
    reader->start();
    ASSERT_TRUE(reader->wait(60000));
    delete reader;
    EXPECT_EQ(limit.message, "Syntax error");
    EXPECT_EQ(limit.position, TQelPigger::MaxReadDepth * 3 + 1);
    ASSERT_TRUE(deepestRead);
    int levels = 1;
    for (const TQelPigger* n = &tree; n->ChildCount() == 1; n = n->Child(0))
        ++levels;
    EXPECT_EQ(levels, TQelPigger::MaxReadDepth);
}

TEST(TQelPiggerReading, OneWordingOfReadingErrors) {
    try {
        TQelPigger t;
        t.SetAsText("<A>\r\n<B></A>");
        FAIL() << "read without error";
    } catch (const EQelPiggerError& e) {
        EXPECT_EQ(DescribeReadError(e), "Unclosed tag: B. Position 9");
        EXPECT_EQ(DescribeReadError(e, "/tmp/r.qrl"), "/tmp/r.qrl: Unclosed tag: B. Position 9");
    }
}

TEST(TQelPiggerFiles, LoadAndSave) {
    TempDir dir;
    dir.write("r.qrl", "<A x=\"1\">\nline1\nline2\n</A>");
    TQelPigger t;
    t.LoadFromFile(dir.path("r.qrl"));
    EXPECT_EQ(t.Text, "line1\r\nline2");
    t.SaveToFile(dir.path("out.qrl"));
    EXPECT_EQ(dir.read("out.qrl"), "\r\n<A X=\"1\">line1\r\nline2\r\n</A>");

    EXPECT_THROW(t.LoadFromFile(dir.path("missing.qrl")), EQelFileError);
    EXPECT_THROW(t.SaveToFile(dir.path("no/such/folder/x.qrl")), EQelFileError);

    dir.write("empty.qrl", "");
    t.LoadFromFile(dir.path("empty.qrl"));
    EXPECT_EQ(t.Name(), "");
    dir.write("blank.qrl", "   ");
    EXPECT_THROW(t.LoadFromFile(dir.path("blank.qrl")), EQelPiggerError);
}

TEST(TQelPiggerStructure, AttributesAndChildren) {
    TQelPigger root;
    root.SetName("  root\t");
    EXPECT_EQ(root.Name(), "ROOT");
    root.SetAttr("a", "1");
    root.SetAttr("B", "2");
    root.SetAttr("A", "3");
    EXPECT_EQ(root.AttrCount(), 2);
    EXPECT_EQ(root.GetAttr("a"), "3");
    root.SetAttr("a", "");
    EXPECT_EQ(root.AttrCount(), 1);
    EXPECT_EQ(root.GetAttr("A"), "");
    root.DeleteAttr("missing");
    EXPECT_EQ(root.AttrCount(), 1);

    TQelPigger* x1 = addChild(&root, "X");
    TQelPigger* y = addChild(&root, "Y");
    TQelPigger* x2 = addChild(&root, "x");
    x1->SetAttr("URL", "http://Example.com/A");
    x2->SetAttr("URL", "http://example.com/b");
    EXPECT_EQ(root.FindChild("x"), x1);
    EXPECT_EQ(root.FindNextChild(x1), x2);
    EXPECT_EQ(root.FindNextChild(x2), nullptr);
    EXPECT_EQ(root.FindNextChild(nullptr), nullptr);
    EXPECT_EQ(root.Child(-1), nullptr);
    EXPECT_EQ(root.Child(3), nullptr);
    EXPECT_EQ(root.FindChildByAttr("url", "HTTP://EXAMPLE.COM/B"), x2);
    // With an empty value, a child without the attribute matches.
    EXPECT_EQ(root.FindChildByAttr("URL", ""), y);

    // Destroying a node removes it from its parent; later lookups still work.
    delete y;
    EXPECT_EQ(root.ChildCount(), 2);
    EXPECT_EQ(root.FindNextChild(x1), x2);
    EXPECT_EQ(root.IndexOfChild(x2), 1);
    root.DeleteChild(0);
    EXPECT_EQ(root.Child(0), x2);
    root.DeleteChildNode(x2);
    EXPECT_EQ(root.ChildCount(), 0);
}

TEST(TQelPiggerStructure, ReparentingKeepsIndentsCurrent) {
    TQelPigger a, b;
    a.SetName("A");
    b.SetName("B");
    TQelPigger* mid = addChild(&b, "MID");
    TQelPigger* leaf = addChild(mid, "LEAF");
    TQelPigger* inA = addChild(&a, "IN");
    EXPECT_EQ(leaf->Indent(), "\r\n\t\t");
    mid->SetParent(inA);
    EXPECT_EQ(b.ChildCount(), 0);
    EXPECT_EQ(inA->Child(0), mid);
    EXPECT_EQ(leaf->Indent(), "\r\n\t\t\t");
    mid->SetParent(nullptr);
    EXPECT_EQ(leaf->Indent(), "\r\n\t");
    EXPECT_EQ(mid->Indent(), "\r\n");
    delete mid;

    a.Clear();
    EXPECT_EQ(a.Name(), "");
    EXPECT_EQ(a.ChildCount(), 0);
}

TEST(TQelPiggerStructure, IterationWhileDeletingManyChildren) {
    TQelPigger root;
    root.SetName("URLS");
    for (int i = 0; i < 20000; ++i)
        addChild(&root, i % 2 ? "LISTING" : "OTHER")->SetAttr("N", std::to_string(i));
    int seen = 0;
    for (TQelPigger* c = root.FindChild("LISTING"); c;) {
        TQelPigger* next = root.FindNextChild(c);
        if (seen % 3 == 0)
            delete c;
        ++seen;
        c = next;
    }
    EXPECT_EQ(seen, 10000);
    EXPECT_EQ(root.ChildCount(), 20000 - 3334);
    EXPECT_EQ(root.Child(1)->GetAttr("N"), "2");
    EXPECT_EQ(root.Child(2)->GetAttr("N"), "3");
}

// A subclass that keeps only children named KEEP and no text, to check the reader's hooks
// and that Assign copies children with their own class.
class KeepOnly : public TQelPigger {
public:
    using TQelPigger::TQelPigger;
    TQelPigger* Create(TQelPigger* parent) const override { return new KeepOnly(parent); }
    int loaded = 0;

protected:
    TQelPigger* CreateChild(std::string_view tag) override {
        return UpperAscii(tag) == "KEEP" ? new KeepOnly(this) : nullptr;
    }
    void ChildLoaded(TQelPigger*) override { ++loaded; }
    bool AcceptText(std::string_view) override { return false; }
};

TEST(TQelPiggerStructure, ExtensionPointsAndAssign) {
    KeepOnly k;
    k.SetAsText("<R>text<KEEP a=\"1\"><DROP/></KEEP><SKIP><KEEP/></SKIP><keep/></R>");
    EXPECT_EQ(k.Text, "");
    EXPECT_EQ(k.ChildCount(), 2);
    EXPECT_EQ(k.loaded, 2);

    TQelPigger copy;
    copy.Assign(k);
    EXPECT_EQ(copy.GetAsText(), k.GetAsText());
    EXPECT_NE(dynamic_cast<KeepOnly*>(copy.Child(0)), nullptr);

    // Assigning a node's own descendant to it works on a copy.
    TQelPigger t;
    t.SetAsText("<A><B x=\"1\"><C/></B></A>");
    t.Assign(*t.Child(0));
    EXPECT_EQ(t.GetAsText(), "\r\n<B X=\"1\">\r\n\t<C/>\r\n</B>");

    // And the other way round: a node inside the source takes a copy of the whole source.
    t.SetAsText("<A><B x=\"1\"><C/></B></A>");
    TQelPigger* c = t.Child(0)->Child(0);
    c->Assign(t);
    EXPECT_EQ(t.GetAsText(), "\r\n<A>\r\n\t<B X=\"1\">\r\n\t\t<A>\r\n\t\t\t<B X=\"1\">\r\n"
                             "\t\t\t\t<C/>\r\n\t\t\t</B>\r\n\t\t</A>\r\n\t</B>\r\n</A>");
}

TEST(TQelPiggerStructure, AddingFindingAndConstAccess) {
    TQelPigger root;
    root.SetName("SETTINGS");
    TQelPigger* kw = root.FindOrAddChild("keywords");
    EXPECT_EQ(kw->Name(), "KEYWORDS");
    EXPECT_EQ(kw->Parent(), &root);
    EXPECT_EQ(root.FindOrAddChild("Keywords"), kw);
    TQelPigger* second = root.AddChild("KEYWORDS");
    EXPECT_NE(second, kw);
    EXPECT_EQ(root.ChildCount(), 2);
    EXPECT_EQ(root.IndexOfChild(second), 1);

    // Children made by AddChild are of the parent's own class.
    KeepOnly k;
    EXPECT_NE(dynamic_cast<KeepOnly*>(k.AddChild("KEEP")), nullptr);

    const TQelPigger& frozen = root;
    const TQelPigger* first = frozen.Child(0);
    EXPECT_EQ(first, kw);
    EXPECT_EQ(frozen.Child(2), nullptr);
    EXPECT_EQ(frozen.Children().size(), 2u);
    EXPECT_EQ(frozen.Children()[1], second);
}

TEST(TQelPiggerStructure, SerialsTellNodesApartWhereAddressesDoNot) {
    TQelPigger urls;
    urls.SetName("URLS");
    TQelPigger* a = urls.AddChild("LISTING");
    TQelPigger* b = urls.AddChild("LISTING");
    const std::uint64_t serialA = a->Serial(), serialB = b->Serial();
    EXPECT_NE(serialA, serialB);
    EXPECT_EQ(urls.FindChildBySerial(serialA), a);
    EXPECT_EQ(urls.FindChildBySerial(serialB), b);

    // Deleted, moved away, or replaced by a new node at the same address: not found.
    delete a;
    EXPECT_EQ(urls.FindChildBySerial(serialA), nullptr);
    TQelPigger* again = urls.AddChild("LISTING");
    EXPECT_NE(again->Serial(), serialA);
    EXPECT_EQ(urls.FindChildBySerial(again->Serial()), again);
    TQelPigger elsewhere;
    b->SetParent(&elsewhere);
    EXPECT_EQ(urls.FindChildBySerial(serialB), nullptr);
    EXPECT_EQ(elsewhere.FindChildBySerial(serialB), b);
    // Changes of a child's attributes keep it found; reading anew forgets every child.
    again->SetAttr("URL", "x");
    EXPECT_EQ(urls.FindChildBySerial(again->Serial()), again);
    const std::uint64_t serialAgain = again->Serial();
    urls.SetAsText("<URLS><LISTING/></URLS>");
    EXPECT_EQ(urls.FindChildBySerial(serialAgain), nullptr);
    EXPECT_EQ(urls.FindChildBySerial(urls.Child(0)->Serial()), urls.Child(0));
}

TEST(TQelPiggerStructure, ChangeStampFollowsChildrenAndTheirAttributes) {
    TQelPigger root;
    root.SetName("URLS");
    std::uint64_t last = root.ChangeStamp();
    const auto changed = [&] {
        const bool c = root.ChangeStamp() != last;
        last = root.ChangeStamp();
        return c;
    };
    TQelPigger* a = addChild(&root, "LISTING");
    EXPECT_TRUE(changed());
    a->SetAttr("URL", "x");
    EXPECT_TRUE(changed());
    a->SetAttr("URL", "y");
    EXPECT_TRUE(changed());
    TQelPigger* title = addChild(a, "TITLE");
    title->Text = "text is not counted";
    title->SetAttr("Z", "grandchildren are not counted");
    EXPECT_FALSE(changed());
    delete a;
    EXPECT_TRUE(changed());
    root.SetAsText("<URLS/>");
    EXPECT_TRUE(changed());
    // A node made later never carries an earlier node's stamp.
    TQelPigger other;
    EXPECT_NE(other.ChangeStamp(), root.ChangeStamp());
}

// ---------------------------------------------------------------- fast paths against plain rules

namespace {

// The escaping rules spelled out byte by byte.
std::string encodedByRule(std::string_view s) {
    static const char hex[] = "0123456789ABCDEF";
    std::string out;
    for (const char ch : s) {
        const auto b = static_cast<unsigned char>(ch);
        if ((b < 0x20 && b != '\t' && b != '\n' && b != '\r') || b == '"' || b == '%' || b == '<' ||
            b == '>') {
            out.push_back('%');
            out.push_back(hex[b >> 4]);
            out.push_back(hex[b & 0x0F]);
        } else {
            out.push_back(ch);
        }
    }
    return out;
}

// Line breaks spelled out byte by byte: up to the first NUL, every CR LF, lone CR and lone LF
// as CR LF, and CR LF added when the text does not end with a break.
std::string normalizedByRule(std::string_view s) {
    std::string out;
    size_t i = 0;
    for (; i < s.size() && s[i] != '\0'; ++i) {
        if (s[i] == '\r' || s[i] == '\n') {
            out += "\r\n";
            if (s[i] == '\r' && i + 1 < s.size() && s[i + 1] == '\n')
                ++i;
        } else {
            out.push_back(s[i]);
        }
    }
    if (!out.empty() && out.back() != '\n')
        out += "\r\n";
    return out;
}

} // namespace

TEST(TQelPiggerFastPaths, EscapesFoundAtEveryPlaceOfLongTexts) {
    // Each byte value at each place of texts longer than the blocks the writer scans at once.
    for (int b = 0; b < 256; ++b)
        for (size_t at : {0u, 1u, 15u, 16u, 17u, 31u, 32u, 40u}) {
            std::string s(41, 'a');
            s[at] = static_cast<char>(b);
            s[40 - at / 2] = '%';
            ASSERT_EQ(PercentEncode(s), encodedByRule(s)) << b << " at " << at;
            ASSERT_EQ(PercentDecode(PercentEncode(s)), s) << b << " at " << at;
        }
    std::string all;
    for (int round = 0; round < 3; ++round)
        for (int b = 0; b < 256; ++b)
            all.push_back(static_cast<char>(b));
    EXPECT_EQ(PercentEncode(all), encodedByRule(all));
}

TEST(TQelPiggerFastPaths, EveryByteSurvivesInContentText) {
    std::string all;
    for (int b = 0; b < 256; ++b)
        all.push_back(static_cast<char>(b));
    // Blanks at either end of a text are not kept, blanks inside are.
    const std::string text = "[" + all + all + "]";
    TQelPigger t;
    t.SetName("A");
    t.Text = text;
    addChild(&t, "B", "(" + all + ")");
    TQelPigger back;
    back.SetAsText(t.GetAsText());
    EXPECT_EQ(back.Text, text);
    ASSERT_EQ(back.ChildCount(), 1);
    EXPECT_EQ(back.Child(0)->Text, "(" + all + ")");
    EXPECT_EQ(back.GetAsText(), t.GetAsText());
}

TEST(TQelPiggerFastPaths, EveryByteInATagNameReadsOrFailsCleanly) {
    for (int b = 0; b < 256; ++b) {
        const char c = static_cast<char>(b);
        const std::string name = std::string("N") + c + "M";
        const std::string text = "<R><" + name + " v=\"1\">t</" + name + "></R>";
        TQelPigger t;
        try {
            t.SetAsText(text);
        } catch (const EQelPiggerError& e) {
            // Only the bytes that end a name (or are blanks) can break the element apart.
            EXPECT_TRUE(b <= 32 || c == '/' || c == '>' || c == '<' || c == '"' || c == '=')
                << "byte " << b << ": " << e.what();
            continue;
        }
        if (b > 32 && c != '/' && c != '>' && c != '<') {
            ASSERT_EQ(t.ChildCount(), 1) << b;
            EXPECT_EQ(t.Child(0)->Name(), UpperAscii(name)) << b;
            EXPECT_EQ(t.Child(0)->GetAttr("V"), "1") << b;
            EXPECT_EQ(t.Child(0)->Text, "t") << b;
        }
    }
}

TEST(TQelPiggerFastPaths, FilesReadAsTheirNormalisedText) {
    TempDir dir;
    const std::string record = "<A x=\"1\">one two three four five six seven<B>b</B></A>";
    // Line breaks of every kind at every place around the blocks the reader scans at once,
    // with and without a NUL after the element and a break at the end.
    const char* const breaks[] = {"\r\n", "\n", "\r", "\r\r\n", "\n\r"};
    int files = 0;
    for (const char* brk : breaks)
        for (size_t at = 0; at <= 40; ++at)
            for (int ending = 0; ending < 3; ++ending) {
                std::string bytes = record;
                bytes.insert(std::min(at, bytes.size()), brk);
                if (ending == 1)
                    bytes += "\r\n";
                if (ending == 2)
                    bytes += std::string("\r\0\n<X/>", 7);
                dir.write("f.qrl", bytes);
                TQelPigger fromFile, fromText;
                std::string fileError, textError;
                try {
                    fromFile.LoadFromFile(dir.path("f.qrl"));
                } catch (const EQelPiggerError& e) {
                    fileError = DescribeReadError(e);
                }
                try {
                    fromText.SetAsText(normalizedByRule(bytes));
                } catch (const EQelPiggerError& e) {
                    textError = DescribeReadError(e);
                }
                EXPECT_EQ(TQelPigger::NormalizeLineBreaks(bytes), normalizedByRule(bytes));
                ASSERT_EQ(fileError, textError) << files;
                ASSERT_EQ(fromFile.GetAsText(), fromText.GetAsText()) << files;
                EXPECT_EQ(fromFile.Text, fromText.Text) << files;
                ++files;
            }
}

TEST(TQelPiggerFastPaths, CutOffFilesFailWithTheErrorOfTheirText) {
    TempDir dir;
    const std::string whole = kSmallReport;
    for (size_t length = 0; length <= whole.size(); ++length) {
        const std::string bytes = whole.substr(0, length);
        dir.write("cut.qrl", bytes);
        TQelPigger t;
        std::string fileError = "none", textError = "none";
        try {
            t.LoadFromFile(dir.path("cut.qrl"));
        } catch (const EQelPiggerError& e) {
            fileError = DescribeReadError(e);
        }
        const ReadError e = readError(normalizedByRule(bytes));
        if (!e.message.empty())
            textError = e.message + ". Position " + std::to_string(e.position);
        EXPECT_EQ(fileError, textError) << length;
        // Only the whole file reads without error.
        EXPECT_EQ(fileError == "none", length == whole.size() || length == 0) << length;
    }
}

TEST(TQelPiggerFastPaths, DeepTreesAreWrittenOnASmallStack) {
    std::string deepest;
    for (int i = 0; i < TQelPigger::MaxReadDepth; ++i)
        deepest += "<A x=\"" + std::to_string(i % 10) + "\">";
    for (int i = 0; i < TQelPigger::MaxReadDepth; ++i)
        deepest += "</A>";
    TQelPigger tree;
    std::string written, writtenAgain;
    QThread* worker = QThread::create([&] {
        tree.SetAsText(deepest);
        written = tree.GetAsText();
        TQelPigger again;
        again.SetAsText(written);
        writtenAgain = again.GetAsText();
    });
    worker->setStackSize(128 * 1024);
    worker->start();
    ASSERT_TRUE(worker->wait(60000));
    delete worker;
    EXPECT_EQ(written, writtenAgain);
    // The innermost element is written at its depth, after the indents of all above it.
    const std::string innermost =
        "\r\n" + std::string(TQelPigger::MaxReadDepth - 1, '\t') + "<A X=\"9\"/>";
    EXPECT_NE(written.find(innermost), std::string::npos);
    EXPECT_EQ(written.substr(written.size() - 6), "\r\n</A>");
}

TEST(TQelPiggerStructure, SubtreesMovedBetweenTreesOutliveTheirFormerTree) {
    auto from = std::make_unique<TQelPigger>();
    from->SetAsText(kSmallReport);
    TQelPigger to;
    to.SetAsText("<QRL><URLS/></QRL>");
    TQelPigger* listing = from->FindChild("URLS")->FindChild("LISTING");
    TQelPigger* target = to.FindChild("URLS");
    const std::uint64_t serial = listing->Serial();
    const std::uint64_t fromStamp = from->FindChild("URLS")->ChangeStamp();
    const std::uint64_t toStamp = target->ChangeStamp();
    listing->SetParent(target);
    EXPECT_NE(from->FindChild("URLS")->ChangeStamp(), fromStamp);
    EXPECT_NE(target->ChangeStamp(), toStamp);
    EXPECT_EQ(from->FindChild("URLS")->FindChildBySerial(serial), nullptr);
    from.reset();
    EXPECT_EQ(target->FindChildBySerial(serial), listing);
    EXPECT_EQ(listing->FindChild("TITLE")->Text, "Spades");
    EXPECT_EQ(listing->FindChild("TITLE")->Indent(), "\r\n\t\t\t");
    EXPECT_EQ(to.GetAsText(), "\r\n<QRL>\r\n\t<URLS>\r\n\t\t<LISTING URL=\"u1\" CHK=\"Y\">"
                              "\r\n\t\t\t<TITLE>Spades\r\n\t\t\t</TITLE>"
                              "\r\n\t\t\t<DESCRIPTION>Spades and forks\r\n\t\t\t</DESCRIPTION>"
                              "\r\n\t\t\t<REDIRECT>u1\r\n\t\t\t</REDIRECT>"
                              "\r\n\t\t</LISTING>\r\n\t</URLS>\r\n</QRL>");
    // Deleting the moved record afterwards leaves its new tree as it was before the move.
    target->DeleteChildNode(listing);
    EXPECT_EQ(to.GetAsText(), "\r\n<QRL>\r\n\t<URLS/>\r\n</QRL>");
}

TEST(TQelPiggerWriting, TextInPiecesIsTheWholeTextAndStopsWhenTold) {
    TQelPigger t;
    t.SetName("QRL");
    TQelPigger* urls = t.AddChild("URLS");
    // Some 3 MB, with one text larger than a piece on its own.
    for (int i = 0; i < 20000; ++i) {
        TQelPigger* record = urls->AddChild("LISTING");
        record->SetAttr("URL", "http://site" + std::to_string(i) + ".example/\"q\"");
        record->AddChild("TITLE")->Text = "Title of record " + std::to_string(i) + " %";
        record->AddChild("DESCRIPTION")->Text = std::string(100, 'd');
    }
    urls->Child(7)->FindChild("DESCRIPTION")->Text = std::string(3 << 20, 'x');
    const std::string whole = t.GetAsText();
    std::string joined;
    int pieces = 0;
    EXPECT_TRUE(t.WriteText([&](std::string_view piece) {
        joined.append(piece);
        ++pieces;
        return true;
    }));
    EXPECT_EQ(joined, whole);
    EXPECT_GE(pieces, 4);

    int calls = 0;
    EXPECT_FALSE(t.WriteText([&](std::string_view) { return ++calls < 2; }));
    EXPECT_EQ(calls, 2);

    // The file gets the same text.
    TempDir dir;
    const std::string file = dir.path("big.qrl");
    t.SaveToFile(file);
    TQelPigger back;
    back.LoadFromFile(file);
    EXPECT_EQ(back.GetAsText(), whole);
}
