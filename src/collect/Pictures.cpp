#include "collect/Pictures.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>

namespace {

// A transparent square of size logical pixels at ratio device pixels each; a painter on it
// draws in logical pixels.
QPixmap blank(int size, qreal ratio) {
    ratio = std::max<qreal>(ratio, 1);
    QPixmap pm(QSize(size, size) * ratio);
    pm.setDevicePixelRatio(ratio);
    pm.fill(Qt::transparent);
    return pm;
}

} // namespace

qreal ScreenPixelRatio() {
    return qGuiApp ? qGuiApp->devicePixelRatio() : 1.0;
}

QPixmap FoundPagePicture(int size, qreal ratio) {
    QPixmap pm = blank(size, ratio);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = size / 100.0;
    // The page.
    p.setPen(QPen(QColor(70, 90, 120), 2 * s));
    p.setBrush(QColor(250, 250, 252));
    p.drawRoundedRect(QRectF(14 * s, 8 * s, 58 * s, 76 * s), 4 * s, 4 * s);
    p.setBrush(QColor(60, 120, 200));
    p.setPen(Qt::NoPen);
    p.drawRect(QRectF(20 * s, 16 * s, 46 * s, 8 * s));
    p.setBrush(QColor(175, 185, 200));
    for (int i = 0; i < 6; ++i)
        p.drawRect(QRectF(20 * s, (32 + i * 8) * s, (i % 2 ? 34 : 46) * s, 3.5 * s));
    // The magnifying glass.
    p.setPen(QPen(QColor(40, 50, 70), 7 * s, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(75 * s, 75 * s), QPointF(92 * s, 92 * s));
    p.setPen(QPen(QColor(40, 50, 70), 4 * s));
    p.setBrush(QColor(200, 230, 255, 170));
    p.drawEllipse(QPointF(62 * s, 62 * s), 17 * s, 17 * s);
    return pm;
}

QPixmap GlobeIcon(int size, qreal ratio) {
    QPixmap pm = blank(size, ratio);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r(1, 1, size - 2, size - 2);
    p.setPen(QPen(QColor(30, 90, 160), 1.2));
    p.setBrush(QColor(90, 160, 230));
    p.drawEllipse(r);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(230, 245, 255), 1));
    p.drawEllipse(r.adjusted(size * 0.3, 0, -size * 0.3, 0));
    p.drawLine(QPointF(r.left(), r.center().y()), QPointF(r.right(), r.center().y()));
    return pm;
}
