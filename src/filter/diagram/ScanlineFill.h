// Region fill of the condition diagram on a 32-bit pixel buffer: the area of one colour
// connected to a start point (through the four side neighbours), found span by span.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// A pixel buffer that the caller owns; stride is counted in pixels.
struct TPixelBuffer {
    std::uint32_t* Pixels = nullptr;
    int Width = 0, Height = 0, Stride = 0;

    std::uint32_t* Row(int y) const { return Pixels + static_cast<std::ptrdiff_t>(y) * Stride; }
};

// One horizontal run of pixels, from Left to Right inclusive.
struct TPixelSpan {
    int Y, Left, Right;
};

// Finds the area of colour target connected to (x, y) and sets its pixels to marker, which
// must differ from target (a value that the buffer does not otherwise hold keeps the area
// apart from the rest). Returns the area as spans; none when (x, y) lies outside the buffer
// or is not of colour target.
std::vector<TPixelSpan> FloodSpans(const TPixelBuffer& buffer, int x, int y, std::uint32_t target,
                                   std::uint32_t marker);

// Hatches the area of colour surface connected to (x, y) with back-diagonal lines (bottom-left
// to top-right, 8 pixels apart) of colour hatch; the pixels between the lines keep the colour
// surface. (originX, originY) is the position of the buffer's top-left pixel in the coordinates
// the pattern is aligned to. marker: as in FloodSpans. Returns the number of pixels in the area.
// A buffer drawn at a device pixel ratio holds scale x scale pixels for each pixel of those
// coordinates; the pattern stays in them, so the lines are as far apart on the screen at any
// scale.
long long HatchFillArea(const TPixelBuffer& buffer, int x, int y, std::uint32_t surface,
                        std::uint32_t hatch, std::uint32_t marker, int originX, int originY,
                        int scale = 1);

// The pattern's rule: (px, py) lies on a hatch line.
inline bool OnHatchLine(long long px, long long py) {
    return ((px + py) & 7) == 0;
}
