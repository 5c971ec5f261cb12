// The "Search sources" page of the settings window and its source dialog, as the user works
// them: every change lands in the settings file.
#include "search/SourceMessages.h"
#include "settings/TD_settings_user.h"
#include "settings/TD_source_edit.h"
#include "settings/TD_source_try.h"
#include "settings/core/SourceList.h"
#include "tree/LocalText.h"

#include "support/DialogDriver.h"
#include "support/RssReply.h"
#include "support/SearxServer.h"
#include "support/TempDir.h"
#include "support/TidyLayout.h"
#include "support/WebServer.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTreeWidget>

namespace {

const char* const kStored =
    R"(<SETTINGS><SOURCES CHOSEN="Local searx"><SOURCE NAME="Local searx" KIND="searx" )"
    R"(ADDRESS="http://127.0.0.1:8888" PAGES="2" PARALLEL="1" INTERVAL="500" INDEXOFFSET="1" )"
    R"(PAGEOFFSET="1"/></SOURCES></SETTINGS>)";

QStringList rows(const QTreeWidget* list, int column = 0) {
    QStringList texts;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        texts << list->topLevelItem(i)->text(column);
    return texts;
}

void typeInto(QLineEdit* field, const QString& text) {
    field->setFocus();
    field->selectAll();
    QTest::keyClicks(field, text);
}

void setSpin(QSpinBox* box, int value) {
    box->setFocus();
    box->selectAll();
    QTest::keyClicks(box, QString::number(value));
}

// The settings window shown on the "Search sources" page, over a settings file with one source.
// Answers a prompt (QInputDialog) with a text, noting what it offered first.
std::function<void(QWidget*)> answerPrompt(const QString& answer, QString* offered = nullptr) {
    return [=](QWidget* w) {
        auto* prompt = qobject_cast<QInputDialog*>(w);
        ASSERT_NE(prompt, nullptr);
        if (offered)
            *offered = prompt->textValue();
        typeInto(prompt->findChild<QLineEdit*>(), answer);
        DialogDriver::ClickButton(prompt, "OK");
    };
}

// Settings holding one source of the given kind and address, chosen.
std::string settingsWith(const char* kind, const std::string& address) {
    return std::string(R"(<SETTINGS><SOURCES CHOSEN="Engine"><SOURCE NAME="Engine" KIND=")") +
           kind + R"(" ADDRESS=")" + address + R"(" INTERVAL="0"/></SOURCES></SETTINGS>)";
}

// What the try dialog showed once its run ended: the results as "title|address" and the log.
struct Tried {
    QStringList results;
    QStringList log;
};

class SourcesPage : public ::testing::Test {
protected:
    void SetUp() override { open(kStored); }
    // The window on a settings file of this text, on the "Search sources" page.
    void open(const std::string& settingsText) {
        s.reset();
        dir.write("q.set", settingsText);
        s = std::make_unique<TD_settings_user>(dir.qpath("q.set"));
        s->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(s.get()));
        QTabBar* bar = s->PageControl1->tabBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(2).center());
        ASSERT_TRUE(s->LV_sources->isVisible());
    }
    void select(int row) { s->LV_sources->setCurrentItem(s->LV_sources->topLevelItem(row)); }
    // Tries the source of row 1 for keyword; whileRunning acts on the dialog during the run.
    Tried tryFor(const QString& keyword,
                 const std::function<void(TD_source_try*)>& whileRunning = {}) {
        select(1);
        Tried shown;
        QString offered;
        dialogs.Then(answerPrompt(keyword, &offered)).Then([&](QWidget* w) {
            auto* d = qobject_cast<TD_source_try*>(w);
            ASSERT_NE(d, nullptr);
            if (whileRunning)
                whileRunning(d);
            EXPECT_TRUE(WaitUntil([&] { return !d->Running(); }, 60000));
            for (int i = 0; i < d->LV_results->topLevelItemCount(); ++i)
                shown.results << d->LV_results->topLevelItem(i)->text(0) + "|" +
                                     d->LV_results->topLevelItem(i)->text(1);
            shown.log = d->Memo_log->toPlainText().split('\n');
            EXPECT_EQ(d->CloseBtn->text().remove('&'), "Close");
            EXPECT_EQ(LayoutFaults(d), "");
            SaveScreenshot(d, "try-" + keyword);
            click(d->CloseBtn);
        });
        click(s->btn_try_source);
        EXPECT_TRUE(dialogs.Done()) << dialogs.Unexpected().join(",").toStdString();
        EXPECT_EQ(offered, "test");
        return shown;
    }
    void click(QPushButton* b) { QTest::mouseClick(b, Qt::LeftButton); }
    // Closes the window as the user does; the file is then written.
    std::string closeAndRead() {
        click(s->OKBtn);
        return dir.read("q.set");
    }

    TempDir dir;
    std::unique_ptr<TD_settings_user> s;
    DialogDriver dialogs;
};

} // namespace

