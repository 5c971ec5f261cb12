// Page captures with the browser engine against a loopback site: pages saved as MHTML (and PDF)
// open again without the site, with their style sheet, picture and frame, and match the manifest;
// every way a capture can fail ends that capture alone, with its reason; Stop ends a run at once.
#include "collect/CaptureRun.h"
#include "capture/CaptureManifest.h"
#include "capture/CaptureStore.h"
#include "collect/TD_capture_run.h"
#include "report/ReportLayout.h"
#include "report/ReportRecords.h"
#include "tree/TQelPigger.h"

#include "support/CaptureSite.h"
#include "support/DialogDriver.h"
#include "support/TempDir.h"
#include "support/WaitUntil.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QWebEnginePage>
#include <QWebEngineProfile>

#include <map>
#include <memory>

class CaptureRunTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        static TempDir home;
        for (const char* name : {"data", "cache", "config"})
            QDir(home.qpath("")).mkpath(name);
        qputenv("XDG_DATA_HOME", QFile::encodeName(home.qpath("data")));
        qputenv("XDG_CACHE_HOME", QFile::encodeName(home.qpath("cache")));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.qpath("config")));
    }

    TempDir dir;
    TQelPigger doc;
    TQelPigger* urls = doc.AddChild(ReportKeys::Urls);
    ReportRecords records;

    std::string folder() const { return dir.path("r.qrl.captures"); }

    TQelPigger* record(const std::string& url) {
        records.AddListing(urls, "title of " + url, "", url, url);
        return records.FindListing(urls, url);
    }

    // Runs a capture of the records to its end.
    std::unique_ptr<CaptureRun> capture(const std::vector<TQelPigger*>& targets,
                                        PageSaveOptions options) {
        std::vector<CaptureItem> items;
        for (TQelPigger* r : targets)
            items.push_back({r->GetAttr(RecordFields::Url), r});
        auto run = std::make_unique<CaptureRun>(folder(), items, options);
        bool finished = false;
        QObject::connect(run.get(), &CaptureRun::Finished, [&finished] { finished = true; });
        run->Start();
        EXPECT_TRUE(WaitUntil([&] { return finished; }, 120000));
        return run;
    }

    std::vector<CaptureEntry> manifest() const {
        std::vector<CaptureEntry> entries;
        std::string error;
        EXPECT_TRUE(ReadManifest(folder(), &entries, &error)) << error;
        return entries;
    }
};

TEST_F(CaptureRunTest, SavedPagesOpenWithoutTheSiteAndMatchTheManifest) {
    CaptureSite site;
    TQelPigger* page = record(site.Url("page.html"));
    TQelPigger* moved = record(site.Url("old.html"));
    TQelPigger* slow = record(site.Url("slow.html"));
    PageSaveOptions options;
    options.pdf = true;
    const auto run = capture({page, moved, slow}, options);
    EXPECT_TRUE(run->Log().isEmpty()) << run->Log().join('\n').toStdString();
    EXPECT_EQ(run->Recorded(), 3);
    EXPECT_EQ(run->Queue().ProgressText(), "Captured 3 of 3: 0 failed");

    std::map<std::string, CaptureEntry> byRecord;
    for (const CaptureEntry& e : manifest())
        if (e.file.ends_with(".mhtml"))
            byRecord[e.recordUrl] = e;
    ASSERT_EQ(byRecord.size(), 3U);
    EXPECT_EQ(byRecord[site.Url("old.html")].finalUrl, site.Url("page.html"));
    EXPECT_EQ(byRecord[site.Url("page.html")].title, CapturedTitle);
    EXPECT_EQ(byRecord[site.Url("slow.html")].title, "Slow");
    for (TQelPigger* r : {page, moved, slow}) {
        EXPECT_EQ(r->GetAttr(CaptureFields::File), byRecord[r->GetAttr("URL")].file);
        EXPECT_EQ(r->GetAttr(CaptureFields::Sha256), byRecord[r->GetAttr("URL")].sha256);
        EXPECT_EQ(dir.read("r.qrl.captures/" + r->GetAttr(CaptureFields::Pdf)).substr(0, 5),
                  "%PDF-");
    }
    std::vector<CaptureCheck> checks;
    std::string error;
    ASSERT_TRUE(VerifyCaptures(folder(), &checks, &error)) << error;
    EXPECT_EQ(checks.size(), 6U);
    for (const CaptureCheck& c : checks)
        EXPECT_EQ(c.state, CaptureState::Intact) << c.entry.file;

    // Without the site the capture shows the page, its style sheet, picture and frame.
    site.StopServer();
    QWebEngineProfile profile;
    QWebEnginePage reopened(&profile);
    const QString file = QString::fromStdString(folder() + "/" + page->GetAttr("CAPTURE"));
    ASSERT_TRUE(LoadPage(reopened, QUrl::fromLocalFile(file)));
    EXPECT_EQ(reopened.title(), CapturedTitle);
    EXPECT_EQ(RunScript(reopened, "document.getElementById('text').textContent"), CapturedText);
    EXPECT_EQ(RunScript(reopened, "getComputedStyle(document.body).color"), CapturedColour);
    EXPECT_EQ(RunScript(reopened, "String(document.images[0].naturalWidth)"), "1");
    EXPECT_NE(dir.read("r.qrl.captures/" + page->GetAttr("CAPTURE")).find(FrameText),
              std::string::npos);
}

