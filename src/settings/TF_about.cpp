#include "settings/TF_about.h"

#include "dialogs/DialogUtil.h"
#include "settings/TD_settings_user.h"
#include "settings/core/AppInfo.h"

#include <QDesktopServices>
#include <QFrame>
#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>
#include <QPushButton>
#include <QRegularExpression>
#include <QUrl>

namespace {

QFont sized(const QFont& base, int pixels, bool bold) {
    QFont f(base);
    f.setPixelSize(pixels);
    f.setBold(bold);
    return f;
}

void paintRed(QLabel* label) {
    QPalette p = label->palette();
    p.setColor(QPalette::WindowText, QColor(0xC0, 0x10, 0x10));
    label->setPalette(p);
}

} // namespace

QPixmap ProductPicture(int size) {
    QPixmap picture(":/art/logo.png");
    if (picture.isNull())
        return picture;
    return picture.scaled(size, size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
}

TF_about::TF_about(QWidget* parent) : QDialog(parent) {
    setObjectName("F_about");
    setWindowTitle("About");
    UseFixedDialogBorder(this);
    setFixedSize(325, 186);

    Bevel1 = new QFrame(this);
    Bevel1->setObjectName("Bevel1");
    Bevel1->setFrameShape(QFrame::HLine);
    Bevel1->setFrameShadow(QFrame::Sunken);
    Bevel1->setGeometry(0, 186 - 39, 325, 2);

    Shape1 = new QFrame(this);
    Shape1->setObjectName("Shape1");
    Shape1->setFrameShape(QFrame::Box);
    Shape1->setGeometry(14, 21, 64, 64);
    Image1 = new QLabel(this);
    Image1->setObjectName("Image1");
    Image1->setGeometry(21, 28, 50, 50);
    Image1->setAlignment(Qt::AlignCenter);
    Image1->setPixmap(ProductPicture(50));

    Label2 = new QLabel(AppInfo::ProductName, this);
    Label2->setObjectName("Label2");
    Label2->setFont(sized(font(), 19, true));
    Label2->setAlignment(Qt::AlignRight | Qt::AlignTop);
    Label2->setGeometry(100, 21, 202, 26);

    Label_version = new QLabel(this);
    Label_version->setObjectName("Label_version");
    Label_version->setFont(sized(font(), 13, true));
    Label_version->setAlignment(Qt::AlignRight | Qt::AlignTop);
    Label_version->setGeometry(184, 49, 118, 22);
    paintRed(Label_version);

    Label1 = new QLabel(AppInfo::MakerName, this);
    Label1->setObjectName("Label1");
    Label1->setFont(sized(font(), 13, true));
    Label1->setAlignment(Qt::AlignRight | Qt::AlignTop);
    Label1->setGeometry(100, 84, 202, 20);
    Label1->setCursor(Qt::PointingHandCursor);

    Label_http = new QLabel(QString::fromStdString(WithoutScheme(AppInfo::MakerWebSite))
                                .remove(QRegularExpression("/$")),
                            this);
    Label_http->setObjectName("Label_http");
    Label_http->setFont(sized(font(), 13, false));
    Label_http->setAlignment(Qt::AlignCenter);
    Label_http->setGeometry(14, 114, 297, 22);
    Label_http->setCursor(Qt::PointingHandCursor);
    paintRed(Label_http);

    Label1->installEventFilter(this);
    Label_http->installEventFilter(this);

    Btn_ok = new QPushButton("Ok", this);
    Btn_ok->setObjectName("Btn_ok");
    Btn_ok->setGeometry(237, 155, 75, 25);
    Btn_ok->setDefault(true);
    connect(Btn_ok, &QPushButton::clicked, this, &TF_about::Btn_okClick);
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
