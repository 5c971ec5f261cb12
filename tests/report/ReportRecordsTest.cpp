#include "report/ReportRecords.h"
#include "report/ReportLayout.h"
#include "tree/TQelPigger.h"

#include <gtest/gtest.h>

#include <cctype>
#include <random>
#include <string>

namespace {

TQelPigger* addRecord(TQelPigger* urls, const std::string& url, const char* name = "LISTING") {
    auto* r = new TQelPigger(urls);
    r->SetName(name);
    r->SetAttr("URL", url);
    return r;
}

std::string childText(const TQelPigger* record, const char* name) {
    const TQelPigger* c = record->FindChild(name);
    return c ? c->Text.str() : std::string("<none>");
}

} // namespace

// The index must give exactly what a plain scan gives, whatever the container holds.
TEST(ReportRecords, FindsWhatTheScanFinds) {
    TQelPigger urls;
    urls.SetName("URLS");
    addRecord(&urls, "http://A.example/x");
    addRecord(&urls, "http://a.example/X"); // same address ignoring case: never found
    addRecord(&urls, "", "NOTE");           // no address at all, and not a LISTING
    addRecord(&urls, "http://ÄÖ.example/straße", "OTHER");
    addRecord(&urls, "http://b.example/");
    ReportRecords records;
    for (const std::string url :
         {"http://a.example/x", "HTTP://A.EXAMPLE/X", "", "http://äö.example/STRASSE",
          "http://äö.example/STRAßE", "http://b.example", "http://b.example/", "missing"}) {
        EXPECT_EQ(records.FindListing(&urls, url), urls.FindChildByAttr("URL", url)) << url;
    }
    EXPECT_EQ(records.FindListing(&urls, "http://a.example/x"), urls.Child(0));
    EXPECT_EQ(records.FindListing(&urls, ""), urls.Child(2));
    EXPECT_EQ(records.FindListing(nullptr, "x"), nullptr);
}

// Anybody may change the container behind the index's back: the list deletes records, the URL
// editor changes addresses, a report is loaded anew.
TEST(ReportRecords, FollowsChangesMadeElsewhere) {
    ReportRecords records;
    auto urls = std::make_unique<TQelPigger>();
    urls->SetName("URLS");
    TQelPigger* first = addRecord(urls.get(), "u1");
    TQelPigger* second = addRecord(urls.get(), "U1");
    addRecord(urls.get(), "u2");
    EXPECT_EQ(records.FindListing(urls.get(), "u1"), first);

    delete first; // the next one with that address takes its place
    EXPECT_EQ(records.FindListing(urls.get(), "u1"), second);

    second->SetAttr("URL", "edited"); // an edited address is found under its new name only
    EXPECT_EQ(records.FindListing(urls.get(), "u1"), nullptr);
    EXPECT_EQ(records.FindListing(urls.get(), "EDITED"), second);

    urls->Clear(); // nothing dangling survives
    EXPECT_EQ(records.FindListing(urls.get(), "edited"), nullptr);

    // A new container, even one at the same address as a destroyed one, is indexed afresh.
    urls.reset();
    auto fresh = std::make_unique<TQelPigger>();
    fresh->SetName("URLS");
    TQelPigger* again = addRecord(fresh.get(), "u2");
    EXPECT_EQ(records.FindListing(fresh.get(), "u2"), again);
}

