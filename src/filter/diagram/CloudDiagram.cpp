#include "filter/diagram/CloudDiagram.h"

#include "filter/diagram/CloudExpression.h"
#include "filter/diagram/DiagramGeometry.h"

#include <algorithm>
#include <limits>

namespace {

std::int32_t to32(std::int64_t v) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(
        v, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

} // namespace

TCloudDiagram::TCloudDiagram() = default;

TCloudDiagram::~TCloudDiagram() {
    freePins();
    freeCircles();
}

void TCloudDiagram::freePins() {
    for (TQELpin* pin : pins_)
        delete pin;
    pins_.clear();
}

void TCloudDiagram::freeCircles() {
    for (TQELlc* circle : circles_)
        delete circle;
    circles_.clear();
}

// ---------------------------------------------------------------- lifecycle

void TCloudDiagram::Start() {
    Stop();
    hasLists_ = true;
    active_ = true;
    pinsFilled_ = true;
    AutoPin = true;
}

void TCloudDiagram::Stop() {
    active_ = false;
    freePins();
    dragged_ = nullptr;
    Select(nullptr);
    freeCircles();
    hasLists_ = false;
    pinsFilled_ = false;
}

// ---------------------------------------------------------------- circles

TQELlc* TCloudDiagram::AddCircle(std::string_view label, std::string_view body, std::int32_t x,
                                 std::int32_t y, std::int32_t radius) {
    if (!active_)
        return nullptr;
    auto* circle = new TQELlc;
    circle->Canvas = canvas_;
    circle->X = x;
    circle->Y = y;
    circle->Radius = radius;
    circle->LabelDX = LabelOffsetX(radius);
    circle->LabelDY = LabelOffsetY(radius);
    circle->SetLabelText(label);
    circle->Body = body;
    circles_.push_back(circle);
    Select(circle);
    KeepInView(circle);
    // The first pin goes where the circle was asked for, not where it was moved to.
    if (AutoPin && pins_.empty())
        AddPin(to32(static_cast<std::int64_t>(x) - RoundRatio(radius, 5)), y);
    RefreshPaintBox();
    return circle;
}

int TCloudDiagram::CircleCount() const {
    return active_ ? static_cast<int>(circles_.size()) : 0;
}

TQELlc* TCloudDiagram::GetCircle(int index) const {
    if (index < 0 || index >= CircleCount())
        return nullptr;
    return circles_[static_cast<size_t>(index)];
}

void TCloudDiagram::Select(TQELlc* circle) {
    if (!hasLists_)
        return;
    for (TQELlc* c : circles_)
        c->Selected = circle && c == circle;
    selected_ = circle;
    if (onSelect_)
        onSelect_();
    DrawCircles();
}

void TCloudDiagram::DrawCircles() {
    for (size_t i = 0; i < circles_.size(); ++i) {
        circles_[i]->Draw();
        KeepInView(circles_[i]);
    }
}

void TCloudDiagram::DeleteSelected() {
    if (!selected_)
        return;
    const auto it = std::find(circles_.begin(), circles_.end(), selected_);
    if (it != circles_.end()) {
        TQELlc* circle = *it;
        circles_.erase(it);
        if (dragged_ == circle)
            dragged_ = nullptr;
        delete circle;
    }
    Select(nullptr);
    if (onDelete_)
        onDelete_();
}

void TCloudDiagram::KeepInView(TQELlc* circle) {
    if (!circle)
        return;
    const std::int64_t r = circle->Radius;
    if (circle->Y - r - 5 < 0)
        circle->Y = to32(r + 5);
    if (circle->X - r - 5 < 0)
        circle->X = to32(r + 5);
    std::int32_t width = paintWidth_, height = paintHeight_;
    if (circle->Y + r + 5 > height)
        height = to32(circle->Y + r + 5);
    if (circle->X + r + 5 > width)
        width = to32(circle->X + r + 5);
    SetPaintBoxSize(width, height);
}

// ---------------------------------------------------------------- pins

TQELpin* TCloudDiagram::AddPin(std::int32_t x, std::int32_t y) {
    if (!active_)
        return nullptr;
    auto* pin = new TQELpin;
    pin->Canvas = canvas_;
    pin->X = x;
    pin->Y = y;
    pins_.push_back(pin);
    pin->Filled = true;
    pin->Draw();
    return pin;
}

void TCloudDiagram::RemovePin(TQELpin* pin) {
    if (!active_)
        return;
    const auto it = std::find(pins_.begin(), pins_.end(), pin);
    if (it == pins_.end())
        return;
    pins_.erase(it);
    delete pin;
}

TQELpin* TCloudDiagram::PinAt(std::int32_t x, std::int32_t y) const {
    if (!active_)
        return nullptr;
    for (TQELpin* pin : pins_)
        if (pin->HitTest(x, y))
            return pin;
    return nullptr;
}

int TCloudDiagram::PinCount() const {
    return active_ ? static_cast<int>(pins_.size()) : 0;
}

TQELpin* TCloudDiagram::GetPin(int index) const {
    if (index < 0 || index >= PinCount())
        return nullptr;
    return pins_[static_cast<size_t>(index)];
}

bool TCloudDiagram::RemoveDuplicatePin() {
    const int earlier = FirstDuplicatePin(circles_, pins_);
    if (earlier < 0)
        return false;
    TQELpin* pin = pins_[static_cast<size_t>(earlier)];
    pins_.erase(pins_.begin() + earlier);
    delete pin;
    return true;
}

// ---------------------------------------------------------------- text

std::string TCloudDiagram::PinExpression(const TQELpin* pin) const {
    if (!active_ || circles_.empty())
        return "0=1";
    return RegionExpression(circles_, pin);
}

std::string TCloudDiagram::ExpressionText() {
    RemoveDuplicatePin();
    if (!active_)
        return std::string();
    return JoinedExpression(circles_, pins_);
}

// ---------------------------------------------------------------- loading

void TCloudDiagram::ClearShapes() {
    if (!active_)
        return;
    freePins();
    dragged_ = nullptr;
    Select(nullptr);
    freeCircles();
}

TQELlc* TCloudDiagram::PlaceCircle(std::string_view label, std::string_view body, std::int32_t x,
                                   std::int32_t y, std::int32_t radius, std::int32_t labelDX,
                                   std::int32_t labelDY) {
    if (!active_)
        return nullptr;
    auto* circle = new TQELlc;
    circle->Canvas = canvas_;
    circle->LabelText = label;
    circle->Body = body;
    circle->X = x;
    circle->Y = y;
    circle->Radius = radius;
    circle->LabelDX = labelDX;
    circle->LabelDY = labelDY;
    circles_.push_back(circle);
    return circle;
}

// ---------------------------------------------------------------- paint box

void TCloudDiagram::SetPaintBoxSize(std::int32_t width, std::int32_t height) {
    if (width == paintWidth_ && height == paintHeight_)
        return;
    paintWidth_ = width;
    paintHeight_ = height;
    PaintBoxResized();
}

TCloudDiagram::TSize TCloudDiagram::ShapesExtent(const TTextSize& textSize) const {
    constexpr std::int64_t margin = 5;
    std::int64_t width = 0, height = 0;
    auto reach = [&](std::int64_t right, std::int64_t bottom) {
        width = std::max(width, right + margin);
        height = std::max(height, bottom + margin);
    };
    for (const TQELlc* c : circles_) {
        reach(static_cast<std::int64_t>(c->X) + c->Radius,
              static_cast<std::int64_t>(c->Y) + c->Radius);
        if (textSize && !c->LabelText.empty()) {
            const TSize text = textSize(c->LabelText);
            reach(static_cast<std::int64_t>(c->X) + c->LabelDX + text.Width,
                  static_cast<std::int64_t>(c->Y) + c->LabelDY + text.Height);
        }
    }
    // The tick mark reaches 5 pixels right of the pin point and ends on its row.
    for (const TQELpin* p : pins_)
        reach(static_cast<std::int64_t>(p->X) + 5, p->Y);
    return {to32(width), to32(height)};
}

void TCloudDiagram::FitPaintBox(std::int32_t viewWidth, std::int32_t viewHeight,
                                const TTextSize& textSize) {
    const TSize shapes = ShapesExtent(textSize);
    std::int32_t width = std::max({viewWidth, shapes.Width, std::int32_t{0}});
    std::int32_t height = std::max({viewHeight, shapes.Height, std::int32_t{0}});
    if (dragged_) {
        width = std::max(width, paintWidth_);
        height = std::max(height, paintHeight_);
    }
    SetPaintBoxSize(width, height);
}

void TCloudDiagram::SetCanvas(TCloudCanvas* canvas) {
    canvas_ = canvas;
    for (TQELlc* c : circles_)
        c->Canvas = canvas;
    for (TQELpin* p : pins_)
        p->Canvas = canvas;
}

void TCloudDiagram::Paint() {
    for (size_t i = 0; i < circles_.size(); ++i) {
        TQELlc* circle = circles_[i];
        circle->LabelVisible = true;
        circle->Draw();
        KeepInView(circle);
    }
    for (size_t i = 0; i < pins_.size(); ++i) {
        pins_[i]->Filled = pinsFilled_;
        pins_[i]->Draw();
    }
}

// ---------------------------------------------------------------- mouse

void TCloudDiagram::MouseDown(std::int32_t x, std::int32_t y, bool leftButton) {
    if (!active_)
        return;
    dragged_ = nullptr;
    Select(nullptr);
    downX_ = x;
    downY_ = y;
    bool first = true;
    for (size_t i = 0; i < circles_.size(); ++i) {
        TQELlc* circle = circles_[i];
        if (!circle->OnBorder(x, y))
            continue;
        Select(circle);
        if (first && leftButton) {
            dragged_ = circle;
            dragDX_ = to32(static_cast<std::int64_t>(circle->X) - x);
            dragDY_ = to32(static_cast<std::int64_t>(circle->Y) - y);
        }
        first = false;
    }
}

void TCloudDiagram::MouseMove(std::int32_t x, std::int32_t y, bool leftOnly, bool shift) {
    if (leftOnly)
        pinsFilled_ = false;
    if (!dragged_)
        return;
    if (shift) {
        dragged_->Radius = RoundedDistance(dragged_->X, dragged_->Y, x, y);
        dragged_->LabelDX = LabelOffsetX(dragged_->Radius);
        dragged_->LabelDY = LabelOffsetY(dragged_->Radius);
    } else {
        if (x < -30 || y < -30) {
            // Dragged out past the left or top edge.
            DeleteSelected();
            return;
        }
        dragged_->X = to32(static_cast<std::int64_t>(x) + dragDX_);
        dragged_->Y = to32(static_cast<std::int64_t>(y) + dragDY_);
        KeepInView(dragged_);
    }
    RefreshPaintBox();
}

void TCloudDiagram::MouseUp() {
    const bool dragging = dragged_ != nullptr;
    if (dragging) {
        while (RemoveDuplicatePin()) {
        }
        AfterDrag();
    }
    dragged_ = nullptr;
    pinsFilled_ = active_;
    if (dragging)
        RefreshPaintBox();
}

void TCloudDiagram::DoubleClick() {
    if (!active_)
        return;
    if (TQELpin* pin = PinAt(downX_, downY_))
        RemovePin(pin);
    else if (static_cast<std::int64_t>(downX_) * downY_ > 0)
        AddPin(downX_, downY_);
    RemoveDuplicatePin();
    RefreshPaintBox();
}
