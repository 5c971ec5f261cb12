#include "settings/TD_settings_user.h"
#include "settings/TD_proxyLogin.h"
#include "settings/core/PasswordScramble.h"
#include "settings/core/SettingsStore.h"

#include "support/DialogDriver.h"
#include "support/TempDir.h"
#include "support/TidyLayout.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QGroupBox>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>

namespace {

// A settings window shown on screen, so that it can be clicked and typed into.
struct ShownSettings {
    explicit ShownSettings(const QString& file) : s(file) {
        s.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&s));
    }
    TD_settings_user s;
};

void clickBox(QAbstractButton* box) {
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2));
}

void typeInto(QLineEdit* field, const QString& text) {
    field->setFocus();
    field->selectAll();
    QTest::keyClicks(field, text);
}

void turnToPage(TD_settings_user& s, int index) {
    QTabBar* bar = s.PageControl1->tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(index).center());
}

QStringList listed(const QListWidget* list) {
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts << list->item(i)->text();
    return texts;
}

// Answers the "New keyword" prompt by typing the answer and pressing OK.
std::function<void(QWidget*)> answerPrompt(const QString& answer, QString* caption = nullptr,
                                           QString* prompt = nullptr) {
    return [=](QWidget* w) {
        auto* dialog = qobject_cast<QInputDialog*>(w);
        ASSERT_NE(dialog, nullptr);
        if (caption)
            *caption = dialog->windowTitle();
        if (prompt)
            *prompt = dialog->labelText();
        QTest::keyClicks(dialog->findChild<QLineEdit*>(), answer);
        DialogDriver::ClickButton(dialog, "OK");
    };
}

void writeSettings(const TempDir& dir, const std::string& name,
                   const std::vector<std::pair<const char*, std::string>>& attrs) {
    SettingsStore store(dir.path(name));
    for (const auto& [key, value] : attrs)
        store.Set(key, value);
    store.SaveNow();
}

const QStringList kSortedDefaults = {"air",   "business", "card",  "credit", "hosting",
                                     "hotel", "mp3",      "music", "plain",  "ticket",
                                     "train", "travel",   "WEB"};

} // namespace

TEST(UserSettings, FirstStartOffersDefaultsAndNoProxy) {
    TempDir dir;
    {
        TD_settings_user s(dir.qpath("q.set"));
        EXPECT_EQ(s.windowTitle(), "Settings");
        EXPECT_EQ(s.OKBtn->text().remove('&'), "Close");
        EXPECT_TRUE(s.CancelBtn->isHidden());
        EXPECT_EQ(s.PageControl1->tabText(0), "Proxy");
        EXPECT_EQ(s.PageControl1->tabText(1), "Keywords");

        EXPECT_EQ(listed(s.LB_keywords), kSortedDefaults);
        TQelPigger* keywords = s.SettingsTree().FindChild("KEYWORDS");
        ASSERT_NE(keywords, nullptr);
        ASSERT_EQ(keywords->ChildCount(), 13);
        EXPECT_EQ(keywords->Child(0)->GetAttr("VAL"), "WEB");
        EXPECT_EQ(keywords->Child(12)->GetAttr("VAL"), "business");
        std::vector<std::string> expected;
        for (const QString& k : kSortedDefaults)
            expected.push_back(k.toStdString());
        EXPECT_EQ(s.OftenUsedKeywords(), expected);

        EXPECT_EQ(s.Edit_ProxyPort->displayText(), "8080");
        EXPECT_EQ(s.Edit_proxyIP->displayText(), "___.___.___.___");
        EXPECT_FALSE(s.CB_proxy->isChecked());
        EXPECT_TRUE(s.RB_proxy_login_dialog->isChecked());
        for (QWidget* w : std::initializer_list<QWidget*>{
                 s.Edit_proxyIP, s.Edit_ProxyPort, s.Edit_proxyUser, s.Edit_proxyPass,
                 s.RB_proxy_login_dialog, s.RB_proxy_login_save, s.SB_proxyLogin})
            EXPECT_FALSE(w->isEnabled()) << w->objectName().toStdString();
        EXPECT_FALSE(s.UseProxy());
        EXPECT_EQ(s.GetProxyIP(), "");
        EXPECT_EQ(s.GetProxyPort(), "");
        // The port field shows 8080 without storing anything.
        for (const char* key : {"PROXYPORT", "PROXYIP", "USEPROXY", "SAVEPROXYLOGIN"})
            EXPECT_EQ(s.SettingsTree().GetAttr(key), "") << key;
    }
    const std::string file = dir.read("q.set");
    EXPECT_EQ(file.find("PROXYPORT"), std::string::npos);
    EXPECT_NE(file.find("<KW VAL=\"business\"/>"), std::string::npos);

    // The second start lists what is stored and adds nothing.
    TD_settings_user again(dir.qpath("q.set"));
    EXPECT_EQ(listed(again.LB_keywords), kSortedDefaults);
    EXPECT_EQ(again.SettingsTree().FindChild("KEYWORDS")->ChildCount(), 13);
}

