// The filter dialog used as a user uses it: clicks on its pages, typing and double-clicks in
// the diagram. The dialog lives for the whole run of a test program.
#pragma once

#include "filter/TF_lr_filter_user.h"
#include "filter/TOadvCloud.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

#include <functional>

// The dialog as at the start of the program: an empty diagram, the filter off, the first page.
inline TF_lr_filter_user* FreshFilterDialog() {
    TF_lr_filter_user* dlg = F_lr_filter_user();
    dlg->OClouds1->Stop();
    dlg->OClouds1->Start();
    dlg->Placement().Reset();
    dlg->SetFilterOn(false);
    dlg->PageControl1->setCurrentWidget(dlg->TabSheet_kw);
    dlg->Edit_kw->clear();
    dlg->CB_state->setCurrentIndex(-1);
    dlg->CB_link->setCurrentIndex(-1);
    return dlg;
}

inline void ClickFilterPage(TF_lr_filter_user* dlg, QWidget* page) {
    QTabBar* bar = dlg->PageControl1->tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, {},
                      bar->tabRect(dlg->PageControl1->indexOf(page)).center());
}

// A context condition: the keyword typed, then "Add".
inline void AddKeyword(TF_lr_filter_user* dlg, const QString& keyword) {
    ClickFilterPage(dlg, dlg->TabSheet_kw);
    QTest::mouseClick(dlg->Edit_kw, Qt::LeftButton);
    QTest::keyClicks(dlg->Edit_kw, keyword);
    QTest::mouseClick(dlg->SB_add_condition, Qt::LeftButton);
}

// The record state "checked" chosen with the keyboard, then "Add".
inline void AddCheckedState(TF_lr_filter_user* dlg) {
    ClickFilterPage(dlg, dlg->TabSheet_other);
    dlg->CB_state->setFocus();
    if (dlg->CB_state->currentIndex() < 0)
        QTest::keyClick(dlg->CB_state, Qt::Key_Down);
    QTest::mouseClick(dlg->SB_add_condition, Qt::LeftButton);
}

// A link state chosen from the list, then "Add".
inline void AddLinkState(TF_lr_filter_user* dlg, const QString& item) {
    ClickFilterPage(dlg, dlg->TabSheet_link);
    dlg->CB_link->setCurrentIndex(dlg->CB_link->findText(item));
    QTest::mouseClick(dlg->SB_add_condition, Qt::LeftButton);
}

// A double-click at p of the diagram, which sets or removes a pin.
inline void DoubleClickDiagram(TF_lr_filter_user* dlg, QPoint p) {
    QWidget* pb = dlg->OClouds1->PB1;
    QTest::mouseClick(pb, Qt::LeftButton, {}, p);
    QTest::mouseDClick(pb, Qt::LeftButton, {}, p);
    QTest::mouseRelease(pb, Qt::LeftButton, {}, p);
}

// The dialog driver's step for the modal dialog: steps act in it and must close it.
inline std::function<void(QWidget*)> InFilterDialog(TF_lr_filter_user* dlg,
                                                    std::function<void()> steps) {
    return [dlg, steps](QWidget* w) {
        EXPECT_EQ(w, dlg);
        steps();
        if (dlg->isVisible()) {
            ADD_FAILURE() << "the steps left the dialog open";
            dlg->reject();
        }
    };
}
