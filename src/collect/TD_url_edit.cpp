#include "collect/TD_url_edit.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

TD_url_edit::TD_url_edit(QWidget* parent) : QDialog(parent) {
    setObjectName("D_url_edit");
    setWindowTitle("URL");
    Edit_url = new QLineEdit(this);
    Edit_title = new QLineEdit(this);
    Memo_dsc = new QPlainTextEdit(this);
    btnOk = new QPushButton("Ok", this);
    btnCancel = new QPushButton("Cancel", this);
    auto* layout = new QVBoxLayout(this);
    for (QWidget* w :
         std::initializer_list<QWidget*>{Edit_url, Edit_title, Memo_dsc, btnOk, btnCancel})
        layout->addWidget(w);
    connect(btnOk, &QPushButton::clicked, this, [this] {
        Accepted = true;
        accept();
    });
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

bool TD_url_edit::Execute(TQelPigger* record) {
    Accepted = false;
    if (!record)
        return false;
    exec();
    return Accepted;
}

TD_url_edit* D_url_edit() {
    static TD_url_edit* instance = nullptr;
    if (!instance)
        instance = new TD_url_edit();
    return instance;
}
