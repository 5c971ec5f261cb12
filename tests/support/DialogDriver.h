// Answers modal dialogs on a script, the way a user would: it waits until the dialog is the
// active modal window, notes what it showed and clicks the scripted button.
//
//   DialogDriver dialogs;
//   dialogs.Yes();                       // answer the next question with Yes
//   dialogs.Then([](QWidget* w) { ... }); // act on the next modal window in any other way
//   window.doSomething();
//   EXPECT_EQ(dialogs.Seen(), QStringList{"Save changes?"});
//   EXPECT_TRUE(dialogs.Done());
//
// A modal window that shows up with nothing left in the script is closed (rejected) and noted
// in Unexpected(), so a test fails instead of hanging.
#pragma once

#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTimer>

#include <deque>
#include <functional>

class QWidget;

class DialogDriver : public QObject {
    Q_OBJECT
public:
    DialogDriver();
    ~DialogDriver() override;

    // Confirmation dialog: click "Yes" / "No"; message dialog (or any dialog): click "OK".
    DialogDriver& Yes();
    DialogDriver& No();
    DialogDriver& Ok();
    // Press Esc on the next modal window.
    DialogDriver& Escape();
    // Press Enter on the next modal window, where its keyboard focus is.
    DialogDriver& Enter();
    // Any other handling of the next modal window; the handler must close it.
    DialogDriver& Then(std::function<void(QWidget*)> handler);

    // Texts of the shared dialogs (question or notice) in the order they were shown.
    const QStringList& Seen() const { return seen_; }
    // Window titles of the modal windows that were not scripted.
    const QStringList& Unexpected() const { return unexpected_; }
    // Every scripted step was used and nothing unexpected came up.
    bool Done() const { return steps_.empty() && unexpected_.isEmpty(); }
    int Pending() const { return static_cast<int>(steps_.size()); }

    // Clicks the button of a dialog that carries the given text.
    static bool ClickButton(QWidget* dialog, const QString& text);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void poll();

    std::deque<std::function<void(QWidget*)>> steps_;
    QStringList seen_;
    QStringList unexpected_;
    QPointer<QWidget> handled_;
    QTimer timer_;
};
