#include "settings/DialogUtil.h"

#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QWidget>

QFrame* MakeBevel(QWidget* parent, const QRect& geometry) {
    auto* frame = new QFrame(parent);
    frame->setObjectName("Bevel1");
    frame->setFrameShape(QFrame::Box);
    frame->setFrameShadow(QFrame::Sunken);
    frame->setGeometry(geometry);
    return frame;
}

QLabel* MakeMessageLabel(QWidget* parent, const QRect& geometry) {
    auto* label = new QLabel(parent);
    label->setObjectName("Label1");
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setGeometry(geometry);
    label->setFixedSize(geometry.size());
    return label;
}

void CenterOnScreen(QWidget* window) {
    QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    window->move(area.center() - QPoint(window->width() / 2, window->height() / 2));
}
