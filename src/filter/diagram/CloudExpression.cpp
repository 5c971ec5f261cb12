#include "filter/diagram/CloudExpression.h"

#include "filter/diagram/CloudShapes.h"

#include <algorithm>

std::string RegionExpression(const std::vector<TQELlc*>& circles, const TQELpin* pin) {
    if (circles.empty())
        return "0=1";
    const auto first = std::find_if(circles.begin(), circles.end(),
                                    [pin](const TQELlc* c) { return PinInCircle(pin, c); });
    std::string text;
    if (first == circles.end()) {
        // Outside every circle: none of the conditions holds.
        text = "!(" + circles.front()->Body + ")";
        for (size_t i = 1; i < circles.size(); ++i)
            text += " && !(" + circles[i]->Body + ")";
        return text;
    }
    const TQELlc* f = *first;
    text = "(" + f->Body + ")";
    std::vector<const TQELlc*> inside;
    for (const TQELlc* c : circles) {
        if (c == f || !Overlaps(c, f) || !PinInCircle(pin, c))
            continue;
        text += "\n && (" + c->Body + ")";
        inside.push_back(c);
    }
    for (const TQELlc* c : circles) {
        if (c == f || !Overlaps(c, f))
            continue;
        if (std::find(inside.begin(), inside.end(), c) != inside.end())
            continue;
        const bool meetsAll = std::all_of(inside.begin(), inside.end(),
                                          [c](const TQELlc* in) { return Overlaps(c, in); });
        if (meetsAll)
            text += "\n && !(" + c->Body + ")";
    }
    return text;
}

std::string JoinedExpression(const std::vector<TQELlc*>& circles,
                             const std::vector<TQELpin*>& pins) {
    if (pins.empty())
        return std::string();
    std::string text = RegionExpression(circles, pins.front());
    for (size_t k = 1; k < pins.size(); ++k)
        text = "(" + text + ") \n|| (" + RegionExpression(circles, pins[k]) + ")";
    return text;
}

int FirstDuplicatePin(const std::vector<TQELlc*>& circles, const std::vector<TQELpin*>& pins) {
    std::vector<std::string> seen;
    seen.reserve(pins.size());
    for (const TQELpin* pin : pins) {
        std::string signature;
        signature.reserve(circles.size());
        for (const TQELlc* c : circles)
            signature += PinInCircle(pin, c) ? 'T' : 'F';
        const auto earlier = std::find(seen.begin(), seen.end(), signature);
        if (earlier != seen.end())
            return static_cast<int>(earlier - seen.begin());
        seen.push_back(std::move(signature));
    }
    return -1;
}
