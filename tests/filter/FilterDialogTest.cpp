// The filter dialog and the condition editor, used as a user uses them: typing, clicks on the
// buttons, the pages and the diagram, the modal windows answered by the dialog driver.
#include "filter/TFLCEdit.h"
#include "filter/TF_lr_filter_user.h"
#include "filter/TOadvCloud.h"
#include "filter/core/ConditionTemplates.h"
#include "filter/core/FilterFunctions.h"
#include "filter/diagram/ConditionsFile.h"
#include "settings/core/UserSettings.h"
#include "tree/TQelPigger.h"

#include "support/AccessAudit.h"
#include "support/DialogDriver.h"
#include "support/FileDialogTyping.h"
#include "support/FilterDialogSteps.h"
#include "support/SampleReports.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

#include <functional>
#include <memory>
#include <string>

namespace {

// Settings held in memory only, as the program's settings object gives them to the windows.
class MemorySettings : public UserSettings {
public:
    SettingsStore& Store() override { return store_; }
    ProxyValues ProxyForRequest() override { return {}; }
    std::vector<std::string> OftenUsedKeywords() const override { return {}; }

private:
    SettingsStore store_{""};
};

class FilterDialog : public ::testing::Test {
protected:
    TF_lr_filter_user* dlg = nullptr;
    TQelPigger doc;
    TQelPigger* urls = nullptr;

    void SetUp() override {
        RegisterExpressionFunctions();
        dlg = FreshFilterDialog();
        doc.SetAsText(ReportText()
                          .Record("http://1.example/", "Web Design basics")
                          .Record("http://2.example/", "Designing for the web", "web and design")
                          .Checked()
                          .Record("http://3.example/", "Gardening", "all about WEB DESIGN")
                          .Record("http://4.example/", "Cooking", "recipes")
                          .Checked()
                          .Text());
        urls = doc.FindChild("URLS");
    }
    void TearDown() override {
        if (dlg->isVisible())
            dlg->hide();
    }

    // The addresses of the records that pass, joined by blanks.
    std::string passing() {
        std::string out;
        for (const TQelPigger* r : urls->Children())
            if (dlg->Matches(r))
                out += (out.empty() ? "" : " ") + r->GetAttr("URL");
        return out;
    }

    // The dialog on screen without a modal loop, for steps that open other modal windows.
    void showModeless() {
        dlg->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(dlg));
    }
    // A click on the outline of circle c, which selects it.
    void clickOutline(const TQELlc* c) {
        QTest::mouseClick(dlg->OClouds1->PB1, Qt::LeftButton, {}, QPoint(c->X + c->Radius, c->Y));
    }
    // Runs the dialog modally; steps act in it and must close it.
    bool execute(std::function<void()> steps, TQelPigger* on = nullptr) {
        DialogDriver dialogs;
        dialogs.Then(InFilterDialog(dlg, steps));
        const bool result = dlg->Execute(on ? on : urls);
        EXPECT_TRUE(dialogs.Done());
        return result;
    }
};

// A caption without its mnemonic mark.
template <typename W> QString caption(const W* w) {
    return w->text().remove('&');
}

QColor textColour(const QLabel* l) {
    return l->palette().color(QPalette::WindowText);
}

} // namespace

TEST_F(FilterDialog, WindowsAndTheirCaptions) {
    showModeless();
    EXPECT_EQ(dlg->windowTitle(), "Filter");
    EXPECT_EQ(dlg->size(), QSize(593, 375));
    EXPECT_GE(dlg->Panel_right->width(), 95);
    EXPECT_GE(dlg->btnSaveConditions->width(), dlg->btnSaveConditions->sizeHint().width());
    EXPECT_EQ(dlg->Panel_top->height(), 71);
    EXPECT_EQ(caption(dlg->btnApply), "Filter on");
    EXPECT_EQ(caption(dlg->btn_no_filter), "Filter off");
    EXPECT_EQ(caption(dlg->btn_close), "Cancel");
    EXPECT_TRUE(dlg->btn_close->isHidden());
    EXPECT_EQ(dlg->PageControl1->tabText(0), "Context condition");
    EXPECT_EQ(dlg->PageControl1->tabText(1), "Other conditions");
    EXPECT_EQ(dlg->Label1->text(), "Context:");
    EXPECT_EQ(dlg->Label2->text(), "Record state:");
    EXPECT_EQ(dlg->Label3->text(), "Current state:");
    EXPECT_EQ(dlg->CB_state->count(), 1);
    EXPECT_EQ(dlg->CB_state->itemText(0), "checked");
    EXPECT_EQ(dlg->CB_state->currentIndex(), -1);
    EXPECT_EQ(dlg->PageControl1->tabText(2), "Link state");
    EXPECT_EQ(dlg->CB_link->count(), 5);
    EXPECT_EQ(dlg->CB_link->currentIndex(), -1);
    EXPECT_EQ(caption(dlg->SB_add_condition), "Add");
    EXPECT_EQ(caption(dlg->SB_del_cond), "Remove");
    EXPECT_EQ(dlg->Label_onoff->text(), "Off");
    EXPECT_EQ(textColour(dlg->Label_onoff), QColor(0x80, 0x80, 0x80));
    EXPECT_EQ(dlg->OClouds1->objectName(), "OClouds1");

    TFLCEdit* ed = FLCEdit();
    EXPECT_EQ(ed->windowTitle(), "Selected condition");
    EXPECT_EQ(ed->size(), QSize(400, 430));
    EXPECT_EQ(ed->GB_view->title(), "View");
    EXPECT_EQ(ed->GB_body->title(), "Condition body");
    EXPECT_EQ(caption(ed->Label3), "Label text:");
    EXPECT_EQ(caption(ed->Label1), "Radius:");
    EXPECT_EQ(ed->Label2->text(), "Tune label pos.");
    EXPECT_EQ(caption(ed->CB_edit), "Edit condition by hand");
    EXPECT_EQ(caption(ed->btnHelp), "Help");
    EXPECT_EQ(caption(ed->OKBtn), "Close");
    EXPECT_TRUE(ed->OKBtn->isDefault());
    EXPECT_EQ(ed->SE1->minimum(), 20);
    EXPECT_EQ(ed->SE1->maximum(), 100);
}

