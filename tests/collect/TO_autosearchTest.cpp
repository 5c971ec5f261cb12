// The "Auto search" frame as the user works it: the keyword list, Start and Stop against the
// loopback feed server, the log, the proxy login per keyword through a real tinyproxy.
#include "collect/TO_autosearch.h"
#include "report/ReportLayout.h"
#include "report/ReportRecords.h"
#include "search/SearchMessages.h"
#include "search/SearchRun.h"
#include "search/SourceMessages.h"
#include "search/SourceRun.h"
#include "settings/TD_proxyLogin.h"
#include "settings/TD_settings_user.h"
#include "tree/LocalText.h"

#include "support/DialogDriver.h"
#include "support/FeedServer.h"
#include "support/RssReply.h"
#include "support/SearxServer.h"
#include "support/TempDir.h"
#include "support/TidyLayout.h"
#include "support/WebServer.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <memory>

namespace M = SearchMessages;

namespace {

QStringList listed(const QListWidget* list) {
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts << list->item(i)->text();
    return texts;
}

QStringList logLines(const TO_autosearch& f) {
    return f.Memo_log->toPlainText().split('\n', Qt::SkipEmptyParts);
}

class AutoSearch : public ::testing::Test {
protected:
    // settingsRoot: attributes of the settings file's root element; sources: its SOURCES
    // element.
    void start(const std::string& settingsRoot = "", const std::string& sources = "") {
        tmp.write("q.set", "<SETTINGS " + settingsRoot +
                               "><KEYWORDS><KW VAL=\"hotel\"/><KW VAL=\"new  york\"/>"
                               "<KW VAL=\"air\"/></KEYWORDS>" +
                               sources + "</SETTINGS>");
        settings = std::make_unique<TD_settings_user>(tmp.qpath("q.set"));
        doc.SetName(ReportKeys::Root);
        urls = new TQelPigger(&doc);
        urls->SetName(ReportKeys::Urls);
        frame.AddListing = [this](const std::string& t, const std::string& d, const std::string& u,
                                  const std::string& r) {
            return records.AddListing(urls, t, d, u, r);
        };
        frame.resize(700, 450);
        frame.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
        frame.LoadOftenUsedKeywords();
        frame.LoadSources();
    }
    void TearDown() override { frame.hide(); }

    void type(const QString& text) {
        frame.Edit_kw->setFocus();
        QTest::keyClicks(frame.Edit_kw, text);
        QTest::keyClick(frame.Edit_kw, Qt::Key_Return);
    }
    void click(QPushButton* b) { QTest::mouseClick(b, Qt::LeftButton); }
    bool waitIdle(int ms = 15000) {
        return WaitUntil([&] { return !frame.Busy && !frame.Search->Running(); }, ms);
    }

    TempDir tmp;
    std::unique_ptr<TD_settings_user> settings;
    TQelPigger doc;
    TQelPigger* urls = nullptr;
    ReportRecords records;
    UserSettings* Settings() const { return settings.get(); }
    TO_autosearch frame{[this] { return Settings(); }};
};

} // namespace

