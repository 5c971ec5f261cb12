// The rules of the condition editor ("Selected condition"): a label is never blank, the radius
// field's range and reading, the label position by buttons and by dropping the label.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

class TQELlc;

inline constexpr std::int32_t EditorRadiusMin = 20;
inline constexpr std::int32_t EditorRadiusMax = 100;

// The label that a typed text gives: the text trimmed of blanks and control characters at
// both ends, or nothing when that leaves it empty (the label then stays as it was).
std::optional<std::string> LabelFromTyped(std::string_view typed);

// The radius that the text of the radius field stands for, as typed: a decimal number
// (blanks around it allowed) within the signed 32-bit range; any other text counts as 20.
std::int32_t RadiusFromFieldText(std::string_view text);
// A radius brought into the field's range, 20 to 100.
std::int32_t LimitRadius(std::int32_t radius);

enum class LabelMove { Up, Left, Down, Right };
// One pixel in that direction.
void MoveLabel(TQELlc& circle, LabelMove direction);
// The label dropped at (x, y) of the circle's preview, whose top-left corner is the top-left
// corner of the circle's bounding box: the label's top-left corner lands at that point.
void DropLabel(TQELlc& circle, std::int32_t x, std::int32_t y);