TEST(UserSettings, StoredKeywordSectionDecidesAboutDefaults) {
    TempDir dir;
    dir.write("empty.set", "<SETTINGS><KEYWORDS></KEYWORDS></SETTINGS>");
    dir.write("blank.set", "<SETTINGS><KEYWORDS><KW VAL=\"\"/><KW/></KEYWORDS></SETTINGS>");
    dir.write("own.set",
              "<SETTINGS><KEYWORDS><KW VAL=\"zoo\"/><KW VAL=\"Apple\"/><KW VAL=\"banana\"/>"
              "</KEYWORDS><OTHER X=\"1\"/></SETTINGS>");
    {
        TD_settings_user s(dir.qpath("empty.set"));
        EXPECT_EQ(listed(s.LB_keywords), kSortedDefaults);
    }
    {
        TD_settings_user s(dir.qpath("blank.set"));
        EXPECT_EQ(s.LB_keywords->count(), 0);
        EXPECT_EQ(s.SettingsTree().FindChild("KEYWORDS")->ChildCount(), 2);
    }
    {
        TD_settings_user s(dir.qpath("own.set"));
        EXPECT_EQ(listed(s.LB_keywords), (QStringList{"Apple", "banana", "zoo"}));
    }
    // Other elements stay untouched.
    EXPECT_NE(dir.read("own.set").find("<OTHER X=\"1\"/>"), std::string::npos);
}

TEST(UserSettings, CheckBoxAndRadioButtonsEnableTheFields) {
    TempDir dir;
    ShownSettings shown(dir.qpath("q.set"));
    TD_settings_user& s = shown.s;
    TQelPigger& tree = s.SettingsTree();

    clickBox(s.CB_proxy);
    EXPECT_TRUE(s.UseProxy());
    EXPECT_EQ(tree.GetAttr("USEPROXY"), "Y");
    EXPECT_TRUE(s.Edit_proxyIP->isEnabled());
    EXPECT_TRUE(s.Edit_ProxyPort->isEnabled());
    EXPECT_TRUE(s.RB_proxy_login_dialog->isEnabled());
    EXPECT_TRUE(s.RB_proxy_login_save->isEnabled());
    EXPECT_TRUE(s.SB_proxyLogin->isEnabled());
    EXPECT_FALSE(s.Edit_proxyUser->isEnabled());
    EXPECT_FALSE(s.Edit_proxyPass->isEnabled());
    EXPECT_TRUE(s.UseLoginDialog());

    clickBox(s.RB_proxy_login_save);
    EXPECT_EQ(tree.GetAttr("SAVEPROXYLOGIN"), "Y");
    EXPECT_FALSE(s.UseLoginDialog());
    EXPECT_TRUE(s.Edit_proxyUser->isEnabled());
    EXPECT_TRUE(s.Edit_proxyPass->isEnabled());
    // Disabled fields take the face colour of buttons.
    EXPECT_EQ(s.Edit_proxyUser->palette().color(QPalette::Disabled, QPalette::Base),
              s.Edit_proxyUser->palette().color(QPalette::Button));

    clickBox(s.RB_proxy_login_dialog);
    EXPECT_EQ(tree.GetAttr("SAVEPROXYLOGIN"), "");
    EXPECT_FALSE(s.Edit_proxyUser->isEnabled());

    clickBox(s.RB_proxy_login_save);
    typeInto(s.Edit_proxyIP, "10.1.2.3");
    clickBox(s.CB_proxy);
    EXPECT_EQ(tree.GetAttr("USEPROXY"), "");
    for (QWidget* w : std::initializer_list<QWidget*>{
             s.Edit_proxyIP, s.Edit_ProxyPort, s.Edit_proxyUser, s.Edit_proxyPass,
             s.RB_proxy_login_dialog, s.RB_proxy_login_save, s.SB_proxyLogin})
        EXPECT_FALSE(w->isEnabled()) << w->objectName().toStdString();
    // Switched off, nothing is handed out, but the values stay stored.
    EXPECT_EQ(s.GetProxyIP(), "");
    EXPECT_EQ(s.GetProxyPort(), "");
    EXPECT_EQ(s.GetProxyUser(), "");
    EXPECT_EQ(tree.GetAttr("PROXYIP"), "10 .1  .2  .3  ");
    EXPECT_EQ(tree.GetAttr("SAVEPROXYLOGIN"), "Y");
}

