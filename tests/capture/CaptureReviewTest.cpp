#include "capture/CaptureReview.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

CaptureEntry line(long long number, const char* time, CaptureOutcome outcome, const char* file,
                  const char* record) {
    CaptureEntry e;
    e.number = number;
    e.time = QDateTime::fromString(time, Qt::ISODate);
    e.outcome = outcome;
    e.file = file;
    e.recordUrl = record;
    return e;
}

std::vector<std::string> described(const std::vector<CaptureEntry>& entries) {
    std::vector<std::string> out;
    for (const CaptureEntry& e : entries)
        out.push_back(std::to_string(e.number) + " " + std::string(CaptureOutcomeName(e.outcome)) +
                      " " + e.file);
    return out;
}

constexpr auto Saved = CaptureOutcome::Saved;
constexpr auto Failed = CaptureOutcome::Failed;
constexpr auto Removed = CaptureOutcome::Removed;

// A manifest of two records: a, captured twice (the first one removed later, one failure
// between), and b, whose record moved to c after its capture.
const std::vector<CaptureEntry> kManifest = {
    line(1, "2026-12-01T10:00:00Z", Saved, "000001.mhtml", "http://a/"),
    line(1, "2026-12-01T10:00:00Z", Saved, "000001.pdf", "http://a/"),
    line(2, "2026-12-02T10:00:00Z", Saved, "000002.mhtml", "http://b/"),
    line(3, "2026-12-03T10:00:00Z", Failed, "", "http://a/"),
    line(4, "2026-12-03T10:00:00Z", Saved, "000004.mhtml", "http://a/"),
    line(1, "2026-12-05T09:00:00Z", Removed, "000001.mhtml", "http://a/"),
};

} // namespace

TEST(CaptureReview, RecordHistoryNewestFirstByAddressOrLatestFile) {
    const struct {
        const char* url;
        const char* latest;
        std::vector<std::string> expected;
    } cases[] = {
        {"http://a/",
         "000004.mhtml",
         {"1 removed 000001.mhtml", "4 saved 000004.mhtml", "3 failed ", "1 saved 000001.pdf",
          "1 saved 000001.mhtml"}},
        // Moved since: found by the file it points to.
        {"http://c/", "000002.mhtml", {"2 saved 000002.mhtml"}},
        {"http://d/", "", {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(described(RecordCaptureHistory(kManifest, c.url, c.latest)), c.expected) << c.url;
}

TEST(CaptureReview, PresentOnlyWhileSavedAndNotRemoved) {
    EXPECT_FALSE(IsPresentCapture(kManifest, kManifest[0])); // removed later
    EXPECT_TRUE(IsPresentCapture(kManifest, kManifest[1]));
    EXPECT_FALSE(IsPresentCapture(kManifest, kManifest[3])); // failed
    EXPECT_FALSE(IsPresentCapture(kManifest, kManifest[5])); // the removal itself
}

TEST(CaptureReview, ReviewOrderAndSummary) {
    std::vector<CaptureCheck> checks;
    const CaptureState states[] = {CaptureState::Intact, CaptureState::Missing,
                                   CaptureState::Changed, CaptureState::Intact,
                                   CaptureState::Missing};
    for (size_t i = 0; i < std::size(states); ++i)
        checks.push_back(
            {line(static_cast<long long>(i + 1), "2026-12-01T10:00:00Z", Saved, "", ""),
             states[i]});
    OrderForReview(&checks);
    std::vector<long long> order;
    for (const CaptureCheck& c : checks)
        order.push_back(c.entry.number);
    EXPECT_EQ(order, (std::vector<long long>{3, 2, 5, 1, 4}));

    EXPECT_EQ(VerifySummary(checks, StampState::None),
              "5 captures: 2 intact, 1 changed, 2 missing");
    checks.resize(1);
    EXPECT_EQ(VerifySummary(checks, StampState::Mismatch),
              "1 capture: 0 intact, 1 changed, 0 missing; the manifest's time stamp is mismatch");
}
