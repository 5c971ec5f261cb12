#include "filter/CloudImageCanvas.h"

#include "filter/diagram/ScanlineFill.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPen>

#include <algorithm>
#include <cmath>

QColor TCloudImageCanvas::ColourOf(std::uint32_t bgr) {
    return QColor(static_cast<int>(bgr & 0xFF), static_cast<int>((bgr >> 8) & 0xFF),
                  static_cast<int>((bgr >> 16) & 0xFF));
}

void TCloudImageCanvas::Erase(const QRect& area, const QColor& background, qreal ratio) {
    ratio = std::max<qreal>(ratio, 1.0);
    size_ = area.isValid() ? area.size() : QSize(0, 0);
    const QSize device(static_cast<int>(std::ceil(size_.width() * ratio)),
                       static_cast<int>(std::ceil(size_.height() * ratio)));
    if (image_.size() != device || ratio_ != ratio) {
        image_ = size_.isEmpty() ? QImage() : QImage(device, QImage::Format_RGB32);
        image_.setDevicePixelRatio(ratio);
    }
    ratio_ = ratio;
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
    return right >= x0 && bottom >= y0 && left < x0 + size_.width() && top < y0 + size_.height();
}

QPen TCloudImageCanvas::pen(std::uint32_t colour) const {
    // One paint-box pixel wide at any device pixel ratio.
    QPen pen(ColourOf(colour));
    pen.setWidth(std::max(1, static_cast<int>(std::lround(ratio_))));
    pen.setCosmetic(true);
    return pen;
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
    p.setPen(pen(penColour));
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
    p.setPen(pen(penColour));
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
    // The region is filled in device pixels; the pattern stays in paint-box pixels.
    const int scale = std::max(1, static_cast<int>(std::lround(ratio_)));
    const auto device = [this](std::int64_t v) { return static_cast<int>(std::floor(v * ratio_)); };
    if (HatchFillArea(buffer, device(std::int64_t{x} - origin_.x()),
                      device(std::int64_t{y} - origin_.y()), surface_, hatch, marker, origin_.x(),
                      origin_.y(), scale) > 0)
        drawn();
}