TEST_F(CaptureRunTest, EachFailureEndsThatCaptureAloneWithItsReason) {
    CaptureSite site;
    SelfSignedCertificate certificate;
    WebServer tls(certificate.Options());
    CaptureSite::Fill(tls);
    const struct {
        std::string url, reason;
    } cases[] = {
        {site.Url("hang.html"), "The page did not finish loading within 8 s."},
        {site.Url("file.bin"), "The address gave a download, not a page."},
        {site.Url("huge.html"), "The page is larger than 1 MB."},
        {tls.baseUrl() + "/page.html", "The certificate of the site was not accepted."},
        {"chrome://crash", "The page's renderer stopped."},
    };
    std::vector<TQelPigger*> targets;
    for (const auto& c : cases)
        targets.push_back(record(c.url));
    TQelPigger* good = record(site.Url("page.html"));
    targets.push_back(good);
    PageSaveOptions options;
    // Long enough for the other pages to load on a busy machine.
    options.limits.loadTimeoutMs = 8000;
    options.limits.maxBytes = 1024 * 1024;
    options.limits.parallel = 6;
    const auto run = capture(targets, options);
    EXPECT_EQ(run->Queue().ProgressText(), "Captured 6 of 6: 5 failed");
    EXPECT_EQ(run->Log().size(), 5);

    std::map<std::string, CaptureEntry> byRecord;
    for (const CaptureEntry& e : manifest())
        byRecord[e.recordUrl] = e;
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(cases[i].url);
        EXPECT_EQ(byRecord[cases[i].url].outcome, CaptureOutcome::Failed);
        EXPECT_EQ(byRecord[cases[i].url].reason, cases[i].reason);
        EXPECT_TRUE(
            run->Log().contains(QString::fromStdString(cases[i].url + ": " + cases[i].reason)));
        EXPECT_EQ(targets[i]->GetAttr(CaptureFields::File), "");
    }
    EXPECT_EQ(byRecord[site.Url("page.html")].outcome, CaptureOutcome::Saved);
    // Only the good page left files; nothing of the failed ones stays.
    const QStringList files = QDir(QString::fromStdString(folder()))
                                  .entryList({"*.mhtml", "*.pdf", "*.bin"}, QDir::Files);
    EXPECT_EQ(files, QStringList{QString::fromStdString(good->GetAttr(CaptureFields::File))});
}

TEST_F(CaptureRunTest, StopEndsTheRunAtOnceAndRecordsNothingUnderWay) {
    CaptureSite site;
    std::vector<CaptureItem> items;
    for (int i = 0; i < 4; ++i)
        items.push_back(
            {site.Url("hang.html?" + std::to_string(i)), record("r" + std::to_string(i))});
    CaptureRun run(folder(), items, PageSaveOptions{});
    bool finished = false;
    QObject::connect(&run, &CaptureRun::Finished, [&finished] { finished = true; });
    run.Start();
    EXPECT_EQ(run.Queue().UnderWay(), 2U);
    ASSERT_TRUE(WaitUntil([&] { return site.Server().requests().size() >= 2; }));
    run.Stop();
    EXPECT_TRUE(WaitUntil([&] { return finished; }, 2000));
    EXPECT_EQ(run.Queue().Ended(), 0U);
    EXPECT_EQ(run.Recorded(), 0);
    EXPECT_TRUE(manifest().empty());
    EXPECT_EQ(site.Server().requests().size(), 2U);
}

TEST_F(CaptureRunTest, WindowStopsTheRunThenCloses) {
    CaptureSite site;
    std::vector<CaptureItem> items{{site.Url("page.html"), record("a")},
                                   {site.Url("hang.html"), record("b")},
                                   {site.Url("hang.html?2"), record("c")}};
    PageSaveOptions options;
    options.limits.parallel = 2;
    CaptureRun run(folder(), items, options);
    TD_capture_run window;
    DialogDriver dialogs;
    QString during, after, button;
    dialogs.Then([&](QWidget*) {
        // The page that loads is captured; the hanging one keeps the run going.
        WaitUntil([&] { return run.Queue().Ended() == 1; }, 30000);
        during = window.L_count->text();
        EXPECT_EQ(window.PB_pages->maximum(), 3);
        EXPECT_EQ(window.PB_pages->value(), 1);
        QTest::mouseClick(window.BTN_stop, Qt::LeftButton);
        WaitUntil([&] { return window.BTN_stop->text() == "Close"; }, 5000);
        after = window.L_count->text();
        button = window.BTN_stop->text();
        QTest::mouseClick(window.BTN_stop, Qt::LeftButton);
    });
    window.Execute(&run);
    EXPECT_TRUE(dialogs.Done());
    EXPECT_EQ(during, "Captured 1 of 3: 0 failed");
    EXPECT_EQ(after, "Captured 1 of 3: 0 failed (stopped)");
    EXPECT_EQ(button, "Close");
    EXPECT_FALSE(run.Running());
    EXPECT_EQ(run.Recorded(), 1);
}

TEST_F(CaptureRunTest, AFolderThatCannotBeMadeFailsEveryPageAndEndsTheRun) {
    dir.write("taken", "a file where the folder would go");
    std::vector<CaptureItem> items;
    for (int i = 0; i < 3; ++i)
        items.push_back({"http://127.0.0.1:9/" + std::to_string(i), record(std::to_string(i))});
    CaptureRun run(dir.path("taken/r.qrl.captures"), items, PageSaveOptions{});
    bool finished = false;
    QObject::connect(&run, &CaptureRun::Finished, [&finished] { finished = true; });
    run.Start();
    ASSERT_TRUE(WaitUntil([&] { return finished; }));
    EXPECT_EQ(run.Queue().ProgressText(), "Captured 3 of 3: 3 failed");
    ASSERT_EQ(run.Log().size(), 3);
    EXPECT_TRUE(run.Log()[0].startsWith("http://127.0.0.1:9/0: Cannot create folder"))
        << run.Log()[0].toStdString();
}
