#include "report/Duplicates.h"
#include "report/RecordRows.h"
#include "report/ReportRecords.h"
#include "tree/TQelPigger.h"

#include "support/SampleReports.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class Duplicates : public ::testing::Test {
protected:
    TQelPigger doc;
    TQelPigger* urls = nullptr;

    void SetUp() override {
        doc.SetAsText(ReportText()
                          .Record("http://a.example/", "A", "short")
                          .Record("http://b.example/x", "B")
                          .Record("HTTP://A.example/index.html", "A longer title")
                          .Checked()
                          .Record("http://b.example/x/", "", "description of B")
                          .Record("http://c.example/", "C")
                          .Record("http://a.example/#top", "A", "the longest description")
                          .Record("http://d.example/", "\xC3\x84\xC3\x84\xC3\x84\xC3\x84")
                          .Record("https://d.example/", "Https")
                          .Record("http://d.example/?utm_source=x", "abcde")
                          .Text());
        urls = doc.FindChild("URLS");
        ASSERT_NE(urls, nullptr);
    }
    TQelPigger* record(int i) { return urls->Child(i); }
    static std::string text(const TQelPigger* r, const char* child) { return ChildText(r, child); }
};

} // namespace

TEST_F(Duplicates, GroupsInReportOrderAndTheSuggestedRecord) {
    const std::vector<DuplicateGroup> groups = FindDuplicates(urls);
    ASSERT_EQ(groups.size(), 3u);
    EXPECT_EQ(groups[0].key, "http://a.example/");
    EXPECT_EQ(groups[0].records, (std::vector<TQelPigger*>{record(0), record(2), record(5)}));
    EXPECT_EQ(groups[1].key, "http://b.example/x");
    EXPECT_EQ(groups[1].records, (std::vector<TQelPigger*>{record(1), record(3)}));
    EXPECT_EQ(groups[2].records, (std::vector<TQelPigger*>{record(6), record(8)}));
    // The ticked one; else the longest texts; of equal length, the first.
    EXPECT_EQ(SuggestedKeep(groups[0]), 1u);
    EXPECT_EQ(SuggestedKeep(groups[1]), 1u);
    EXPECT_EQ(SuggestedKeep(groups[2]), 1u);
    EXPECT_EQ(SuggestedKeep({"k", {record(1), record(4)}}), 0u);
    EXPECT_TRUE(FindDuplicates(nullptr).empty());
}

TEST_F(Duplicates, KeepOneTakesTheTickAndTheLongestTextsAndDeletesTheOthers) {
    ReportRecords records;
    ASSERT_EQ(records.FindListing(urls, "http://c.example/"), record(4));
    const std::vector<DuplicateGroup> groups = FindDuplicates(urls);
    TQelPigger* first = record(0);
    TQelPigger* b = record(3);
    TQelPigger* d = record(6);

    EXPECT_EQ(KeepOne(urls, groups[0], 0), 2);
    EXPECT_EQ(first->GetAttr("URL"), "http://a.example/");
    EXPECT_EQ(first->GetAttr("CHK"), "Y");
    EXPECT_EQ(text(first, "TITLE"), "A longer title");
    EXPECT_EQ(text(first, "DESCRIPTION"), "the longest description");

    // A record without a title gets one; the longest in characters, not bytes.
    EXPECT_EQ(KeepOne(urls, groups[1], 1), 1);
    EXPECT_EQ(b->GetAttr("URL"), "http://b.example/x/");
    EXPECT_EQ(b->GetAttr("CHK"), "");
    EXPECT_EQ(text(b, "TITLE"), "B");
    EXPECT_EQ(text(b, "DESCRIPTION"), "description of B");
    EXPECT_EQ(KeepOne(urls, groups[2], 0), 1);
    EXPECT_EQ(text(d, "TITLE"), "abcde");

    ASSERT_EQ(urls->ChildCount(), 5);
    EXPECT_EQ(urls->Child(1), b);
    EXPECT_TRUE(FindDuplicates(urls).empty());
    // The address index follows the deletions.
    EXPECT_EQ(records.FindListing(urls, "http://c.example/"), urls->Child(2));
    EXPECT_EQ(records.FindListing(urls, "http://A.EXAMPLE/"), first);
    EXPECT_EQ(records.FindListing(urls, "HTTP://A.example/index.html"), nullptr);
    EXPECT_EQ(records.FindListing(urls, "https://d.example/"), urls->Child(4));

    // A choice outside the group deletes nothing.
    EXPECT_EQ(KeepOne(urls, groups[2], 5), 0);
    EXPECT_EQ(urls->ChildCount(), 5);
}

// All groups at once leave what one group after the other leaves.
TEST_F(Duplicates, KeepChosenIsKeepOneForEveryGroup) {
    TQelPigger copy;
    copy.Assign(doc);
    TQelPigger* copyUrls = copy.FindChild("URLS");
    const std::vector<std::size_t> keep{2, 0, 1};
    int deleted = 0;
    const std::vector<DuplicateGroup> copyGroups = FindDuplicates(copyUrls);
    for (std::size_t g = 0; g < copyGroups.size(); ++g)
        deleted += KeepOne(copyUrls, copyGroups[g], keep[g]);

    ReportRecords records;
    ASSERT_EQ(records.FindListing(urls, "http://c.example/"), record(4));
    TQelPigger* c = record(4);
    EXPECT_EQ(KeepChosen(urls, FindDuplicates(urls), keep), deleted);
    EXPECT_EQ(doc.GetAsText(), copy.GetAsText());
    EXPECT_EQ(records.FindListing(urls, "http://c.example/"), c);
    EXPECT_EQ(urls->IndexOfChild(c), 1);
    EXPECT_EQ(KeepChosen(urls, FindDuplicates(urls), {}), 0);
}
