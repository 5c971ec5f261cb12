// The main window's page captures against a loopback site: "Add and capture" (and "Add to list"
// with "Capture on every Add to list"), the Records menu's "Capture pages" and its window, and a
// recorded visit taken into the report from "Visited pages...".
#include "app/TFmain.h"
#include "capture/CaptureStore.h"
#include "collect/TD_capture_run.h"
#include "collect/TO_WB.h"
#include "collect/TO_results.h"
#include "settings/TD_settings_user.h"
#include "settings/core/CaptureSettings.h"

#include "support/CaptureSite.h"
#include "support/DialogDriver.h"
#include "support/MainWindowHarness.h"
#include "support/SampleReports.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <QWebEnginePage>
#include <QWebEngineView>

class MainWindowCaptures : public MainWindowHarness {
protected:
    static void SetUpTestSuite() { BrowserProfileInTemp(); }

    CaptureSite site;
    DialogDriver dialogs;

    TO_WB* browser() const { return window->O_WB1; }
    std::string folder() const { return CapturesFolderOf(ReportPath()); }

    // Shows the page in the browser of the "Manual search" page (shown: where it ends, when it
    // redirects).
    void show(const std::string& path, const std::string& shown = {}) {
        ClickTab("Manual search");
        browser()->Edit_url->setText(QString::fromStdString(site.Url(path)));
        QTest::mouseClick(browser()->SB_go, Qt::LeftButton);
        ASSERT_TRUE(WaitUntil([&] {
            return browser()->CurrentUrl() == site.Url(shown.empty() ? path : shown) &&
                   !browser()->WebBrowser1->page()->isLoading();
        }));
    }
    // The record's capture, once there (empty when none came).
    std::string captureOf(const std::string& path) {
        WaitUntil([&] {
            TQelPigger* r = window->FindListing(site.Url(path));
            return r && !r->GetAttr(CaptureFields::File).empty();
        });
        TQelPigger* r = window->FindListing(site.Url(path));
        return r ? r->GetAttr(CaptureFields::File) : std::string();
    }
};

TEST_F(MainWindowCaptures, AddAndCaptureSavesTheReportFirstThenKeepsThePageForItsRecord) {
    StartWindow();
    // A report whose file is gone (removed behind the program's back) has no folder yet.
    ASSERT_TRUE(QFile::remove(QString::fromStdString(ReportPath())));
    show("page.html");
    dialogs.Yes().Ok(); // save the report first; the URL editor
    QTest::mouseClick(browser()->SB_add_and_capture, Qt::LeftButton);
    EXPECT_EQ(dialogs.Seen().value(0).left(37), "The report has not been saved yet. Pa");
    EXPECT_TRUE(QFileInfo::exists(QString::fromStdString(ReportPath())));
    const std::string file = captureOf("page.html");
    ASSERT_EQ(file, "000001.mhtml");
    EXPECT_NE(WithoutSoftBreaks(tmp.read("data/r.qrl.captures/" + file)).find(CapturedText),
              std::string::npos);
    EXPECT_EQ(Status(1), "Changed");
    EXPECT_TRUE(dialogs.Done());

    // With "Capture on every Add to list", the plain button captures as well.
    D_settings_user->CB_capture_on_add->setChecked(true);
    EXPECT_EQ(D_settings_user->Store().Get(SettingsKeys::CaptureOnAdd), "Y");
    show("slow.html");
    dialogs.Ok();
    QTest::mouseClick(browser()->SB_add_to_found, Qt::LeftButton);
    EXPECT_EQ(captureOf("slow.html"), "000002.mhtml");
    EXPECT_TRUE(dialogs.Done());
}

