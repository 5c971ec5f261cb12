// The main window with the automatic search: the often-used keywords after loading, records
// from the feed, and closing while a search is under way.
#include "app/TFmain.h"
#include "collect/TO_autosearch.h"
#include "search/SearchMessages.h"
#include "search/SearchRun.h"
#include "settings/TD_settings_user.h"

#include "support/DialogDriver.h"
#include "support/FeedServer.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

TEST(MainWindowSearch, ClosingDuringARunStopsItAndOffersSaving) {
    FeedServer feed({"--behave", "slow=slow"});
    TempDir tmp;
    QDir(tmp.qpath("")).mkpath("bin");
    QDir(tmp.qpath("")).mkpath("data");
    const QString oldCwd = QDir::currentPath();
    QDir::setCurrent(tmp.qpath("bin"));
    auto* settings = new TD_settings_user(tmp.qpath("bin/q.set"));
    settings->Store().Set("DATA_FILE_NAME", tmp.path("data/r.qrl"));
    settings->Store().Set("SI", "NO");
    settings->Store().Set("FEED_HOST", feed.host());
    {
        TFmain window;
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        ASSERT_TRUE(QTest::qWaitFor([&] { return !window.FirstActivation; }));
        TO_autosearch* search = window.O_autosearch1;
        // The new report brought the often-used keywords (the defaults of a new settings file).
        EXPECT_EQ(search->LB_kw->count(), 13);

        window.PageControl1->setCurrentWidget(window.TabSheet_auto);
        search->Edit_kw->setText("fast slow");
        QTest::mouseClick(search->SB_add, Qt::LeftButton);
        QTest::mouseClick(search->SB_start, Qt::LeftButton);
        ASSERT_TRUE(WaitUntil([&] { return feed.requests().size() == 2; }));
        ASSERT_TRUE(search->Busy);
        EXPECT_TRUE(window.Modified);
        EXPECT_TRUE(window.ListDirty);

        DialogDriver dialogs;
        dialogs.Yes();
        EXPECT_TRUE(window.close());
        EXPECT_EQ(dialogs.Seen(), QStringList{"Save changes?"});
        EXPECT_FALSE(search->Search->Running());
        EXPECT_TRUE(search->Memo_log->toPlainText().endsWith(QString(SearchMessages::CantSend) +
                                                             "\n" + SearchMessages::Finished +
                                                             "\nNew URLs added:5"));
    }
    delete D_settings_user;
    const std::string saved = tmp.read("data/r.qrl");
    EXPECT_NE(saved.find("URL=\"http://www.fast-5.example/\""), std::string::npos);
    EXPECT_EQ(feed.requests().size(), 2u);
    QDir::setCurrent(oldCwd);
}