TEST_F(SourcesPage, ListsTheFeedFirstWhichStaysAsItIs) {
    EXPECT_EQ(s->PageControl1->tabText(1), "Keywords");
    EXPECT_EQ(s->PageControl1->tabText(2), "Search sources");
    EXPECT_EQ(rows(s->LV_sources), (QStringList{"Quarrylog feed", "Local searx"}));
    EXPECT_EQ(rows(s->LV_sources, 1), (QStringList{"Quarrylog feed", "SearXNG / searx"}));
    EXPECT_EQ(rows(s->LV_sources, 2), (QStringList{"(built in)", "http://127.0.0.1:8888"}));
    // Every page stays tidy in the window the sources page widened.
    for (int page = 0; page < s->PageControl1->count(); ++page) {
        s->PageControl1->setCurrentIndex(page);
        EXPECT_EQ(LayoutFaults(s.get()), "") << page;
        SaveScreenshot(s.get(), "settings-page-" + QString::number(page));
    }
    s->PageControl1->setCurrentIndex(2);
    select(0);
    EXPECT_FALSE(s->btn_edit_source->isEnabled());
    EXPECT_FALSE(s->btn_del_source->isEnabled());
    // Neither a double click nor the Delete key opens a dialog for the feed.
    QTest::mouseDClick(s->LV_sources->viewport(), Qt::LeftButton, {},
                       s->LV_sources->visualItemRect(s->LV_sources->topLevelItem(0)).center());
    QTest::keyClick(s->LV_sources, Qt::Key_Delete);
    EXPECT_TRUE(dialogs.Done());
    select(1);
    EXPECT_TRUE(s->btn_edit_source->isEnabled());
    EXPECT_TRUE(s->btn_del_source->isEnabled());
}

TEST_F(SourcesPage, AddLandsInTheSettingsFile) {
    QString title;
    dialogs.Then([&](QWidget* w) {
        auto* d = qobject_cast<TD_source_edit*>(w);
        ASSERT_NE(d, nullptr);
        title = d->windowTitle();
        typeInto(d->Edit_name, "Omega");
        d->CB_kind->setCurrentIndex(d->CB_kind->findText("OpenSearch"));
        typeInto(d->Edit_address, "http://127.0.0.1:9/omega?P={searchTerms}&TOPDOC={startIndex?}");
        setSpin(d->SE_pages, 3);
        setSpin(d->SE_interval, 0);
        DialogDriver::ClickButton(d, "OK");
    });
    click(s->btn_add_source);
    EXPECT_TRUE(dialogs.Done());
    EXPECT_EQ(title, "Add source");
    EXPECT_EQ(rows(s->LV_sources), (QStringList{"Quarrylog feed", "Local searx", "Omega"}));
    EXPECT_EQ(s->SelectedSource(), 2);
    EXPECT_NE(closeAndRead().find(
                  R"(<SOURCE NAME="Omega" KIND="opensearch" )"
                  R"(ADDRESS="http://127.0.0.1:9/omega?P={searchTerms}&TOPDOC={startIndex?}" )"
                  R"(PAGES="3" PARALLEL="1" INTERVAL="0" INDEXOFFSET="1" PAGEOFFSET="1"/>)"),
              std::string::npos)
        << dir.read("q.set");
}

