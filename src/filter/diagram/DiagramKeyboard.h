// The condition diagram used from the keyboard: which key does what, which shape comes next,
// where a new pin goes, and the edits themselves. Every edit is made through the diagram's
// mouse rules (a press on the outline and a drag, a double-click), so the diagram and its
// expression text end as the same mouse use leaves them.
//
// Keys, while the diagram has the keyboard focus:
//   Right, Down / Left, Up       the next / previous shape: the circles in their order, then
//                                the pins (a circle is selected, a pin chosen)
//   Enter, Space                 edit the selected circle
//   Delete                       delete the selected circle (after the question) or the pin
//   Ctrl+arrow                   move the selected circle 5 pixels that way
//   Shift+Right, Shift+Up        make the selected circle 5 pixels larger
//   Shift+Left, Shift+Down       make it 5 pixels smaller (not below a radius of 10)
//   Insert, P                    pin the next region of the selected circle that has no pin
//                                (alone first, then with one other circle, ...); with no circle
//                                selected, the region outside every circle
#pragma once

#include <QtCore/qnamespace.h>

#include <cstdint>
#include <optional>

class TCloudDiagram;
class TQELpin;

enum class DiagramKeyAction {
    None,
    Next,
    Previous,
    Edit,
    Delete,
    MoveLeft,
    MoveRight,
    MoveUp,
    MoveDown,
    Grow,
    Shrink,
    AddPin
};

// The action of a key pressed with modifiers (the keypad modifier aside); None for any other.
DiagramKeyAction DiagramKeyActionFor(int key, Qt::KeyboardModifiers modifiers);

// Pixels a key moves a circle by or changes its radius by.
inline constexpr std::int32_t DiagramKeyStep = 5;
// A circle is not made smaller than this by a key.
inline constexpr std::int32_t DiagramKeyLeastRadius = 10;

// The shape after (forward) or before current among count shapes, going round; from none (-1)
// the first or the last. -1 when there is no shape.
int NextShapeIndex(int current, int count, bool forward);

// The radius after one step (+5 or -5); a smaller radius is not made smaller than 10, and one
// below that stays as it is.
std::int32_t SteppedRadius(std::int32_t radius, std::int32_t step);

struct TDiagramPoint {
    std::int32_t X = 0, Y = 0;
    bool operator==(const TDiagramPoint&) const = default;
};

// A point on the outline of circle index where no other outline lies, so that a press there
// takes that circle alone: the rightmost point first, then round the circle in steps of 15
// degrees. Nothing when every such point is shared (or there is no such circle).
std::optional<TDiagramPoint> GripPoint(const TCloudDiagram& diagram, int index);

// Where the next pin goes: a point of the first region, in the order below, that no pin
// chooses yet. The regions are those inside circle index (that circle alone first, then with
// one other circle, and so on, in the circles' order), or with none (-1) the region outside
// every circle within the paint box. The point lies at least 4 pixels from every outline (the
// one farthest from them in its region), outside every pin's tick mark, and has positive
// coordinates. Nothing when every region has its pin.
std::optional<TDiagramPoint> NextPinPoint(const TCloudDiagram& diagram, int index);

// Moves the selected circle by (dx, dy), as a drag of its outline does. False without a
// selected circle that can be gripped.
bool KeyMoveSelected(TCloudDiagram& diagram, std::int32_t dx, std::int32_t dy);
// Changes the radius of the selected circle by step, as a drag of its outline with Shift does.
bool KeyResizeSelected(TCloudDiagram& diagram, std::int32_t step);
// Pins NextPinPoint for the selected circle (or the outside) as a double-click there does,
// then selects that circle again. Gives the new pin; none when no region is left.
TQELpin* KeyAddPin(TCloudDiagram& diagram);
// Removes pin as a double-click on its tick mark does.
bool KeyRemovePin(TCloudDiagram& diagram, const TQELpin* pin);