TEST_F(FilterDialog, ContextAndStateConditionsThenFilterOn) {
    QString stateWhileOpen;
    const bool on = execute([&] {
        stateWhileOpen = dlg->Label_onoff->text();
        EXPECT_FALSE(dlg->btnApply->isEnabled());
        EXPECT_FALSE(dlg->SB_add_condition->isEnabled());
        // Blanks only: "Add" stays disabled, and clicking it adds nothing.
        QTest::mouseClick(dlg->Edit_kw, Qt::LeftButton);
        QTest::keyClicks(dlg->Edit_kw, "   ");
        EXPECT_FALSE(dlg->SB_add_condition->isEnabled());
        QTest::mouseClick(dlg->SB_add_condition, Qt::LeftButton);
        EXPECT_EQ(dlg->OClouds1->CircleCount(), 0);
        dlg->Edit_kw->clear();

        // The circle of the condition, where the dialog's placement puts it, with its pin.
        AddKeyword(dlg, "web design");
        ASSERT_EQ(dlg->OClouds1->CircleCount(), 1);
        const TQELlc* context = dlg->OClouds1->GetCircle(0);
        EXPECT_EQ(context->LabelText, ContextConditionLabel("web design"));
        EXPECT_EQ(context->Body, ContextConditionBody("web design"));
        EXPECT_EQ(QPoint(context->X, context->Y), QPoint(80, 65));
        EXPECT_EQ(dlg->OClouds1->PinCount(), 1);
        EXPECT_EQ(dlg->Edit_kw->text(), "");
        EXPECT_FALSE(dlg->SB_add_condition->isEnabled());
        EXPECT_EQ(dlg->focusWidget(), dlg->OClouds1->btnTarget); // the diagram has the keys
        EXPECT_TRUE(dlg->btnApply->isEnabled());
        EXPECT_TRUE(dlg->SB_del_cond->isEnabled()); // the new circle is selected

        // The state page: "Add" waits for a chosen state, which then stays chosen.
        ClickFilterPage(dlg, dlg->TabSheet_other);
        EXPECT_FALSE(dlg->SB_add_condition->isEnabled());
        AddCheckedState(dlg);
        EXPECT_EQ(dlg->CB_state->currentText(), "checked");
        ASSERT_EQ(dlg->OClouds1->CircleCount(), 2);
        const TQELlc* state = dlg->OClouds1->GetCircle(1);
        EXPECT_EQ(state->LabelText, StateConditionLabel("checked"));
        EXPECT_EQ(state->Body, StateConditionBody("checked"));
        EXPECT_TRUE(dlg->SB_add_condition->isEnabled());

        // Regions: the context circle alone and the overlap of both.
        DoubleClickDiagram(dlg, {40, 60});
        DoubleClickDiagram(dlg, {120, 80});
        EXPECT_EQ(dlg->OClouds1->PinCount(), 2);
        QTest::mouseClick(dlg->btnApply, Qt::LeftButton);
    });
    EXPECT_EQ(stateWhileOpen, "Off");
    EXPECT_TRUE(on);
    EXPECT_TRUE(dlg->FilterOn());
    EXPECT_EQ(dlg->Label_onoff->text(), "On");
    EXPECT_EQ(textColour(dlg->Label_onoff), QColor(0xFF, 0, 0));
    EXPECT_FALSE(dlg->ExprText().empty());
    // Together in the title or the description, in any letter case; not apart.
    EXPECT_EQ(passing(), "http://1.example/ http://3.example/");
    EXPECT_TRUE(dlg->Matches(nullptr));
    EXPECT_EQ(dlg->CurrentRecord(), nullptr);
}

