// The link check window against the scripted web server: results entered into the records as
// they come (a record deleted meanwhile skipped), the counts shown, Stop at once, Close.
#include "collect/TD_link_check.h"
#include "tree/TQelPigger.h"

#include "support/DialogDriver.h"
#include "support/SampleReports.h"
#include "support/TidyLayout.h"
#include "support/WaitUntil.h"
#include "support/WebServer.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

#include <memory>

namespace {

class LinkCheckWindow : public testing::Test {
protected:
    static void SetUpTestSuite() {
        server = std::make_unique<WebServer>();
        server->setPathReply("ok", "Status: 200", "");
        server->setPathReply("moved", "Status: 301\nLocation: /ok", "");
        server->setPathReply("missing", "Status: 404", "");
        server->setPathReply("slow", "Status: 200\nX-Delay-Ms: 800", "");
        server->setPathReply("hang", "X-Hang: 1", "");
    }
    static void TearDownTestSuite() { server.reset(); }

    // A report whose records have the addresses of the paths, in that order.
    void Load(std::initializer_list<const char*> paths) {
        ReportText text;
        for (const char* path : paths)
            text.Record(server->baseUrl() + "/" + path, path, "about " + std::string(path));
        doc.SetAsText(text.Text());
        urls = doc.FindChild("URLS");
        records.assign(urls->Children().begin(), urls->Children().end());
    }

    std::unique_ptr<TD_link_check> Window() {
        auto window = std::make_unique<TD_link_check>(UserSettingsSource{});
        window->Options.intervalMs = 0;
        window->Options.timeoutMs = 2000;
        window->Options.recheckDelayMs = 100;
        return window;
    }

    static inline std::unique_ptr<WebServer> server;
    TQelPigger doc;
    TQelPigger* urls = nullptr;
    std::vector<TQelPigger*> records;
    DialogDriver dialogs;
};

} // namespace

TEST_F(LinkCheckWindow, EntersResultsAsTheyComeAndClosesAtTheEnd) {
    Load({"ok", "moved", "missing", "slow"});
    auto window = Window();
    int changes = 0;
    QObject::connect(window.get(), &TD_link_check::RecordChanged, [&] { ++changes; });
    QString title, counts;
    int value = -1, maximum = -1;
    dialogs.Then([&](QWidget* w) {
        auto* d = static_cast<TD_link_check*>(w);
        title = d->windowTitle();
        // Gone from the report before its slow reply arrives.
        delete records[3];
        ASSERT_TRUE(WaitUntil([&] { return d->btnStop->text() == "Close"; }));
        counts = d->L_counts->text();
        value = d->PB_progress->value();
        maximum = d->PB_progress->maximum();
        QTest::mouseClick(d->btnStop, Qt::LeftButton);
    });
    EXPECT_TRUE(window->Execute(urls, records));
    EXPECT_TRUE(dialogs.Done());
    EXPECT_EQ(title, "Check links");
    EXPECT_EQ(counts, "Checked 4 of 4: 2 alive, 1 moved, 1 dead, 0 failed");
    EXPECT_EQ(value, 4);
    EXPECT_EQ(maximum, 4);
    EXPECT_EQ(changes, 3);
    ASSERT_EQ(urls->ChildCount(), 3);
    EXPECT_EQ(urls->Child(0)->GetAttr("LINK"), "200");
    EXPECT_EQ(urls->Child(1)->GetAttr("LINKVIA"), "301");
    EXPECT_EQ(urls->Child(2)->GetAttr("LINK"), "404");
    // Without details the texts stay.
    EXPECT_EQ(urls->Child(0)->FindChild("TITLE")->Text, "ok");
}

TEST_F(LinkCheckWindow, StopEndsTheRunAtOnceAndKeepsWhatCameIn) {
    Load({"ok", "missing", "moved", "hang", "hang"});
    auto window = Window();
    window->Options.timeoutMs = 60000;
    QString counts, address, button;
    qint64 stopMs = -1;
    dialogs.Then([&](QWidget* w) {
        auto* d = static_cast<TD_link_check*>(w);
        ASSERT_TRUE(WaitUntil([&] { return d->L_counts->text().startsWith("Checked 3 of 5"); }));
        EXPECT_EQ(d->btnStop->text(), "Stop");
        EXPECT_EQ(d->PB_progress->value(), 3);
        EXPECT_EQ(LayoutFaults(d), "");
        SaveScreenshot(d, "link-check");
        QElapsedTimer clock;
        clock.start();
        QTest::mouseClick(d->btnStop, Qt::LeftButton);
        stopMs = clock.elapsed();
        counts = d->L_counts->text();
        address = d->L_address->text();
        button = d->btnStop->text();
        QTest::mouseClick(d->btnStop, Qt::LeftButton);
    });
    EXPECT_TRUE(window->Execute(urls, records));
    EXPECT_TRUE(dialogs.Done());
    EXPECT_LT(stopMs, 3000);
    EXPECT_EQ(counts, "Checked 3 of 5: 1 alive, 1 moved, 1 dead, 0 failed");
    EXPECT_EQ(address, "Stopped.");
    EXPECT_EQ(button, "Close");
    EXPECT_EQ(urls->Child(1)->GetAttr("LINK"), "404");
    EXPECT_EQ(urls->Child(3)->GetAttr("LINK"), "");
    EXPECT_EQ(LinkCheckRun::LiveProbeThreads(), 0);
}