TEST_F(AutoSearch, ComponentsAndCentredPanel) {
    start();
    EXPECT_EQ(frame.Label1->text(), "Type a keyword or choose it from the list:");
    EXPECT_EQ(frame.SB_add->text(), "Add >>");
    EXPECT_EQ(frame.SB_remove->text(), "Del");
    EXPECT_EQ(frame.SB_clear->text(), "Clear");
    EXPECT_EQ(frame.SB_start->text(), "Start");
    EXPECT_EQ(frame.SB_stop->text(), "Stop");
    EXPECT_EQ(frame.SB_clear_history->text(), "Clear history");
    EXPECT_EQ(frame.SB_how_to->text(), "Get listed in search results");
    EXPECT_EQ(frame.Panel1->size(), QSize(582, 351));
    EXPECT_EQ(frame.Memo_log->size(), QSize(358, 57));
    EXPECT_EQ(frame.Image1->pixmap().size(), QSize(140, 30));
    EXPECT_FALSE(frame.SB_stop->isEnabled());
    EXPECT_TRUE(frame.SB_start->isEnabled());
    EXPECT_FALSE(frame.PB_busy->isVisible());
    EXPECT_EQ(listed(frame.LB_kw), (QStringList{"air", "hotel", "new  york"}));

    // Halves go to the even neighbour: 1.5 -> 2, 2.5 -> 2, 0.5 -> 0.
    frame.resize(585, 352);
    QCoreApplication::processEvents();
    EXPECT_EQ(frame.Panel1->pos(), QPoint(2, 0));
    frame.resize(587, 356);
    QCoreApplication::processEvents();
    EXPECT_EQ(frame.Panel1->pos(), QPoint(2, 2));
    frame.resize(500, 300);
    QCoreApplication::processEvents();
    EXPECT_EQ(frame.Panel1->pos(), QPoint(-41, -26));
}

TEST_F(AutoSearch, KeywordListEditing) {
    start();
    type("alpha  beta gamma");
    EXPECT_EQ(listed(frame.LB_selected), (QStringList{"alpha", "beta", "gamma"}));
    EXPECT_EQ(frame.Edit_kw->text(), "");
    // Listed already in another letter case: only highlighted.
    type("BETA");
    EXPECT_EQ(frame.LB_selected->count(), 3);
    EXPECT_EQ(frame.LB_selected->currentItem()->text(), "beta");

    // An often-used keyword picked with the edit empty; one with several words gives each.
    frame.LB_kw->setCurrentRow(1);
    click(frame.SB_add);
    frame.LB_kw->setCurrentRow(2);
    click(frame.SB_add);
    EXPECT_EQ(listed(frame.LB_selected),
              (QStringList{"alpha", "beta", "gamma", "hotel", "new", "york"}));

    // Double click and Enter in the often-used list fill the edit.
    QListWidget* kw = frame.LB_kw;
    const QPoint first = kw->visualItemRect(kw->item(0)).center();
    QTest::mouseClick(kw->viewport(), Qt::LeftButton, {}, first);
    QTest::mouseDClick(kw->viewport(), Qt::LeftButton, {}, first);
    EXPECT_EQ(frame.Edit_kw->text(), "air");
    frame.Edit_kw->clear();
    kw->setFocus();
    kw->setCurrentRow(1);
    QTest::keyClick(kw, Qt::Key_Return);
    EXPECT_EQ(frame.Edit_kw->text(), "hotel");
    EXPECT_TRUE(frame.Edit_kw->hasFocus());
    frame.Edit_kw->clear();

    // Del leaves nothing selected, so a second click removes nothing more.
    frame.LB_selected->setCurrentRow(0);
    click(frame.SB_remove);
    EXPECT_EQ(listed(frame.LB_selected).first(), "beta");
    EXPECT_TRUE(frame.LB_selected->selectedItems().isEmpty());
    click(frame.SB_remove);
    EXPECT_EQ(frame.LB_selected->count(), 5);

    DialogDriver dialogs;
    dialogs.No().Yes();
    click(frame.SB_clear);
    EXPECT_EQ(frame.LB_selected->count(), 5);
    click(frame.SB_clear);
    EXPECT_EQ(frame.LB_selected->count(), 0);
    click(frame.SB_clear); // an empty list asks nothing
    EXPECT_EQ(dialogs.Seen(),
              (QStringList{"Clear selected keyword list?", "Clear selected keyword list?"}));
    EXPECT_TRUE(dialogs.Done());
}