TEST_F(FilterDialog, EnterInTheKeywordFieldAddsAndALeadingBlankIsSearched) {
    execute([&] {
        QTest::mouseClick(dlg->Edit_kw, Qt::LeftButton);
        QTest::keyClicks(dlg->Edit_kw, " design");
        QTest::keyClick(dlg->Edit_kw, Qt::Key_Return);
        EXPECT_TRUE(dlg->isVisible()); // Enter adds; it does not close the dialog
        ASSERT_EQ(dlg->OClouds1->CircleCount(), 1);
        EXPECT_EQ(dlg->OClouds1->GetCircle(0)->Body, ContextConditionBody(" design"));
        QTest::mouseClick(dlg->btnApply, Qt::LeftButton);
    });
    // "Web Design basics", "web and design" and "all about WEB DESIGN"; not "Designing".
    EXPECT_EQ(passing(), "http://1.example/ http://2.example/ http://3.example/");
}

TEST_F(FilterDialog, StateCirclePinnedInsideOrOutside) {
    execute([&] {
        AddCheckedState(dlg);
        QTest::mouseClick(dlg->btnApply, Qt::LeftButton);
    });
    EXPECT_EQ(passing(), "http://2.example/ http://4.example/");
    // Its negation: the pin moved outside the circle.
    execute([&] {
        const TQELpin* inside = dlg->OClouds1->GetPin(0);
        DoubleClickDiagram(dlg, {inside->X, inside->Y - 2});
        EXPECT_EQ(dlg->OClouds1->PinCount(), 0);
        DoubleClickDiagram(dlg, {200, 200});
        QTest::mouseClick(dlg->btnApply, Qt::LeftButton);
    });
    EXPECT_EQ(passing(), "http://1.example/ http://3.example/");
}

TEST_F(FilterDialog, CloseBoxAndFilterOffSwitchOffAndKeepTheConditions) {
    execute([&] {
        AddKeyword(dlg, "web");
        AddKeyword(dlg, "cook");
        QTest::mouseClick(dlg->btnApply, Qt::LeftButton);
    });
    ASSERT_TRUE(dlg->FilterOn());
    const std::string expr = dlg->ExprText();
    // The window's close box.
    EXPECT_FALSE(execute([&] {
        EXPECT_EQ(dlg->Label_onoff->text(), "On");
        dlg->close();
    }));
    EXPECT_FALSE(dlg->FilterOn());
    EXPECT_EQ(dlg->Label_onoff->text(), "Off");
    EXPECT_EQ(dlg->OClouds1->CircleCount(), 2);
    EXPECT_EQ(dlg->ExprText(), expr);
    // On again, then "Filter off".
    EXPECT_TRUE(execute([&] { QTest::mouseClick(dlg->btnApply, Qt::LeftButton); }));
    EXPECT_FALSE(execute([&] { QTest::mouseClick(dlg->btn_no_filter, Qt::LeftButton); }));
    EXPECT_EQ(dlg->OClouds1->CircleCount(), 2);
    // Esc, in the diagram or elsewhere, is no way out (it would switch the filter off).
    EXPECT_TRUE(execute([&] {
        QTest::keyClick(dlg->OClouds1->PB1, Qt::Key_Escape);
        QTest::keyClick(dlg, Qt::Key_Escape);
        EXPECT_TRUE(dlg->isVisible());
        QTest::mouseClick(dlg->btnApply, Qt::LeftButton);
    }));
    // Reopening places the next circle from (40, 40) again.
    execute([&] {
        AddKeyword(dlg, "garden");
        EXPECT_EQ(dlg->OClouds1->GetCircle(2)->X, 80);
        EXPECT_EQ(dlg->OClouds1->GetCircle(2)->Y, 65);
        dlg->close();
    });
    // Without a record collection nothing is shown and the state stays.
    EXPECT_TRUE(execute([&] { QTest::mouseClick(dlg->btnApply, Qt::LeftButton); }));
    DialogDriver none;
    EXPECT_FALSE(dlg->Execute(nullptr));
    EXPECT_TRUE(dlg->FilterOn());
    EXPECT_TRUE(none.Done());
}

TEST_F(FilterDialog, WithoutAPinFilterOnStoresAnEmptyExpressionAndNothingPasses) {
    execute([&] {
        AddKeyword(dlg, "web");
        const QPoint pin(dlg->OClouds1->GetPin(0)->X, dlg->OClouds1->GetPin(0)->Y);
        // A double-click ends with a press in the diagram, which updates the buttons.
        DoubleClickDiagram(dlg, pin - QPoint(0, 2));
        EXPECT_EQ(dlg->OClouds1->PinCount(), 0);
        EXPECT_FALSE(dlg->btnApply->isEnabled());
        DoubleClickDiagram(dlg, pin);
        EXPECT_TRUE(dlg->btnApply->isEnabled());
        // A pin removed without an update leaves "Filter on" enabled.
        dlg->OClouds1->RemovePin(dlg->OClouds1->GetPin(0));
        EXPECT_EQ(dlg->OClouds1->PinCount(), 0);
        EXPECT_TRUE(dlg->btnApply->isEnabled());
        QTest::mouseClick(dlg->btnApply, Qt::LeftButton);
    });
    EXPECT_TRUE(dlg->FilterOn());
    EXPECT_EQ(dlg->ExprText(), "");
    EXPECT_EQ(passing(), "");
}

