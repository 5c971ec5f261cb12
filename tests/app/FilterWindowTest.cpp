// The filter as the main window uses it: the filter command, the found URL list with the
// filter on, the toolbar button, and an expression that fails while the list fills. The list
// is checked against "qrl filter --conditions" on the same report and conditions file.
#include "app/StartUp.h"
#include "app/TFmain.h"
#include "collect/TO_results.h"
#include "filter/TFLCEdit.h"
#include "filter/TF_lr_filter_user.h"
#include "filter/TOadvCloud.h"
#include "filter/core/FilterFunctions.h"
#include "filter/diagram/ConditionsFile.h"
#include "tree/TQelPigger.h"

#include "../cli/QrlRun.h"
#include "support/DialogDriver.h"
#include "support/FileDialogTyping.h"
#include "support/FilterDialogSteps.h"
#include "support/MainWindowHarness.h"
#include "support/SampleReports.h"
#include "support/UrlCatcher.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QDir>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QToolButton>

#include <string>

namespace {

const char* const kWords[] = {"garden", "kitchen", "web design", "tools", "lilies", "roses"};

// A report of n records: titles and descriptions from a few words, every third one ticked.
std::string reportOf(int n) {
    ReportText text;
    text.Title("Tour");
    for (int i = 0; i < n; ++i) {
        const std::string id = std::to_string(i);
        text.Record("http://site" + id + ".example/", kWords[i % 6] + std::string(" page ") + id,
                    "about " + std::string(kWords[(i / 6) % 6]));
        if (i % 3 == 0)
            text.Checked();
    }
    return text;
}

class FilterWindow : public MainWindowHarness {
protected:
    TF_lr_filter_user* dlg = nullptr;

    void SetUp() override {
        MainWindowHarness::SetUp();
        RegisterExpressionFunctions();
        Folders({"docs"});
        tmp.write("docs/FLCEdit.html", "<html><body>Condition editor</body></html>");
        dlg = FreshFilterDialog();
    }
    void start(const std::string& reportText) {
        tmp.write("data/r.qrl", reportText);
        Settings(ReportPath());
        ShowWindow([](TFmain&) { CreateSharedWindows(); });
        ClickTab("Found URL list");
        ASSERT_EQ(window->PageControl1->currentWidget(), window->TabSheet_view);
    }
    // The addresses of the listed records, one per line, as qrl writes them.
    std::string listed() {
        std::string out;
        for (int row = 0; row < window->O_results1->RowCount(); ++row)
            out += window->O_results1->RecordAt(row)->GetAttr("URL") + "\n";
        return out;
    }
    // Runs the filter command; steps act in the filter dialog and must close it.
    void filter(std::function<void()> steps, DialogDriver& dialogs) {
        dialogs.Then(InFilterDialog(dlg, steps));
        QTest::mouseClick(window->TB_filter, Qt::LeftButton);
    }
    // The same conditions through the command-line tool.
    std::string byQrl(const std::string& report = "r.qrl") {
        SaveConditionsFile(*dlg->OClouds1, tmp.path("c.qrc"));
        const CliRun r =
            RunQrl({"filter", tmp.qpath("data/" + report), "--conditions", tmp.qpath("c.qrc")});
        EXPECT_EQ(r.code, 0) << r.err;
        return r.out;
    }
};

} // namespace

