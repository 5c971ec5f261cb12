// Results of a check entered into records: which records a check covers, which texts page
// details may change, and the records still lacking a title or description.
#include "links/LinkResults.h"

#include "report/ReportLayout.h"
#include "tree/TQelPigger.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

// A container of records "URL" with optional title and description (nullptr: no such child).
struct Urls {
    std::unique_ptr<TQelPigger> root = std::make_unique<TQelPigger>();
    TQelPigger* add(const std::string& url, const char* title = nullptr,
                    const char* description = nullptr, bool ticked = false) {
        TQelPigger* r = root->AddChild(RecordFields::Listing);
        r->SetAttr(RecordFields::Url, url);
        if (ticked)
            r->SetAttr(RecordFields::Check, RecordFields::Checked);
        if (title)
            r->AddChild(RecordFields::Title)->Text = std::string_view(title);
        if (description)
            r->AddChild(RecordFields::Description)->Text = std::string_view(description);
        return r;
    }
};

std::string Text(const TQelPigger* record, const char* child) {
    const TQelPigger* c = record->FindChild(child);
    return c ? std::string(c->Text.view()) : std::string("<none>");
}

ProbeResult PageResult(const char* title, const char* description) {
    ProbeResult r;
    r.outcome.status = 200;
    r.outcome.finalUrl = "http://a.example/";
    r.detailsRead = true;
    r.details.title = title;
    r.details.description = description;
    return r;
}

const QDateTime When = QDateTime(QDate(2026, 12, 9), QTime(10, 15, 30), Qt::UTC);

struct FillCase {
    const char* name;
    const char* oldTitle; // nullptr: no TITLE child
    const char* oldDescription;
    bool edited;
    DetailsScope scope;
    const char* newTitle;
    const char* newDescription;
    const char* title; // after
    const char* description;
};

const FillCase FillCases[] = {
    {"empty texts filled", "", "", false, DetailsScope::Empty, "T", "D", "T", "D"},
    {"missing children made", nullptr, nullptr, false, DetailsScope::Empty, "T", "D", "T", "D"},
    {"filled texts kept when only empty ones are filled", "Mine", "", false, DetailsScope::Empty,
     "T", "D", "Mine", "D"},
    {"filled texts replaced with every text", "Mine", "Old", false, DetailsScope::All, "T", "D",
     "T", "D"},
    {"an empty text never replaces a filled one", "Mine", "Old", false, DetailsScope::All, "", "",
     "Mine", "Old"},
    {"an empty text makes no child", nullptr, nullptr, false, DetailsScope::All, "", "", "<none>",
     "<none>"},
    {"an edited record keeps its texts", "", "Old", true, DetailsScope::All, "T", "D", "", "Old"},
};

TEST(EnterProbeResult, FillsTitleAndDescriptionAsTheScopeAllows) {
    for (const FillCase& c : FillCases) {
        SCOPED_TRACE(c.name);
        Urls urls;
        TQelPigger* r = urls.add("http://a.example/", c.oldTitle, c.oldDescription);
        if (c.edited)
            r->SetAttr(LinkFields::Edited, "Y");
        EXPECT_TRUE(
            EnterProbeResult(r, PageResult(c.newTitle, c.newDescription), When, true, c.scope));
        EXPECT_EQ(Text(r, RecordFields::Title), c.title);
        EXPECT_EQ(Text(r, RecordFields::Description), c.description);
        EXPECT_EQ(r->AttrRef(LinkFields::Status), "200");
        EXPECT_EQ(r->AttrRef(LinkFields::Time), "2026-12-09T10:15:30Z");
    }
}

TEST(EnterProbeResult, WithoutDetailsAskedOrAbortedTextsStay) {
    Urls urls;
    TQelPigger* r = urls.add("http://a.example/", "", "");
    EXPECT_TRUE(EnterProbeResult(r, PageResult("T", "D"), When, false, DetailsScope::All));
    EXPECT_EQ(Text(r, RecordFields::Title), "");

    TQelPigger* s = urls.add("http://b.example/", "", "");
    ProbeResult aborted = PageResult("T", "D");
    aborted.aborted = true;
    const std::string before = s->GetAsText();
    EXPECT_FALSE(EnterProbeResult(s, aborted, When, true, DetailsScope::All));
    EXPECT_EQ(s->GetAsText(), before);

    // The same outcome at the same time again changes nothing.
    EXPECT_FALSE(EnterProbeResult(r, PageResult("T", "D"), When, false, DetailsScope::All));
}

TEST(RecordsToCheck, CoversAllTickedOrTheSelectedRecord) {
    Urls urls;
    TQelPigger* a = urls.add("http://a.example/", "A", "a");
    TQelPigger* b = urls.add("http://b.example/", "B", "b", true);
    urls.root->AddChild("OTHER");
    TQelPigger* c = urls.add("http://c.example/", "C", "c", true);
    Urls elsewhere;
    TQelPigger* foreign = elsewhere.add("http://d.example/");

    using List = std::vector<TQelPigger*>;
    EXPECT_EQ(RecordsToCheck(urls.root.get(), CheckScope::All), (List{a, b, c}));
    EXPECT_EQ(RecordsToCheck(urls.root.get(), CheckScope::Ticked), (List{b, c}));
    EXPECT_EQ(RecordsToCheck(urls.root.get(), CheckScope::Selected, b), (List{b}));
    EXPECT_EQ(RecordsToCheck(urls.root.get(), CheckScope::Selected, foreign), List{});
    EXPECT_EQ(RecordsToCheck(urls.root.get(), CheckScope::Selected, nullptr), List{});
    EXPECT_EQ(RecordsToCheck(nullptr, CheckScope::All), List{});
}

TEST(RecordsWithoutDetails, AreThoseWithAnEmptyOrMissingText) {
    Urls urls;
    urls.add("http://full.example/", "T", "D");
    TQelPigger* noTitle = urls.add("http://a.example/", "", "D");
    TQelPigger* noDescription = urls.add("http://b.example/", "T", nullptr);
    TQelPigger* bare = urls.add("http://c.example/");
    EXPECT_EQ(RecordsWithoutDetails(urls.root.get()),
              (std::vector<TQelPigger*>{noTitle, noDescription, bare}));
}

} // namespace
