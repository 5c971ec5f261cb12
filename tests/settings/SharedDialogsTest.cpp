#include "dialogs/TDmsg.h"
#include "dialogs/TFsure.h"

#include "support/DialogDriver.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>

#include <algorithm>
#include <functional>

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
    EXPECT_EQ(Fsure()->OKBtn->text().remove('&'), "Yes");
    EXPECT_EQ(Fsure()->CancelBtn->text().remove('&'), "No");
}

TEST(SharedDialogs, EnterAnswersYesWhateverWasClickedBefore) {
    DialogDriver dialogs;
    // No was clicked last and kept the focus: Enter must still mean Yes, and OK.
    dialogs.No().Enter().Ok().Enter();
    EXPECT_FALSE(AskUser("Delete current URL?"));
    EXPECT_TRUE(AskUser("Save changes?"));
    ShowMessage("No keywords selected");
    ShowMessage("This URL already exists in the list");
    EXPECT_TRUE(dialogs.Done());
    EXPECT_EQ(dialogs.Seen().size(), 4);
}

TEST(SharedDialogs, KeyboardStartsOnTheDefaultButtonAndAnswersByMnemonics) {
    DialogDriver dialogs;
    QWidget* focused = nullptr;
    dialogs
        .Then([&](QWidget* w) {
            focused = w->focusWidget();
            QTest::keyClick(w, Qt::Key_N, Qt::AltModifier);
        })
        .Then([](QWidget* w) { QTest::keyClick(w, Qt::Key_Y, Qt::AltModifier); });
    EXPECT_FALSE(AskUser("Delete current URL?"));
    EXPECT_TRUE(AskUser("Save changes?"));
    EXPECT_TRUE(dialogs.Done());
    EXPECT_EQ(focused, Fsure()->OKBtn);
    EXPECT_TRUE(Fsure()->OKBtn->isDefault());
}

TEST(SharedDialogs, QuestionThatGivesUpWorkIsAnsweredOnlyByAButton) {
    DialogDriver dialogs;
    bool stayedAfterEscape = false, stayedAfterClose = false;
    dialogs.Then([&](QWidget* w) {
        QTest::keyClick(w, Qt::Key_Escape);
        stayedAfterEscape = w->isVisible();
        w->close();
        stayedAfterClose = w->isVisible();
        DialogDriver::ClickButton(w, "No");
    });
    EXPECT_FALSE(AskUserOnlyByButton("Save changes?"));
    EXPECT_TRUE(stayedAfterEscape);
    EXPECT_TRUE(stayedAfterClose);
    // Other questions are answered No by Esc, as before.
    dialogs.Escape();
    EXPECT_FALSE(AskUser("Clear all conditions?"));
    EXPECT_TRUE(dialogs.Done());
}

namespace {

struct Shown {
    QSize window;
    QSize label;
    // What the label needs to show all of its text at the width it was given.
    int neededHeight = 0;
    int widestWord = 0;
    bool inView = false;
};

// Notes how a shared dialog shows its text, then presses its default button.
std::function<void(QWidget*)> look(Shown& shown) {
    return [&shown](QWidget* w) {
        auto* label = w->findChild<QLabel*>("Label1");
        shown.window = w->size();
        shown.label = label->size();
        shown.neededHeight = label->heightForWidth(label->width());
        const QStringList words = label->text().split(QRegularExpression("\\s+"));
        for (const QString& word : words)
            shown.widestWord =
                std::max(shown.widestWord, label->fontMetrics().horizontalAdvance(word));
        // The label's whole area lies inside the dialog, where the user can see it.
        const QRect area(label->mapTo(w, QPoint(0, 0)), label->size());
        shown.inView = w->rect().contains(area) && label->isVisible() &&
                       label->visibleRegion().boundingRect() == label->rect();

        if (!DialogDriver::ClickButton(w, "Yes"))
            DialogDriver::ClickButton(w, "OK");
    };
}

} // namespace

TEST(SharedDialogs, LongTextsAreShownWhole) {
    DialogDriver dialogs;
    Shown question, notice, shortQuestion, shortNotice;
    dialogs.Then(look(question))
        .Then(look(notice))
        .Then(look(shortQuestion))
        .Then(look(shortNotice));

    const QString manyWords = QString("word ").repeated(200) + "<b>not bold</b>";
    EXPECT_TRUE(AskUser(manyWords));
    // The notice about an unreadable report, with a long path that has no blank to wrap at.
    const QString path =
        "/home/somebody/reports-of-the-garden-club/reports-2026/Garden tools.qrl.unreadable";
    ShowMessage("The report file could not be read (missing closing tag at line 3).\nIt was "
                "kept as \"" +
                path + "\"; a new report was started.");
    EXPECT_TRUE(AskUser("Save changes?"));
    ShowMessage("No keywords selected");
    EXPECT_TRUE(dialogs.Done());

    for (const Shown* s : {&question, &notice}) {
        EXPECT_LE(s->neededHeight, s->label.height());
        EXPECT_LE(s->widestWord, s->label.width());
        EXPECT_TRUE(s->inView);
    }
    EXPECT_GT(question.window.height(), 172);
    EXPECT_GE(question.window.width(), 313);
    EXPECT_GT(notice.window.width(), 338);
    // Short texts keep the designed size, and the dialogs go back to it.
    EXPECT_EQ(shortQuestion.window, QSize(313, 172));
    EXPECT_EQ(shortQuestion.label, QSize(274, 99));
    EXPECT_EQ(shortNotice.window, QSize(338, 167));
    EXPECT_EQ(shortNotice.label, QSize(309, 99));

    // A text larger than the screen can be scrolled through in a window that fits the screen.
    QSize screen, window;
    int scrollRange = 0;
    dialogs.Then([&](QWidget* w) {
        screen = w->screen()->availableGeometry().size();
        window = w->size();
        auto* area = w->findChild<QScrollArea*>();
        scrollRange = area ? area->horizontalScrollBar()->maximum() : 0;
        DialogDriver::ClickButton(w, "OK");
    });
    ShowMessage(QString("x").repeated(2000));
    EXPECT_TRUE(dialogs.Done());
    EXPECT_LE(window.width(), screen.width());
    EXPECT_GT(scrollRange, 0);

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