TEST_F(FilterDialog, RemoveDeletesTheSelectedCircleWithoutAQuestion) {
    showModeless();
    AddKeyword(dlg, "web");
    AddKeyword(dlg, "cook");
    EXPECT_TRUE(dlg->SB_del_cond->isEnabled());
    DialogDriver dialogs;
    QTest::mouseClick(dlg->SB_del_cond, Qt::LeftButton);
    EXPECT_EQ(dlg->OClouds1->CircleCount(), 1);
    EXPECT_EQ(dlg->OClouds1->GetCircle(0)->Body, "EXISTS('WEB')");
    EXPECT_FALSE(dlg->SB_del_cond->isEnabled());
    EXPECT_TRUE(dialogs.Done());
}

TEST_F(FilterDialog, AnUnreadableBodyFailsInMatches) {
    execute([&] {
        AddKeyword(dlg, "it's");
        QTest::mouseClick(dlg->btnApply, Qt::LeftButton);
    });
    EXPECT_THROW(dlg->Matches(urls->Child(0)), std::exception);
    EXPECT_EQ(dlg->CurrentRecord(), nullptr);
}

// ---------------------------------------------------------------- condition editor

class ConditionEditor : public FilterDialog {
protected:
    TFLCEdit* ed = FLCEdit();
    // Opens the editor on circle c as the user does: a click on its outline, then Enter on the
    // diagram; steps act in the editor and must close it.
    void edit(const TQELlc* c, std::function<void()> steps) {
        DialogDriver dialogs;
        dialogs.Then([&](QWidget* w) {
            EXPECT_EQ(w, ed);
            steps();
            if (ed->isVisible()) {
                ADD_FAILURE() << "the steps left the editor open";
                ed->reject();
            }
        });
        clickOutline(c);
        ASSERT_EQ(dlg->OClouds1->Selected(), c);
        QTest::keyClick(dlg->OClouds1->btnTarget, Qt::Key_Return);
        EXPECT_TRUE(dialogs.Done());
        EXPECT_FALSE(ed->isVisible());
    }
    QPoint labelOffset(const TQELlc* c) {
        return ed->LabelC->pos() - ed->Shape1->pos() - QPoint(c->Radius, c->Radius);
    }
};

TEST_F(ConditionEditor, LabelIsNeverBlankAndIsStoredTrimmed) {
    showModeless();
    AddKeyword(dlg, "web");
    TQELlc* c = dlg->OClouds1->GetCircle(0);
    edit(c, [&] {
        EXPECT_EQ(ed->Edit1->text(), "Context:\"web\"");
        EXPECT_EQ(ed->LabelC->text(), "Context:\"web\"");
        ed->Edit1->setFocus();
        ed->Edit1->selectAll();
        QTest::keyClick(ed->Edit1, Qt::Key_Backspace);
        // Emptied: the old label comes back at once.
        EXPECT_EQ(ed->Edit1->text(), "Context:\"web\"");
        // Typing over the selection: the first letter is the whole label for a moment.
        ed->Edit1->selectAll();
        QTest::keyClicks(ed->Edit1, "Web pages  ");
        QTest::keyClick(ed->Edit1, Qt::Key_Home);
        QTest::keyClicks(ed->Edit1, " ");
        EXPECT_EQ(ed->Edit1->text(), " Web pages  ");
        EXPECT_EQ(c->LabelText, "Web pages"); // at once, trimmed
        EXPECT_EQ(ed->LabelC->text(), "Web pages");
        QTest::mouseClick(ed->OKBtn, Qt::LeftButton);
    });
    EXPECT_EQ(c->LabelText, "Web pages");
    EXPECT_EQ(c->Body, "EXISTS('WEB')");
}

