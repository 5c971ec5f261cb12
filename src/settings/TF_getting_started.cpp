#include "settings/TF_getting_started.h"

#include "dialogs/DialogUtil.h"
#include "settings/TD_settings_user.h"
#include "settings/TF_about.h"
#include "settings/core/SettingsStore.h"

#include <QApplication>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

TF_getting_started::TF_getting_started(QWidget* parent) : QDialog(parent) {
    setObjectName("F_getting_started");
    setWindowTitle("Getting started");
    UseFixedDialogBorder(this);

    // The banner is white with a red welcome in every palette: its own light surface.
    Shape1 = new QFrame(this);
    Shape1->setObjectName("Shape1");
    Shape1->setFrameShape(QFrame::Box);
    Shape1->setAutoFillBackground(true);
    QPalette banner = Shape1->palette();
    banner.setColor(QPalette::Window, Qt::white);
    banner.setColor(QPalette::WindowText, Qt::black);
    Shape1->setPalette(banner);
    Shape1->setMinimumHeight(64);

    Image1 = new QLabel(Shape1);
    Image1->setObjectName("Image1");
    Image1->setFixedSize(50, 50);
    Image1->setAlignment(Qt::AlignCenter);

    Label1 = new QLabel("Welcome to Quarrylog", Shape1);
    Label1->setObjectName("Label1");
    QPalette red = Label1->palette();
    red.setColor(QPalette::WindowText, QColor(0xC0, 0x10, 0x10));
    Label1->setPalette(red);
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    Label1->setMinimumWidth(200);
    auto* bannerRow = new QHBoxLayout(Shape1);
    bannerRow->setContentsMargins(7, 7, 11, 7);
    bannerRow->addWidget(Image1);
    bannerRow->addStretch(1);
    bannerRow->addWidget(Label1);

    RG1 = new QGroupBox("Getting started", this);
    RG1->setObjectName("RG1");
    auto* items = new QVBoxLayout(RG1);
    items->setSpacing(2);
    const char* captions[4] = {"Show intro &now", "Show intro next &time",
                               "&Run \"New Search Report\" wizard",
                               "&Don't show this prompt again"};
    for (int i = 0; i < 4; ++i) {
        RG1Items[i] = new QRadioButton(captions[i], RG1);
        RG1Items[i]->setObjectName(QString("RG1Item%1").arg(i));
        items->addWidget(RG1Items[i]);
    }
    RG1Items[0]->setChecked(true);

    btnOk = new QPushButton("&Ok", this);
    btnOk->setObjectName("btnOk");
    btnOk->setDefault(true);
    connect(btnOk, &QPushButton::clicked, this, &TF_getting_started::btnOkClick);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(21, 14, 18, 24);
    layout->setSpacing(0);
    layout->addWidget(Shape1);
    layout->addSpacing(41);
    layout->addWidget(RG1);
    layout->addStretch(1);
    layout->addSpacing(20);
    layout->addWidget(btnOk, 0, Qt::AlignHCenter);
    layOut();
}

void TF_getting_started::layOut() {
    // The designed font and sizes, larger with a larger desktop font.
    Label1->setFont(DesignedFont(QApplication::font(this), 13, true));
    Image1->setPixmap(ProductPicture(50, devicePixelRatioF()));
    btnOk->setFixedSize(RoomForCaption(btnOk, btnOk->text(), QSize(75, 25)));
    FixSizeForFont(this, QSize(432, 315));
}

int TF_getting_started::ItemIndex() const {
    for (int i = 0; i < 4; ++i)
        if (RG1Items[i]->isChecked())
            return i;
    return -1;
}

void TF_getting_started::Execute() {
    if (D_settings_user && D_settings_user->Store().Get(SettingsKeys::ShowIntro) == "NO")
        return;
    RunWizard = false;
    RG1Items[0]->setChecked(true);
    layOut();
    CenterOnScreen(this);
    exec();
}

void TF_getting_started::btnOkClick() {
    switch (ItemIndex()) {
    case 0:
        if (OpenDoc)
            OpenDoc("intro");
        break;
    case 2:
        RunWizard = true;
        break;
    case 3:
        if (D_settings_user)
            D_settings_user->Store().Set(SettingsKeys::ShowIntro, "NO");
        break;
    default: // "Show intro next time": the dialog is simply offered again at the next start.
        break;
    }
    accept();
}
