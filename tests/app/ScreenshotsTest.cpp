// The pictures of the program that the README and the AppStream metainfo show: the found URL
// list of a filled report, the "Auto search" page after a run of a searx on loopback,
// and the filter dialog over the list with three circles and hatched regions. With
// QRL_SCREENSHOTS set to a folder, each goes there as a PNG (scripts/screenshots.sh runs this
// under Xvfb and openbox, where a picture is the screen under the window's frame); without it
// the same steps run and what the pictures are to show is checked.
#include "app/StartUp.h"
#include "app/TFmain.h"
#include "collect/RecordListModel.h"
#include "collect/TO_autosearch.h"
#include "collect/TO_results.h"
#include "filter/TF_lr_filter_user.h"
#include "filter/TOadvCloud.h"
#include "filter/core/FilterFunctions.h"
#include "settings/TD_settings_user.h"
#include "settings/core/SearchSources.h"

#include "support/DialogDriver.h"
#include "support/FilterDialogSteps.h"
#include "support/MainWindowHarness.h"
#include "support/SampleReports.h"
#include "support/SearxServer.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QGuiApplication>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTableView>
#include <QTest>
#include <QToolButton>

#include <cctype>
#include <iterator>
#include <string>
#include <vector>

namespace {

const char* const kTools[] = {"border spade",    "digging fork", "pruning shears", "bypass loppers",
                              "hedge trimmer",   "wheelbarrow",  "draw hoe",       "leaf rake",
                              "hand trowel",     "watering can", "hose reel",      "push mower",
                              "hand cultivator", "bulb planter", "secateurs",      "pruning saw",
                              "edging iron",     "compost bin",  "garden kneeler", "dibber"};

// One kind of page about a tool: its address, title and description, with %s for the tool.
struct PageKind {
    const char* url;   // %s: the tool with dashes
    const char* title; // %s: the tool
    const char* description;
};

const PageKind kReportPages[] = {
    {"https://www.greenwaytools.example/shop/%s", "%s - buy online at Greenway Tools",
     "Free delivery on orders over 40 EUR. Stainless steel and carbon steel, ash handles."},
    {"https://gardenreviews.example/best-%s", "The best %s of 2026, tested",
     "We used eleven of them for a season on clay soil; here is what lasted."},
    {"https://plotandbed.example/how-to/care-for-your-%s", "How to clean and sharpen your %s",
     "A file, a whetstone and linseed oil: ten minutes after the last job of the season."},
    {"https://forum.allotment.example/t/which-%s", "Which %s do you use? - Allotment forum",
     "Members compare what they bought, what broke and what they would buy again."},
    {"https://www.hortiwiki.example/wiki/%s", "%s - HortiWiki",
     "History, kinds and use of the tool, with drawings of the common patterns."},
    {"https://secondhand.example/garden/%s", "Used %s for sale near you",
     "Private sellers and house clearances; most items under 15 EUR."},
    {"https://blog.smallgarden.example/%s-for-small-gardens", "%s for a small garden",
     "Short handles, light frames and what fits into a shed of two square metres."},
    {"https://www.toolmakers.example/catalogue/%s-forged", "Forged %s, lifetime guarantee",
     "Made by hand in Sheffield; spare handles and sharpening service."},
    {"https://video.gardenschool.example/watch/%s-basics", "Video: using the %s the right way",
     "Eight minutes on grip, stance and the mistakes that hurt the back."},
    {"https://www.diycompare.example/%s", "%s prices compared in 30 shops",
     "Price history and the lowest offer today, updated every hour."},
    {"https://repaircafe.example/guides/%s", "Repair guide: %s",
     "Replacing a handle, a spring or a rivet with the parts of any hardware store."},
    {"https://www.rhs-like.example/advice/%s", "Advice for beginners: choosing the right %s",
     "What the weight, the steel and the length of the handle change in daily use."},
    {"https://kids.gardenclub.example/tools/%s", "%s in sizes for children",
     "Smaller sizes that still work, and how to teach safe use."},
    {"https://www.ergotools.example/%s-ergonomic", "Ergonomic %s for sore wrists",
     "Angled grips and lighter materials, recommended by physiotherapists."},
    {"https://heritage.example/collection/%s-1900", "%s from 1900 in the museum collection",
     "Photographs and the maker's catalogue page of the time."},
};

// Pages that only the search engine knows.
const PageKind kFoundPages[] = {
    {"https://news.gardening.example/test-%s", "Consumer test: %s brands compared",
     "Twelve brands, three price classes and one clear winner."},
    {"https://www.greenwaytools.example/sale/%s", "%s on sale this week",
     "Twenty per cent off selected models while stocks last."},
    {"https://community.growyourown.example/%s-tips", "Tips for the %s from our members",
     "Collected from ten years of questions and answers."},
};

std::string fill(const char* pattern, const std::string& tool) {
    std::string out(pattern);
    const auto at = out.find("%s");
    return at == std::string::npos ? out : out.replace(at, 2, tool);
}
std::string dashed(std::string text) {
    for (char& c : text)
        if (c == ' ')
            c = '-';
    return text;
}
std::string capitalized(std::string text) {
    if (!text.empty())
        text[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
    return text;
}

// A report of 300 pages about garden tools (every kind of page for every tool, mixed as
// search results come), every fifth one ticked.
std::string gardenToolsReport() {
    constexpr int kinds = std::size(kReportPages), tools = std::size(kTools);
    ReportText text;
    text.Title("Garden tools 2026")
        .Date("2026-03-14")
        .Description("Hand tools for the new allotment: where to buy, reviews, care.");
    for (int i = 0; i < kinds * tools; ++i) {
        const PageKind& kind = kReportPages[i % kinds];
        const char* tool = kTools[(i / kinds + 3 * (i % kinds)) % tools];
        text.Record(fill(kind.url, dashed(tool)), capitalized(fill(kind.title, tool)),
                    kind.description);
        if (i % 5 == 4)
            text.Checked();
    }
    return text;
}

// What the search engine finds: pages the report has and pages it has not.
std::vector<SearxPage> enginePages() {
    std::vector<SearxPage> pages;
    for (const char* tool : kTools)
        for (const auto* kinds : {kFoundPages, kReportPages + 1})
            for (int k = 0; k < 3; ++k)
                pages.push_back({fill(kinds[k].url, dashed(tool)),
                                 capitalized(fill(kinds[k].title, tool)), kinds[k].description});
    return pages;
}

class Screenshots : public MainWindowHarness {
protected:
    void SetUp() override {
        MainWindowHarness::SetUp();
        RegisterExpressionFunctions();
        tmp.write("data/garden-tools.qrl", gardenToolsReport());
    }
    void start(const std::function<void(TD_settings_user&)>& settings = {}) {
        TD_settings_user& s = Settings(ReportPath("garden-tools.qrl"));
        if (settings)
            settings(s);
        ShowWindow([](TFmain& w) {
            CreateSharedWindows();
            w.resize(1000, 700);
            w.move(20, 20);
        });
        // The list's columns wide enough for the titles, as a user drags them.
        window->O_results1->LV1->setColumnWidth(RecordListModel::TitleColumn, 360);
        window->O_results1->LV1->setColumnWidth(RecordListModel::UrlColumn, 250);
        QTest::qWait(100);
    }
    // The window as the user sees it: under X11 the screen within its frame (the window
    // manager's title bar and a dialog above the window included), else its own drawing.
    static QImage picture(QWidget* w) {
        if (QGuiApplication::platformName() != "xcb")
            return w->grab().toImage();
        const QRect frame = w->frameGeometry();
        return w->screen()
            ->grabWindow(0, frame.x(), frame.y(), frame.width(), frame.height())
            .toImage();
    }
    static void shoot(QWidget* w, const char* name) {
        const QString folder = qEnvironmentVariable("QRL_SCREENSHOTS");
        if (folder.isEmpty())
            return;
        QCoreApplication::processEvents();
        QTest::qWait(300);
        // Quality 0: the smallest file PNG gives.
        EXPECT_TRUE(picture(w).save(folder + "/" + name, "PNG", 0)) << name;
    }
};

} // namespace

TEST_F(Screenshots, FoundUrlList) {
    start();
    ClickTab("Found URL list");
    ASSERT_EQ(window->PageControl1->currentWidget(), window->TabSheet_view);
    ASSERT_EQ(window->O_results1->RowCount(), 300);
    EXPECT_EQ(window->O_results1->L_counts->text(), "300 records, 60 ticked");
    window->O_results1->LV1->selectRow(7);
    shoot(window.get(), "screenshot-list.png");
}

TEST_F(Screenshots, SearchRun) {
    // A real searx over the pages about the tools, five results a page, two pages a keyword.
    SearxServer searx(enginePages(), {5, false});
    start([&](TD_settings_user& s) {
        SearchSource local;
        local.name = "Local searx";
        local.kind = SearchSource::Searx;
        local.address = searx.baseUrl();
        local.pages = 2;
        local.intervalMs = 0;
        WriteSources(s.Store().Tree(), {FeedSource(), local});
        SetChosenSourceName(s.Store().Tree(), local.name);
    });
    ClickTab("Auto search");
    TO_autosearch* page = window->O_autosearch1;
    ASSERT_EQ(page->CB_source->currentText(), "Local searx");
    const char* const keywords[] = {"secateurs", "wheelbarrow", "loppers", "dibber"};
    for (const char* keyword : keywords) {
        page->Edit_kw->setText(keyword);
        QTest::mouseClick(page->SB_add, Qt::LeftButton);
    }
    QTest::mouseClick(page->SB_start, Qt::LeftButton);
    ASSERT_TRUE(WaitUntil([&] { return !page->Busy; }, 60000));
    const QString log = page->Memo_log->toPlainText();
    // Each keyword: six pages on two result pages; the three the report lacks are new, the
    // three it has refreshed.
    EXPECT_TRUE(log.contains("wheelbarrow: 2 pages fetched, 6 results, 3 new records"))
        << log.toStdString();
    EXPECT_TRUE(log.endsWith("New URLs added:12")) << log.toStdString();
    EXPECT_EQ(page->L_progress->text(), "Searched 4 of 4 keywords.");
    shoot(window.get(), "screenshot-search.png");
}

TEST_F(Screenshots, FilterDialog) {
    start();
    ClickTab("Found URL list");
    TF_lr_filter_user* dlg = FreshFilterDialog();
    DialogDriver dialogs;
    dialogs.Then(InFilterDialog(dlg, [&] {
        AddKeyword(dlg, "steel");
        AddKeyword(dlg, "handle");
        AddCheckedState(dlg);
        ASSERT_EQ(dlg->OClouds1->CircleCount(), 3);
        // Pages on steel and handles (the first pin), on steel alone, and ticked records on
        // neither.
        DoubleClickDiagram(dlg, {35, 70});
        DoubleClickDiagram(dlg, {190, 120});
        ASSERT_EQ(dlg->OClouds1->PinCount(), 3);
        QTest::mouseClick(dlg->btnApply, Qt::LeftButton);
    }));
    QTest::mouseClick(window->TB_filter, Qt::LeftButton);
    EXPECT_TRUE(window->O_results1->Filtered());
    const int shown = window->O_results1->RowCount();
    EXPECT_GT(shown, 0);
    EXPECT_LT(shown, 300);

    // Opened again over the filtered list.
    dialogs.Then(InFilterDialog(dlg, [&] {
        dlg->move(window->geometry().topLeft() + QPoint(260, 90));
        dlg->OClouds1->Refresh();
        QTest::qWait(100);
        // The pinned regions are hatched (the hatch colour is 0xC0C0C0).
        const QImage seen = dlg->OClouds1->PB1->grab().toImage();
        int hatch = 0;
        for (int y = 0; y < seen.height(); ++y)
            for (int x = 0; x < seen.width(); ++x)
                hatch += seen.pixelColor(x, y) == QColor(0xC0, 0xC0, 0xC0);
        EXPECT_GT(hatch, 200);
        shoot(window.get(), "screenshot-filter.png");
        QTest::mouseClick(dlg->btnApply, Qt::LeftButton);
    }));
    QTest::mouseClick(window->TB_filter, Qt::LeftButton);
    EXPECT_TRUE(dialogs.Done());
    EXPECT_EQ(window->O_results1->RowCount(), shown);
}