TEST(UserSettings, MaskedFieldsAreStoredWithBlanksAndHandedOutClean) {
    TempDir dir;
    {
        ShownSettings shown(dir.qpath("q.set"));
        TD_settings_user& s = shown.s;
        TQelPigger& tree = s.SettingsTree();
        clickBox(s.CB_proxy);

        typeInto(s.Edit_proxyIP, "192.168.1.1");
        EXPECT_EQ(s.Edit_proxyIP->displayText(), "192.168.1__.1__");
        EXPECT_EQ(tree.GetAttr("PROXYIP"), "192.168.1  .1  ");
        EXPECT_EQ(s.GetProxyIP(), "192.168.1.1");
        EXPECT_EQ(tree.GetAttr("PROXYPORT"), "");
        EXPECT_EQ(s.GetProxyPort(), "8080");

        typeInto(s.Edit_proxyIP, "010.0.0.1");
        EXPECT_EQ(tree.GetAttr("PROXYIP"), "010.0  .0  .1  ");
        EXPECT_EQ(s.GetProxyIP(), "10.0.0.1");

        // The port is stored as a plain number.
        typeInto(s.Edit_ProxyPort, "80");
        EXPECT_EQ(tree.GetAttr("PROXYPORT"), "80");
        EXPECT_EQ(s.GetProxyPort(), "80");
        typeInto(s.Edit_ProxyPort, "3128");
        EXPECT_EQ(tree.GetAttr("PROXYPORT"), "3128");

        turnToPage(s, 0);
        QTest::mouseClick(s.OKBtn, Qt::LeftButton);
        EXPECT_FALSE(s.isVisible());
        const std::string file = dir.read("q.set");
        EXPECT_NE(file.find("PROXYIP=\"010.0  .0  .1  \""), std::string::npos) << file;
        EXPECT_NE(file.find("PROXYPORT=\"3128\""), std::string::npos) << file;
    }
    // Read back, the fields show the stored texts and store nothing new.
    TD_settings_user s(dir.qpath("q.set"));
    EXPECT_EQ(s.Edit_proxyIP->displayText(), "010.0__.0__.1__");
    EXPECT_EQ(s.Edit_ProxyPort->displayText(), "3128");
    EXPECT_TRUE(s.UseProxy());
    EXPECT_EQ(s.GetProxyIP(), "10.0.0.1");
    EXPECT_EQ(s.GetProxyPort(), "3128");
}

TEST(UserSettings, PortFieldTakesOneTo65535AndPutsTheStoredPortBackOtherwise) {
    TempDir dir;
    // As a field of four places stored it.
    writeSettings(dir, "q.set", {{"USEPROXY", "Y"}, {"PROXYPORT", "80  "}});
    ShownSettings shown(dir.qpath("q.set"));
    TD_settings_user& s = shown.s;
    TQelPigger& tree = s.SettingsTree();
    EXPECT_EQ(s.GetProxyPort(), "80");
    EXPECT_FALSE(s.L_port_range->isVisible());

    typeInto(s.Edit_ProxyPort, "65535");
    QTest::keyClick(s.Edit_ProxyPort, Qt::Key_Tab);
    EXPECT_EQ(s.Edit_ProxyPort->displayText(), "65535");
    EXPECT_EQ(tree.GetAttr("PROXYPORT"), "65535");
    EXPECT_EQ(s.GetProxyPort(), "65535");
    EXPECT_FALSE(s.L_port_range->isVisible());

    // Above 65535, 0 or nothing is not stored and shows the sign; leaving the field puts back
    // the port it had.
    for (const QString typed : {"99999", "0", ""}) {
        typeInto(s.Edit_ProxyPort, typed);
        if (typed.isEmpty())
            QTest::keyClick(s.Edit_ProxyPort, Qt::Key_Delete);
        EXPECT_TRUE(s.L_port_range->isVisible()) << typed.toStdString();
        EXPECT_EQ(s.L_port_range->text(), "A port is a number from 1 to 65535.");
        EXPECT_EQ(LayoutFaults(s.GroupBox_proxy), "");
        QTest::keyClick(s.Edit_ProxyPort, Qt::Key_Tab);
        EXPECT_FALSE(s.Edit_ProxyPort->hasFocus());
        EXPECT_EQ(s.Edit_ProxyPort->displayText(), "65535") << typed.toStdString();
        EXPECT_EQ(tree.GetAttr("PROXYPORT"), "65535") << typed.toStdString();
        EXPECT_EQ(s.GetProxyPort(), "65535");
        EXPECT_FALSE(s.L_port_range->isVisible());
    }
}