TEST_F(AutoSearch, RunStaysResponsiveAndLogs) {
    FeedServer feed({"--behave", "slow=slow", "--delay-ms", "5"});
    start("FEED_HOST=\"" + feed.host() + "\"");
    type("hotel slow");
    click(frame.SB_start);

    // While the slow reply comes in, the window works and shows that it is busy.
    ASSERT_TRUE(frame.Busy);
    EXPECT_FALSE(frame.SB_start->isEnabled());
    EXPECT_FALSE(frame.SB_add->isEnabled());
    EXPECT_TRUE(frame.SB_stop->isEnabled());
    EXPECT_TRUE(frame.PB_busy->isVisible());
    bool ticked = false;
    QTimer::singleShot(20, &frame, [&] { ticked = true; });
    EXPECT_TRUE(WaitUntil([&] { return ticked; }, 2000));
    type("later");
    EXPECT_EQ(frame.LB_selected->count(), 2); // Add is off during the run

    ASSERT_TRUE(waitIdle());
    EXPECT_EQ(logLines(frame), (QStringList{M::RequestSending, M::ResponceRetrieving,
                                            M::ResponceParsing, M::ResponceRetrieving,
                                            M::ResponceParsing, M::Finished, "New URLs added:10"}));
    EXPECT_EQ(urls->ChildCount(), 10);
    EXPECT_TRUE(frame.SB_start->isEnabled());
    EXPECT_FALSE(frame.SB_stop->isEnabled());
    // The line and the bar stay with where the run ended.
    EXPECT_EQ(frame.L_progress->text(), "Searched 2 of 2 keywords.");
    EXPECT_EQ(frame.PB_busy->value(), frame.PB_busy->maximum());

    // The log grows over runs until it is cleared.
    click(frame.SB_start);
    ASSERT_TRUE(waitIdle());
    EXPECT_EQ(logLines(frame).size(), 14);
    EXPECT_EQ(logLines(frame).last(), "New URLs added:0");
    click(frame.SB_clear_history);
    EXPECT_EQ(frame.Memo_log->toPlainText(), "");
}

TEST_F(AutoSearch, StopAndEmptyList) {
    FeedServer feed({"--behave", "slow=slow"});
    start("FEED_HOST=\"" + feed.host() + "\"");

    DialogDriver dialogs;
    dialogs.Ok();
    click(frame.SB_start);
    EXPECT_EQ(dialogs.Seen(), QStringList{M::NoKeywords});
    EXPECT_EQ(logLines(frame), QStringList{"New URLs added:0"});
    EXPECT_FALSE(frame.Busy);

    type("slow air");
    click(frame.SB_start);
    ASSERT_TRUE(WaitUntil([&] { return feed.requests().size() == 1; }));
    // The line counts the seconds the reply is awaited; line and bar fit beside the controls.
    EXPECT_TRUE(WaitUntil(
        [&] {
            return frame.L_progress->text() == "Keyword 1 of 2: slow, waiting for a reply: 1 s";
        },
        5000))
        << frame.L_progress->text().toStdString();
    EXPECT_EQ(frame.PB_busy->maximum(), 2);
    EXPECT_EQ(frame.PB_busy->value(), 0);
    EXPECT_EQ(LayoutFaults(frame.Panel1), "");
    click(frame.SB_stop);
    EXPECT_EQ(frame.L_progress->text(), "Searched 1 of 2 keywords.");
    EXPECT_EQ(frame.PB_busy->value(), 1);
    EXPECT_FALSE(frame.Busy);
    EXPECT_FALSE(frame.Search->Running());
    EXPECT_EQ(logLines(frame), (QStringList{"New URLs added:0", M::RequestSending, M::CantSend,
                                            M::Finished, "New URLs added:0"}));
    QTest::qWait(100);
    EXPECT_EQ(feed.requests().size(), 1u);
    EXPECT_TRUE(frame.SB_start->isEnabled());

    // The how-to question; No opens nothing.
    dialogs.No();
    click(frame.SB_how_to);
    EXPECT_EQ(dialogs.Seen().last(), "Open explaining web-page online for details?");
    EXPECT_TRUE(dialogs.Done());
}

