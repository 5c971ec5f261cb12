#include "settings/TF_about.h"

#include "dialogs/DialogUtil.h"
#include "settings/TD_settings_user.h"
#include "settings/core/AppInfo.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>
#include <QPushButton>
#include <QRegularExpression>
#include <QUrl>
#include <QVBoxLayout>

namespace {

// The designed red of the version and the web address.
const QColor kRed(0xC0, 0x10, 0x10);

} // namespace

QPixmap ProductPicture(int size, qreal ratio) {
    QPixmap picture(":/art/logo.png");
    if (picture.isNull())
        return picture;
    const int physical = qRound(size * ratio);
    picture = picture.scaled(physical, physical, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    picture.setDevicePixelRatio(ratio);
    return picture;
}

TF_about::TF_about(QWidget* parent) : QDialog(parent) {
    setObjectName("F_about");
    setWindowTitle("About");
    UseFixedDialogBorder(this);

    Bevel1 = new QFrame(this);
    Bevel1->setObjectName("Bevel1");
    Bevel1->setFrameShape(QFrame::HLine);
    Bevel1->setFrameShadow(QFrame::Sunken);

    Shape1 = new QFrame(this);
    Shape1->setObjectName("Shape1");
    Shape1->setFrameShape(QFrame::Box);
    Shape1->setFixedSize(64, 64);
    Image1 = new QLabel(Shape1);
    Image1->setObjectName("Image1");
    Image1->setAlignment(Qt::AlignCenter);
    auto* picture = new QVBoxLayout(Shape1);
    picture->setContentsMargins(7, 7, 7, 7);
    picture->addWidget(Image1);

    Label2 = new QLabel(AppInfo::ProductName, this);
    Label2->setObjectName("Label2");
    Label2->setAlignment(Qt::AlignRight | Qt::AlignTop);

    Label_version = new QLabel(this);
    Label_version->setObjectName("Label_version");
    Label_version->setAlignment(Qt::AlignRight | Qt::AlignTop);

    Label1 = new QLabel(AppInfo::MakerName, this);
    Label1->setObjectName("Label1");
    Label1->setAlignment(Qt::AlignRight | Qt::AlignTop);
    Label1->setCursor(Qt::PointingHandCursor);

    Label_http = new QLabel(QString::fromStdString(WithoutScheme(AppInfo::MakerWebSite))
                                .remove(QRegularExpression("/$")),
                            this);
    Label_http->setObjectName("Label_http");
    Label_http->setAlignment(Qt::AlignCenter);
    Label_http->setCursor(Qt::PointingHandCursor);

    Label1->installEventFilter(this);
    Label_http->installEventFilter(this);

    Btn_ok = new QPushButton("&Ok", this);
    Btn_ok->setObjectName("Btn_ok");
    Btn_ok->setDefault(true);
    connect(Btn_ok, &QPushButton::clicked, this, &TF_about::Btn_okClick);

    auto* names = new QVBoxLayout();
    names->setSpacing(2);
    names->addWidget(Label2);
    names->addWidget(Label_version);
    names->addStretch(1);
    names->addWidget(Label1);
    auto* top = new QHBoxLayout();
    top->setContentsMargins(14, 21, 14, 0);
    top->setSpacing(22);
    top->addWidget(Shape1, 0, Qt::AlignTop);
    top->addLayout(names, 1);
    auto* http = new QHBoxLayout();
    http->setContentsMargins(14, 6, 14, 8);
    http->addWidget(Label_http);
    auto* buttons = new QHBoxLayout();
    buttons->setContentsMargins(14, 6, 13, 6);
    buttons->addStretch(1);
    buttons->addWidget(Btn_ok);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addLayout(top);
    layout->addLayout(http);
    layout->addStretch(1);
    layout->addWidget(Bevel1);
    layout->addLayout(buttons);
    layOut();
}

void TF_about::layOut() {
    // The designed fonts and sizes, larger with a larger desktop font; the red of the version
    // and of the address stays readable on a dark window.
    const QFont base = QApplication::font(this);
    Label2->setFont(DesignedFont(base, 19, true));
    Label_version->setFont(DesignedFont(base, 13, true));
    Label1->setFont(DesignedFont(base, 13, true));
    Label_http->setFont(DesignedFont(base, 13, false));
    PaintWarning(Label_version, kRed);
    PaintWarning(Label_http, kRed);
    Image1->setPixmap(ProductPicture(50, devicePixelRatioF()));
    Btn_ok->setFixedSize(RoomForCaption(Btn_ok, Btn_ok->text(), QSize(75, 25)));
    FixSizeForFont(this, QSize(325, 186));
}

bool TF_about::eventFilter(QObject* watched, QEvent* event) {
    if ((watched == Label1 || watched == Label_http) &&
        event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        Label_httpClick();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TF_about::ShowAbout() {
    const std::string version = AppInfo::Version;
    Label_version->setText(ToQ(version));
    layOut();
    CenterOnScreen(this);
    exec();
}

void TF_about::Label_httpClick() {
    QDesktopServices::openUrl(QUrl(AppInfo::MakerWebSite));
}

void TF_about::Btn_okClick() {
    accept();
}

TF_about* F_about() {
    static TF_about* instance = nullptr;
    if (!instance)
        instance = new TF_about();
    return instance;
}
