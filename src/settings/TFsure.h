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
    virtual bool Ask(const QString& text);

    bool Answer = false;
    QFrame* Bevel1;
    QLabel* Label1;
    QPushButton* OKBtn;
    QPushButton* CancelBtn;

private slots:
    void OKBtnClick();
};

// The one confirmation dialog of the program, created on first use.
TFsure* Fsure();
// Short for Fsure()->Ask(text).
bool AskUser(const QString& text);
