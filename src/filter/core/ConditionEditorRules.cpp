#include "filter/core/ConditionEditorRules.h"

#include "filter/diagram/CloudShapes.h"

#include <algorithm>
#include <charconv>
#include <limits>

namespace {

bool isBlank(char c) {
    return static_cast<unsigned char>(c) <= ' ';
}

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && isBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

} // namespace

std::optional<std::string> LabelFromTyped(std::string_view typed) {
    const std::string_view t = trimmed(typed);
    if (t.empty())
        return std::nullopt;
    return std::string(t);
}

std::int32_t RadiusFromFieldText(std::string_view text) {
    std::string_view t = trimmed(text);
    if (!t.empty() && t.front() == '+')
        t.remove_prefix(1);
    std::int32_t value = 0;
    const auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), value);
    if (t.empty() || ec != std::errc() || end != t.data() + t.size())
        return EditorRadiusMin;
    return value;
}

std::int32_t LimitRadius(std::int32_t radius) {
    return std::clamp(radius, EditorRadiusMin, EditorRadiusMax);
}

void MoveLabel(TQELlc& circle, LabelMove direction) {
    switch (direction) {
    case LabelMove::Up:
        --circle.LabelDY;
        break;
    case LabelMove::Left:
        --circle.LabelDX;
        break;
    case LabelMove::Down:
        ++circle.LabelDY;
        break;
    case LabelMove::Right:
        ++circle.LabelDX;
        break;
    }
}

void DropLabel(TQELlc& circle, std::int32_t x, std::int32_t y) {
    circle.LabelDX = x - circle.Radius;
    circle.LabelDY = y - circle.Radius;
}