TEST_F(ConditionEditor, RadiusFieldRules) {
    showModeless();
    AddKeyword(dlg, "web");
    TQELlc* c = dlg->OClouds1->GetCircle(0);
    const TQELpin* pin = dlg->OClouds1->GetPin(0);
    const QPoint centre(c->X, c->Y);
    edit(c, [&] {
        EXPECT_EQ(ed->SE1->value(), 60);
        EXPECT_EQ(ed->Shape1->size(), QSize(120, 120));
        QLineEdit* field = ed->SE1->findChild<QLineEdit*>();
        ed->SE1->setFocus();
        field->selectAll();
        QTest::keyClicks(ed->SE1, "150");
        // Not final yet: the circle keeps its radius, and the diagram's repaint does not move it.
        QTest::qWait(600);
        EXPECT_EQ(c->Radius, 60);
        EXPECT_EQ(QPoint(c->X, c->Y), centre);
        EXPECT_EQ(ed->Shape1->size(), QSize(120, 120));
        QTest::keyClicks(ed->SE1, "x"); // no letters
        EXPECT_EQ(ed->SE1->text(), "150");
        ed->Edit1->setFocus();
        EXPECT_EQ(ed->SE1->text(), "100");
        EXPECT_EQ(c->Radius, 100);
        EXPECT_EQ(ed->Shape1->size(), QSize(200, 200));
        // Moved to hold the final radius in view, the circle still holds its pin.
        QTest::qWait(600);
        EXPECT_TRUE(PinInCircle(pin, c));
        ed->SE1->setFocus();
        field->selectAll();
        QTest::keyClicks(ed->SE1, "5");
        EXPECT_EQ(c->Radius, 100);
        ed->Edit1->setFocus();
        EXPECT_EQ(c->Radius, 20);
        ed->SE1->setFocus();
        QTest::keyClick(ed->SE1, Qt::Key_Up);
        EXPECT_EQ(c->Radius, 21);
        EXPECT_EQ(ed->Shape1->size(), QSize(42, 42));
        // The label keeps its offsets from the centre.
        EXPECT_EQ(labelOffset(c), QPoint(18, 21));
        QTest::mouseClick(ed->OKBtn, Qt::LeftButton);
    });
    EXPECT_EQ(c->Radius, 21);
    EXPECT_EQ(c->LabelDX, 18);

    // A radius beyond the range (resized with the mouse) is limited when the editor opens,
    // unless the field shows that limit already.
    c->Radius = 150;
    dlg->OClouds1->KeepInView(c);
    edit(c, [&] {
        EXPECT_EQ(ed->SE1->value(), 100);
        QTest::mouseClick(ed->OKBtn, Qt::LeftButton);
    });
    EXPECT_EQ(c->Radius, 100);
    c->Radius = 150;
    dlg->OClouds1->KeepInView(c);
    edit(c, [&] { QTest::mouseClick(ed->OKBtn, Qt::LeftButton); });
    EXPECT_EQ(c->Radius, 150);
    // A number still being typed when the editor closes is taken.
    edit(c, [&] {
        ed->SE1->setFocus();
        ed->SE1->findChild<QLineEdit*>()->selectAll();
        QTest::keyClicks(ed->SE1, "80");
        ed->close();
    });
    EXPECT_EQ(c->Radius, 80);
}

TEST_F(ConditionEditor, LabelPositionByButtonsAndByDragging) {
    showModeless();
    AddKeyword(dlg, "web");
    TQELlc* c = dlg->OClouds1->GetCircle(0);
    edit(c, [&] {
        EXPECT_EQ(labelOffset(c), QPoint(18, 21));
        QTest::mouseClick(ed->SBl, Qt::LeftButton);
        QTest::mouseClick(ed->SBl, Qt::LeftButton);
        QTest::mouseClick(ed->SBdn, Qt::LeftButton);
        EXPECT_EQ(c->LabelDX, 16);
        EXPECT_EQ(c->LabelDY, 22);
        QTest::mouseClick(ed->SBr, Qt::LeftButton);
        QTest::mouseClick(ed->SBup, Qt::LeftButton);
        QTest::mouseClick(ed->SBup, Qt::LeftButton);
        EXPECT_EQ(c->LabelDX, 17);
        EXPECT_EQ(c->LabelDY, 20);
        EXPECT_EQ(labelOffset(c), QPoint(17, 20));

        // Dragged with the left button and dropped on the circle at (10, 50): the label's
        // top-left corner lands there.
        const QPoint grab(3, 3);
        const QPoint target = ed->LabelC->mapFromGlobal(ed->Shape1->mapToGlobal(QPoint(10, 50)));
        QTest::mousePress(ed->LabelC, Qt::LeftButton, {}, grab);
        QTest::mouseMove(ed->LabelC, grab + QPoint(-10, 5));
        QTest::mouseMove(ed->LabelC, target);
        QTest::mouseRelease(ed->LabelC, Qt::LeftButton, {}, target);
        EXPECT_EQ(c->LabelDX, 10 - 60);
        EXPECT_EQ(c->LabelDY, 50 - 60);
        EXPECT_EQ(ed->LabelC->pos(), ed->Shape1->pos() + QPoint(10, 50));
        // A drop beside the circle changes nothing; nor does a press without a move.
        const QPoint outside = ed->LabelC->mapFromGlobal(ed->Shape1->mapToGlobal(QPoint(-5, 5)));
        QTest::mousePress(ed->LabelC, Qt::LeftButton, {}, grab);
        QTest::mouseMove(ed->LabelC, outside);
        QTest::mouseRelease(ed->LabelC, Qt::LeftButton, {}, outside);
        QTest::mouseClick(ed->LabelC, Qt::LeftButton, {}, grab);
        EXPECT_EQ(c->LabelDX, -50);
        EXPECT_EQ(c->LabelDY, -10);
        QTest::mouseClick(ed->OKBtn, Qt::LeftButton);
    });
}

