#include "collect/TD_url_edit.h"
#include "tree/TQelPigger.h"

#include "support/DialogDriver.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

namespace {

TQelPigger* record(TQelPigger& holder, const char* text) {
    holder.SetAsText(text);
    return &holder;
}

// Types into the editor's fields like a user: select all, type.
void typeInto(QWidget* field, const QString& text) {
    field->setFocus();
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    if (text.isEmpty())
        QTest::keyClick(field, Qt::Key_Delete);
    else
        QTest::keyClicks(field, text);
}

} // namespace

TEST(TD_url_edit, StoresAsTypedAndKeepsAnEmptiedAddress) {
    TQelPigger holder;
    TQelPigger* rec =
        record(holder, "<LISTING URL=\"http://old\" CHK=\"Y\"><TITLE>t</TITLE>"
                       "<DESCRIPTION>a%0Ab</DESCRIPTION><REDIRECT>r</REDIRECT></LISTING>");
    DialogDriver dialogs;
    QString titleShown, memoShown;
    bool titleFocused = false;
    dialogs.Then([&](QWidget* w) {
        auto* d = static_cast<TD_url_edit*>(w);
        titleShown = d->Edit_title->text();
        memoShown = d->Memo_dsc->toPlainText();
        titleFocused = d->focusWidget() == d->Edit_title;
        typeInto(d->Edit_url, "");
        typeInto(d->Edit_title, "  New title ");
        typeInto(d->Memo_dsc, "line one");
        QTest::keyClick(d->Memo_dsc, Qt::Key_Return);
        QTest::keyClicks(d->Memo_dsc, "line two");
        QTest::mouseClick(d->btnOk, Qt::LeftButton);
    });
    EXPECT_TRUE(D_url_edit()->Execute(rec));
    EXPECT_TRUE(dialogs.Done());
    EXPECT_EQ(titleShown, "t");
    EXPECT_EQ(memoShown, "a\nb");
    EXPECT_TRUE(titleFocused);
    EXPECT_EQ(rec->GetAttr("URL"), "http://old");
    EXPECT_EQ(rec->FindChild("TITLE")->Text, "  New title ");
    EXPECT_EQ(rec->FindChild("DESCRIPTION")->Text, "line one\r\nline two");
    EXPECT_EQ(rec->FindChild("REDIRECT")->Text, "r");
    EXPECT_EQ(rec->GetAttr("CHK"), "Y");
    // The user's own texts: page details never overwrite them.
    EXPECT_EQ(rec->GetAttr("EDITED"), "Y");
}

TEST(TD_url_edit, AddressTrimmedLineBreaksNormalisedCancelChangesNothing) {
    TQelPigger holder;
    TQelPigger* rec = record(holder, "<LISTING URL=\"u\"><TITLE>t\xFF</TITLE>"
                                     "<DESCRIPTION>x%0Ay%0Dz</DESCRIPTION></LISTING>");
    DialogDriver dialogs;
    dialogs.Then([](QWidget* w) {
        auto* d = static_cast<TD_url_edit*>(w);
        typeInto(d->Edit_url, "  http://new.example/  ");
        QTest::mouseClick(d->btnOk, Qt::LeftButton);
    });
    EXPECT_TRUE(D_url_edit()->Execute(rec));
    EXPECT_EQ(rec->GetAttr("URL"), "http://new.example/");
    // Untouched texts keep their bytes; lone LF and CR come back as CR LF.
    EXPECT_EQ(rec->FindChild("TITLE")->Text, "t\xFF");
    EXPECT_EQ(rec->FindChild("DESCRIPTION")->Text, "x\r\ny\r\nz");
    // A new address alone is no edited text.
    EXPECT_EQ(rec->AttrCount(), 1);

    const std::string before = holder.GetAsText();
    dialogs.Then([](QWidget* w) {
        auto* d = static_cast<TD_url_edit*>(w);
        typeInto(d->Edit_title, "changed");
        QTest::mouseClick(d->btnCancel, Qt::LeftButton);
    });
    EXPECT_FALSE(D_url_edit()->Execute(rec));
    dialogs.Escape();
    EXPECT_FALSE(D_url_edit()->Execute(rec));
    EXPECT_EQ(holder.GetAsText(), before);
    EXPECT_FALSE(D_url_edit()->Execute(nullptr));
    EXPECT_TRUE(dialogs.Done());
}

TEST(TD_url_edit, MissingChildrenAreNeitherShownNorCreated) {
    TQelPigger holder;
    TQelPigger* rec = record(holder, "<LISTING URL=\"u\"/>");
    DialogDriver dialogs;
    bool titleEnabled = true;
    dialogs.Then([&](QWidget* w) {
        auto* d = static_cast<TD_url_edit*>(w);
        titleEnabled = d->Edit_title->isEnabled();
        QTest::mouseClick(d->btnOk, Qt::LeftButton);
    });
    EXPECT_TRUE(D_url_edit()->Execute(rec));
    EXPECT_FALSE(titleEnabled);
    EXPECT_EQ(rec->ChildCount(), 0);
    EXPECT_EQ(holder.GetAsText(), "\r\n<LISTING URL=\"u\"/>");
}

// A changed description alone marks the record too.
TEST(TD_url_edit, AChangedDescriptionMarksTheRecordEdited) {
    TQelPigger holder;
    TQelPigger* rec =
        record(holder, "<LISTING URL=\"u\"><TITLE>t</TITLE><DESCRIPTION>d</DESCRIPTION></LISTING>");
    DialogDriver dialogs;
    dialogs.Then([](QWidget* w) {
        auto* d = static_cast<TD_url_edit*>(w);
        typeInto(d->Memo_dsc, "mine");
        QTest::mouseClick(d->btnOk, Qt::LeftButton);
    });
    EXPECT_TRUE(D_url_edit()->Execute(rec));
    EXPECT_EQ(rec->FindChild("TITLE")->Text, "t");
    EXPECT_EQ(rec->GetAttr("EDITED"), "Y");
}
