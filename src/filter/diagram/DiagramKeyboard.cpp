#include "filter/diagram/DiagramKeyboard.h"

#include "filter/diagram/CloudDiagram.h"
#include "filter/diagram/DiagramGeometry.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <numbers>
#include <vector>

namespace {

// Region points lie this far from every outline, so that a press there takes no circle.
constexpr double kOutlineClearance = 4.0;
// The grid that region points are looked for on, and about the most points it has.
constexpr std::int32_t kRegionGrid = 2;
constexpr double kRegionPoints = 250000;

std::int32_t clamp32(std::int64_t v) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(
        v, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

int selectedIndex(const TCloudDiagram& d) {
    for (int i = 0; i < d.CircleCount(); ++i)
        if (d.GetCircle(i) == d.Selected())
            return i;
    return -1;
}

// The circles that hold (x, y), as a list of indexes.
std::vector<int> regionOf(const TCloudDiagram& d, std::int32_t x, std::int32_t y) {
    std::vector<int> inside;
    for (int i = 0; i < d.CircleCount(); ++i)
        if (d.GetCircle(i)->Contains(x, y))
            inside.push_back(i);
    return inside;
}

// Regions in the order they are pinned: fewer circles first, then by the circles' order.
struct RegionOrder {
    bool operator()(const std::vector<int>& a, const std::vector<int>& b) const {
        if (a.size() != b.size())
            return a.size() < b.size();
        return a < b;
    }
};

// A press, and a release with nothing moved, as a click of the left button gives them.
void click(TCloudDiagram& d, std::int32_t x, std::int32_t y) {
    d.MouseDown(x, y, true);
    d.MouseUp();
}

// A double-click of the left button: a click, the double-click, then its press and release.
void doubleClick(TCloudDiagram& d, std::int32_t x, std::int32_t y) {
    click(d, x, y);
    d.DoubleClick();
    click(d, x, y);
}

} // namespace

DiagramKeyAction DiagramKeyActionFor(int key, Qt::KeyboardModifiers modifiers) {
    modifiers &= ~Qt::KeypadModifier;
    const bool plain = modifiers == Qt::NoModifier;
    const bool ctrl = modifiers == Qt::ControlModifier;
    const bool shift = modifiers == Qt::ShiftModifier;
    switch (key) {
    case Qt::Key_Right:
        return plain   ? DiagramKeyAction::Next
               : ctrl  ? DiagramKeyAction::MoveRight
               : shift ? DiagramKeyAction::Grow
                       : DiagramKeyAction::None;
    case Qt::Key_Down:
        return plain   ? DiagramKeyAction::Next
               : ctrl  ? DiagramKeyAction::MoveDown
               : shift ? DiagramKeyAction::Shrink
                       : DiagramKeyAction::None;
    case Qt::Key_Left:
        return plain   ? DiagramKeyAction::Previous
               : ctrl  ? DiagramKeyAction::MoveLeft
               : shift ? DiagramKeyAction::Shrink
                       : DiagramKeyAction::None;
    case Qt::Key_Up:
        return plain   ? DiagramKeyAction::Previous
               : ctrl  ? DiagramKeyAction::MoveUp
               : shift ? DiagramKeyAction::Grow
                       : DiagramKeyAction::None;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return plain ? DiagramKeyAction::Edit : DiagramKeyAction::None;
    case Qt::Key_Delete:
        return plain ? DiagramKeyAction::Delete : DiagramKeyAction::None;
    case Qt::Key_Insert:
    case Qt::Key_P:
        return plain ? DiagramKeyAction::AddPin : DiagramKeyAction::None;
    default:
        return DiagramKeyAction::None;
    }
}

int NextShapeIndex(int current, int count, bool forward) {
    if (count <= 0)
        return -1;
    if (current < 0 || current >= count)
        return forward ? 0 : count - 1;
    return forward ? (current + 1) % count : (current + count - 1) % count;
}

std::int32_t SteppedRadius(std::int32_t radius, std::int32_t step) {
    const std::int64_t next = static_cast<std::int64_t>(radius) + step;
    if (step >= 0)
        return clamp32(next);
    if (radius <= DiagramKeyLeastRadius)
        return radius;
    return clamp32(std::max<std::int64_t>(next, DiagramKeyLeastRadius));
}

std::optional<TDiagramPoint> GripPoint(const TCloudDiagram& diagram, int index) {
    const TQELlc* circle = diagram.GetCircle(index);
    if (!circle)
        return std::nullopt;
    for (int degrees = 0; degrees < 360; degrees += 15) {
        const double angle = degrees * std::numbers::pi / 180.0;
        const TDiagramPoint p{clamp32(circle->X + std::llround(circle->Radius * std::cos(angle))),
                              clamp32(circle->Y + std::llround(circle->Radius * std::sin(angle)))};
        if (!circle->OnBorder(p.X, p.Y))
            continue;
        bool alone = true;
        for (int i = 0; i < diagram.CircleCount() && alone; ++i)
            alone = i == index || !diagram.GetCircle(i)->OnBorder(p.X, p.Y);
        if (alone)
            return p;
    }
    return std::nullopt;
}

std::optional<TDiagramPoint> NextPinPoint(const TCloudDiagram& diagram, int index) {
    const TQELlc* circle = diagram.GetCircle(index);
    if (index >= 0 && !circle)
        return std::nullopt;
    // The area searched: the circle's box, or the paint box for the outside.
    std::int64_t left = 1, top = 1;
    std::int64_t right = diagram.PaintWidth() - 1, bottom = diagram.PaintHeight() - 1;
    if (circle) {
        left = std::max<std::int64_t>(1, static_cast<std::int64_t>(circle->X) - circle->Radius);
        top = std::max<std::int64_t>(1, static_cast<std::int64_t>(circle->Y) - circle->Radius);
        right = static_cast<std::int64_t>(circle->X) + circle->Radius;
        bottom = static_cast<std::int64_t>(circle->Y) + circle->Radius;
    }
    std::vector<std::vector<int>> pinned;
    for (int i = 0; i < diagram.PinCount(); ++i)
        pinned.push_back(regionOf(diagram, diagram.GetPin(i)->X, diagram.GetPin(i)->Y));

    struct Best {
        TDiagramPoint Point;
        double Clearance = -1;
    };
    std::map<std::vector<int>, Best, RegionOrder> regions;
    // A coarser grid on a very large area, so that a key is answered at once.
    const double area = static_cast<double>(std::max<std::int64_t>(right - left + 1, 1)) *
                        static_cast<double>(std::max<std::int64_t>(bottom - top + 1, 1));
    const auto grid = std::max<std::int64_t>(
        kRegionGrid, static_cast<std::int64_t>(std::ceil(std::sqrt(area / kRegionPoints))));
    for (std::int64_t y = top; y <= bottom; y += grid) {
        for (std::int64_t x = left; x <= right; x += grid) {
            const auto px = static_cast<std::int32_t>(x), py = static_cast<std::int32_t>(y);
            double clearance = std::numeric_limits<double>::max();
            for (int i = 0; i < diagram.CircleCount(); ++i) {
                const TQELlc* c = diagram.GetCircle(i);
                const double d = std::sqrt(static_cast<double>(SquaredDistance(c->X, c->Y, x, y)));
                clearance = std::min(clearance, std::abs(d - c->Radius));
            }
            if (clearance < kOutlineClearance || diagram.PinAt(px, py))
                continue;
            std::vector<int> region = regionOf(diagram, px, py);
            const bool wanted =
                circle ? std::binary_search(region.begin(), region.end(), index) : region.empty();
            if (!wanted || std::find(pinned.begin(), pinned.end(), region) != pinned.end())
                continue;
            Best& best = regions[std::move(region)];
            if (clearance > best.Clearance)
                best = {{px, py}, clearance};
        }
    }
    if (regions.empty())
        return std::nullopt;
    return regions.begin()->second.Point;
}

bool KeyMoveSelected(TCloudDiagram& diagram, std::int32_t dx, std::int32_t dy) {
    const std::optional<TDiagramPoint> grip = GripPoint(diagram, selectedIndex(diagram));
    if (!grip)
        return false;
    diagram.MouseDown(grip->X, grip->Y, true);
    diagram.MouseMove(clamp32(static_cast<std::int64_t>(grip->X) + dx),
                      clamp32(static_cast<std::int64_t>(grip->Y) + dy), true, false);
    diagram.MouseUp();
    return true;
}

bool KeyResizeSelected(TCloudDiagram& diagram, std::int32_t step) {
    const TQELlc* circle = diagram.Selected();
    const std::optional<TDiagramPoint> grip = GripPoint(diagram, selectedIndex(diagram));
    if (!circle || !grip)
        return false;
    const std::int32_t radius = SteppedRadius(circle->Radius, step);
    diagram.MouseDown(grip->X, grip->Y, true);
    // The pointer straight right of the centre, the new radius away.
    diagram.MouseMove(clamp32(static_cast<std::int64_t>(circle->X) + radius), circle->Y, false,
                      true);
    diagram.MouseUp();
    return true;
}

TQELpin* KeyAddPin(TCloudDiagram& diagram) {
    TQELlc* circle = diagram.Selected();
    const std::optional<TDiagramPoint> at = NextPinPoint(diagram, selectedIndex(diagram));
    if (!at)
        return nullptr;
    doubleClick(diagram, at->X, at->Y);
    diagram.Select(circle);
    for (int i = 0; i < diagram.PinCount(); ++i) {
        TQELpin* pin = diagram.GetPin(i);
        if (pin->X == at->X && pin->Y == at->Y)
            return pin;
    }
    return nullptr;
}

bool KeyRemovePin(TCloudDiagram& diagram, const TQELpin* pin) {
    // A point of the pin's tick mark that no earlier pin's tick mark covers.
    int index = -1;
    for (int i = 0; i < diagram.PinCount(); ++i)
        if (diagram.GetPin(i) == pin)
            index = i;
    if (index < 0)
        return false;
    for (std::int32_t dy = -4; dy <= 4; ++dy) {
        for (std::int32_t dx = -4; dx <= 4; ++dx) {
            const std::int32_t x = clamp32(static_cast<std::int64_t>(pin->X) + 1 + dx);
            const std::int32_t y = clamp32(static_cast<std::int64_t>(pin->Y) - 2 + dy);
            if (diagram.PinAt(x, y) != pin)
                continue;
            doubleClick(diagram, x, y);
            return true;
        }
    }
    return false;
}
