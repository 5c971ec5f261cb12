#include "settings/TD_settings.h"

#include "dialogs/DialogUtil.h"

#include <QFile>
#include <QHBoxLayout>
#include <QPushButton>
#include <QShowEvent>
#include <QTabWidget>
#include <QVBoxLayout>

TD_settings::TD_settings(const QString& settingsFile, QWidget* parent)
    : QDialog(parent), store_(QFile::encodeName(settingsFile).toStdString()) {
    setObjectName("D_settings");
    setWindowTitle("Settings");
    UseFixedDialogBorder(this);
    setSizeGripEnabled(false);

    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName("PageControl1");
    TabSheet1 = new QWidget();
    TabSheet1->setObjectName("TabSheet1");
    PageControl1->addTab(TabSheet1, "TabSheet1");

    OKBtn = new QPushButton("&OK", this);
    OKBtn->setObjectName("OKBtn");
    OKBtn->setDefault(true);
    CancelBtn = new QPushButton("&Cancel", this);
    CancelBtn->setObjectName("CancelBtn");
    connect(OKBtn, &QPushButton::clicked, this, &TD_settings::OKBtnClick);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout();
    buttons->addStretch(1);
    buttons->addWidget(OKBtn);
    buttons->addWidget(CancelBtn);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(PageControl1, 1);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

TD_settings::~TD_settings() {
    store_.SaveNow();
}

void TD_settings::FormCreate() {
    StoreAllowed = true;
    LoadSettings();
    ShowSettings();
}

void TD_settings::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous())
        CenterOnScreen(this);
}

void TD_settings::OKBtnClick() {
    SaveNow();
    accept();
}

void TD_settings::RestoreWindowPos(QWidget* window) {
    StoreAllowed = false;
    const SettingsStore::Geometry g = store_.ReadGeometry();
    if (g.top)
        window->move(window->x(), *g.top);
    if (g.left)
        window->move(*g.left, window->y());
    if (g.height)
        window->resize(window->width(), *g.height);
    if (g.width)
        window->resize(*g.width, window->height());
    StoreAllowed = true;
}

void TD_settings::StoreWindowPos(QWidget* window) {
    if (!StoreAllowed)
        return;
    if (window->isMaximized()) {
        // The normal geometry is what the window returns to; store that one and leave the
        // window as the user sees it.
        const QRect normal = window->normalGeometry();
        if (normal.isValid()) {
            store_.WriteGeometry(normal.width(), normal.height(), normal.x(), normal.y());
            return;
        }
    }
    store_.WriteGeometry(window->width(), window->height(), window->x(), window->y());
}

void TD_settings::StoreWindowPos(const QRect& normal) {
    if (StoreAllowed)
        store_.WriteGeometry(normal.width(), normal.height(), normal.x(), normal.y());
}
