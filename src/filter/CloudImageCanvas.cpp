#include "filter/CloudImageCanvas.h"

#include "filter/diagram/ScanlineFill.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPen>

QColor TCloudImageCanvas::ColourOf(std::uint32_t bgr) {
    return QColor(static_cast<int>(bgr & 0xFF), static_cast<int>((bgr >> 8) & 0xFF),
                  static_cast<int>((bgr >> 16) & 0xFF));
}

void TCloudImageCanvas::Erase(const QRect& area, const QColor& background) {
    const QSize size = area.isValid() ? area.size() : QSize();
    if (image_.size() != size)
        image_ = size.isEmpty() ? QImage() : QImage(size, QImage::Format_RGB32);
    origin_ = area.topLeft();
    surface_ = background.rgb() | 0xFF000000u;
    if (!image_.isNull())
        image_.fill(surface_);
}

bool TCloudImageCanvas::touches(long long left, long long top, long long right,
                                long long bottom) const {
    if (image_.isNull())
        return false;
    const long long x0 = origin_.x(), y0 = origin_.y();
    return right >= x0 && bottom >= y0 && left < x0 + image_.width() && top < y0 + image_.height();
}

void TCloudImageCanvas::drawn() {
    if (OnDrawn)
        OnDrawn();
}

void TCloudImageCanvas::Ellipse(std::int32_t left, std::int32_t top, std::int32_t right,
                                std::int32_t bottom, std::uint32_t penColour) {
    if (!touches(std::min(left, right), std::min(top, bottom), std::max(left, right),
                 std::max(top, bottom)))
        return;
    QPainter p(&image_);
    p.translate(-origin_);
    QPen pen(ColourOf(penColour));
    pen.setWidth(1);
    pen.setCosmetic(true);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(
        QRectF(left, top, static_cast<double>(right) - left, static_cast<double>(bottom) - top));
    drawn();
}

void TCloudImageCanvas::TextOut(std::int32_t x, std::int32_t y, const std::string& text,
                                std::uint32_t fontColour) {
    if (text.empty() || image_.isNull())
        return;
    const QString s = QString::fromLocal8Bit(text.data(), static_cast<qsizetype>(text.size()));
    const QFontMetrics metrics(Font);
    const long long right = static_cast<long long>(x) + metrics.horizontalAdvance(s);
    if (!touches(x, y, right, static_cast<long long>(y) + metrics.height()))
        return;
    QPainter p(&image_);
    p.translate(-origin_);
    p.setFont(Font);
    p.setPen(ColourOf(fontColour));
    p.drawText(QPointF(x, static_cast<double>(y) + metrics.ascent()), s);
    drawn();
}

void TCloudImageCanvas::Line(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2,
                             std::uint32_t penColour) {
    if (!touches(std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2)))
        return;
    QPainter p(&image_);
    p.translate(-origin_);
    QPen pen(ColourOf(penColour));
    pen.setWidth(1);
    pen.setCosmetic(true);
    p.setPen(pen);
    p.drawLine(QPoint(x1, y1), QPoint(x2, y2));
    drawn();
}

void TCloudImageCanvas::HatchFill(std::int32_t x, std::int32_t y, std::uint32_t hatchColour) {
    if (!touches(x, y, x, y))
        return;
    TPixelBuffer buffer;
    buffer.Pixels = reinterpret_cast<std::uint32_t*>(image_.bits());
    buffer.Width = image_.width();
    buffer.Height = image_.height();
    buffer.Stride = static_cast<int>(image_.bytesPerLine() / 4);
    const QRgb hatch = ColourOf(hatchColour).rgb() | 0xFF000000u;
    // Every pixel of the buffer is opaque, so the surface colour without alpha marks the area.
    const std::uint32_t marker = surface_ & 0x00FFFFFFu;
    if (HatchFillArea(buffer, x - origin_.x(), y - origin_.y(), surface_, hatch, marker,
                      origin_.x(), origin_.y()) > 0)
        drawn();
}
