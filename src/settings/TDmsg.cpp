#include "settings/TDmsg.h"

#include "settings/DialogUtil.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>

TDmsg::TDmsg(QWidget* parent) : QDialog(parent) {
    setObjectName("Dmsg");
    setWindowTitle("Message:");
    setFixedSize(338, 167);
    Bevel1 = MakeBevel(this, QRect(7, 7, 323, 113));
    Label1 = MakeMessageLabel(this, QRect(14, 14, 309, 99));
    OKBtn = new QPushButton("OK", this);
    OKBtn->setObjectName("OKBtn");
    OKBtn->setGeometry(131, 132, 75, 25);
    OKBtn->setDefault(true);
    connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
}

void TDmsg::ShowText(const QString& text) {
    Label1->setText(text);
    CenterOnScreen(this);
    exec();
}

TDmsg* Dmsg() {
    static TDmsg* instance = nullptr;
    if (!instance)
        instance = new TDmsg();
    return instance;
}

void ShowMessage(const QString& text) {
    Dmsg()->ShowText(text);
}