TEST_F(ConditionEditor, BodyByHandIsStoredEvenWhenTheBoxIsUntickedAgain) {
    showModeless();
    AddKeyword(dlg, "web");
    TQELlc* c = dlg->OClouds1->GetCircle(0);
    edit(c, [&] {
        EXPECT_FALSE(ed->CB_edit->isChecked());
        EXPECT_TRUE(ed->Edit_body->isReadOnly());
        EXPECT_EQ(ed->Edit_body->text(), "EXISTS('WEB')");
        QTest::mouseClick(ed->CB_edit, Qt::LeftButton);
        EXPECT_FALSE(ed->Edit_body->isReadOnly());
        ed->Edit_body->setFocus();
        ed->Edit_body->selectAll();
        QTest::keyClicks(ed->Edit_body, "EXISTS('COOK') || EXISTS('GARDEN')");
        QTest::mouseClick(ed->CB_edit, Qt::LeftButton);
        EXPECT_TRUE(ed->Edit_body->isReadOnly());
        EXPECT_EQ(c->Body, "EXISTS('WEB')"); // only when the editor closes
        ed->close();                         // the close box stores it too
    });
    EXPECT_EQ(c->Body, "EXISTS('COOK') || EXISTS('GARDEN')");
    // Opening again unticks the box.
    edit(c, [&] {
        EXPECT_FALSE(ed->CB_edit->isChecked());
        EXPECT_TRUE(ed->Edit_body->isReadOnly());
        QTest::keyClick(ed, Qt::Key_Escape);
    });
    EXPECT_EQ(c->Body, "EXISTS('COOK') || EXISTS('GARDEN')");
}

TEST_F(ConditionEditor, HelpOpensTheEditorsPage) {
    showModeless();
    AddKeyword(dlg, "web");
    QStringList opened;
    ed->OpenDoc = [&](const QString& topic) { opened << topic; };
    edit(dlg->OClouds1->GetCircle(0), [&] {
        QTest::mouseClick(ed->btnHelp, Qt::LeftButton);
        EXPECT_TRUE(ed->isVisible());
        QTest::mouseClick(ed->OKBtn, Qt::LeftButton);
    });
    ed->OpenDoc = nullptr;
    EXPECT_EQ(opened, QStringList{"FLCEdit"});
}

// Two circles with their pin in both; maximised, a pin set near the bottom right outside the
// circles, then the size restored: the paint box shrinks back to what the shapes need, and the
// outside is hatched in view although its pin is out of view. With QRL_SCREENSHOTS set to a
// folder, pictures of the dialog maximised and restored are written there.
TEST_F(FilterDialog, MaximisedThenRestoredKeepsThePinnedRegionHatched) {
    const QString shots = qEnvironmentVariable("QRL_SCREENSHOTS");
    auto shoot = [&](const char* name) {
        if (!shots.isEmpty()) {
            EXPECT_TRUE(dlg->grab().save(shots + "/" + name));
        }
    };
    showModeless();
    AddKeyword(dlg, "web");    // (80, 65), radius 60
    AddKeyword(dlg, "design"); // (130, 75)
    ASSERT_EQ(dlg->OClouds1->PinCount(), 1);
    QWidget* pb = dlg->OClouds1->PB1;
    QScrollArea* sb = dlg->OClouds1->SB1;
    auto scrollBars = [sb] {
        return sb->horizontalScrollBar()->isVisible() || sb->verticalScrollBar()->isVisible();
    };
    const QSize normal = dlg->size();
    dlg->showMaximized();
    ASSERT_TRUE(QTest::qWaitFor([&] { return dlg->width() > normal.width() + 100; }));
    QTest::qWait(50);
    const QSize maximisedView = sb->viewport()->size();
    EXPECT_EQ(pb->size(), maximisedView);
    const QPoint far(maximisedView.width() - 30, maximisedView.height() - 30);
    DoubleClickDiagram(dlg, far);
    ASSERT_EQ(dlg->OClouds1->PinCount(), 2);
    shoot("filter-maximised.png");

    dlg->showNormal();
    ASSERT_TRUE(QTest::qWaitFor([&] { return dlg->size() == normal; }));
    QTest::qWait(50);
    dlg->OClouds1->Refresh();
    ASSERT_LT(sb->viewport()->width(), far.x());
    EXPECT_TRUE(scrollBars()); // the pin is out of view
    const QImage seen = pb->grab().toImage();
    auto hatched = [&seen](const QRect& area) {
        int n = 0;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                n += seen.pixelColor(x, y) == QColor(0xC0, 0xC0, 0xC0);
        return n;
    };
    EXPECT_GT(hatched(QRect(260, 20, 60, 60)), 200); // outside
    EXPECT_GT(hatched(QRect(100, 50, 10, 10)), 5);   // in both
    EXPECT_EQ(hatched(QRect(30, 55, 15, 20)), 0);    // "web" alone
    EXPECT_EQ(hatched(QRect(170, 50, 15, 20)), 0);   // "design" alone
    shoot("filter-restored.png");

    // Without the far pin nothing lies outside the view.
    DoubleClickDiagram(dlg, far);
    EXPECT_EQ(dlg->OClouds1->PinCount(), 1);
    QTest::qWait(50); // the scroll box shows or hides its bars when its events come
    EXPECT_FALSE(scrollBars());
    EXPECT_EQ(pb->size(), sb->viewport()->size());
}

