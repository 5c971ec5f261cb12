#include "collect/TF_capture_view.h"
#include "capture/CaptureManifest.h"

#include "support/CapturePages.h"
#include "support/TempDir.h"
#include "support/TidyLayout.h"
#include "support/WaitUntil.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QPointer>
#include <QTest>
#include <QWebEnginePage>
#include <QWebEngineView>

namespace {

struct CaptureView : ::testing::Test {
    TempDir dir;
    const QDateTime when = QDateTime::fromString("2026-12-09T10:15:30Z", Qt::ISODate);
    QPointer<TF_capture_view> view;

    void TearDown() override { delete view; }

    // Writes the capture and opens it with the hash of what was written (or the hash given).
    void open(const std::string& page, const std::string& sha256 = {}) {
        dir.write("000001.mhtml", page);
        view = new TF_capture_view(
            dir.qpath("000001.mhtml"), "http://a.example/page", when,
            QString::fromStdString(sha256.empty() ? BytesSha256(page) : sha256));
        view->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(view));
    }
    // The page's text once its title is the one saved.
    QString pageText() {
        EXPECT_TRUE(WaitUntil([&] { return view->WV_page->title() == "Saved title"; }))
            << view->WV_page->title().toStdString();
        QString text;
        view->WV_page->page()->toPlainText([&](const QString& t) { text = t; });
        EXPECT_TRUE(WaitUntil([&] { return !text.isEmpty(); }));
        return text;
    }
};

} // namespace

TEST_F(CaptureView, ShowsTheSavedPageUnderItsBannerAndGoesNowhere) {
    // Nothing listens there: a page that went would show the browser's error page.
    const std::string other = "http://127.0.0.1:1/elsewhere";
    open(CaptureMhtml("http://a.example/page", "Saved title",
                      "<a style=\"display:block;width:300px;height:200px\" href=\"" + other +
                          "\">Saved words</a><script>document.title = 'scripted';</script>"));
    const QUrl capture = QUrl::fromLocalFile(dir.qpath("000001.mhtml"));
    EXPECT_TRUE(pageText().contains("Saved words"));
    EXPECT_EQ(view->L_banner->text(),
              "Capture of http://a.example/page, saved 2026-12-09 10:15:30 (UTC)");
    EXPECT_TRUE(view->L_hash->text().startsWith("SHA-256: "));
    EXPECT_FALSE(view->Changed());
    EXPECT_TRUE(view->L_changed->isHidden());

    // Neither a click on its link nor a load asked for by the program leaves the capture.
    for (int click = 0; click < 3; ++click) {
        ASSERT_TRUE(WaitUntil([&] { return view->WV_page->focusProxy() != nullptr; }));
        QTest::mouseClick(view->WV_page->focusProxy(), Qt::LeftButton, {}, QPoint(50, 50));
        QTest::qWait(300);
    }
    view->WV_page->load(QUrl(QString::fromStdString(other)));
    QTest::qWait(600);
    EXPECT_EQ(view->WV_page->url(), capture);
    EXPECT_EQ(view->WV_page->title(), "Saved title");
}

TEST_F(CaptureView, AFileChangedAfterSavingIsMarkedInRed) {
    open(CaptureMhtml("http://a.example/page", "Saved title", "<p>Altered</p>"),
         std::string(64, '0'));
    EXPECT_TRUE(view->Changed());
    EXPECT_FALSE(view->L_changed->isHidden());
    EXPECT_EQ(view->L_changed->text(), "This file was changed after it was saved.");
    EXPECT_TRUE(view->L_changed->styleSheet().contains("red"));
    // It is shown all the same.
    EXPECT_TRUE(pageText().contains("Altered"));
    SaveScreenshot(view, "capture-view-changed");
}