TEST(UserSettings, AddingKeywordsThroughThePrompt) {
    TempDir dir;
    ShownSettings shown(dir.qpath("q.set"));
    TD_settings_user& s = shown.s;
    turnToPage(s, 1);
    ASSERT_TRUE(s.btn_add_kw->isVisible());
    TQelPigger* keywords = s.SettingsTree().FindChild("KEYWORDS");

    DialogDriver dialogs;
    QString caption, prompt;
    dialogs.Then(answerPrompt("Hotel", &caption, &prompt));
    QTest::mouseClick(s.btn_add_kw, Qt::LeftButton);
    EXPECT_EQ(caption, "New keyword");
    EXPECT_EQ(prompt, "Enter new keyword");
    EXPECT_EQ(s.LB_keywords->count(), 13);
    EXPECT_EQ(keywords->ChildCount(), 13);
    ASSERT_NE(s.LB_keywords->currentItem(), nullptr);
    EXPECT_EQ(s.LB_keywords->currentItem()->text(), "hotel");
    EXPECT_TRUE(s.LB_keywords->currentItem()->isSelected());

    dialogs.Then(answerPrompt("new york"));
    QTest::mouseClick(s.btn_add_kw, Qt::LeftButton);
    EXPECT_EQ(s.LB_keywords->count(), 14);
    EXPECT_EQ(s.LB_keywords->item(8)->text(), "new");
    EXPECT_EQ(s.LB_keywords->currentItem()->text(), "new");
    EXPECT_EQ(keywords->Child(13)->GetAttr("VAL"), "new");

    // Blanks only, a leading blank, and Cancel add nothing.
    dialogs.Then(answerPrompt("   "));
    QTest::mouseClick(s.btn_add_kw, Qt::LeftButton);
    dialogs.Then(answerPrompt(" london"));
    QTest::mouseClick(s.btn_add_kw, Qt::LeftButton);
    dialogs.Then([](QWidget* w) {
        QTest::keyClicks(w->findChild<QLineEdit*>(), "paris");
        DialogDriver::ClickButton(w, "Cancel");
    });
    QTest::mouseClick(s.btn_add_kw, Qt::LeftButton);
    EXPECT_TRUE(dialogs.Done());
    EXPECT_EQ(s.LB_keywords->count(), 14);
    EXPECT_EQ(keywords->ChildCount(), 14);
}