TEST_F(SourcesPage, EditShowsTheSourceAndARenameStaysChosen) {
    select(1);
    dialogs.Then([&](QWidget* w) {
        auto* d = qobject_cast<TD_source_edit*>(w);
        ASSERT_NE(d, nullptr);
        EXPECT_EQ(d->windowTitle(), "Edit source");
        EXPECT_EQ(d->Edit_name->text(), "Local searx");
        EXPECT_EQ(d->CB_kind->currentText(), "SearXNG / searx");
        EXPECT_EQ(d->Edit_address->text(), "http://127.0.0.1:8888");
        EXPECT_EQ(d->SE_pages->value(), 2);
        EXPECT_EQ(d->SE_interval->value(), 500);
        // Its own name in another letter case is no duplicate.
        typeInto(d->Edit_name, "LOCAL SEARX");
        setSpin(d->SE_parallel, 4);
        DialogDriver::ClickButton(d, "OK");
    });
    click(s->btn_edit_source);
    EXPECT_TRUE(dialogs.Done());
    EXPECT_EQ(rows(s->LV_sources), (QStringList{"Quarrylog feed", "LOCAL SEARX"}));
    const std::string file = closeAndRead();
    EXPECT_NE(file.find(R"(<SOURCES CHOSEN="LOCAL SEARX">)"), std::string::npos) << file;
    EXPECT_NE(file.find(R"(NAME="LOCAL SEARX" KIND="searx" ADDRESS="http://127.0.0.1:8888" )"
                        R"(PAGES="2" PARALLEL="4" INTERVAL="500")"),
              std::string::npos)
        << file;
}

TEST_F(SourcesPage, RemoveAsksAndLeavesNoTrace) {
    select(1);
    dialogs.No().Yes();
    click(s->btn_del_source);
    EXPECT_EQ(rows(s->LV_sources).size(), 2);
    QTest::keyClick(s->LV_sources, Qt::Key_Delete);
    EXPECT_TRUE(dialogs.Done());
    EXPECT_EQ(dialogs.Seen(), QStringList(2, "Remove source\n\"Local searx\"\nfrom the list?"));
    EXPECT_EQ(rows(s->LV_sources), QStringList{"Quarrylog feed"});
    EXPECT_EQ(s->SelectedSource(), 0);
    EXPECT_EQ(closeAndRead().find("SOURCE"), std::string::npos) << dir.read("q.set");
}

TEST_F(SourcesPage, TryShowsWhatASearxServerFinds) {
    SearxServer searx({{"http://a.example/cats", "Cats and more", "all about cats"},
                       {"http://b.example/", "Dogs", "no felines here"},
                       {"http://c.example/pets", "Pets", "cats, dogs"}});
    open(settingsWith("searx", searx.baseUrl()));
    select(0);
    EXPECT_FALSE(s->btn_try_source->isEnabled());
    const Tried tried = tryFor("cats");
    EXPECT_EQ(tried.results,
              (QStringList{"Cats and more|http://a.example/cats", "Pets|http://c.example/pets"}));
    EXPECT_TRUE(tried.log.contains(ToQ(SourceMessages::KeywordSummary("cats", 1, 2, 2))))
        << tried.log.join("\n").toStdString();
    EXPECT_EQ(tried.log.last(), "New URLs added:2");
}

TEST_F(SourcesPage, TryStopsWithCancel) {
    WebServer web;
    web.setReply("slow", "X-Hang: 1", "");
    open(settingsWith("opensearch", web.baseUrl() + "/search?q={searchTerms}"));
    const Tried tried = tryFor("slow", [&](TD_source_try* d) {
        ASSERT_TRUE(WaitUntil([&] { return web.requests().size() == 1; }));
        EXPECT_EQ(d->CloseBtn->text().remove('&'), "Cancel");
        EXPECT_TRUE(d->Running());
        click(d->CloseBtn);
        EXPECT_FALSE(d->Running());
        EXPECT_TRUE(d->isVisible());
    });
    EXPECT_TRUE(tried.results.isEmpty());
    EXPECT_TRUE(tried.log.contains(SourceMessages::Stopped)) << tried.log.join("\n").toStdString();
}