TEST_F(FilterWindow, ListShowsExactlyTheRecordsThatPass) {
    start(reportOf(300));
    ASSERT_EQ(window->O_results1->RowCount(), 300);
    EXPECT_FALSE(window->TB_filter->isChecked());
    DialogDriver dialogs;
    filter(
        [&] {
            AddKeyword(dlg, "garden");
            AddCheckedState(dlg);
            // Not the overlap (the first pin goes), but garden only and ticked only.
            DoubleClickDiagram(dlg, {90, 73});
            EXPECT_EQ(dlg->OClouds1->PinCount(), 0);
            DoubleClickDiagram(dlg, {40, 60});
            DoubleClickDiagram(dlg, {175, 75});
            QTest::mouseClick(dlg->btnApply, Qt::LeftButton);
        },
        dialogs);
    EXPECT_TRUE(dialogs.Done());
    EXPECT_TRUE(window->O_results1->Filtered());
    EXPECT_TRUE(window->TB_filter->isChecked());
    const std::string shown = listed();
    EXPECT_EQ(shown, byQrl());
    // Garden titles are records 0, 6, 12...; garden descriptions records 0-5, 36-41...
    EXPECT_NE(shown.find("http://site1.example/\n"), std::string::npos); // garden, unticked
    EXPECT_EQ(shown.find("http://site6.example/\n"), std::string::npos); // garden, ticked
    EXPECT_NE(shown.find("http://site9.example/\n"), std::string::npos); // ticked only
    EXPECT_EQ(shown.find("http://site7.example/\n"), std::string::npos); // neither
    const int filteredRows = window->O_results1->RowCount();
    EXPECT_GT(filteredRows, 50);
    EXPECT_LT(filteredRows, 300);

    // Ticks of the rows shown are kept; records filtered out keep theirs.
    window->A_refreshClick();
    EXPECT_EQ(window->O_results1->RowCount(), filteredRows);
    EXPECT_EQ(window->FindListing("http://site6.example/")->GetAttr("CHK"), "Y");

    // The close box: the filter goes off, all rows come back, the conditions stay.
    filter([&] { dlg->close(); }, dialogs);
    EXPECT_FALSE(window->O_results1->Filtered());
    EXPECT_FALSE(window->TB_filter->isChecked());
    EXPECT_EQ(window->O_results1->RowCount(), 300);
    EXPECT_EQ(dlg->OClouds1->CircleCount(), 2);
    // On again with the same diagram.
    filter([&] { QTest::mouseClick(dlg->btnApply, Qt::LeftButton); }, dialogs);
    EXPECT_EQ(window->O_results1->RowCount(), filteredRows);
    EXPECT_TRUE(window->TB_filter->isChecked());
    EXPECT_TRUE(dialogs.Done());
}

// A link state is a condition like a record state: pinned, it leaves only the dead records.
TEST_F(FilterWindow, LinkStatePageLeavesTheDeadRecords) {
    start(ReportText()
              .Record("http://alive.example/", "alive")
              .Attributes(R"(LINK="200")")
              .Record("http://gone.example/", "gone")
              .Attributes(R"(LINK="404")")
              .Record("http://new.example/", "unchecked")
              .Record("http://nohost.example/", "no host")
              .Attributes(R"(LINK="dns" LINKFAILS="2")"));
    DialogDriver dialogs;
    QString caption, label;
    bool bold = false, addBeforeChoice = true;
    filter(
        [&] {
            ClickFilterPage(dlg, dlg->TabSheet_link);
            caption = dlg->PageControl1->tabText(dlg->PageControl1->indexOf(dlg->TabSheet_link));
            label = dlg->Label_link->text();
            bold = dlg->Label_link->font().bold();
            addBeforeChoice = dlg->SB_add_condition->isEnabled();
            AddLinkState(dlg, "dead");
            DoubleClickDiagram(dlg, {40, 60});
            QTest::mouseClick(dlg->btnApply, Qt::LeftButton);
        },
        dialogs);
    EXPECT_TRUE(dialogs.Done());
    EXPECT_EQ(caption, "Link state");
    EXPECT_EQ(label, "Link state:");
    EXPECT_TRUE(bold);
    EXPECT_FALSE(addBeforeChoice);
    ASSERT_EQ(dlg->OClouds1->CircleCount(), 1);
    EXPECT_EQ(dlg->OClouds1->GetCircle(0)->LabelText, "Link state:dead");
    EXPECT_EQ(dlg->OClouds1->GetCircle(0)->Body, "RECORD_STATE('IS_DEAD')");
    EXPECT_EQ(listed(), "http://gone.example/\nhttp://nohost.example/\n");
    EXPECT_EQ(listed(), byQrl());
}

