// The main window with the automatic search: the often-used keywords after loading, records
// from the feed, and closing while a search is under way.
#include "app/TFmain.h"
#include "collect/TO_autosearch.h"
#include "search/SearchMessages.h"
#include "search/SearchRun.h"

#include "support/DialogDriver.h"
#include "support/FeedServer.h"
#include "support/FileDialogTyping.h"
#include "support/MainWindowHarness.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

namespace {

const QString kStopQuestion = "A search is running. Stop it?";

// The program in a folder of its own, its feed at the loopback feed server.
class MainWindowSearch : public MainWindowHarness {
protected:
    void SetUp() override {
        MainWindowHarness::SetUp();
        Settings(ReportPath()).Store().Set("FEED_HOST", feed.host());
        ShowWindow();
        search = window->O_autosearch1;
    }

    // Starts a run whose second keyword gets a slow reply, and waits until that is in flight.
    void startSlowRun() {
        window->PageControl1->setCurrentWidget(window->TabSheet_auto);
        search->Edit_kw->setText("fast slow");
        QTest::mouseClick(search->SB_add, Qt::LeftButton);
        QTest::mouseClick(search->SB_start, Qt::LeftButton);
        ASSERT_TRUE(WaitUntil([&] { return feed.requests().size() == 2; }));
        ASSERT_TRUE(search->Busy);
    }
    QString stoppedLog() const {
        return QString(SearchMessages::CantSend) + "\n" + SearchMessages::Finished +
               "\nNew URLs added:5";
    }

    FeedServer feed{{"--behave", "slow=slow"}};
    TO_autosearch* search = nullptr;
};

} // namespace

TEST_F(MainWindowSearch, ClosingDuringARunStopsItAndOffersSaving) {
    // The new report brought the often-used keywords (the defaults of a new settings file).
    EXPECT_EQ(search->LB_kw->count(), 13);
    startSlowRun();
    EXPECT_TRUE(window->Modified);
    EXPECT_TRUE(window->ListDirty);

    DialogDriver dialogs;
    dialogs.Yes().Yes();
    EXPECT_TRUE(window->close());
    EXPECT_EQ(dialogs.Seen(), (QStringList{kStopQuestion, "Save changes?"}));
    EXPECT_FALSE(search->Search->Running());
    EXPECT_TRUE(search->Memo_log->toPlainText().endsWith(stoppedLog()));
    const std::string saved = tmp.read("data/r.qrl");
    EXPECT_NE(saved.find("URL=\"http://www.fast-5.example/\""), std::string::npos);
    EXPECT_EQ(feed.requests().size(), 2u);
}

TEST_F(MainWindowSearch, OpeningAnotherReportEndsTheRunFirst) {
    startSlowRun();
    DialogDriver dialogs;
    dialogs.Yes().No().Escape();
    QTest::mouseClick(window->ToolButton3, Qt::LeftButton);
    EXPECT_TRUE(dialogs.Done());
    EXPECT_EQ(dialogs.Seen().mid(0, 2), (QStringList{kStopQuestion, "Save changes?"}));
    EXPECT_FALSE(search->Busy);
    EXPECT_FALSE(search->Search->Running());
    EXPECT_TRUE(search->Memo_log->toPlainText().endsWith(stoppedLog()));
    EXPECT_EQ(window->Urls->ChildCount(), 5);
}

TEST_F(MainWindowSearch, NoToStoppingKeepsTheRunThroughNewOpenAndClose) {
    startSlowRun();
    DialogDriver dialogs;
    // Save as asks once the file is chosen.
    dialogs.No().No().Then(TypeFileName(tmp.qpath("data/other.qrl"))).No().No();
    QTest::mouseClick(window->TB_new, Qt::LeftButton);
    QTest::mouseClick(window->ToolButton3, Qt::LeftButton);
    window->N_Saveas->trigger();
    EXPECT_FALSE(window->close());
    // Only the question came: no wizard, no file dialog to open, no "Save changes?".
    EXPECT_EQ(dialogs.Seen(), QStringList(4, kStopQuestion));
    EXPECT_TRUE(dialogs.Done());
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(search->Search->Running());
    EXPECT_EQ(window->Urls->ChildCount(), 5);
    EXPECT_EQ(window->GetFileName(), ReportPath());
}