// ---------------------------------------------------------------- conditions files

TEST_F(FilterDialog, SaveAndLoadConditions) {
    TempDir tmp;
    showModeless();
    AddKeyword(dlg, "web");
    AddCheckedState(dlg);
    const TConditions made = DiagramConditions(*dlg->OClouds1);

    DialogDriver dialogs;
    dialogs.Then(TypeFileNameOrCancel(tmp.qpath("mine")));
    QTest::mouseClick(dlg->btnSaveConditions, Qt::LeftButton);
    ASSERT_TRUE(tmp.exists("mine.qrc"));
    EXPECT_EQ(WriteConditions(ReadConditions(tmp.read("mine.qrc"))), WriteConditions(made));
    EXPECT_EQ(QDir(dlg->ConditionsFolder()), QDir(tmp.qpath("")));

    // Replacing a file is asked first.
    dialogs.Then(TypeFileNameOrCancel(tmp.qpath("mine.qrc"))).No();
    AddKeyword(dlg, "cook");
    QTest::mouseClick(dlg->btnSaveConditions, Qt::LeftButton);
    EXPECT_EQ(ReadConditions(tmp.read("mine.qrc")).Circles.size(), 2u);

    // Loading into a diagram that is not empty asks; No changes nothing.
    QString folderShown;
    dialogs.Then(TypeFileNameOrCancel(tmp.qpath("mine.qrc"), &folderShown)).No();
    QTest::mouseClick(dlg->btnLoadConditions, Qt::LeftButton);
    EXPECT_EQ(QDir(folderShown), QDir(tmp.qpath(""))); // the last folder
    EXPECT_EQ(dlg->OClouds1->CircleCount(), 3);
    dialogs.Then(TypeFileNameOrCancel(tmp.qpath("mine.qrc"))).Yes();
    QTest::mouseClick(dlg->btnLoadConditions, Qt::LeftButton);
    ASSERT_EQ(dlg->OClouds1->CircleCount(), 2);
    EXPECT_EQ(WriteConditions(DiagramConditions(*dlg->OClouds1)), WriteConditions(made));
    EXPECT_TRUE(dlg->btnApply->isEnabled());
    EXPECT_FALSE(dlg->SB_del_cond->isEnabled());
    EXPECT_EQ(
        dialogs.Seen(),
        (QStringList{"The file \"" + tmp.qpath("mine.qrc") + "\" already exists.\nReplace it?",
                     "Replace the current conditions with those of the file?",
                     "Replace the current conditions with those of the file?"}));

    // A file that cannot be read is reported and changes nothing.
    tmp.write("broken.qrc", "<CONDITIONS><CIRCLE X=\"1\"/></CONDITIONS>");
    dialogs.Then(TypeFileNameOrCancel(tmp.qpath("broken.qrc"))).Ok();
    QTest::mouseClick(dlg->btnLoadConditions, Qt::LeftButton);
    EXPECT_TRUE(dialogs.Seen().last().startsWith("The conditions could not be loaded from"));
    EXPECT_TRUE(dialogs.Seen().last().contains("CIRCLE 1: attribute Y is missing"));
    EXPECT_EQ(WriteConditions(DiagramConditions(*dlg->OClouds1)), WriteConditions(made));
    EXPECT_TRUE(dialogs.Done());
}

TEST_F(FilterDialog, TheConditionsFolderIsKeptInTheSettings) {
    TempDir tmp;
    MemorySettings settings;
    const auto dialogWithSettings = [&] {
        auto made = std::make_unique<TF_lr_filter_user>();
        made->Settings = [&]() -> UserSettings* { return &settings; };
        made->show();
        return made;
    };
    DialogDriver dialogs;
    const auto first = dialogWithSettings();
    dialogs.Then(TypeFileNameOrCancel(tmp.qpath("kept")));
    QTest::mouseClick(first->btnSaveConditions, Qt::LeftButton);
    ASSERT_TRUE(tmp.exists("kept.qrc"));
    EXPECT_EQ(QDir(QString::fromStdString(settings.Store().Get("CONDITIONS_FOLDER"))),
              QDir(tmp.qpath("")));

    // A dialog that has not been in a folder yet starts in the one kept.
    const auto second = dialogWithSettings();
    QString folderShown;
    dialogs.Then(CancelFileDialog(&folderShown));
    QTest::mouseClick(second->btnLoadConditions, Qt::LeftButton);
    EXPECT_EQ(QDir(folderShown), QDir(tmp.qpath("")));
    EXPECT_TRUE(dialogs.Done());
}