TEST(UserSettings, DeletingAKeywordAsksFirst) {
    TempDir dir;
    ShownSettings shown(dir.qpath("q.set"));
    TD_settings_user& s = shown.s;
    turnToPage(s, 1);
    TQelPigger* keywords = s.SettingsTree().FindChild("KEYWORDS");

    // Nothing selected: nothing asked, nothing deleted.
    DialogDriver dialogs;
    QTest::mouseClick(s.btn_del_kw, Qt::LeftButton);
    EXPECT_TRUE(dialogs.Done());
    EXPECT_TRUE(dialogs.Seen().isEmpty());

    QListWidgetItem* card = s.LB_keywords->findItems("card", Qt::MatchExactly).value(0);
    ASSERT_NE(card, nullptr);
    QTest::mouseClick(s.LB_keywords->viewport(), Qt::LeftButton, {},
                      s.LB_keywords->visualItemRect(card).center());
    ASSERT_TRUE(card->isSelected());

    dialogs.No();
    QTest::mouseClick(s.btn_del_kw, Qt::LeftButton);
    EXPECT_EQ(s.LB_keywords->count(), 13);
    EXPECT_EQ(keywords->ChildCount(), 13);

    dialogs.Yes();
    QTest::mouseClick(s.btn_del_kw, Qt::LeftButton);
    EXPECT_EQ(dialogs.Seen(), (QStringList{"Delete keyword\n\"card\"\nfrom the list?",
                                           "Delete keyword\n\"card\"\nfrom the list?"}));
    EXPECT_TRUE(dialogs.Done());
    EXPECT_FALSE(listed(s.LB_keywords).contains("card"));
    EXPECT_EQ(keywords->ChildCount(), 12);
    for (const TQelPigger* kw : keywords->Children())
        EXPECT_NE(kw->GetAttr("VAL"), "card");

    // The Delete key in the list asks the same question.
    QListWidgetItem* air = s.LB_keywords->item(0);
    s.LB_keywords->setCurrentItem(air);
    dialogs.Yes();
    QTest::keyClick(s.LB_keywords, Qt::Key_Delete);
    EXPECT_EQ(dialogs.Seen().last(), "Delete keyword\n\"air\"\nfrom the list?");
    EXPECT_EQ(s.LB_keywords->count(), 11);
    EXPECT_EQ(keywords->ChildCount(), 11);
}

TEST(UserSettings, LoginDialogAskedOnEveryRequestWithTheValuesGivenLast) {
    TempDir dir;
    writeSettings(dir, "q.set", {{"USEPROXY", "Y"}, {"PROXYUSER", "ann"}, {"PROXYPASS", "secret"}});
    TD_settings_user s(dir.qpath("q.set"));
    ASSERT_TRUE(s.UseLoginDialog());
    EXPECT_EQ(s.SessionProxyUser, "ann");
    EXPECT_EQ(s.SessionProxyPass, "secret");
    EXPECT_FALSE(s.Edit_proxyUser->isEnabled());

    struct Seen {
        QString title, user, pass, passShown;
        QLineEdit::EchoMode echo = QLineEdit::Normal;
        QSize size;
    };
    std::vector<Seen> seen;
    // Notes what the login dialog shows; the proxy login dialog is the only one expected.
    auto look = [&seen](QWidget* w) {
        auto* login = qobject_cast<TD_proxyLogin*>(w);
        if (!login)
            throw std::runtime_error("not the proxy login dialog");
        seen.push_back({login->windowTitle(), login->Edit_proxyUser->text(),
                        login->Edit_proxyPass->text(), login->Edit_proxyPass->displayText(),
                        login->Edit_proxyPass->echoMode(), login->size()});
        return login;
    };
    DialogDriver dialogs;
    dialogs.Then([&](QWidget* w) {
        TD_proxyLogin* login = look(w);
        typeInto(login->Edit_proxyUser, "bob");
        typeInto(login->Edit_proxyPass, " pw 1 ");
        DialogDriver::ClickButton(login, "Ok");
    });
    EXPECT_EQ(s.GetProxyUser(), "bob");
    EXPECT_EQ(s.GetProxyPass(), " pw 1 ");

    dialogs.Then([&](QWidget* w) {
        TD_proxyLogin* login = look(w);
        typeInto(login->Edit_proxyUser, "eve");
        DialogDriver::ClickButton(login, "Cancel");
    });
    EXPECT_EQ(s.GetProxyUser(), "bob");
    EXPECT_EQ(s.GetProxyPass(), " pw 1 ");

    // Enter confirms what is shown.
    dialogs.Then([&](QWidget* w) {
        TD_proxyLogin* login = look(w);
        QTest::keyClick(login->Edit_proxyPass, Qt::Key_Return);
    });
    EXPECT_EQ(s.GetProxyUser(), "bob");
    EXPECT_EQ(s.GetProxyPass(), " pw 1 ");
    EXPECT_TRUE(dialogs.Done());

    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[0].title, "Proxy username and password:");
    EXPECT_EQ(seen[0].size, QSize(335, 153));
    EXPECT_EQ(seen[0].user, "ann");
    EXPECT_EQ(seen[0].pass, "secret");
    for (size_t i = 1; i < seen.size(); ++i) {
        EXPECT_EQ(seen[i].user, "bob") << i;
        EXPECT_EQ(seen[i].pass, " pw 1 ") << i;
    }
    for (const Seen& one : seen) {
        EXPECT_EQ(one.echo, QLineEdit::Password);
        EXPECT_FALSE(one.passShown.contains("pw"));
        EXPECT_FALSE(one.passShown.contains("secret"));
    }
    // The stored login and the settings' own fields are not touched.
    EXPECT_EQ(s.SettingsTree().GetAttr("PROXYUSER"), "ann");
    EXPECT_EQ(s.SettingsTree().GetAttr("PROXYPASS"), "secret");
    EXPECT_EQ(s.Edit_proxyUser->text(), "ann");
    // The password does not linger in the closed dialog.
    EXPECT_EQ(D_proxyLogin()->Edit_proxyPass->text(), "");
}