TEST(ReportRecords, AddListingMakesAndRefreshesRecords) {
    TQelPigger urls;
    urls.SetName("URLS");
    ReportRecords records;
    EXPECT_TRUE(records.AddListing(&urls, "  Spades ", "\tSpades and forks\r\n", "u1", " u1 "));
    ASSERT_EQ(urls.ChildCount(), 1);
    TQelPigger* record = urls.Child(0);
    EXPECT_EQ(record->Name(), "LISTING");
    EXPECT_EQ(record->GetAttr("URL"), "u1");
    ASSERT_EQ(record->ChildCount(), 3);
    EXPECT_EQ(record->Child(0)->Name(), "TITLE");
    EXPECT_EQ(record->Child(1)->Name(), "DESCRIPTION");
    EXPECT_EQ(record->Child(2)->Name(), "REDIRECT");
    EXPECT_EQ(childText(record, "TITLE"), "Spades");
    EXPECT_EQ(childText(record, "DESCRIPTION"), "Spades and forks");
    EXPECT_EQ(childText(record, "REDIRECT"), "u1");

    EXPECT_TRUE(records.AddListing(&urls, "Rakes", "", "u2", "r2"));
    record->SetAttr("CHK", "Y");
    auto* extra = new TQelPigger(record);
    extra->SetName("NOTE");

    // The same address in other letters refreshes the first record in place.
    EXPECT_FALSE(records.AddListing(&urls, "Spades 2", "new", "U1", "r1"));
    ASSERT_EQ(urls.ChildCount(), 2);
    EXPECT_EQ(urls.Child(0), record);
    EXPECT_EQ(record->GetAttr("URL"), "U1");
    EXPECT_EQ(record->GetAttr("CHK"), "Y");
    ASSERT_EQ(record->ChildCount(), 3); // the old children are gone
    EXPECT_EQ(childText(record, "TITLE"), "Spades 2");
    EXPECT_EQ(childText(record, "REDIRECT"), "r1");
    EXPECT_EQ(record->FindChild("NOTE"), nullptr);
    EXPECT_EQ(childText(urls.Child(1), "TITLE"), "Rakes");
    EXPECT_FALSE(records.AddListing(nullptr, "t", "d", "u", "r"));
}

// Harvesting into a big report: each add must not look at every record again.
TEST(ReportRecords, HundredThousandRecordsAreIndexedOnce) {
    TQelPigger urls;
    urls.SetName("URLS");
    ReportRecords records;
    constexpr int n = 100000;
    for (int i = 0; i < n; ++i)
        ASSERT_TRUE(
            records.AddListing(&urls, "t", "d", "http://site" + std::to_string(i) + "/", "r"));
    for (int i = 0; i < n; i += 997)
        EXPECT_FALSE(
            records.AddListing(&urls, "again", "d", "HTTP://SITE" + std::to_string(i) + "/", "r"));
    EXPECT_EQ(urls.ChildCount(), n);
    EXPECT_EQ(records.Rebuilds(), 1);
    EXPECT_EQ(records.FindListing(&urls, "http://Site99999/"), urls.Child(n - 1));
    EXPECT_EQ(childText(urls.Child(997), "TITLE"), "again");
}

