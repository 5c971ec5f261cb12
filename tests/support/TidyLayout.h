// Checks of a window's layout as the user sees it: no two controls on top of each other, no
// caption cut short. With QRL_SCREENSHOTS set to a folder, SaveScreenshot keeps a picture of the
// window there to look at.
#pragma once

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QWidget>

#include <string>

namespace tidy_detail {

inline bool isControl(const QWidget* w) {
    return qobject_cast<const QLabel*>(w) || qobject_cast<const QAbstractButton*>(w) ||
           qobject_cast<const QLineEdit*>(w) || qobject_cast<const QComboBox*>(w) ||
           qobject_cast<const QAbstractSpinBox*>(w) || qobject_cast<const QAbstractItemView*>(w) ||
           qobject_cast<const QPlainTextEdit*>(w) || qobject_cast<const QProgressBar*>(w);
}

// A control that is part of another control (the line edit of a spin box, a list's header).
inline bool insideControl(const QWidget* w, const QWidget* root) {
    for (const QWidget* p = w->parentWidget(); p && p != root; p = p->parentWidget())
        if (isControl(p))
            return true;
    return false;
}

inline QString nameOf(const QWidget* w) {
    QString name = w->objectName();
    if (name.isEmpty())
        if (const auto* label = qobject_cast<const QLabel*>(w))
            name = "label \"" + label->text() + "\"";
    if (name.isEmpty())
        if (const auto* button = qobject_cast<const QAbstractButton*>(w))
            name = "button \"" + button->text() + "\"";
    return name.isEmpty() ? QString(w->metaObject()->className()) : name;
}

// Whether the control shows its whole caption in the room it has.
inline bool captionFits(const QWidget* w) {
    if (const auto* label = qobject_cast<const QLabel*>(w)) {
        if (label->text().isEmpty())
            return true;
        if (label->wordWrap())
            return label->heightForWidth(label->width()) <= label->height();
        return label->sizeHint().width() <= label->width();
    }
    if (const auto* button = qobject_cast<const QPushButton*>(w)) {
        // A push button's size hint has a least width of the style's; only the text counts.
        QString text = button->text();
        text.remove('&');
        return button->fontMetrics().horizontalAdvance(text) + 8 <= button->width();
    }
    if (const auto* button = qobject_cast<const QAbstractButton*>(w))
        return button->text().isEmpty() || button->sizeHint().width() <= button->width();
    return true;
}

} // namespace tidy_detail

// What is untidy among the controls shown inside root: "A overlaps B", "A cuts its caption",
// one a line (empty when all is tidy).
inline std::string LayoutFaults(QWidget* root) {
    using namespace tidy_detail;
    QList<QWidget*> controls;
    for (QWidget* w : root->findChildren<QWidget*>())
        if (isControl(w) && w->isVisibleTo(root) && !insideControl(w, root))
            controls << w;
    QStringList faults;
    for (int i = 0; i < controls.size(); ++i) {
        const QWidget* a = controls[i];
        if (!captionFits(a))
            faults << nameOf(a) + " cuts its caption";
        const QRect ra(a->mapTo(root, QPoint(0, 0)), a->size());
        for (int j = i + 1; j < controls.size(); ++j) {
            const QWidget* b = controls[j];
            const QRect rb(b->mapTo(root, QPoint(0, 0)), b->size());
            if (ra.intersects(rb))
                faults << nameOf(a) + " overlaps " + nameOf(b);
        }
    }
    return faults.join('\n').toStdString();
}

// Keeps a picture of the widget as QRL_SCREENSHOTS/NAME.png when that variable names a folder.
inline void SaveScreenshot(QWidget* w, const QString& name) {
    const QString folder = qEnvironmentVariable("QRL_SCREENSHOTS");
    if (!folder.isEmpty() && QDir().mkpath(folder))
        w->grab().save(QDir(folder).filePath(name + ".png"));
}
