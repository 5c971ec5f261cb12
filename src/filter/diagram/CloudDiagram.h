// The condition diagram without a display: a Venn diagram of circles (conditions) and pins
// (chosen regions) on a paint box, the mouse rules that edit it, and the expression text it
// generates. A frame that shows it supplies the canvas and the hooks below.
#pragma once

#include "filter/diagram/CloudShapes.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class TCloudCanvas;

class TCloudDiagram {
public:
    TCloudDiagram();
    virtual ~TCloudDiagram();
    TCloudDiagram(const TCloudDiagram&) = delete;
    TCloudDiagram& operator=(const TCloudDiagram&) = delete;

    // --- lifecycle
    // Stop, then new empty lists; active, pins filled and automatic pin on.
    virtual void Start();
    // Inactive; pins and circles freed (selection cleared first, firing OnSelect).
    virtual void Stop();
    // Called when a mouse drag of a circle ends.
    virtual void AfterDrag() {}
    // Opens the editor of the selected circle; nothing here.
    virtual void EditSelected() {}

    bool Active() const { return active_; }
    TQELlc* Selected() const { return selected_; }
    TQELlc* Dragged() const { return dragged_; }
    bool PinsFilled() const { return pinsFilled_; }
    std::int32_t DownX() const { return downX_; }
    std::int32_t DownY() const { return downY_; }
    bool AutoPin = false;

    // --- circles
    TQELlc* AddCircle(std::string_view label, std::string_view body, std::int32_t x, std::int32_t y,
                      std::int32_t radius);
    int CircleCount() const;
    TQELlc* GetCircle(int index) const;
    void Select(TQELlc* circle);
    void DeleteSelected();
    // Moves the circle down and right to keep a 5-pixel margin; grows the paint box to hold it.
    void KeepInView(TQELlc* circle);
    // Each circle's Draw and KeepInView.
    void DrawCircles();

    // --- pins
    TQELpin* AddPin(std::int32_t x, std::int32_t y);
    void RemovePin(TQELpin* pin);
    TQELpin* PinAt(std::int32_t x, std::int32_t y) const;
    int PinCount() const;
    TQELpin* GetPin(int index) const;
    // Removes the earlier of two pins in the same region; at most one per call.
    bool RemoveDuplicatePin();

    // --- text
    std::string PinExpression(const TQELpin* pin) const;
    std::string ExpressionText();

    // --- loading a saved diagram
    // Frees all pins and circles while staying active (clearing the selection first).
    void ClearShapes();
    // Appends a circle exactly as given (no selection, no moving, no pin).
    TQELlc* PlaceCircle(std::string_view label, std::string_view body, std::int32_t x,
                        std::int32_t y, std::int32_t radius, std::int32_t labelDX,
                        std::int32_t labelDY);

    // --- events
    void SetOnSelect(std::function<void()> handler) { onSelect_ = std::move(handler); }
    void SetOnDelete(std::function<void()> handler) { onDelete_ = std::move(handler); }

    // --- paint box
    std::int32_t PaintWidth() const { return paintWidth_; }
    std::int32_t PaintHeight() const { return paintHeight_; }
    void SetPaintBoxSize(std::int32_t width, std::int32_t height);
    struct TSize {
        std::int32_t Width = 0, Height = 0;
        bool operator==(const TSize&) const = default;
    };
    // Width and height of a label's text on the surface.
    using TTextSize = std::function<TSize(const std::string& text)>;
    // The paint box that shows every shape with a 5-pixel margin beyond its right and bottom
    // edge: each circle (the margin KeepInView keeps), its label (measured by textSize; left
    // out without it) and each pin's tick mark.
    TSize ShapesExtent(const TTextSize& textSize = {}) const;
    // Sizes the paint box to the view, and further only as far as the shapes need: it shrinks
    // back when the view does or a shape goes. While a circle is dragged it only grows, so
    // that the view does not move under the pointer.
    void FitPaintBox(std::int32_t viewWidth, std::int32_t viewHeight,
                     const TTextSize& textSize = {});
    TCloudCanvas* Canvas() const { return canvas_; }
    // The surface that new shapes draw on (and that the existing ones switch to).
    void SetCanvas(TCloudCanvas* canvas);
    // One paint of the paint box: every circle with its label, then every pin.
    void Paint();

    // --- mouse, in paint-box pixels
    void MouseDown(std::int32_t x, std::int32_t y, bool leftButton);
    // leftOnly: the held left button is the whole shift state (no modifier, no other button).
    void MouseMove(std::int32_t x, std::int32_t y, bool leftOnly, bool shift);
    void MouseUp();
    // At the point of the press before it.
    void DoubleClick();

    // The whole paint box should be erased and painted again now.
    virtual void RefreshPaintBox() {}

protected:
    // The paint box size changed; a frame resizes its paint box.
    virtual void PaintBoxResized() {}

private:
    void freePins();
    void freeCircles();

    bool active_ = false;
    bool hasLists_ = false;
    TQELlc* selected_ = nullptr;
    bool pinsFilled_ = false;
    std::int32_t downX_ = 0, downY_ = 0;
    TQELlc* dragged_ = nullptr;
    std::int32_t dragDX_ = 0, dragDY_ = 0;
    std::vector<TQELlc*> circles_; // owned
    std::vector<TQELpin*> pins_;   // owned
    std::function<void()> onSelect_, onDelete_;
    std::int32_t paintWidth_ = 0, paintHeight_ = 0;
    TCloudCanvas* canvas_ = nullptr;
};
