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
#include "settings/TD_settings_user.h"
#include "tree/TQelPigger.h"

#include "../cli/QrlRun.h"
#include "support/DialogDriver.h"
#include "support/FileDialogTyping.h"
#include "support/TempDir.h"
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

#include <memory>
#include <string>

namespace {

const char* const kWords[] = {"garden", "kitchen", "web design", "tools", "lilies", "roses"};

// A report of n records: titles and descriptions from a few words, every third one ticked.
std::string reportOf(int n) {
    std::string text = "<QRL VERSION=\"1.0.1 beta\" RTITLE=\"Tour\"><URLS>";
    for (int i = 0; i < n; ++i) {
        const std::string id = std::to_string(i);
        text += "<LISTING URL=\"http://site" + id + ".example/\"" +
                (i % 3 == 0 ? " CHK=\"Y\"" : "") + "><TITLE>" + kWords[i % 6] + " page " + id +
                "</TITLE><DESCRIPTION>about " + kWords[(i / 6) % 6] +
                "</DESCRIPTION><REDIRECT>http://site" + id + ".example/</REDIRECT></LISTING>";
    }
    return text + "</URLS></QRL>";
}

class FilterWindow : public ::testing::Test {
protected:
    TempDir tmp;
    QString oldCwd;
    std::unique_ptr<TFmain> window;
    TF_lr_filter_user* dlg = nullptr;

    void SetUp() override {
        RegisterExpressionFunctions();
        QDir root(tmp.qpath(""));
        root.mkpath("bin");
        root.mkpath("data");
        root.mkpath("docs");
        tmp.write("docs/FLCEdit.html", "<html><body>Condition editor</body></html>");
        oldCwd = QDir::currentPath();
        QDir::setCurrent(tmp.qpath("bin"));
        dlg = F_lr_filter_user();
        dlg->OClouds1->Stop();
        dlg->OClouds1->Start();
        dlg->Placement().Reset();
        dlg->SetFilterOn(false);
        dlg->PageControl1->setCurrentWidget(dlg->TabSheet_kw);
        dlg->CB_state->setCurrentIndex(-1);
    }
    void TearDown() override {
        window.reset();
        delete D_settings_user;
        QDir::setCurrent(oldCwd);
    }
    void start(const std::string& reportText) {
        tmp.write("data/r.qrl", reportText);
        auto* settings = new TD_settings_user(tmp.qpath("bin/q.set"));
        settings->Store().Set("DATA_FILE_NAME", tmp.path("data/r.qrl"));
        settings->Store().Set("SI", "NO");
        window = std::make_unique<TFmain>();
        CreateSharedWindows();
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        ASSERT_TRUE(QTest::qWaitFor([this] { return !window->FirstActivation; }));
        QCoreApplication::processEvents();
        QTabBar* bar = window->PageControl1->tabBar();
        for (int i = 0; i < bar->count(); ++i)
            if (bar->tabText(i) == "Found URL list")
                QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(i).center());
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
        dialogs.Then([this, steps](QWidget* w) {
            EXPECT_EQ(w, dlg);
            steps();
            if (dlg->isVisible()) {
                ADD_FAILURE() << "the steps left the dialog open";
                dlg->reject();
            }
        });
        QTest::mouseClick(window->TB_filter, Qt::LeftButton);
    }
    void addKeyword(const QString& keyword) {
        QTabBar* bar = dlg->PageControl1->tabBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(0).center());
        QTest::mouseClick(dlg->Edit_kw, Qt::LeftButton);
        QTest::keyClicks(dlg->Edit_kw, keyword);
        QTest::mouseClick(dlg->SB_add_condition, Qt::LeftButton);
    }
    void addCheckedState() {
        QTabBar* bar = dlg->PageControl1->tabBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(1).center());
        dlg->CB_state->setFocus();
        if (dlg->CB_state->currentIndex() < 0)
            QTest::keyClick(dlg->CB_state, Qt::Key_Down);
        QTest::mouseClick(dlg->SB_add_condition, Qt::LeftButton);
    }
    void pin(QPoint p) {
        QWidget* pb = dlg->OClouds1->PB1;
        QTest::mouseClick(pb, Qt::LeftButton, {}, p);
        QTest::mouseDClick(pb, Qt::LeftButton, {}, p);
        QTest::mouseRelease(pb, Qt::LeftButton, {}, p);
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
            addKeyword("garden");
            addCheckedState();
            // Not the overlap (the first pin goes), but garden only and ticked only.
            pin({90, 73});
            EXPECT_EQ(dlg->OClouds1->PinCount(), 0);
            pin({40, 60});
            pin({175, 75});
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

TEST_F(FilterWindow, TwoWordKeywordAgainstTheCommandLine) {
    start(reportOf(60));
    DialogDriver dialogs;
    filter(
        [&] {
            addKeyword("Web Design");
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
            addKeyword("lilies");
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
    addKeyword("garden");
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
    start("<QRL><URLS>"
          "<LISTING URL=\"http://a.example/\" CHK=\"Y\"><TITLE>Garden</TITLE></LISTING>"
          "<LISTING URL=\"http://b.example/\"><TITLE>Kitchen</TITLE></LISTING>"
          "<LISTING URL=\"http://c.example/\" CHK=\"Y\"><TITLE>Roses</TITLE></LISTING>"
          "</URLS></QRL>");
    DialogDriver dialogs;
    dialogs.Then([&](QWidget*) {
        addCheckedState();
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
    addKeyword("garden");
    addKeyword("roses");
    addCheckedState();
    ASSERT_EQ(dlg->OClouds1->CircleCount(), 3);
    // Garden with roses (the first pin), garden alone, and ticked records in neither.
    pin({35, 70});
    pin({190, 120});
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