// What users do between two results of a search must not make the index read every record
// again, and what it then finds is still what the scan finds.
TEST(ReportRecords, TicksEditsAndDeletionsKeepTheIndex) {
    TQelPigger urls;
    urls.SetName("URLS");
    ReportRecords records;
    for (int i = 0; i < 50; ++i)
        records.AddListing(&urls, "t", "d", "http://site" + std::to_string(i) + "/", "r");
    TQelPigger* twin = addRecord(&urls, "HTTP://SITE7/"); // behind record 7, never found first
    ASSERT_EQ(records.Rebuilds(), 1);

    urls.Child(3)->SetAttr("CHK", "Y"); // a tick
    EXPECT_EQ(records.FindListing(&urls, "http://site3/"), urls.Child(3));
    EXPECT_FALSE(records.AddListing(&urls, "t2", "d", "http://SITE3/", "r"));
    EXPECT_EQ(urls.Child(3)->GetAttr("CHK"), "Y");

    urls.Child(7)->SetAttr("URL", "http://edited/"); // the URL editor; the twin takes over
    EXPECT_EQ(records.FindListing(&urls, "http://site7/"), twin);
    EXPECT_EQ(records.FindListing(&urls, "http://EDITED/"), urls.Child(7));
    twin->SetAttr("URL", "http://edited/"); // now behind record 7 under the new address
    EXPECT_EQ(records.FindListing(&urls, "http://edited/"), urls.Child(7));
    EXPECT_EQ(records.FindListing(&urls, "http://site7/"), nullptr);
    urls.Child(7)->SetAttr("URL", "http://site7/"); // and back: each under its own address
    EXPECT_EQ(records.FindListing(&urls, "http://site7/"), urls.Child(7));
    EXPECT_EQ(records.FindListing(&urls, "http://edited/"), twin);

    TQelPigger* nine = urls.Child(9);
    delete urls.Child(8); // the list's Delete URL
    EXPECT_EQ(records.FindListing(&urls, "http://site8/"), nullptr);
    EXPECT_EQ(records.FindListing(&urls, "http://site9/"), nine);
    EXPECT_EQ(records.FindListing(&urls, "http://site49/"), urls.Child(48));

    // Moved behind the others: a record of the same address before it now comes first.
    TQelPigger* ten = urls.Child(9);
    addRecord(&urls, "http://Site10/");
    ten->SetParent(nullptr);
    ten->SetParent(&urls);
    EXPECT_EQ(records.FindListing(&urls, "http://site10/"), urls.Child(urls.ChildCount() - 2));
    EXPECT_EQ(records.Rebuilds(), 1);

    for (const TQelPigger* r : urls.Children()) {
        const std::string url = r->GetAttr("URL");
        EXPECT_EQ(records.FindListing(&urls, url), urls.FindChildByAttr("URL", url)) << url;
    }
}

// Random changes of every kind, each followed by look-ups of every address present (in other
// letters too) and of some that are not: the index always agrees with the scan.
TEST(ReportRecords, RandomChangesAgreeWithTheScan) {
    std::mt19937 random(19);
    const auto pick = [&random](int n) {
        return static_cast<int>(random() % static_cast<unsigned>(n));
    };
    const char* const addresses[] = {
        "http://a/", "HTTP://A/",  "http://b/",  "http://\xC3\x84/", "http://\xC3\xA4/",
        "",          "http://c/x", "http://C/X", "http://d\xFF/",    "http://D\xFF/"};
    const auto address = [&] {
        return std::string(addresses[pick(10)]) + std::to_string(pick(12));
    };
    TQelPigger urls;
    urls.SetName("URLS");
    ReportRecords records;
    for (int step = 0; step < 3000; ++step) {
        const int n = urls.ChildCount();
        switch (pick(8)) {
        case 0:
            records.AddListing(&urls, "t", "d", address(), "r");
            break;
        case 1:
            addRecord(&urls, address());
            break;
        case 2:
            if (n > 0)
                delete urls.Child(pick(n));
            break;
        case 3:
            if (n > 0)
                urls.Child(pick(n))->SetAttr("URL", address());
            break;
        case 4:
            if (n > 0)
                urls.Child(pick(n))->SetAttr("CHK", pick(2) ? "Y" : "");
            break;
        case 5:
            if (n > 0) {
                TQelPigger* moved = urls.Child(pick(n));
                moved->SetParent(nullptr);
                moved->SetParent(&urls);
            }
            break;
        case 6:
            if (n > 0)
                urls.Child(pick(n))->DeleteAttr("URL");
            break;
        default:
            if (n > 0)
                urls.Child(pick(n))->AddChild("NOTE");
            break;
        }
        if (step % 500 == 499)
            urls.Clear();
        for (int i = 0; i < 4; ++i) {
            std::string url = i == 0 && urls.ChildCount() > 0
                                  ? urls.Child(pick(urls.ChildCount()))->GetAttr("URL")
                                  : address();
            if (i == 1)
                for (char& c : url)
                    c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
            ASSERT_EQ(records.FindListing(&urls, url), urls.FindChildByAttr("URL", url))
                << "step " << step << " url " << url;
        }
    }
    EXPECT_EQ(records.Rebuilds(), 1);
}