TEST_F(FilterWindow, TwoWordKeywordAgainstTheCommandLine) {
    start(reportOf(60));
    DialogDriver dialogs;
    filter(
        [&] {
            AddKeyword(dlg, "Web Design");
            QTest::mouseClick(dlg->btnApply, Qt::LeftButton);
        },
        dialogs);
    EXPECT_EQ(dlg->ExprText(), "(EXISTS('WEB DESIGN'))");
    const std::string shown = listed();
    EXPECT_EQ(shown, byQrl());
    EXPECT_NE(shown.find("http://site2.example/\n"), std::string::npos);
    EXPECT_EQ(window->O_results1->RowCount(), 10 + 12 - 2); // titles, descriptions, both
    EXPECT_TRUE(dialogs.Done());
}

TEST_F(FilterWindow, FilterStaysOnWhenAnotherReportIsOpened) {
    start(reportOf(60));
    tmp.write("data/other.qrl", reportOf(30));
    DialogDriver dialogs;
    filter(
        [&] {
            AddKeyword(dlg, "lilies");
            QTest::mouseClick(dlg->btnApply, Qt::LeftButton);
        },
        dialogs);
    EXPECT_EQ(window->O_results1->RowCount(), 10 + 6 - 1);
    const std::string expr = dlg->ExprText();
    dialogs.Then(TypeFileNameOrCancel(tmp.qpath("data/other.qrl")));
    window->N_Open->trigger();
    EXPECT_TRUE(dialogs.Done());
    ASSERT_EQ(window->StatusPanel[2]->text(), tmp.qpath("data/other.qrl"));
    EXPECT_TRUE(window->O_results1->Filtered());
    EXPECT_TRUE(window->TB_filter->isChecked());
    EXPECT_EQ(listed(), byQrl("other.qrl"));
    EXPECT_EQ(window->O_results1->RowCount(), 5 + 6 - 1);
    // The dialog shows the same conditions and keeps the same expression.
    filter(
        [&] {
            EXPECT_EQ(dlg->OClouds1->CircleCount(), 1);
            EXPECT_EQ(dlg->OClouds1->PinCount(), 1);
            EXPECT_EQ(dlg->Label_onoff->text(), "On");
            dlg->close();
        },
        dialogs);
    EXPECT_EQ(dlg->ExprText(), expr);
    EXPECT_EQ(window->O_results1->RowCount(), 30);
    EXPECT_TRUE(dialogs.Done());
}

TEST_F(FilterWindow, EditorHelpOpensItsPageFromTheHelpFolder) {
    start(reportOf(3));
    UrlCatcher browser;
    dlg->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(dlg));
    AddKeyword(dlg, "garden");
    DialogDriver dialogs;
    dialogs.Then([&](QWidget* w) {
        QTest::mouseClick(FLCEdit()->btnHelp, Qt::LeftButton);
        DialogDriver::ClickButton(w, "Close");
    });
    dlg->OClouds1->EditSelected();
    dlg->hide();
    EXPECT_TRUE(dialogs.Done());
    ASSERT_EQ(browser.opened.size(), 1u);
    EXPECT_EQ(browser.opened[0],
              QUrl::fromLocalFile(QDir(tmp.qpath("docs")).canonicalPath() + "/FLCEdit.html"));
}

TEST_F(FilterWindow, AnExpressionThatFailsIsShownAndTheRowsBeforeItStay) {
    start(ReportText()
              .Record("http://a.example/", "Garden")
              .Checked()
              .Record("http://b.example/", "Kitchen")
              .Record("http://c.example/", "Roses")
              .Checked());
    DialogDriver dialogs;
    dialogs.Then([&](QWidget*) {
        AddCheckedState(dlg);
        ASSERT_EQ(dlg->OClouds1->CircleCount(), 1);
        // A body as edited by hand: INT fails for the kitchen record.
        dlg->OClouds1->GetCircle(0)->Body =
            "RECORD_STATE('IS_CHECKED') || INT(IIF(EXISTS('KITCHEN'), 'x', 1)) == 1";
        QTest::mouseClick(dlg->btnApply, Qt::LeftButton);
    });
    dialogs.Ok(); // the error display
    QTest::mouseClick(window->TB_filter, Qt::LeftButton);
    EXPECT_TRUE(dialogs.Done());
    ASSERT_EQ(dialogs.Seen().size(), 1);
    EXPECT_FALSE(dialogs.Seen()[0].isEmpty());
    EXPECT_EQ(listed(), "http://a.example/\n");
    EXPECT_TRUE(window->O_results1->Filtered());
    EXPECT_TRUE(window->TB_filter->isChecked());
}

