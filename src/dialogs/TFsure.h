// The shared yes/no question.
#pragma once

#include <QDialog>

class QLabel;
class QPushButton;
class QFrame;

class TFsure : public QDialog {
    Q_OBJECT
public:
    explicit TFsure(QWidget* parent = nullptr);

    // Shows Text modally; true when the user answered Yes (No, Esc and the close box are No).
    // Every question starts with Yes as the default and focused button.
    virtual bool Ask(const QString& text);
    // As Ask, for a question whose No gives up work ("Save changes?"): Esc and the close box
    // do nothing, only a button answers.
    bool AskOnlyByButton(const QString& text);

    bool Answer = false;
    QFrame* Bevel1;
    QLabel* Label1;
    QPushButton* OKBtn;
    QPushButton* CancelBtn;

    // Esc and the close box answer No, unless the question is to be answered by a button.
    void reject() override;

private slots:
    void OKBtnClick();

private:
    bool onlyByButton_ = false;
};

// The one confirmation dialog of the program, created on first use.
TFsure* Fsure();
// Short for Fsure()->Ask(text).
bool AskUser(const QString& text);
// Short for Fsure()->AskOnlyByButton(text).
bool AskUserOnlyByButton(const QString& text);