TEST_F(AutoSearch, ClosedDuringSlowReply) {
    FeedServer feed({"--behave", "slow=slow"});
    start("FEED_HOST=\"" + feed.host() + "\"");
    auto closing = std::make_unique<TO_autosearch>([this] { return Settings(); });
    closing->show();
    closing->LB_selected->addItem("slow");
    click(closing->SB_start);
    ASSERT_TRUE(WaitUntil([&] { return feed.requests().size() == 1; }));
    QTest::qWait(300); // bytes of the reply came in
    QElapsedTimer t;
    t.start();
    closing.reset();
    EXPECT_LT(t.elapsed(), 1000);
    // The transfer's thread is gone with the window, not left to finish on its own.
    EXPECT_EQ(SearchRun::LiveTransferThreads(), 0);
    QTest::qWait(50);
}

TEST_F(AutoSearch, ProxyLoginDialogOncePerKeyword) {
    FeedServer feed;
    TinyProxy proxy("alice", "s3cret");
    ASSERT_TRUE(proxy.running());
    start("FEED_HOST=\"" + feed.host() + "\" USEPROXY=\"Y\" PROXYIP=\"127.000.000.001\" " +
          "PROXYPORT=\"" + std::to_string(proxy.port()) + "\"");
    ASSERT_TRUE(settings->UseLoginDialog());

    QStringList shown;
    const auto answer = [&](const QString& user, const QString& password) {
        return [&, user, password](QWidget* w) {
            auto* login = qobject_cast<TD_proxyLogin*>(w);
            ASSERT_NE(login, nullptr);
            shown << login->Edit_proxyUser->text() + ":" + login->Edit_proxyPass->text();
            if (!user.isNull()) {
                login->Edit_proxyUser->setText(user);
                login->Edit_proxyPass->setText(password);
            }
            DialogDriver::ClickButton(w, "Ok");
        };
    };
    DialogDriver dialogs;
    dialogs.Then(answer("alice", "s3cret")).Then(answer({}, {})).Then(answer({}, {}));
    type("air hotel travel");
    click(frame.SB_start);
    ASSERT_TRUE(waitIdle());
    EXPECT_TRUE(dialogs.Done());
    // Each time filled with the values confirmed last.
    EXPECT_EQ(shown, (QStringList{":", "alice:s3cret", "alice:s3cret"}));
    EXPECT_EQ(logLines(frame).last(), "New URLs added:15");
    EXPECT_EQ(feed.requests().size(), 3u);
}

TEST_F(AutoSearch, SourceChooserListsTheSettingsSourcesAndKeepsTheChoice) {
    start("", R"(<SOURCES CHOSEN="Local searx"><SOURCE NAME="Local searx" KIND="searx" )"
              R"(ADDRESS="http://127.0.0.1:9"/></SOURCES>)");
    EXPECT_EQ(frame.Label_source->text(), "Search with:");
    EXPECT_EQ(frame.CB_source->count(), 2);
    EXPECT_EQ(frame.CB_source->itemText(0), "Quarrylog feed");
    EXPECT_EQ(frame.CB_source->currentText(), "Local searx");
    EXPECT_EQ(frame.CB_source->itemData(1, Qt::ToolTipRole).toString(),
              "SearXNG / searx: http://127.0.0.1:9");
    // The chooser takes room of its own; the designed controls keep theirs.
    EXPECT_EQ(LayoutFaults(frame.Panel1), "");
    SaveScreenshot(&frame, "auto-search-page");

    frame.CB_source->setFocus();
    QTest::keyClick(frame.CB_source, Qt::Key_Up);
    EXPECT_EQ(frame.ChosenSource(), FeedSource());
    TQelPigger& tree = settings->Store().Tree();
    EXPECT_EQ(ChosenSourceName(tree), FeedSourceName);

    // Read again when the settings changed: the choice stays, a new source is offered.
    SearchSource omega;
    omega.name = "Omega";
    omega.kind = SearchSource::OpenSearch;
    omega.address = "http://127.0.0.1:9/?P={searchTerms}";
    WriteSources(tree, {FeedSource(), omega});
    frame.LoadSources();
    EXPECT_EQ(frame.CB_source->count(), 2);
    EXPECT_EQ(frame.CB_source->currentText(), "Quarrylog feed");
    EXPECT_TRUE(frame.ChooseSource("OMEGA"));
    EXPECT_EQ(frame.ChosenSource(), omega);
    EXPECT_EQ(ChosenSourceName(tree), "Omega");
    EXPECT_FALSE(frame.ChooseSource("Local searx"));
    EXPECT_EQ(frame.ChosenSource(), omega);
}

namespace {

// A SOURCES element with one source named "Engine", chosen.
std::string chosenSource(const char* kind, const std::string& address) {
    return std::string(R"(<SOURCES CHOSEN="Engine"><SOURCE NAME="Engine" KIND=")") + kind +
           R"(" ADDRESS=")" + address + R"(" INTERVAL="0"/></SOURCES>)";
}

QStringList addresses(const TQelPigger* urls) {
    QStringList out;
    for (const TQelPigger* record : urls->Children())
        out << ToQ(record->GetAttr(RecordFields::Url));
    return out;
}

} // namespace