TEST_F(MainWindowCaptures, CapturePagesTakesAllTickedOrSelectedRecordsInItsWindow) {
    const std::string a = site.Url("page.html"), b = site.Url("slow.html"),
                      c = site.Url("old.html");
    StartOn(ReportText().Record(a, "A").Record(b, "B").Checked().Record(c, "C").Text());
    ClickTab("Found URL list");
    const struct {
        QAction* action;
        std::vector<std::string> captured;
        QString count;
    } cases[] = {
        {window->N_CaptureTicked, {b}, "Captured 1 of 1: 0 failed"},
        {window->N_CaptureSelected, {c}, "Captured 1 of 1: 0 failed"},
        {window->N_CaptureAll, {a, b, c}, "Captured 3 of 3: 0 failed"},
    };
    for (const auto& step : cases) {
        SCOPED_TRACE(step.action->text().toStdString());
        EXPECT_EQ(step.action->parent(), window->N_CapturePages);
        std::map<std::string, std::string> before;
        for (const std::string& url : {a, b, c})
            before[url] = window->FindListing(url)->GetAttr(CaptureFields::File);
        QString shown;
        dialogs.Then([&shown](QWidget* w) {
            auto* d = qobject_cast<TD_capture_run*>(w);
            if (!d) {
                ADD_FAILURE() << "not the capture window: " << w->objectName().toStdString() << " "
                              << (w->findChild<QLabel*>("Label1")
                                      ? w->findChild<QLabel*>("Label1")->text().toStdString()
                                      : "");
                static_cast<QDialog*>(w)->reject();
                return;
            }
            WaitUntil([d] { return d->BTN_stop->text() == "Close"; }, 60000);
            shown = d->L_count->text();
            EXPECT_EQ(d->PB_pages->value(), d->PB_pages->maximum());
            QTest::mouseClick(d->BTN_stop, Qt::LeftButton);
        });
        // The third row (C) selected, as a click does.
        QTableView* list = window->O_results1->LV1;
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualRect(list->model()->index(2, 1)).center());
        ASSERT_EQ(window->O_results1->SelectedRecord(), window->FindListing(c));
        step.action->trigger();
        EXPECT_EQ(shown, step.count);
        for (const std::string& url : {a, b, c}) {
            const bool wanted = std::count(step.captured.begin(), step.captured.end(), url) > 0;
            EXPECT_EQ(window->FindListing(url)->GetAttr(CaptureFields::File) != before[url], wanted)
                << url;
        }
        EXPECT_TRUE(dialogs.Done());
    }
    EXPECT_EQ(Status(1), "Changed");
}

TEST_F(MainWindowCaptures, RecordedVisitsAreListedAndOneIsTakenIntoTheReport) {
    StartOn(ReportText().Records().Text());
    EXPECT_TRUE(browser()->L_recording->isHidden());
    ClickTab("Manual search");
    QTest::mouseClick(browser()->CB_record, Qt::LeftButton);
    EXPECT_TRUE(browser()->Recording());
    EXPECT_TRUE(browser()->L_recording->isVisible());
    show("page.html");
    show("old.html", "page.html"); // redirected to the same page: a visit of its own
    ASSERT_TRUE(WaitUntil([&] { return browser()->Visits().size() == 2; }));
    EXPECT_EQ(window->Urls->ChildCount(), 0); // nothing enters the report unasked
    EXPECT_EQ(browser()->Visits()[0].file, "000001.mhtml");
    EXPECT_EQ(browser()->Visits()[1].url, site.Url("page.html"));

    QString row;
    dialogs
        .Then([](QWidget* w) {
            auto* list = w->findChild<QTreeWidget*>("LV_visited");
            EXPECT_EQ(list->topLevelItemCount(), 2);
            list->setCurrentItem(list->topLevelItem(0));
            // The URL editor opens from the button; it is answered next.
            QTimer::singleShot(0, w, [w] { DialogDriver::ClickButton(w, "Add to list"); });
        })
        .Ok()
        .Then([&row](QWidget* w) {
            row = w->findChild<QTreeWidget*>("LV_visited")->topLevelItem(0)->text(3);
            DialogDriver::ClickButton(w, "Close");
        });
    QTest::mouseClick(browser()->SB_visited, Qt::LeftButton);
    EXPECT_TRUE(WaitUntil([&] { return dialogs.Done() && !QApplication::activeModalWidget(); }));
    EXPECT_EQ(row, "000001.mhtml (in the list)");
    TQelPigger* record = window->FindListing(site.Url("page.html"));
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->FindChild("TITLE")->Text, CapturedTitle);
    EXPECT_EQ(record->GetAttr(CaptureFields::File), "000001.mhtml");
    EXPECT_EQ(record->GetAttr(CaptureFields::Sha256),
              FileSha256(folder() + "/000001.mhtml").value_or(""));

    QTest::mouseClick(browser()->CB_record, Qt::LeftButton);
    EXPECT_FALSE(browser()->Recording());
    EXPECT_TRUE(browser()->L_recording->isHidden());
}
