#include "dialogs/TDmsg.h"

#include "dialogs/DialogUtil.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>

namespace {
const QSize kWindow(338, 167);
const QSize kLabel(309, 99);
const QSize kButton(75, 25);
} // namespace

TDmsg::TDmsg(QWidget* parent) : QDialog(parent) {
    setObjectName("Dmsg");
    setWindowTitle("Message:");
    UseFixedDialogBorder(this);
    setFixedSize(kWindow);
    Bevel1 = MakeBevel(this, QRect(7, 7, 323, 113));
    Label1 = MakeMessageLabel(this, QRect(QPoint(14, 14), kLabel));
    OKBtn = new QPushButton("&OK", this);
    OKBtn->setObjectName("OKBtn");
    OKBtn->setGeometry(131, 132, 75, 25);
    OKBtn->setDefault(true);
    connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
}

void TDmsg::ShowText(const QString& text) {
    // A long notice makes the window bigger; every other one shows in the usual size, in the
    // same proportions larger with a larger desktop font.
    const qreal scale = DesignedScale(font());
    const auto scaled = [scale](int pixels) { return qRound(pixels * scale); };
    if (auto* area = findChild<QScrollArea*>("Label1Area"))
        area->move(scaled(14), scaled(14));
    const QSize grow = FitMessageText(Label1, text, kLabel * scale, kWindow * scale);
    const QSize button = RoomForCaption(OKBtn, OKBtn->text(), kButton * scale);
    const QSize window =
        kWindow * scale + grow + QSize(0, button.height() - (kButton * scale).height());
    setFixedSize(window);
    Bevel1->setGeometry(QRect(QPoint(scaled(7), scaled(7)), QSize(323, 113) * scale + grow));
    OKBtn->resize(button);
    OKBtn->move((window.width() - button.width()) / 2, scaled(132) + grow.height());
    CenterOnScreen(this);
    OKBtn->setDefault(true);
    OKBtn->setFocus();
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
