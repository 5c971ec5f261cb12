// What a batch of captures takes, how it is paced, the sentences of its failures, and a capture
// made before its record existed given to that record.
#include "capture/CaptureBatch.h"

#include "CaptureFixture.h"

#include <gtest/gtest.h>

TEST(CaptureBatch, EveryFailureIsOneClearSentence) {
    const CaptureLimits standard;
    CaptureLimits small;
    small.loadTimeoutMs = 2500;
    small.maxBytes = 1024 * 1024 + 1;
    const struct {
        CaptureFailure kind;
        CaptureLimits limits;
        std::string detail, text;
    } cases[] = {
        {CaptureFailure::Timeout, standard, "", "The page did not finish loading within 30 s."},
        {CaptureFailure::Timeout, small, "", "The page did not finish loading within 2500 ms."},
        {CaptureFailure::Download, standard, "", "The address gave a download, not a page."},
        {CaptureFailure::TooLarge, standard, "", "The page is larger than 100 MB."},
        {CaptureFailure::TooLarge, small, "", "The page is larger than 1048577 bytes."},
        {CaptureFailure::Certificate, standard, "",
         "The certificate of the site was not accepted."},
        {CaptureFailure::RendererStopped, standard, "", "The page's renderer stopped."},
        {CaptureFailure::LoadFailed, standard, "net::ERR_CONNECTION_REFUSED.",
         "The page could not be loaded: net::ERR_CONNECTION_REFUSED."},
        {CaptureFailure::LoadFailed, standard, "",
         "The page could not be loaded: no reason was given."},
        {CaptureFailure::SaveFailed, standard, "Disk full. ",
         "The page could not be saved: Disk full."},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CaptureFailureText(c.kind, c.limits, c.detail), c.text);
}

TEST(CaptureBatch, QueueStartsAtMostParallelPagesAndCountsWhatEnded) {
    CaptureQueue queue(5, 2);
    EXPECT_EQ(queue.Next(), 0U);
    EXPECT_EQ(queue.Next(), 1U);
    EXPECT_EQ(queue.Next(), std::nullopt);
    queue.Finish(true);
    EXPECT_EQ(queue.Next(), 2U);
    queue.Finish(false);
    EXPECT_EQ(queue.ProgressText(), "Captured 2 of 5: 1 failed");
    EXPECT_FALSE(queue.Done());
    // Stop: nothing starts, the pages under way are given up and count neither way.
    queue.Stop();
    EXPECT_EQ(queue.Next(), std::nullopt);
    EXPECT_EQ(queue.UnderWay(), 1U);
    EXPECT_FALSE(queue.Done());
    queue.Abandon();
    EXPECT_TRUE(queue.Done());
    EXPECT_EQ(queue.ProgressText(), "Captured 2 of 5: 1 failed");

    CaptureQueue one(2, 0); // fewer than one at once means one
    EXPECT_EQ(one.Next(), 0U);
    EXPECT_EQ(one.Next(), std::nullopt);
    one.Finish(true);
    EXPECT_EQ(one.Next(), 1U);
    one.Finish(true);
    EXPECT_TRUE(one.Done());
    EXPECT_TRUE(CaptureQueue(0, 2).Done());
}

class CaptureTargetsTest : public CaptureFixture {};

TEST_F(CaptureTargetsTest, AllTickedOrTheSelectedRecordWithAnAddress) {
    TQelPigger* a = record("http://a.example/");
    TQelPigger* b = record("http://b.example/");
    TQelPigger* c = record("http://c.example/");
    b->SetAttr(RecordFields::Check, RecordFields::Checked);
    TQelPigger* blank = urls->AddChild(RecordFields::Listing);
    blank->SetAttr(RecordFields::Check, RecordFields::Checked);
    using V = std::vector<TQelPigger*>;
    EXPECT_EQ(CaptureTargets(urls, CaptureScope::All, nullptr), (V{a, b, c}));
    EXPECT_EQ(CaptureTargets(urls, CaptureScope::Ticked, nullptr), (V{b}));
    EXPECT_EQ(CaptureTargets(urls, CaptureScope::Selected, c), (V{c}));
    EXPECT_EQ(CaptureTargets(urls, CaptureScope::Selected, blank), V{});
    EXPECT_EQ(CaptureTargets(urls, CaptureScope::Selected, nullptr), V{});
    EXPECT_EQ(CaptureTargets(nullptr, CaptureScope::All, nullptr), V{});
}

TEST_F(CaptureTargetsTest, AVisitCapturedWithoutARecordIsGivenToTheRecordLater) {
    std::string error;
    // A visited page: captured with a PDF before any record had its address.
    const std::optional<long long> number = TakeCaptureNumber(folder(), &error);
    ASSERT_TRUE(number) << error;
    CaptureAttempt visit;
    visit.number = *number;
    visit.saved = true;
    visit.pageFile = CaptureFileName(*number, "mhtml");
    visit.pdfFile = CaptureFileName(*number, "pdf");
    dir.write("r.qrl.captures/" + visit.pageFile, "page");
    dir.write("r.qrl.captures/" + visit.pdfFile, "%PDF-");
    visit.askedUrl = visit.finalUrl = "http://v.example/";
    ASSERT_TRUE(RecordCapture(folder(), nullptr, visit, when, &error)) << error;

    TQelPigger* later = record("http://v.example/");
    ASSERT_TRUE(AttachCapture(folder(), visit.pageFile, later, &error)) << error;
    EXPECT_EQ(later->GetAttr(CaptureFields::File), visit.pageFile);
    EXPECT_EQ(later->GetAttr(CaptureFields::Pdf), visit.pdfFile);
    EXPECT_EQ(later->GetAttr(CaptureFields::Time), "2026-12-09T10:15:30Z");
    EXPECT_EQ(later->GetAttr(CaptureFields::Sha256), BytesSha256("page"));

    // A file the folder never had (or no longer has) gives the record nothing.
    TQelPigger* other = record("http://w.example/");
    EXPECT_FALSE(AttachCapture(folder(), "000099.mhtml", other, &error));
    EXPECT_EQ(other->GetAttr(CaptureFields::File), "");
    ASSERT_TRUE(RemoveCaptures(folder(), {visit.pageFile}, when, &error)) << error;
    EXPECT_FALSE(AttachCapture(folder(), visit.pageFile, other, &error));
}