TEST(SourceEditDialog, FindMakesTheSourceFromAWebPage) {
    WebServer web;
    web.setFile("engine/index.html", PageNamingDescription("/desc.osd.xml"));
    web.setFile("desc.osd.xml", DescriptionOffering("Loopback", web.baseUrl()));
    SearchSource blank;
    blank.kind = SearchSource::OpenSearch;
    TD_source_edit d("Add source", blank, {}, {});
    d.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&d));

    DialogDriver dialogs;
    QString offered;
    dialogs.Then(answerPrompt(ToQ(web.baseUrl() + "/engine/"))).Then([&](QWidget* w) {
        auto* pick = qobject_cast<QInputDialog*>(w);
        ASSERT_NE(pick, nullptr);
        EXPECT_EQ(pick->comboBoxItems().size(), 2);
        offered = pick->textValue();
        DialogDriver::ClickButton(pick, "OK");
    });
    QTest::mouseClick(d.SB_find, Qt::LeftButton);
    EXPECT_TRUE(dialogs.Done()) << dialogs.Unexpected().join(",").toStdString();
    // RSS is offered first, and taken.
    const QString rss = ToQ(web.baseUrl() + "/search?q={searchTerms}&format=rss&p={startPage?}");
    EXPECT_TRUE(offered.endsWith(rss)) << offered.toStdString();
    EXPECT_EQ(d.Edit_address->text(), rss);
    EXPECT_TRUE(d.Edit_name->text().startsWith("Loopback")) << d.Edit_name->text().toStdString();

    // Nothing found: the reason, and the fields stay.
    dialogs.Then(answerPrompt(ToQ(web.baseUrl() + "/nothing.html"))).Ok();
    QTest::mouseClick(d.SB_find, Qt::LeftButton);
    EXPECT_TRUE(dialogs.Done()) << dialogs.Unexpected().join(",").toStdString();
    ASSERT_EQ(dialogs.Seen().size(), 1);
    EXPECT_FALSE(dialogs.Seen().first().isEmpty());
    EXPECT_EQ(d.Edit_address->text(), rss);

    d.CB_kind->setCurrentIndex(d.CB_kind->findText("SearXNG / searx"));
    EXPECT_FALSE(d.SB_find->isEnabled());
}

TEST(SourceEditDialog, RefusesWithAMessageAndStaysOpen) {
    TQelPigger root;
    root.SetAsText(kStored);
    SourceList list(root);
    SearchSource blank;
    blank.kind = SearchSource::OpenSearch;
    TD_source_edit d("Add source", blank,
                     [&](const SearchSource& source) { return list.Check(source, -1); }, {});
    d.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&d));
    EXPECT_EQ(d.Edit_address->placeholderText(),
              "https://example.org/search?q={searchTerms}&page={startPage?}");
    EXPECT_EQ(LayoutFaults(&d), "");
    SaveScreenshot(&d, "source-dialog");
    d.CB_kind->setCurrentIndex(d.CB_kind->findText("SearXNG / searx"));
    EXPECT_EQ(d.Label_hint->text(), "For example: http://127.0.0.1:8888\nThe server's own "
                                    "address; the search is asked at ADDRESS/search");

    DialogDriver dialogs;
    dialogs.Ok().Ok();
    typeInto(d.Edit_name, "local SEARX");
    typeInto(d.Edit_address, "http://127.0.0.1:8888");
    QTest::mouseClick(d.OKBtn, Qt::LeftButton);
    typeInto(d.Edit_name, "Other");
    typeInto(d.Edit_address, "127.0.0.1:8888");
    QTest::mouseClick(d.OKBtn, Qt::LeftButton);
    EXPECT_EQ(dialogs.Seen(),
              (QStringList{"There is a source named \"Local searx\" already; choose another name.",
                           "The address must begin with http:// or https://."}));
    EXPECT_TRUE(d.isVisible());
    EXPECT_EQ(d.result(), 0);

    typeInto(d.Edit_address, "http://127.0.0.1:8888");
    QTest::mouseClick(d.OKBtn, Qt::LeftButton);
    EXPECT_FALSE(d.isVisible());
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_TRUE(dialogs.Done());
    EXPECT_EQ(d.Source().name, "Other");
    EXPECT_EQ(d.Source().kind, SearchSource::Searx);
}
