// The drawing surface of the condition diagram, addressed in paint-box pixels. Colours are
// 24-bit values laid out 0x00BBGGRR (the low byte is red).
#pragma once

#include <cstdint>
#include <string>

namespace CloudColours {
inline constexpr std::uint32_t Black = 0x000000;
inline constexpr std::uint32_t Gray = 0x808080;
inline constexpr std::uint32_t Red = 0x0000FF;
inline constexpr std::uint32_t Hatch = 0xC0C0C0;
inline constexpr std::uint32_t White = 0xFFFFFF;
} // namespace CloudColours

class TCloudCanvas {
public:
    virtual ~TCloudCanvas() = default;

    // Outline (pen width 1, no fill) of the ellipse in the box (left, top) - (right, bottom).
    virtual void Ellipse(std::int32_t left, std::int32_t top, std::int32_t right,
                         std::int32_t bottom, std::uint32_t penColour) = 0;
    // Text with its top-left corner at (x, y), transparent background, in the surface's font.
    virtual void TextOut(std::int32_t x, std::int32_t y, const std::string& text,
                         std::uint32_t fontColour) = 0;
    // Line of width 1 from (x1, y1) to (x2, y2).
    virtual void Line(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2,
                      std::uint32_t penColour) = 0;
    // Hatches, with back-diagonal lines of the given colour on a transparent background, the
    // area of background colour connected to (x, y). Nothing when (x, y) is not background.
    virtual void HatchFill(std::int32_t x, std::int32_t y, std::uint32_t hatchColour) = 0;
};
