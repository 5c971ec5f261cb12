// What a screen reader says of the condition diagram and its shapes: the name and the
// description of the diagram, of each circle and of each pin.
#pragma once

#include <string>

class TCloudDiagram;
class TQELlc;
class TQELpin;

// "Condition diagram".
std::string DiagramAccessibleName();
// How many circles and pins it holds: "2 circles, 1 pin", "No circles, no pins".
std::string DiagramAccessibleDescription(const TCloudDiagram& diagram);
// "Circle " and the label.
std::string CircleAccessibleName(const TQELlc& circle);
// "Condition: " and the body.
std::string CircleAccessibleDescription(const TQELlc& circle);
// Where the circle lies, so that moving and resizing it by keys is heard:
// "Centre 100, 120, radius 60".
std::string CircleAccessiblePlace(const TQELlc& circle);
// The circles that hold the pin, by their labels: "Pin in a", "Pin in a and b",
// "Pin in a, b and c", or "Pin outside every circle".
std::string PinAccessibleName(const TCloudDiagram& diagram, const TQELpin& pin);
// "Region: " and the region's expression text on one line.
std::string PinAccessibleDescription(const TCloudDiagram& diagram, const TQELpin& pin);
