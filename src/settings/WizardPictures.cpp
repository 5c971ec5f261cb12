#include "settings/WizardPictures.h"

#include <QPainter>
#include <QPainterPath>

namespace {

// A transparent square of size logical pixels, with ratio physical pixels to each.
QPixmap blank(int size, qreal ratio) {
    const int physical = qRound(size * ratio);
    QPixmap pm(physical, physical);
    pm.setDevicePixelRatio(ratio);
    pm.fill(Qt::transparent);
    return pm;
}

// A sheet of paper with a title bar and lines of text.
void drawSheet(QPainter& p, const QRectF& r, qreal s) {
    p.setPen(QPen(QColor(70, 90, 120), 2 * s));
    p.setBrush(QColor(250, 250, 252));
    p.drawRoundedRect(r, 3 * s, 3 * s);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(60, 120, 200));
    p.drawRect(QRectF(r.left() + 6 * s, r.top() + 7 * s, r.width() - 12 * s, 6 * s));
    p.setBrush(QColor(175, 185, 200));
    for (int i = 0; r.top() + (20 + i * 7) * s < r.bottom() - 6 * s; ++i)
        p.drawRect(QRectF(r.left() + 6 * s, r.top() + (20 + i * 7) * s,
                          (i % 2 ? 0.6 : 0.85) * (r.width() - 12 * s), 3 * s));
}

} // namespace

QPixmap ReportPicture(int size, qreal ratio) {
    const QPixmap logo(":/art/logo-large.jpg");
    if (!logo.isNull()) {
        const int physical = qRound(size * ratio);
        QPixmap scaled =
            logo.scaled(physical, physical, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        scaled.setDevicePixelRatio(ratio);
        return scaled;
    }
    QPixmap pm = blank(size, ratio);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    drawSheet(p, QRectF(size * 0.2, size * 0.1, size * 0.6, size * 0.8), size / 100.0);
    return pm;
}

QPixmap ReportFilePicture(int size, qreal ratio) {
    QPixmap pm = blank(size, ratio);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = size / 100.0;
    // The back of the folder with its tab.
    QPainterPath back;
    back.moveTo(8 * s, 30 * s);
    back.lineTo(8 * s, 22 * s);
    back.lineTo(36 * s, 22 * s);
    back.lineTo(42 * s, 30 * s);
    back.lineTo(92 * s, 30 * s);
    back.lineTo(92 * s, 86 * s);
    back.lineTo(8 * s, 86 * s);
    back.closeSubpath();
    p.setPen(QPen(QColor(150, 110, 30), 2 * s));
    p.setBrush(QColor(232, 186, 80));
    p.drawPath(back);
    // The report going in.
    drawSheet(p, QRectF(28 * s, 8 * s, 44 * s, 58 * s), s);
    // The front of the folder.
    QPainterPath front;
    front.moveTo(8 * s, 86 * s);
    front.lineTo(14 * s, 48 * s);
    front.lineTo(98 * s, 48 * s);
    front.lineTo(92 * s, 86 * s);
    front.closeSubpath();
    p.setPen(QPen(QColor(150, 110, 30), 2 * s));
    p.setBrush(QColor(246, 206, 110));
    p.drawPath(front);
    return pm;
}

QPixmap ReadyPicture(int size, qreal ratio) {
    QPixmap pm = blank(size, ratio);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = size / 100.0;
    drawSheet(p, QRectF(14 * s, 6 * s, 56 * s, 74 * s), s);
    // The tick in a green disc.
    p.setPen(QPen(QColor(30, 110, 40), 2 * s));
    p.setBrush(QColor(70, 170, 80));
    p.drawEllipse(QPointF(68 * s, 70 * s), 24 * s, 24 * s);
    p.setPen(QPen(Qt::white, 7 * s, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    QPainterPath tick;
    tick.moveTo(56 * s, 70 * s);
    tick.lineTo(65 * s, 79 * s);
    tick.lineTo(81 * s, 61 * s);
    p.drawPath(tick);
    return pm;
}
