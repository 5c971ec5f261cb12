// The modal editor of one found page: address, title and description.
#pragma once

#include <QDialog>

class TQelPigger;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

class TD_url_edit : public QDialog {
    Q_OBJECT
public:
    explicit TD_url_edit(QWidget* parent = nullptr);

    // Edits record; true when the user confirmed and the record was updated.
    bool Execute(TQelPigger* record);

    bool Accepted = false;
    QLineEdit* Edit_url;
    QLineEdit* Edit_title;
    QPlainTextEdit* Memo_dsc;
    QPushButton* btnOk;
    QPushButton* btnCancel;
};

// The one URL editor of the program, created on first use.
TD_url_edit* D_url_edit();
