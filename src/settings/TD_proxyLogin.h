// Asks for the proxy user name and password of the current program run.
#pragma once

#include <QDialog>

class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class TD_settings_user;

class TD_proxyLogin : public QDialog {
    Q_OBJECT
public:
    explicit TD_proxyLogin(QWidget* parent = nullptr);

    // Shows the credentials given last in this run (those of the settings object); when the
    // user confirms with "Ok", the typed texts replace them exactly as typed. Cancel, Esc and
    // the close box keep them.
    void Execute();
    void Execute(TD_settings_user& settings);

    bool Accepted = false;

    QLabel* Image1;
    QLabel* Label3;
    QLineEdit* Edit_proxyUser;
    QLabel* Label4;
    QLineEdit* Edit_proxyPass;
    QPushButton* Ok;
    QPushButton* btnCancel;
    QFrame* Bevel1;

protected:
    void showEvent(QShowEvent* event) override;

private slots:
    void OkClick();
    void btnCancelClick();
};

// The one proxy login dialog of the program, created on first use.
TD_proxyLogin* D_proxyLogin();
