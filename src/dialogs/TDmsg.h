// The shared notice with an OK button.
#pragma once

#include <QDialog>

class QLabel;
class QPushButton;
class QFrame;

class TDmsg : public QDialog {
    Q_OBJECT
public:
    explicit TDmsg(QWidget* parent = nullptr);

    // Shows Text modally and returns when the dialog is closed.
    void ShowText(const QString& text);

    QFrame* Bevel1;
    QLabel* Label1;
    QPushButton* OKBtn;
};

// The one message dialog of the program, created on first use.
TDmsg* Dmsg();
// Short for Dmsg()->ShowText(text).
void ShowMessage(const QString& text);
