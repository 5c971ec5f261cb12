#include "report/LinkState.h"
#include "report/PermanentRedirects.h"
#include "report/RecordRows.h"
#include "report/ReportRecords.h"
#include "tree/TQelPigger.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

using Attributes = std::vector<std::pair<const char*, const char*>>;

TQelPigger* addRecord(TQelPigger* urls, const std::string& url, const Attributes& attributes) {
    TQelPigger* record = urls->AddChild("LISTING");
    record->SetAttr("URL", url);
    for (const auto& [name, value] : attributes)
        record->SetAttr(name, value);
    return record;
}

} // namespace

TEST(LinkState, VerdictTextAndPermanentMoveFromTheAttributes) {
    const struct {
        Attributes attributes;
        const char* text;
        bool movedPermanently;
    } cases[] = {
        {{}, "", false},
        {{{"LINK", "nonsense"}}, "", false},
        {{{"LINK", "200"}}, "alive 200", false},
        {{{"LINK", "200"}, {"LINKURL", "http://b.example/"}}, "alive 200", false},
        {{{"LINK", "200"}, {"LINKURL", "http://b.example/"}, {"LINKVIA", "301"}},
         "moved 301",
         true},
        {{{"LINK", "200"}, {"LINKURL", "http://b.example/"}, {"LINKVIA", "308,301"}},
         "moved 308",
         true},
        {{{"LINK", "200"}, {"LINKURL", "http://b.example/"}, {"LINKVIA", "301,302"}},
         "moved 301",
         false},
        {{{"LINK", "204"}, {"LINKURL", "http://b.example/"}, {"LINKVIA", "307"}},
         "moved 307",
         false},
        {{{"LINK", "404"}, {"LINKURL", "http://b.example/"}, {"LINKVIA", "301"}},
         "dead 404",
         false},
        {{{"LINK", "410"}}, "dead 410", false},
        {{{"LINK", "500"}}, "failed 500", false},
        {{{"LINK", "301"}}, "failed 301", false},
        {{{"LINK", "dns"}}, "failed dns", false},
        {{{"LINK", "dns"}, {"LINKFAILS", "2"}}, "dead dns", false},
        {{{"LINK", "timeout"}, {"LINKFAILS", "1"}}, "failed timeout", false},
        {{{"LINK", "too-many-redirects"}, {"LINKFAILS", "3"}}, "dead too-many-redirects", false},
    };
    TQelPigger urls;
    for (const auto& c : cases) {
        const TQelPigger* record = addRecord(&urls, "http://a.example/", c.attributes);
        SCOPED_TRACE(record->GetAsText());
        EXPECT_EQ(LinkStatusText(record), c.text);
        EXPECT_EQ(MovedPermanently(record), c.movedPermanently);
    }
    EXPECT_EQ(ReadLinkVerdict(nullptr), LinkVerdict::Unchecked);
}

// Two stores one after the other: what the second leaves.
TEST(LinkState, StoreCountsFailuresOfOneKindInARow) {
    LinkOutcome dns{0, LinkFailure::Dns, "", {}, 1};
    LinkOutcome timeout{0, LinkFailure::Timeout, "", {}, 1};
    LinkOutcome twoTimeouts{0, LinkFailure::Timeout, "", {}, 2};
    LinkOutcome moved{200, LinkFailure::None, "http://b.example/", {301, 302}, 0};
    LinkOutcome alive{200, LinkFailure::None, "http://a.example/", {}, 0};
    const struct {
        LinkOutcome first, second;
        const char* text;
        Attributes left; // "" for an attribute that must be absent
    } cases[] = {
        {dns, dns, "dead dns", {{"LINKFAILS", "2"}}},
        {dns, timeout, "failed timeout", {{"LINKFAILS", "1"}}},
        {timeout, twoTimeouts, "dead timeout", {{"LINKFAILS", "3"}}},
        {dns, alive, "alive 200", {{"LINKFAILS", ""}, {"LINKURL", ""}, {"LINKVIA", ""}}},
        {dns, moved, "moved 301", {{"LINKURL", "http://b.example/"}, {"LINKVIA", "301,302"}}},
        {moved, alive, "alive 200", {{"LINKURL", ""}, {"LINKVIA", ""}}},
        {moved, dns, "failed dns", {{"LINKURL", ""}, {"LINKVIA", ""}}},
    };
    // The time is kept in UTC.
    const QDateTime when = QDateTime::fromString("2026-12-09T11:15:30+01:00", Qt::ISODate);
    TQelPigger urls;
    for (const auto& c : cases) {
        TQelPigger* record = addRecord(&urls, "http://a.example/", {});
        StoreLinkOutcome(record, c.first, when);
        StoreLinkOutcome(record, c.second, when);
        SCOPED_TRACE(record->GetAsText());
        EXPECT_EQ(LinkStatusText(record), c.text);
        for (const auto& [name, value] : c.left)
            EXPECT_EQ(record->GetAttr(name), value) << name;
        EXPECT_EQ(record->GetAttr("LINKTIME"), "2026-12-09T10:15:30Z");
        EXPECT_EQ(ReadLinkState(record).time, when);
    }
}

