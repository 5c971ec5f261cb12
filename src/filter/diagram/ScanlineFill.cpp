#include "filter/diagram/ScanlineFill.h"

#include <algorithm>

namespace {

struct Seed {
    int X, Y;
};

// Pushes one seed for every run of target pixels on row y between left and right.
void seedRow(const TPixelBuffer& buffer, int y, int left, int right, std::uint32_t target,
             std::vector<Seed>& stack) {
    if (y < 0 || y >= buffer.Height)
        return;
    const std::uint32_t* row = buffer.Row(y);
    int x = left;
    while (x <= right) {
        while (x <= right && row[x] != target)
            ++x;
        if (x > right)
            break;
        stack.push_back({x, y});
        while (x <= right && row[x] == target)
            ++x;
    }
}

} // namespace

std::vector<TPixelSpan> FloodSpans(const TPixelBuffer& buffer, int x, int y, std::uint32_t target,
                                   std::uint32_t marker) {
    std::vector<TPixelSpan> spans;
    if (marker == target || !buffer.Pixels || x < 0 || y < 0 || x >= buffer.Width ||
        y >= buffer.Height || buffer.Row(y)[x] != target)
        return spans;
    std::vector<Seed> stack;
    stack.push_back({x, y});
    while (!stack.empty()) {
        const Seed seed = stack.back();
        stack.pop_back();
        std::uint32_t* row = buffer.Row(seed.Y);
        if (row[seed.X] != target)
            continue;
        int left = seed.X, right = seed.X;
        while (left > 0 && row[left - 1] == target)
            --left;
        while (right + 1 < buffer.Width && row[right + 1] == target)
            ++right;
        for (int i = left; i <= right; ++i)
            row[i] = marker;
        spans.push_back({seed.Y, left, right});
        seedRow(buffer, seed.Y - 1, left, right, target, stack);
        seedRow(buffer, seed.Y + 1, left, right, target, stack);
    }
    return spans;
}

long long HatchFillArea(const TPixelBuffer& buffer, int x, int y, std::uint32_t surface,
                        std::uint32_t hatch, std::uint32_t marker, int originX, int originY,
                        int scale) {
    scale = std::max(scale, 1);
    const std::vector<TPixelSpan> spans = FloodSpans(buffer, x, y, surface, marker);
    long long count = 0;
    for (const TPixelSpan& span : spans) {
        std::uint32_t* row = buffer.Row(span.Y);
        const long long py = static_cast<long long>(originY) + span.Y / scale;
        for (int i = span.Left; i <= span.Right; ++i)
            row[i] = OnHatchLine(static_cast<long long>(originX) + i / scale, py) ? hatch : surface;
        count += span.Right - span.Left + 1;
    }
    return count;
}
