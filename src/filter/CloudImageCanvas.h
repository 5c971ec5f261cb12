// The condition diagram's canvas on a QImage back buffer that covers the paint box, or the part
// of it in view when it is very large.
#pragma once

#include "filter/diagram/CloudCanvas.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPen>
#include <QPoint>
#include <QRect>

#include <functional>

class TCloudImageCanvas : public TCloudCanvas {
public:
    // Makes the buffer cover area (paint-box pixels) and erases it with background, the
    // colour that the region fill then works on. The buffer holds ratio x ratio device pixels
    // for each paint-box pixel (the screen's device pixel ratio), so that outlines and labels
    // are drawn at the screen's resolution.
    void Erase(const QRect& area, const QColor& background, qreal ratio = 1.0);

    // The buffer, with its device pixel ratio set.
    const QImage& Image() const { return image_; }
    // Paint-box position of the buffer's top-left pixel.
    QPoint Origin() const { return origin_; }
    // The part of the paint box that the buffer covers, in paint-box pixels.
    QRect Area() const { return QRect(origin_, size_); }
    qreal Ratio() const { return ratio_; }
    QColor Background() const { return QColor::fromRgb(surface_); }

    QFont Font;
    // Called after every drawing operation that reached the buffer.
    std::function<void()> OnDrawn;

    void Ellipse(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom,
                 std::uint32_t penColour) override;
    void TextOut(std::int32_t x, std::int32_t y, const std::string& text,
                 std::uint32_t fontColour) override;
    void Line(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2,
              std::uint32_t penColour) override;
    void HatchFill(std::int32_t x, std::int32_t y, std::uint32_t hatchColour) override;

    // 0x00BBGGRR to a colour.
    static QColor ColourOf(std::uint32_t bgr);

private:
    bool touches(long long left, long long top, long long right, long long bottom) const;
    void drawn();

    QPen pen(std::uint32_t colour) const;

    QImage image_;
    QPoint origin_;
    QSize size_;
    qreal ratio_ = 1.0;
    QRgb surface_ = 0xFFFFFFFF;
};