TEST(PermanentRedirects, MovesRecordsAndReportsTakenAddresses) {
    TQelPigger urls;
    const auto moved = [&urls](const std::string& url, const char* target, const char* via) {
        return addRecord(&urls, url, {{"LINK", "200"}, {"LINKURL", target}, {"LINKVIA", via}});
    };
    TQelPigger* a = moved("http://a.example/old", "http://a.example/new", "301");
    moved("http://b.example/", "http://b.example/x", "302");
    TQelPigger* c = moved("http://c.example/", "HTTP://A.EXAMPLE/KEEP", "308");
    TQelPigger* keep = addRecord(&urls, "http://a.example/keep", {});
    TQelPigger* d = moved("http://d.example/", "http://a.example/new", "301,308");
    addRecord(&urls, "http://e.example/",
              {{"LINK", "404"}, {"LINKURL", "http://x.example/"}, {"LINKVIA", "301"}});
    // Only the letter case changes: the record is not in its own way.
    TQelPigger* f = moved("http://f.example/Page", "http://f.example/page", "301");

    ReportRecords records;
    const std::vector<RedirectMove> found = PermanentRedirects(&urls, records);
    ASSERT_EQ(found.size(), 4u);
    EXPECT_EQ(found[0].record, a);
    EXPECT_EQ(found[0].target, "http://a.example/new");
    EXPECT_EQ(found[0].existing, nullptr);
    EXPECT_EQ(found[1].record, c);
    EXPECT_EQ(found[1].existing, keep);
    EXPECT_EQ(found[2].record, d);
    EXPECT_EQ(found[2].existing, nullptr);
    EXPECT_EQ(found[3].record, f);
    EXPECT_EQ(found[3].existing, nullptr);

    const RedirectsApplied applied = ApplyPermanentRedirects(&urls, records);
    EXPECT_EQ(applied.moved, 2);
    ASSERT_EQ(applied.conflicts.size(), 2u);
    EXPECT_EQ(applied.conflicts[0].record, c);
    EXPECT_EQ(applied.conflicts[0].existing, keep);
    // d's target was taken by a earlier in the same call.
    EXPECT_EQ(applied.conflicts[1].record, d);
    EXPECT_EQ(applied.conflicts[1].existing, a);

    EXPECT_EQ(a->GetAttr("URL"), "http://a.example/new");
    EXPECT_EQ(ChildText(a, "REDIRECT"), "http://a.example/new");
    EXPECT_EQ(a->GetAttr("LINKURL"), "");
    EXPECT_EQ(a->GetAttr("LINKVIA"), "");
    EXPECT_EQ(LinkStatusText(a), "alive 200");
    EXPECT_EQ(f->GetAttr("URL"), "http://f.example/page");
    // The conflicts stay as they were.
    EXPECT_EQ(c->GetAttr("URL"), "http://c.example/");
    EXPECT_EQ(d->GetAttr("LINKURL"), "http://a.example/new");
    EXPECT_EQ(records.FindListing(&urls, "http://a.example/NEW"), a);
    EXPECT_EQ(records.FindListing(&urls, "http://a.example/old"), nullptr);
    // Nothing is left to move but the conflicts.
    EXPECT_EQ(PermanentRedirects(&urls, records).size(), 2u);
}

TEST(PermanentRedirects, ConflictsTextListsAtMostTheLimit) {
    TQelPigger urls;
    std::vector<RedirectMove> conflicts;
    for (int i = 0; i < 4; ++i)
        conflicts.push_back({addRecord(&urls, "http://u" + std::to_string(i) + "/", {}),
                             "http://t" + std::to_string(i) + "/", nullptr});
    const std::string heading =
        "These records were not moved: another record already has the address:";
    EXPECT_EQ(RedirectConflictsText(conflicts, 4),
              heading + "\nhttp://u0/ -> http://t0/\nhttp://u1/ -> http://t1/\n"
                        "http://u2/ -> http://t2/\nhttp://u3/ -> http://t3/");
    EXPECT_EQ(RedirectConflictsText(conflicts, 2),
              heading + "\nhttp://u0/ -> http://t0/\nhttp://u1/ -> http://t1/\nand 2 more");
}
