#include "filter/diagram/DiagramSpeech.h"

#include "filter/diagram/CloudDiagram.h"

#include <algorithm>
#include <cctype>
#include <vector>

namespace {

std::string counted(int n, const char* one, const char* many) {
    if (n == 0)
        return std::string("no ") + many;
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

} // namespace

std::string DiagramAccessibleName() {
    return "Condition diagram";
}

std::string DiagramAccessibleDescription(const TCloudDiagram& diagram) {
    std::string text = counted(diagram.CircleCount(), "circle", "circles") + ", " +
                       counted(diagram.PinCount(), "pin", "pins");
    text[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
    return text;
}

std::string CircleAccessibleName(const TQELlc& circle) {
    return "Circle " + circle.LabelText;
}

std::string CircleAccessibleDescription(const TQELlc& circle) {
    return "Condition: " + circle.Body;
}

std::string CircleAccessiblePlace(const TQELlc& circle) {
    return "Centre " + std::to_string(circle.X) + ", " + std::to_string(circle.Y) + ", radius " +
           std::to_string(circle.Radius);
}

std::string PinAccessibleName(const TCloudDiagram& diagram, const TQELpin& pin) {
    std::vector<std::string> labels;
    for (int i = 0; i < diagram.CircleCount(); ++i)
        if (PinInCircle(&pin, diagram.GetCircle(i)))
            labels.push_back(diagram.GetCircle(i)->LabelText);
    if (labels.empty())
        return "Pin outside every circle";
    std::string text = "Pin in " + labels.front();
    for (size_t i = 1; i < labels.size(); ++i)
        text += (i + 1 == labels.size() ? " and " : ", ") + labels[i];
    return text;
}

std::string PinAccessibleDescription(const TCloudDiagram& diagram, const TQELpin& pin) {
    std::string text = diagram.PinExpression(&pin);
    text.erase(std::remove(text.begin(), text.end(), '\n'), text.end());
    return "Region: " + text;
}
