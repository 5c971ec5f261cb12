// Checks of a window as keyboard and screen-reader users meet it: every control that takes the
// focus by Tab has an accessible name (its own, its caption, or its label's through a buddy), and
// Tab goes round the window's controls and comes back to where it started, never staying on one
// control, never landing on a hidden one.
//
//   EXPECT_EQ(UnnamedControls(dialog), "");
//   EXPECT_EQ(TabCycleFaults(dialog), "");   // the window is shown; the focus is where it starts
#pragma once

#include "TidyLayout.h"

#include <QAbstractScrollArea>
#include <QAccessible>
#include <QApplication>
#include <QTabBar>
#include <QTest>
#include <QWidget>

#include <string>

namespace access_detail {

// A widget that is a part of a focusable control (a spin box's line edit, a combo box's, the
// viewport of a list) is reached and read out through that control.
inline bool partOfControl(const QWidget* w, const QWidget* root) {
    for (const QWidget* p = w->parentWidget(); p && p != root; p = p->parentWidget())
        if (tidy_detail::isControl(p) || qobject_cast<const QAbstractScrollArea*>(p))
            return true;
    return false;
}

inline bool takesTab(const QWidget* w, const QWidget* root) {
    return (w->focusPolicy() & Qt::TabFocus) == Qt::TabFocus && w->isEnabled() &&
           w->isVisibleTo(root) && !w->focusProxy() && !partOfControl(w, root);
}

inline QString accessibleName(QWidget* w) {
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(w);
    return iface ? iface->text(QAccessible::Name).trimmed() : QString();
}

// A page tab bar is read out by its tabs: each tab's caption is its name.
inline bool tabsNamed(const QWidget* w) {
    const auto* bar = qobject_cast<const QTabBar*>(w);
    if (!bar || bar->count() == 0)
        return false;
    for (int i = 0; i < bar->count(); ++i)
        if (bar->tabText(i).isEmpty() && bar->accessibleTabName(i).isEmpty())
            return false;
    return true;
}

inline QString describe(const QWidget* w) {
    return tidy_detail::nameOf(w) + " (" + w->metaObject()->className() + ")";
}

} // namespace access_detail

// The controls inside root that Tab can reach and that a screen reader has no name for, one a
// line (empty when every one is named).
inline std::string UnnamedControls(QWidget* root) {
    using namespace access_detail;
    QStringList faults;
    for (QWidget* w : root->findChildren<QWidget*>())
        if (takesTab(w, root) && !tabsNamed(w) && accessibleName(w).isEmpty())
            faults << describe(w) + " has no accessible name";
    return faults.join('\n').toStdString();
}

// What keeps Tab from going round the shown window: the focus staying on one control, landing
// on a hidden one or leaving the window, or not coming back to where it started after visiting
// every control once. The focus is where the window puts it (the window's focus widget).
inline std::string TabCycleFaults(QWidget* window) {
    using namespace access_detail;
    QWidget* start = window->focusWidget();
    if (!start)
        return "nothing has the focus";
    int controls = 0;
    for (QWidget* w : window->findChildren<QWidget*>())
        controls += takesTab(w, window) ? 1 : 0;
    QWidget* at = start;
    for (int step = 0; step <= controls + 1; ++step) {
        QTest::keyClick(at, Qt::Key_Tab);
        // A control of several parts (a date's day, month and year) takes Tab through its parts
        // before it lets go; a web page's view asks the page first and lets go a moment later.
        for (int part = 0; controls > 1 && window->focusWidget() == at && part < 8; ++part)
            if (!QTest::qWaitFor([&] { return window->focusWidget() != at; }, 100))
                QTest::keyClick(at, Qt::Key_Tab);
        QWidget* next = window->focusWidget();
        if (!next || next->window() != window)
            return "Tab from " + describe(at).toStdString() + " leaves the window";
        if (!next->isVisible())
            return "Tab from " + describe(at).toStdString() + " lands on the hidden " +
                   describe(next).toStdString();
        // Alone in its window, a control rightly keeps the focus.
        if (next == at && controls > 1)
            return "Tab stays in " + describe(at).toStdString();
        if (next == at)
            return {};
        if (next == start)
            return {};
        at = next;
    }
    return "Tab from " + describe(start).toStdString() + " does not come back to it";
}
