// A conditions file: read, put into a diagram, turned into the filter's expression text, and
// written and read again to the same circles and pins.
#include "FuzzCheck.h"
#include "filter/diagram/CloudDiagram.h"
#include "filter/diagram/ConditionsFile.h"
#include "tree/TQelPigger.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace {

bool sameConditions(const TConditions& a, const TConditions& b) {
    if (a.Circles.size() != b.Circles.size() || a.Pins.size() != b.Pins.size())
        return false;
    for (std::size_t i = 0; i < a.Circles.size(); ++i) {
        const TCircleEntry &x = a.Circles[i], &y = b.Circles[i];
        if (x.Label != y.Label || x.Body != y.Body || x.X != y.X || x.Y != y.Y ||
            x.Radius != y.Radius || x.LabelDX != y.LabelDX || x.LabelDY != y.LabelDY)
            return false;
    }
    for (std::size_t i = 0; i < a.Pins.size(); ++i)
        if (a.Pins[i].X != b.Pins[i].X || a.Pins[i].Y != b.Pins[i].Y)
            return false;
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    TConditions conditions;
    try {
        conditions = ReadConditions(TQelPigger::NormalizeLineBreaks(bytes));
    } catch (const EQelPiggerError&) {
        return 0;
    } catch (const EConditionsError&) {
        return 0;
    }
    TConditions again;
    try {
        again = ReadConditions(WriteConditions(conditions));
    } catch (const std::exception&) {
        FuzzCheck(false, "written conditions read again");
    }
    FuzzCheck(sameConditions(conditions, again), "written conditions read back the same");

    TCloudDiagram diagram;
    diagram.Start();
    ApplyConditions(diagram, conditions);
    FuzzCheck(sameConditions(DiagramConditions(diagram), conditions),
              "the diagram holds the circles and pins of the file");
    (void)diagram.ExpressionText();
    return 0;
}