TEST_F(FilterDialog, LoadingIntoAnEmptyDiagramAsksNothing) {
    TempDir tmp;
    tmp.write("one.qrc", "<CONDITIONS VERSION=\"1\"><CIRCLE LABEL=\"L\" BODY=\"EXISTS('COOK')\" "
                         "X=\"100\" Y=\"100\" RADIUS=\"50\" LABELDX=\"1\" LABELDY=\"2\"/>"
                         "<PIN X=\"100\" Y=\"100\"/></CONDITIONS>");
    showModeless();
    {
        DialogDriver files;
        files.Then(TypeFileNameOrCancel(tmp.qpath("one.qrc")));
        QTest::mouseClick(dlg->btnLoadConditions, Qt::LeftButton);
        EXPECT_TRUE(files.Done());
    }
    dlg->hide();
    EXPECT_TRUE(execute([&] { QTest::mouseClick(dlg->btnApply, Qt::LeftButton); }));
    EXPECT_EQ(passing(), "http://4.example/");
}

// ---------------------------------------------------------------- keyboard and screen reader

// Both windows at the designed font and at a 14 pt desktop font: every control Tab reaches has
// a name (the fields their labels' captions), Tab goes round, nothing overlaps or is cut; the
// pictures at 14 pt and on a dark palette are kept to look at.
TEST_F(FilterDialog, KeyboardAndScreenReaderAtEveryFont) {
    TFLCEdit* ed = FLCEdit();
    const QFont designed = QApplication::font();
    const QPalette light = QApplication::palette();
    QPalette dark = light;
    for (auto [role, colour] : {std::pair{QPalette::Window, QColor(0x35, 0x35, 0x35)},
                                {QPalette::Base, QColor(0x2a, 0x2a, 0x2a)},
                                {QPalette::Button, QColor(0x35, 0x35, 0x35)},
                                {QPalette::Text, QColor(Qt::white)},
                                {QPalette::WindowText, QColor(Qt::white)},
                                {QPalette::ButtonText, QColor(Qt::white)},
                                {QPalette::Highlight, QColor(0x2a, 0x82, 0xda)}})
        dark.setColor(role, colour);
    QFont large = designed;
    large.setPointSize(14);
    const struct {
        const char* look;
        QFont font;
        QPalette palette;
    } looks[] = {{"designed", designed, light}, {"14pt", large, light}, {"dark", designed, dark}};
    const struct {
        QWidget* w;
        QString name;
    } names[] = {{dlg->Edit_kw, "Context:"},
                 {dlg->CB_state, "Record state:"},
                 {dlg->CB_link, "Link state:"},
                 {ed->Edit1, "Label text:"},
                 {ed->SE1, "Radius:"},
                 {ed->SBup, "Move the label up"},
                 {ed->SBl, "Move the label left"},
                 {ed->Edit_body, "Condition body"}};
    for (const auto& look : looks) {
        QApplication::setFont(look.font);
        QApplication::setPalette(look.palette);
        dlg->OClouds1->AddCircle("Context:\"garden\"", "EXISTS('GARDEN')", 130, 110, 60);
        for (QWidget* window : std::initializer_list<QWidget*>{dlg, ed}) {
            SCOPED_TRACE(std::string(look.look) + " " + window->objectName().toStdString());
            window->show();
            ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
            window->activateWindow();
            ASSERT_TRUE(QTest::qWaitForWindowActive(window));
            EXPECT_EQ(UnnamedControls(window), "");
            EXPECT_EQ(TabCycleFaults(window), "");
            EXPECT_EQ(LayoutFaults(window), "");
            SaveScreenshot(window, window->objectName() + "-" + look.look);
            // The read-only body field in the palette's colours, its text readable on it.
            EXPECT_EQ(ed->Edit_body->palette().color(QPalette::Base),
                      look.palette.color(QPalette::Button));
            window->hide();
        }
        dlg->OClouds1->Stop();
        dlg->OClouds1->Start();
    }
    QApplication::setFont(designed);
    QApplication::setPalette(light);
    // Tab reaches the diagram from the keyword field.
    showModeless();
    dlg->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(dlg));
    dlg->Edit_kw->setFocus();
    for (int tabs = 0; tabs < 20 && dlg->focusWidget() != dlg->OClouds1->btnTarget; ++tabs)
        QTest::keyClick(dlg->focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(dlg->focusWidget(), dlg->OClouds1->btnTarget);
    for (const auto& n : names) {
        QString name = QAccessible::queryAccessibleInterface(n.w)->text(QAccessible::Name);
        EXPECT_EQ(name.remove('&'), n.name) << n.w->objectName().toStdString();
    }
    // The state box is white whatever the palette, its caption dark on it.
    EXPECT_EQ(dlg->Label3->palette().color(QPalette::WindowText), QColor(Qt::black));
    EXPECT_EQ(ed->size(), QSize(400, 430));
}
