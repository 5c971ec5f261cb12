#include "settings/TDmsg.h"
#include "settings/TFsure.h"

#include "support/DialogDriver.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QTest>

TEST(SharedDialogs, QuestionAnsweredYesNoEscAndCloseBox) {
    DialogDriver dialogs;
    dialogs.Yes().No().Escape().Then([](QWidget* w) { w->close(); });
    EXPECT_TRUE(AskUser("Save changes?"));
    EXPECT_FALSE(AskUser("Delete current URL?"));
    EXPECT_FALSE(AskUser("Clear all conditions?"));
    EXPECT_FALSE(AskUser("Delete current condition?"));
    EXPECT_EQ(dialogs.Seen(), (QStringList{"Save changes?", "Delete current URL?",
                                           "Clear all conditions?", "Delete current condition?"}));
    EXPECT_TRUE(dialogs.Done());
    EXPECT_EQ(Fsure()->windowTitle(), "Confirmation:");
    EXPECT_EQ(Fsure()->OKBtn->text(), "Yes");
    EXPECT_EQ(Fsure()->CancelBtn->text(), "No");
}

TEST(SharedDialogs, LongTextWrapsInsideTheFixedWindow) {
    DialogDriver dialogs;
    QSize sizeSeen;
    bool wrapped = false;
    dialogs.Then([&](QWidget* w) {
        sizeSeen = w->size();
        auto* label = w->findChild<QLabel*>("Label1");
        wrapped = label->wordWrap() && label->size() == QSize(274, 99);
        DialogDriver::ClickButton(w, "Yes");
    });
    const QString longText = QString("word ").repeated(200) + "<b>not bold</b>";
    EXPECT_TRUE(AskUser(longText));
    EXPECT_EQ(sizeSeen, QSize(313, 172));
    EXPECT_TRUE(wrapped);
    // Texts are shown literally, never as markup.
    EXPECT_EQ(Fsure()->Label1->textFormat(), Qt::PlainText);
}

TEST(SharedDialogs, NoticeShowsTextUntilOk) {
    DialogDriver dialogs;
    dialogs.Ok().Escape();
    ShowMessage("This URL already exists in the list");
    ShowMessage("No keywords selected");
    EXPECT_EQ(dialogs.Seen(),
              (QStringList{"This URL already exists in the list", "No keywords selected"}));
    EXPECT_TRUE(dialogs.Done());
    EXPECT_EQ(Dmsg()->windowTitle(), "Message:");
    EXPECT_EQ(Dmsg()->size(), QSize(338, 167));
}
