#include "filter/diagram/ConditionsFile.h"

#include "filter/diagram/CloudDiagram.h"
#include "tree/TQelPigger.h"
#include "tree/TreeFile.h"

namespace {

// Element name and 1-based number among the elements of that name, for messages.
std::string where(const char* element, int number) {
    return std::string(element) + " " + std::to_string(number);
}

std::int32_t readNumber(const TQelPigger& node, const char* element, int number,
                        const char* attribute, std::int32_t lowest) {
    const std::string value(node.AttrRef(attribute));
    if (value.empty())
        throw EConditionsError(where(element, number) + ": attribute " + attribute + " is missing");
    size_t i = value[0] == '-' ? 1 : 0;
    bool digits = i < value.size();
    for (size_t k = i; k < value.size(); ++k)
        digits = digits && value[k] >= '0' && value[k] <= '9';
    if (!digits)
        throw EConditionsError(where(element, number) + ": attribute " + attribute +
                               " is not a number: \"" + value + "\"");
    // Leading zeros do not count towards the size.
    while (i + 1 < value.size() && value[i] == '0')
        ++i;
    long long magnitude = 0;
    bool tooLarge = value.size() - i > 10;
    for (size_t k = i; k < value.size() && !tooLarge; ++k)
        magnitude = magnitude * 10 + (value[k] - '0');
    const long long v = value[0] == '-' ? -magnitude : magnitude;
    if (tooLarge || v < lowest || v > ConditionsNumberLimit)
        throw EConditionsError(where(element, number) + ": attribute " + attribute +
                               " is out of range (" + std::to_string(lowest) + " to " +
                               std::to_string(ConditionsNumberLimit) + "): " + value);
    return static_cast<std::int32_t>(v);
}

void setNumber(TQelPigger& node, const char* attribute, std::int32_t value) {
    node.SetAttr(attribute, std::to_string(value));
}

void buildTree(TQelPigger& root, const TConditions& conditions) {
    root.SetName("CONDITIONS");
    root.SetAttr("VERSION", "1");
    for (const TCircleEntry& c : conditions.Circles) {
        auto* node = new TQelPigger(&root);
        node->SetName("CIRCLE");
        node->SetAttr("LABEL", c.Label);
        node->SetAttr("BODY", c.Body);
        setNumber(*node, "X", c.X);
        setNumber(*node, "Y", c.Y);
        setNumber(*node, "RADIUS", c.Radius);
        setNumber(*node, "LABELDX", c.LabelDX);
        setNumber(*node, "LABELDY", c.LabelDY);
    }
    for (const TPinEntry& p : conditions.Pins) {
        auto* node = new TQelPigger(&root);
        node->SetName("PIN");
        setNumber(*node, "X", p.X);
        setNumber(*node, "Y", p.Y);
    }
}

} // namespace

std::string WriteConditions(const TConditions& conditions) {
    TQelPigger root;
    buildTree(root, conditions);
    return root.GetAsText();
}

TConditions ReadConditions(std::string_view text) {
    TQelPigger root;
    root.SetAsText(text);
    if (root.Name() != "CONDITIONS")
        throw EConditionsError(root.Name().empty()
                                   ? std::string("Not a conditions file: no element")
                                   : "Not a conditions file: the first element is " + root.Name() +
                                         ", not CONDITIONS");
    const std::int32_t low = -ConditionsNumberLimit;
    TConditions result;
    int circles = 0, pins = 0;
    for (const TQelPigger* node : root.Children()) {
        if (node->Name() == "CIRCLE") {
            ++circles;
            TCircleEntry c;
            c.Label = node->AttrRef("LABEL");
            c.Body = node->AttrRef("BODY");
            c.X = readNumber(*node, "CIRCLE", circles, "X", low);
            c.Y = readNumber(*node, "CIRCLE", circles, "Y", low);
            c.Radius = readNumber(*node, "CIRCLE", circles, "RADIUS", 0);
            c.LabelDX = readNumber(*node, "CIRCLE", circles, "LABELDX", low);
            c.LabelDY = readNumber(*node, "CIRCLE", circles, "LABELDY", low);
            result.Circles.push_back(std::move(c));
        } else if (node->Name() == "PIN") {
            ++pins;
            TPinEntry p;
            p.X = readNumber(*node, "PIN", pins, "X", low);
            p.Y = readNumber(*node, "PIN", pins, "Y", low);
            result.Pins.push_back(p);
        }
    }
    return result;
}

TConditions DiagramConditions(const TCloudDiagram& diagram) {
    TConditions result;
    for (int i = 0; i < diagram.CircleCount(); ++i) {
        const TQELlc* c = diagram.GetCircle(i);
        result.Circles.push_back(
            {c->LabelText, c->Body, c->X, c->Y, c->Radius, c->LabelDX, c->LabelDY});
    }
    for (int i = 0; i < diagram.PinCount(); ++i)
        result.Pins.push_back({diagram.GetPin(i)->X, diagram.GetPin(i)->Y});
    return result;
}

void ApplyConditions(TCloudDiagram& diagram, const TConditions& conditions) {
    if (!diagram.Active())
        return;
    diagram.ClearShapes();
    for (const TCircleEntry& c : conditions.Circles)
        diagram.PlaceCircle(c.Label, c.Body, c.X, c.Y, c.Radius, c.LabelDX, c.LabelDY);
    for (const TPinEntry& p : conditions.Pins)
        diagram.AddPin(p.X, p.Y);
    diagram.RefreshPaintBox();
}

void SaveConditionsFile(const TCloudDiagram& diagram, const std::string& fileName) {
    TQelPigger root;
    buildTree(root, DiagramConditions(diagram));
    root.SaveToFile(fileName);
}

void LoadConditionsFile(TCloudDiagram& diagram, const std::string& fileName) {
    ApplyConditions(diagram, ReadConditionsFile(fileName));
}

std::string DescribeConditionsError(const std::exception& error, const std::string& fileName) {
    if (const auto* syntax = dynamic_cast<const EQelPiggerError*>(&error))
        return DescribeReadError(*syntax, fileName);
    if (dynamic_cast<const EConditionsError*>(&error) && !fileName.empty())
        return fileName + ": " + error.what();
    return error.what();
}

TConditions ReadConditionsFile(const std::string& fileName) {
    const WholeFile file(fileName);
    // Line breaks are taken as they stand: a label or body keeps its own bytes.
    std::string_view text = file.view();
    text = text.substr(0, text.find('\0'));
    return ReadConditions(text);
}
