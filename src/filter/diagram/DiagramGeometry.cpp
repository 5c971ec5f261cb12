#include "filter/diagram/DiagramGeometry.h"

#include <cmath>
#include <cstdlib>
#include <limits>

namespace {

std::int32_t clamp32(std::int64_t v) {
    if (v > std::numeric_limits<std::int32_t>::max())
        return std::numeric_limits<std::int32_t>::max();
    if (v < std::numeric_limits<std::int32_t>::min())
        return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(v);
}

} // namespace

std::int32_t RoundHalfEven(double value) {
    if (std::isnan(value))
        return 0;
    if (value >= 2147483647.0)
        return std::numeric_limits<std::int32_t>::max();
    if (value <= -2147483648.0)
        return std::numeric_limits<std::int32_t>::min();
    const double below = std::floor(value);
    const double fraction = value - below;
    double result = below;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(below, 2.0) != 0.0))
        result = below + 1.0;
    return clamp32(static_cast<std::int64_t>(result));
}

std::int32_t RoundRatio(std::int64_t numerator, std::int64_t denominator) {
    std::int64_t quotient = numerator / denominator;
    std::int64_t remainder = numerator % denominator;
    // Make the remainder non-negative, so quotient is the floor.
    if (remainder < 0) {
        remainder += denominator;
        --quotient;
    }
    const std::int64_t twice = 2 * remainder;
    if (twice > denominator || (twice == denominator && (quotient % 2) != 0))
        ++quotient;
    return clamp32(quotient);
}

std::int64_t SquaredDistance(std::int64_t x1, std::int64_t y1, std::int64_t x2, std::int64_t y2) {
    const std::int64_t dx = x1 - x2, dy = y1 - y2;
    return dx * dx + dy * dy;
}

std::int32_t RoundedDistance(std::int64_t x1, std::int64_t y1, std::int64_t x2, std::int64_t y2) {
    return RoundHalfEven(std::sqrt(static_cast<double>(SquaredDistance(x1, y1, x2, y2))));
}

std::int32_t LabelOffsetX(std::int32_t radius) {
    return RoundRatio(3 * static_cast<std::int64_t>(radius), 10);
}

std::int32_t LabelOffsetY(std::int32_t radius) {
    return RoundRatio(7 * static_cast<std::int64_t>(radius), 20);
}

bool CircleContains(std::int32_t cx, std::int32_t cy, std::int32_t radius, std::int32_t x,
                    std::int32_t y) {
    return RoundedDistance(cx, cy, x, y) < radius;
}

bool CircleOnBorder(std::int32_t cx, std::int32_t cy, std::int32_t radius, std::int32_t x,
                    std::int32_t y) {
    const std::int64_t diff = static_cast<std::int64_t>(RoundedDistance(cx, cy, x, y)) -
                              static_cast<std::int64_t>(radius);
    return std::llabs(diff) < 3;
}

bool PinHit(std::int32_t px, std::int32_t py, std::int32_t x, std::int32_t y) {
    const std::int64_t dx = static_cast<std::int64_t>(px) + 1 - x;
    const std::int64_t dy = static_cast<std::int64_t>(py) - 2 - y;
    return std::llabs(dx) < 5 && std::llabs(dy) < 5;
}

bool CirclesOverlap(std::int32_t x1, std::int32_t y1, std::int32_t r1, std::int32_t x2,
                    std::int32_t y2, std::int32_t r2) {
    // r1 + r2 > sqrt(d2), compared exactly in integers.
    const std::int64_t sum = static_cast<std::int64_t>(r1) + r2;
    if (sum <= 0)
        return false;
    return sum * sum > SquaredDistance(x1, y1, x2, y2);
}