TEST(UserSettings, SavedLoginFollowsTheFieldsAndIsScrambledInTheFile) {
    TempDir dir;
    {
        ShownSettings shown(dir.qpath("q.set"));
        TD_settings_user& s = shown.s;
        clickBox(s.CB_proxy);
        clickBox(s.RB_proxy_login_save);
        typeInto(s.Edit_proxyUser, "carol");
        typeInto(s.Edit_proxyPass, "s3cret");
        EXPECT_FALSE(s.Edit_proxyPass->displayText().contains("s3cret"));
        EXPECT_EQ(s.SessionProxyUser, "carol");
        EXPECT_EQ(s.SessionProxyPass, "s3cret");
        EXPECT_EQ(s.SettingsTree().GetAttr("PROXYPASS"), "s3cret");

        // Taken from the fields, without asking.
        DialogDriver dialogs;
        s.SessionProxyUser = "someone else";
        EXPECT_EQ(s.GetProxyUser(), "carol");
        EXPECT_EQ(s.GetProxyPass(), "s3cret");
        EXPECT_TRUE(dialogs.Done());

        QTest::mouseClick(s.OKBtn, Qt::LeftButton);
        const std::string file = dir.read("q.set");
        EXPECT_EQ(file.find("s3cret"), std::string::npos);
        EXPECT_NE(file.find("PROXYPASS=\"" + HexEncode(ScramblePassword("s3cret")) + "\""),
                  std::string::npos)
            << file;
        EXPECT_EQ(s.SettingsTree().GetAttr("PROXYPASS"), "s3cret");
    }
    TD_settings_user again(dir.qpath("q.set"));
    EXPECT_EQ(again.Edit_proxyPass->text(), "s3cret");
    EXPECT_EQ(again.SessionProxyPass, "s3cret");
}

TEST(UserSettings, StoredBytesThatNobodyEditedStayAsTheyAre) {
    TempDir dir;
    const std::string latin1User = "J\xE9r\xF4me";
    writeSettings(dir, "q.set",
                  {{"USEPROXY", "Y"}, {"SAVEPROXYLOGIN", "Y"}, {"PROXYUSER", latin1User}});
    {
        TD_settings_user s(dir.qpath("q.set"));
        EXPECT_EQ(s.SettingsTree().GetAttr("PROXYUSER"), latin1User);
        EXPECT_EQ(s.GetProxyUser(), latin1User);
    }
    SettingsStore reread(dir.path("q.set"));
    reread.LoadSettings();
    EXPECT_EQ(reread.Get("PROXYUSER"), latin1User);
}

TEST(UserSettings, StoredProxyAddressIsNotRewrittenUnlessEdited) {
    TempDir dir;
    // Blanks where the mask would not put them, as a hand-edited file may have them.
    writeSettings(dir, "q.set", {{"USEPROXY", "Y"}, {"PROXYIP", "  1.  2. 33.  4"}});
    {
        TD_settings_user s(dir.qpath("q.set"));
        EXPECT_EQ(s.SettingsTree().GetAttr("PROXYIP"), "  1.  2. 33.  4");
        EXPECT_EQ(s.GetProxyIP(), "1.2.33.4");
        EXPECT_EQ(s.SettingsTree().GetAttr("PROXYPORT"), "");
    }
    SettingsStore reread(dir.path("q.set"));
    reread.LoadSettings();
    EXPECT_EQ(reread.Get("PROXYIP"), "  1.  2. 33.  4");
    EXPECT_EQ(reread.Get("PROXYPORT"), "");

    // Edited, the field's own form is stored.
    ShownSettings shown(dir.qpath("q.set"));
    typeInto(shown.s.Edit_proxyIP, "10.1.2.3");
    EXPECT_EQ(shown.s.SettingsTree().GetAttr("PROXYIP"), "10 .1  .2  .3  ");
}