TEST_F(AutoSearch, AnotherSourceFillsTheReportAndLogsEachKeyword) {
    SearxServer searx({{"http://a.example/cats", "Cats", "all about cats"},
                       {"http://b.example/dogs", "Dogs", "and cats too"},
                       {"http://c.example/", "Birds", "nothing else"}});
    start("", chosenSource("searx", searx.baseUrl()));
    type("dogs cats");
    click(frame.SB_start);
    EXPECT_TRUE(frame.Busy);
    EXPECT_FALSE(frame.CB_source->isEnabled());
    ASSERT_NE(frame.Run, nullptr);
    ASSERT_TRUE(waitIdle(60000));
    EXPECT_FALSE(frame.Run->Running());
    EXPECT_TRUE(frame.CB_source->isEnabled());
    // Keyword order, then result order; the feed was not asked.
    EXPECT_EQ(addresses(urls), (QStringList{"http://b.example/dogs", "http://a.example/cats"}));
    const QStringList log = logLines(frame);
    EXPECT_TRUE(log.contains(ToQ(SourceMessages::KeywordSummary("dogs", 1, 1, 1))))
        << log.join("\n").toStdString();
    EXPECT_TRUE(log.contains(ToQ(SourceMessages::KeywordSummary("cats", 1, 2, 1))))
        << log.join("\n").toStdString();
    EXPECT_EQ(log.mid(log.size() - 2), (QStringList{M::Finished, "New URLs added:2"}));
    EXPECT_EQ(frame.L_progress->text(), "Searched 2 of 2 keywords.");
}

TEST_F(AutoSearch, StopEndsARunOfAnotherSource) {
    WebServer web;
    web.setReply("fast", RssHeaders, RssReply({{"Fast", "http://fast.example/"}}));
    web.setReply("slow", "X-Hang: 1", "");
    start("", chosenSource("opensearch", web.baseUrl() + "/search?q={searchTerms}"));
    type("fast slow");
    click(frame.SB_start);
    ASSERT_TRUE(WaitUntil([&] { return web.requests().size() == 2; }));
    click(frame.SB_stop);
    EXPECT_FALSE(frame.Busy);
    EXPECT_FALSE(frame.Run->Running());
    EXPECT_TRUE(frame.SB_start->isEnabled());
    // What came before the hang is kept.
    EXPECT_EQ(addresses(urls), QStringList{"http://fast.example/"});
    const QStringList log = logLines(frame);
    EXPECT_TRUE(log.contains(SourceMessages::Stopped)) << log.join("\n").toStdString();
    EXPECT_EQ(log.last(), "New URLs added:1");
}
