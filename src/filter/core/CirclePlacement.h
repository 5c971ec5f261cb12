// Where the filter dialog puts the circles it adds to the condition diagram: each new circle
// 22 pixels right of and 11 below the one before, starting from (40, 40) at every opening; the
// first circle of a diagram gets a pin of its own near its centre.
#pragma once

#include <cstdint>
#include <string_view>

class TCloudDiagram;
class TQELlc;

class TCirclePlacement {
public:
    // Size unit of new circles.
    std::int32_t CircleUnit = 40;
    // Where the next new circle goes.
    std::int32_t NextX = 40, NextY = 40;

    // Back to (40, 40), as at every opening of the dialog.
    void Reset();
    // The radius of a new circle: one and a half units, the fraction cut off.
    std::int32_t NewRadius() const { return 3 * CircleUnit / 2; }

    // Adds a circle at (NextX + CircleUnit, NextY) and moves the position on. When it is the
    // diagram's only circle, a pin is set a quarter unit right of and below its centre (where
    // the diagram placed it) and the next circle goes there. Then one duplicate pin is removed
    // and the diagram repainted. Gives the circle (none when the diagram is not active).
    TQELlc* AddConditionCircle(TCloudDiagram& diagram, std::string_view label,
                               std::string_view body);
};
