#include "settings/TFsure.h"

#include "settings/DialogUtil.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>

TFsure::TFsure(QWidget* parent) : QDialog(parent) {
    setObjectName("Fsure");
    setWindowTitle("Confirmation:");
    setFixedSize(313, 172);
    Bevel1 = MakeBevel(this, QRect(8, 8, 297, 119));
    Label1 = MakeMessageLabel(this, QRect(21, 21, 274, 99));
    OKBtn = new QPushButton("Yes", this);
    OKBtn->setObjectName("OKBtn");
    OKBtn->setGeometry(75, 136, 75, 25);
    OKBtn->setDefault(true);
    CancelBtn = new QPushButton("No", this);
    CancelBtn->setObjectName("CancelBtn");
    CancelBtn->setGeometry(163, 136, 75, 25);
    connect(OKBtn, &QPushButton::clicked, this, &TFsure::OKBtnClick);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
}

bool TFsure::Ask(const QString& text) {
    Answer = false;
    Label1->setText(text);
    CenterOnScreen(this);
    exec();
    return Answer;
}

void TFsure::OKBtnClick() {
    Answer = true;
    accept();
}

TFsure* Fsure() {
    static TFsure* instance = nullptr;
    if (!instance)
        instance = new TFsure();
    return instance;
}

bool AskUser(const QString& text) {
    return Fsure()->Ask(text);
}
