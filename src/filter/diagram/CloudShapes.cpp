#include "filter/diagram/CloudShapes.h"

#include "filter/diagram/CloudCanvas.h"
#include "filter/diagram/DiagramGeometry.h"

namespace {

std::int32_t add32(std::int32_t a, std::int32_t b) {
    const std::int64_t sum = static_cast<std::int64_t>(a) + b;
    if (sum > INT32_MAX)
        return INT32_MAX;
    if (sum < INT32_MIN)
        return INT32_MIN;
    return static_cast<std::int32_t>(sum);
}

} // namespace

void TQEL_BASE_LC::SetLabelText(std::string_view text) {
    LabelText = text;
    Draw();
}

void TQELlc::Draw() {
    if (!Canvas)
        return;
    Canvas->Ellipse(add32(X, -Radius), add32(Y, -Radius), add32(X, Radius), add32(Y, Radius),
                    Selected ? CloudColours::Black : CloudColours::Gray);
    if (LabelVisible)
        DrawLabel();
}

void TQELlc::DrawLabel() {
    if (!Canvas)
        return;
    Canvas->TextOut(add32(X, LabelDX), add32(Y, LabelDY), LabelText,
                    Selected ? CloudColours::Red : CloudColours::Gray);
}

bool TQELlc::Contains(std::int32_t x, std::int32_t y) const {
    return CircleContains(X, Y, Radius, x, y);
}

bool TQELlc::OnBorder(std::int32_t x, std::int32_t y) const {
    return CircleOnBorder(X, Y, Radius, x, y);
}

void TQELpin::Draw() {
    if (!Canvas)
        return;
    if (Filled)
        Canvas->HatchFill(X, Y, CloudColours::Hatch);
    Canvas->Line(add32(X, -2), add32(Y, -2), X, Y, CloudColours::Red);
    Canvas->Line(X, Y, add32(X, 5), add32(Y, -5), CloudColours::Red);
}

bool TQELpin::HitTest(std::int32_t x, std::int32_t y) const {
    return PinHit(X, Y, x, y);
}

bool PinInCircle(const TQELpin* pin, const TQELlc* circle) {
    return pin && circle && circle->Contains(pin->X, pin->Y);
}

bool Overlaps(const TQELlc* a, const TQELlc* b) {
    return a && b && CirclesOverlap(a->X, a->Y, a->Radius, b->X, b->Y, b->Radius);
}
