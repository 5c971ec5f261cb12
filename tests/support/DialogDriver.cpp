#include "DialogDriver.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QLabel>
#include <QTest>

DialogDriver::DialogDriver() {
    timer_.setInterval(5);
    connect(&timer_, &QTimer::timeout, this, &DialogDriver::poll);
    timer_.start();
    qApp->installEventFilter(this);
}

bool DialogDriver::eventFilter(QObject* watched, QEvent* event) {
    // A dialog that is hidden again may be shown again (the shared dialogs are reused).
    if (event->type() == QEvent::Hide && watched == handled_)
        handled_ = nullptr;
    return QObject::eventFilter(watched, event);
}

DialogDriver::~DialogDriver() = default;

bool DialogDriver::ClickButton(QWidget* dialog, const QString& text) {
    const auto buttons = dialog->findChildren<QAbstractButton*>();
    for (QAbstractButton* b : buttons) {
        QString caption = b->text();
        caption.remove('&');
        if (caption == text && b->isVisible() && b->isEnabled()) {
            QTest::mouseClick(b, Qt::LeftButton);
            return true;
        }
    }
    return false;
}

namespace {
std::function<void(QWidget*)> clicker(const QString& caption) {
    return [caption](QWidget* w) {
        if (!DialogDriver::ClickButton(w, caption))
            if (auto* d = qobject_cast<QDialog*>(w))
                d->reject();
    };
}
} // namespace

DialogDriver& DialogDriver::Yes() {
    steps_.push_back(clicker("Yes"));
    return *this;
}

DialogDriver& DialogDriver::No() {
    steps_.push_back(clicker("No"));
    return *this;
}

DialogDriver& DialogDriver::Ok() {
    steps_.push_back([](QWidget* w) {
        if (!ClickButton(w, "OK") && !ClickButton(w, "Ok"))
            if (auto* d = qobject_cast<QDialog*>(w))
                d->accept();
    });
    return *this;
}

DialogDriver& DialogDriver::Escape() {
    steps_.push_back([](QWidget* w) { QTest::keyClick(w, Qt::Key_Escape); });
    return *this;
}

DialogDriver& DialogDriver::Enter() {
    steps_.push_back([](QWidget* w) {
        QWidget* focus = w->focusWidget();
        QTest::keyClick(focus ? focus : w, Qt::Key_Return);
    });
    return *this;
}

DialogDriver& DialogDriver::Then(std::function<void(QWidget*)> handler) {
    steps_.push_back(std::move(handler));
    return *this;
}

void DialogDriver::poll() {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal || modal == handled_ || !modal->isVisible())
        return;
    handled_ = modal;
    // Act as a user would: on a window that is on screen and has the keyboard.
    // (A platform that never activates windows still gets its answer after the wait.)
    if (QTest::qWaitForWindowExposed(modal, 2000) && handled_) {
        modal->activateWindow();
        const bool active = QTest::qWaitForWindowActive(modal, 2000);
        Q_UNUSED(active);
    }
    if (!handled_)
        return;
    // Note the text of the shared question and notice dialogs.
    if (modal->objectName() == "Fsure" || modal->objectName() == "Dmsg")
        if (auto* label = modal->findChild<QLabel*>("Label1"))
            seen_ << label->text();
    if (steps_.empty()) {
        unexpected_ << modal->windowTitle();
        if (auto* d = qobject_cast<QDialog*>(modal))
            d->reject();
        else
            modal->close();
        return;
    }
    auto step = std::move(steps_.front());
    steps_.pop_front();
    step(modal);
}