// A new user's tour: a report of a few hundred records, three conditions, pins, the filter on
// and off. With QRL_SCREENSHOTS set to a folder, pictures of the dialog, the condition editor
// and the filtered list are written there.
TEST_F(FilterWindow, NewUsersTour) {
    start(reportOf(300));
    const QString shots = qEnvironmentVariable("QRL_SCREENSHOTS");
    auto shoot = [&](QWidget* w, const char* name) {
        if (!shots.isEmpty()) {
            EXPECT_TRUE(w->grab().save(shots + "/" + name));
        }
    };
    // The conditions are set up in the dialog on screen; the editor is the modal window.
    dlg->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(dlg));
    AddKeyword(dlg, "garden");
    AddKeyword(dlg, "roses");
    AddCheckedState(dlg);
    ASSERT_EQ(dlg->OClouds1->CircleCount(), 3);
    // Garden with roses (the first pin), garden alone, and ticked records in neither.
    DoubleClickDiagram(dlg, {35, 70});
    DoubleClickDiagram(dlg, {190, 120});
    // The condition editor on the second circle, its label moved to the right.
    TFLCEdit* ed = FLCEdit();
    DialogDriver dialogs;
    dialogs.Then([&](QWidget*) {
        QTest::mouseClick(ed->SBr, Qt::LeftButton);
        QTest::mouseClick(ed->SBr, Qt::LeftButton);
        shoot(ed, "condition-editor.png");
        QTest::mouseClick(ed->OKBtn, Qt::LeftButton);
    });
    const TQELlc* second = dlg->OClouds1->GetCircle(1);
    QTest::mouseClick(dlg->OClouds1->PB1, Qt::LeftButton, {},
                      QPoint(second->X, second->Y + second->Radius));
    ASSERT_EQ(dlg->OClouds1->Selected(), second);
    dlg->OClouds1->EditSelected();
    EXPECT_TRUE(dialogs.Done());
    EXPECT_EQ(second->LabelDX, 20);
    dlg->hide();

    filter(
        [&] {
            dlg->OClouds1->Refresh();
            QTest::qWait(50);
            // Hatched regions in the diagram (the hatch colour is 0xC0C0C0).
            const QImage seen = dlg->OClouds1->PB1->grab().toImage();
            int hatch = 0;
            for (int y = 0; y < seen.height(); ++y)
                for (int x = 0; x < seen.width(); ++x)
                    hatch += seen.pixelColor(x, y) == QColor(0xC0, 0xC0, 0xC0);
            EXPECT_GT(hatch, 200);
            shoot(dlg, "filter-dialog.png");
            QTest::mouseClick(dlg->btnApply, Qt::LeftButton);
        },
        dialogs);
    EXPECT_TRUE(dialogs.Done());
    EXPECT_EQ(dlg->OClouds1->PinCount(), 3);
    const std::string shown = listed();
    EXPECT_EQ(shown, byQrl());
    EXPECT_GT(window->O_results1->RowCount(), 0);
    EXPECT_LT(window->O_results1->RowCount(), 300);
    window->resize(1000, 600);
    QTest::qWait(50);
    shoot(window.get(), "filtered-list.png");
    filter([&] { QTest::mouseClick(dlg->btn_no_filter, Qt::LeftButton); }, dialogs);
    EXPECT_EQ(window->O_results1->RowCount(), 300);
    EXPECT_TRUE(dialogs.Done());
}
