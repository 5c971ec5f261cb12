// The modal editor of one found page: address, title and description.
#pragma once

#include <QDialog>

#include <string>
#include <string_view>

class TQelPigger;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

class TD_url_edit : public QDialog {
    Q_OBJECT
public:
    explicit TD_url_edit(QWidget* parent = nullptr);

    // Edits record in place; true when the user confirmed and the record was updated.
    bool Execute(TQelPigger* record);

    bool Accepted = false;
    QLabel* Image1;
    QLabel* Image2;
    QLineEdit* Edit_url;
    QLineEdit* Edit_title;
    QPlainTextEdit* Memo_dsc;
    QPushButton* btnOk;
    QPushButton* btnCancel;

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void fitToFont();
    void btnOkClick();
    void storeFields();

    TQelPigger* record_ = nullptr;
    // What the fields showed when they were loaded, to leave untouched texts byte for byte.
    QString loadedTitle_, loadedDescription_;
};

// The one URL editor of the program, created on first use.
TD_url_edit* D_url_edit();
