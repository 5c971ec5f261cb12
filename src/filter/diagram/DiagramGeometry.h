// Integer geometry of the condition diagram: rounding, distances and the tests that decide
// which circle holds a point, which outline lies under the pointer and which circles overlap.
#pragma once

#include <cstdint>

// Nearest integer, halves to even (2.5 gives 2, 3.5 gives 4), limited to the 32-bit range.
std::int32_t RoundHalfEven(double value);

// numerator / denominator rounded to the nearest integer, halves to even, computed exactly.
// denominator must be positive.
std::int32_t RoundRatio(std::int64_t numerator, std::int64_t denominator);

// Squared distance of two points as an exact integer sum.
std::int64_t SquaredDistance(std::int64_t x1, std::int64_t y1, std::int64_t x2, std::int64_t y2);

// Distance of two points rounded to the nearest integer, halves to even.
std::int32_t RoundedDistance(std::int64_t x1, std::int64_t y1, std::int64_t x2, std::int64_t y2);

// Label offsets of a circle of the given radius: 0.3 and 0.35 of it, each rounded.
std::int32_t LabelOffsetX(std::int32_t radius);
std::int32_t LabelOffsetY(std::int32_t radius);

// Point (x, y) lies inside the circle: its rounded distance from the centre is below radius.
bool CircleContains(std::int32_t cx, std::int32_t cy, std::int32_t radius, std::int32_t x,
                    std::int32_t y);

// Point (x, y) lies on the outline: the rounded distance differs from radius by less than 3.
bool CircleOnBorder(std::int32_t cx, std::int32_t cy, std::int32_t radius, std::int32_t x,
                    std::int32_t y);

// Point (x, y) lies in the 9 x 9 square around the tick mark of the pin at (px, py).
bool PinHit(std::int32_t px, std::int32_t py, std::int32_t x, std::int32_t y);

// The sum of the radii exceeds the exact distance of the centres.
bool CirclesOverlap(std::int32_t x1, std::int32_t y1, std::int32_t r1, std::int32_t x2,
                    std::int32_t y2, std::int32_t r2);
