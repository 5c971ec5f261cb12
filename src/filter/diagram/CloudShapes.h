// The shapes of the condition diagram: circles (conditions) and pins (chosen regions).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

class TCloudCanvas;

// A shape with a label and a condition body.
class TQEL_BASE_LC {
public:
    TQEL_BASE_LC() = default;
    virtual ~TQEL_BASE_LC() = default;
    TQEL_BASE_LC(const TQEL_BASE_LC&) = delete;
    TQEL_BASE_LC& operator=(const TQEL_BASE_LC&) = delete;

    // Stores the text and draws the shape.
    void SetLabelText(std::string_view text);
    virtual void Draw() {}

    std::string LabelText;
    TCloudCanvas* Canvas = nullptr; // not owned
    std::string Body;
};

// One circle: one condition of the diagram.
class TQELlc : public TQEL_BASE_LC {
public:
    // Outline (black when selected, else gray) and, when LabelVisible, the label.
    void Draw() override;
    // The label (red when selected, else gray) with its top-left corner at the label offset.
    void DrawLabel();

    bool Contains(std::int32_t x, std::int32_t y) const;
    bool OnBorder(std::int32_t x, std::int32_t y) const;

    bool Selected = false;
    bool LabelVisible = false;
    std::int32_t X = 0, Y = 0;
    std::int32_t Radius = 0;
    std::int32_t LabelDX = 0, LabelDY = 0;
};

// One pin: a point that chooses the region of the diagram it lies in.
class TQELpin {
public:
    TQELpin() = default;
    TQELpin(const TQELpin&) = delete;
    TQELpin& operator=(const TQELpin&) = delete;

    // The region fill from the pin point when Filled, then the red tick mark.
    void Draw();
    bool HitTest(std::int32_t x, std::int32_t y) const;

    std::int32_t X = 0, Y = 0;
    TCloudCanvas* Canvas = nullptr; // not owned
    bool Filled = false;
};

// The circle holds the pin point; false when either is missing.
bool PinInCircle(const TQELpin* pin, const TQELlc* circle);
// The sum of the radii is greater than the exact distance of the centres; false when either
// is missing. A circle inside another overlaps it.
bool Overlaps(const TQELlc* a, const TQELlc* b);
