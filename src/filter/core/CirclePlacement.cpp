#include "filter/core/CirclePlacement.h"

#include "filter/diagram/CloudDiagram.h"
#include "filter/diagram/DiagramGeometry.h"

void TCirclePlacement::Reset() {
    NextX = 40;
    NextY = 40;
}

TQELlc* TCirclePlacement::AddConditionCircle(TCloudDiagram& diagram, std::string_view label,
                                             std::string_view body) {
    TQELlc* circle = diagram.AddCircle(label, body, NextX + CircleUnit, NextY, NewRadius());
    NextX += 22;
    NextY += 11;
    if (diagram.CircleCount() == 1) {
        const TQELlc* only = diagram.GetCircle(0);
        const std::int32_t quarter = RoundHalfEven(CircleUnit / 4.0);
        NextX = only->X + quarter;
        NextY = only->Y + quarter;
        diagram.AddPin(NextX, NextY);
    }
    diagram.RemoveDuplicatePin();
    diagram.RefreshPaintBox();
    return circle;
}