TEST(UserSettings, PasswordsShowAStarForEveryCharacter) {
    TempDir dir;
    writeSettings(dir, "q.set", {{"USEPROXY", "Y"}, {"SAVEPROXYLOGIN", "Y"}});
    ShownSettings shown(dir.qpath("q.set"));
    typeInto(shown.s.Edit_proxyPass, "s3cret");
    EXPECT_EQ(shown.s.Edit_proxyPass->displayText(), "******");

    clickBox(shown.s.RB_proxy_login_dialog);
    DialogDriver dialogs;
    QString starsShown, caption;
    QStringList labels;
    dialogs.Then([&](QWidget* w) {
        auto* login = qobject_cast<TD_proxyLogin*>(w);
        ASSERT_NE(login, nullptr);
        caption = login->windowTitle();
        for (const QString& text : {login->Label3->text(), login->Label4->text(), login->Ok->text(),
                                    login->btnCancel->text()})
            labels << QString(text).remove('&');
        typeInto(login->Edit_proxyPass, "pw12");
        starsShown = login->Edit_proxyPass->displayText();
        DialogDriver::ClickButton(login, "Ok");
    });
    shown.s.GetProxyUser();
    EXPECT_TRUE(dialogs.Done());
    EXPECT_EQ(starsShown, "****");
    EXPECT_EQ(caption, "Proxy username and password:");
    EXPECT_EQ(labels, (QStringList{"Proxy user name:", "Proxy password:", "Ok", "Cancel"}));
    EXPECT_EQ(shown.s.GetProxyPass(), "pw12");
}

TEST(UserSettings, CaptureSettingsAreStoredOnlyWhenGiven) {
    TempDir dir;
    writeSettings(dir, "q.set", {{"USEPROXY", "Y"}});
    { TD_settings_user first(dir.qpath("q.set")); } // the default keywords go in
    const std::string before = dir.read("q.set");
    {
        // Shown and closed without a change, a file without the switches keeps its bytes.
        ShownSettings shown(dir.qpath("q.set"));
        EXPECT_FALSE(shown.s.CB_capture_on_add->isChecked());
        EXPECT_FALSE(shown.s.CB_capture_pdf->isChecked());
    }
    EXPECT_EQ(dir.read("q.set"), before);
    {
        ShownSettings shown(dir.qpath("q.set"));
        shown.s.CB_capture_on_add->click();
        shown.s.CB_capture_pdf->click();
        EXPECT_EQ(shown.s.SettingsTree().GetAttr("CAPTURE_ON_ADD"), "Y");
        EXPECT_EQ(shown.s.SettingsTree().GetAttr("CAPTURE_PDF"), "Y");
        // The authority: an address without http:// or https:// is not kept, and said so.
        const auto enter = [](QLineEdit* field, const QString& text) {
            field->setText(text);
            emit field->editingFinished();
        };
        enter(shown.s.E_tsa_url, "tsa.example");
        EXPECT_FALSE(shown.s.L_tsa_note->isHidden());
        EXPECT_EQ(shown.s.SettingsTree().GetAttr("TSA_URL"), "");
        enter(shown.s.E_tsa_url, " http://127.0.0.1:8318/ ");
        enter(shown.s.E_tsa_ca, "/etc/tsa/ca.pem");
        EXPECT_TRUE(shown.s.L_tsa_note->isHidden());
        EXPECT_EQ(shown.s.SettingsTree().GetAttr("TSA_URL"), "http://127.0.0.1:8318/");
        EXPECT_EQ(shown.s.SettingsTree().GetAttr("TSA_CA_FILE"), "/etc/tsa/ca.pem");
    }
    {
        ShownSettings shown(dir.qpath("q.set"));
        EXPECT_TRUE(shown.s.CB_capture_on_add->isChecked());
        EXPECT_TRUE(shown.s.CB_capture_pdf->isChecked());
        EXPECT_EQ(shown.s.E_tsa_url->text(), "http://127.0.0.1:8318/");
        EXPECT_EQ(shown.s.E_tsa_ca->text(), "/etc/tsa/ca.pem");
        shown.s.CB_capture_on_add->click();
        shown.s.CB_capture_pdf->click();
        shown.s.E_tsa_url->clear();
        shown.s.E_tsa_ca->clear();
        emit shown.s.E_tsa_ca->editingFinished();
    }
    EXPECT_EQ(dir.read("q.set"), before);
}
