#include "settings/TD_proxyLogin.h"

#include "dialogs/DialogUtil.h"
#include "settings/TD_settings_user.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

namespace {

// A small padlock: the dialog's decorative picture, 32 logical pixels with ratio physical pixels
// to each.
QPixmap padlockPicture(qreal ratio) {
    QPixmap picture(qRound(32 * ratio), qRound(32 * ratio));
    picture.setDevicePixelRatio(ratio);
    picture.fill(Qt::transparent);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(90, 90, 100), 3));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(9, 3, 14, 18), 0, 180 * 16);
    p.drawLine(QPointF(9, 12), QPointF(9, 15));
    p.drawLine(QPointF(23, 12), QPointF(23, 15));
    p.setPen(QPen(QColor(120, 85, 10), 1));
    p.setBrush(QColor(230, 180, 40));
    p.drawRoundedRect(QRectF(5, 14, 22, 16), 3, 3);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(80, 55, 5));
    p.drawEllipse(QPointF(16, 20.5), 2.5, 2.5);
    p.drawRect(QRectF(15, 21, 2, 5));
    return picture;
}

} // namespace

TD_proxyLogin::TD_proxyLogin(QWidget* parent) : QDialog(parent) {
    setObjectName("D_proxyLogin");
    setWindowTitle("Proxy username and password:");
    UseFixedDialogBorder(this);

    Image1 = new QLabel(this);
    Image1->setObjectName("Image1");
    Image1->setFixedSize(32, 32);

    Label3 = new QLabel("Proxy &user name:", this);
    Label3->setObjectName("Label3");
    Edit_proxyUser = new QLineEdit(this);
    Edit_proxyUser->setObjectName("Edit_proxyUser");
    Label3->setBuddy(Edit_proxyUser);

    Label4 = new QLabel("Proxy &password:", this);
    Label4->setObjectName("Label4");
    Edit_proxyPass = new QLineEdit(this);
    Edit_proxyPass->setObjectName("Edit_proxyPass");
    ShowStarsFor(Edit_proxyPass);
    Label4->setBuddy(Edit_proxyPass);

    Bevel1 = new QFrame(this);
    Bevel1->setObjectName("Bevel1");
    Bevel1->setFrameShape(QFrame::HLine);
    Bevel1->setFrameShadow(QFrame::Sunken);

    Ok = new QPushButton("&Ok", this);
    Ok->setObjectName("Ok");
    Ok->setDefault(true);
    btnCancel = new QPushButton("&Cancel", this);
    btnCancel->setObjectName("btnCancel");
    connect(Ok, &QPushButton::clicked, this, &TD_proxyLogin::OkClick);
    connect(btnCancel, &QPushButton::clicked, this, &TD_proxyLogin::btnCancelClick);

    auto* fields = new QGridLayout();
    fields->setHorizontalSpacing(10);
    fields->addWidget(Image1, 0, 0, 2, 1, Qt::AlignTop);
    fields->addWidget(Label3, 0, 1);
    fields->addWidget(Edit_proxyUser, 0, 2);
    fields->addWidget(Label4, 1, 1);
    fields->addWidget(Edit_proxyPass, 1, 2);
    fields->setColumnStretch(2, 1);

    auto* buttons = new QHBoxLayout();
    buttons->addStretch(1);
    buttons->addWidget(Ok);
    buttons->addWidget(btnCancel);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(14, 10, 14, 10);
    layout->addStretch(1);
    layout->addLayout(fields);
    layout->addStretch(1);
    layout->addWidget(Bevel1);
    layout->addLayout(buttons);

    setTabOrder(Edit_proxyUser, Edit_proxyPass);
    setTabOrder(Edit_proxyPass, Ok);
    setTabOrder(Ok, btnCancel);
    FixSizeForFont(this, QSize(335, 153));
}

void TD_proxyLogin::Execute() {
    if (D_settings_user)
        Execute(*D_settings_user);
}

void TD_proxyLogin::Execute(TD_settings_user& settings) {
    Edit_proxyUser->setText(ToQ(settings.SessionProxyUser));
    Edit_proxyPass->setText(ToQ(settings.SessionProxyPass));
    Edit_proxyUser->selectAll();
    Edit_proxyUser->setFocus();
    Accepted = false;
    exec();
    if (Accepted) {
        // A text shown unchanged keeps its own bytes.
        auto typed = [](const QLineEdit* field, const std::string& before) {
            return field->text() == ToQ(before) ? before : FromQ(field->text());
        };
        settings.SessionProxyUser = typed(Edit_proxyUser, settings.SessionProxyUser);
        settings.SessionProxyPass = typed(Edit_proxyPass, settings.SessionProxyPass);
    }
    // The password is not kept in the window between runs.
    Edit_proxyPass->clear();
}

void TD_proxyLogin::showEvent(QShowEvent* event) {
    if (!event->spontaneous()) {
        Image1->setPixmap(padlockPicture(devicePixelRatioF()));
        FixSizeForFont(this, QSize(335, 153));
    }
    QDialog::showEvent(event);
    if (!event->spontaneous())
        CenterOnScreen(this);
}

void TD_proxyLogin::OkClick() {
    Accepted = true;
    accept();
}

void TD_proxyLogin::btnCancelClick() {
    reject();
}

TD_proxyLogin* D_proxyLogin() {
    static TD_proxyLogin* instance = nullptr;
    if (!instance)
        instance = new TD_proxyLogin();
    return instance;
}
