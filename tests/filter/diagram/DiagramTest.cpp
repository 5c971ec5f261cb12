#include "filter/diagram/CloudCanvas.h"
#include "filter/diagram/CloudDiagram.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace {

// Notes every drawing operation as one line of text.
struct RecordingCanvas : TCloudCanvas {
    std::vector<std::string> ops;
    void Ellipse(std::int32_t l, std::int32_t t, std::int32_t r, std::int32_t b,
                 std::uint32_t c) override {
        ops.push_back(fmt("ellipse", {l, t, r, b}, c));
    }
    void TextOut(std::int32_t x, std::int32_t y, const std::string& text,
                 std::uint32_t c) override {
        ops.push_back(fmt("text " + text, {x, y}, c));
    }
    void Line(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2,
              std::uint32_t c) override {
        ops.push_back(fmt("line", {x1, y1, x2, y2}, c));
    }
    void HatchFill(std::int32_t x, std::int32_t y, std::uint32_t c) override {
        ops.push_back(fmt("fill", {x, y}, c));
    }
    static std::string fmt(const std::string& what, std::vector<int> v, std::uint32_t c) {
        std::ostringstream s;
        s << what;
        for (int n : v)
            s << ' ' << n;
        s << std::hex << " #" << c;
        return s.str();
    }
};

struct Diagram : TCloudDiagram {
    int selects = 0, deletes = 0, refreshes = 0, afterDrags = 0;
    Diagram() {
        SetOnSelect([this] { ++selects; });
        SetOnDelete([this] { ++deletes; });
    }
    void AfterDrag() override { ++afterDrags; }
    void RefreshPaintBox() override { ++refreshes; }
};

} // namespace

TEST(CloudDiagram, InactiveDiagramDoesNothing) {
    Diagram d;
    d.Select(nullptr); // no lists yet: not even OnSelect
    EXPECT_EQ(d.selects, 0);
    EXPECT_EQ(d.AddCircle("a", "A", 10, 10, 5), nullptr);
    EXPECT_EQ(d.AddPin(10, 10), nullptr);
    EXPECT_EQ(d.CircleCount(), 0);
    EXPECT_EQ(d.PinCount(), 0);
    EXPECT_EQ(d.GetCircle(0), nullptr);
    d.MouseDown(10, 10, true);
    d.DoubleClick();
    EXPECT_EQ(d.PinCount(), 0);
}

TEST(CloudDiagram, AddCirclePlacesItInViewAndSetsTheFirstPin) {
    Diagram d;
    d.SetPaintBoxSize(200, 100);
    d.Start();
    EXPECT_TRUE(d.Active() && d.PinsFilled() && d.AutoPin);
    TQELlc* c = d.AddCircle("Context:\"abc\"", "EXISTS('ABC')", 80, 40, 60);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->X, 80);
    EXPECT_EQ(c->Y, 65); // moved down to keep a 5-pixel margin
    EXPECT_EQ(c->LabelDX, 18);
    EXPECT_EQ(c->LabelDY, 21);
    EXPECT_EQ(c->LabelText, "Context:\"abc\"");
    EXPECT_EQ(c->Body, "EXISTS('ABC')");
    EXPECT_TRUE(c->Selected);
    EXPECT_EQ(d.Selected(), c);
    EXPECT_EQ(d.selects, 1);
    // The paint box grew to hold the circle (65 + 60 + 5) and the width stayed.
    EXPECT_EQ(d.PaintWidth(), 200);
    EXPECT_EQ(d.PaintHeight(), 130);
    // The pin goes where the circle was asked for: (80 - 12, 40).
    ASSERT_EQ(d.PinCount(), 1);
    EXPECT_EQ(d.GetPin(0)->X, 68);
    EXPECT_EQ(d.GetPin(0)->Y, 40);
    EXPECT_TRUE(d.GetPin(0)->Filled);
    // Only one automatic pin.
    TQELlc* c2 = d.AddCircle("b", "B", 10, 10, 20);
    EXPECT_EQ(d.PinCount(), 1);
    EXPECT_EQ(c2->X, 25);
    EXPECT_EQ(c2->Y, 25);
    EXPECT_FALSE(c->Selected);
    EXPECT_EQ(d.GetCircle(1), c2);
    EXPECT_EQ(d.GetCircle(2), nullptr);
    EXPECT_EQ(d.GetCircle(-1), nullptr);
    EXPECT_GE(d.refreshes, 2);
    // Beyond the right edge: the paint box grows to the circle's right edge and 5 pixels.
    d.AddCircle("far", "F", 900, 100, 50);
    EXPECT_EQ(d.PaintWidth(), 955);
}

TEST(CloudDiagram, DeleteAndStop) {
    Diagram d;
    d.Start();
    TQELlc* a = d.AddCircle("a", "A", 100, 100, 30);
    d.AddCircle("b", "B", 200, 100, 30);
    d.Select(a);
    const int before = d.selects;
    d.DeleteSelected();
    EXPECT_EQ(d.CircleCount(), 1);
    EXPECT_EQ(d.GetCircle(0)->Body, "B");
    EXPECT_EQ(d.Selected(), nullptr);
    EXPECT_EQ(d.selects, before + 1);
    EXPECT_EQ(d.deletes, 1);
    d.DeleteSelected(); // nothing selected
    EXPECT_EQ(d.deletes, 1);
    EXPECT_EQ(d.CircleCount(), 1);

    d.Select(d.GetCircle(0));
    d.Stop();
    EXPECT_FALSE(d.Active());
    EXPECT_FALSE(d.PinsFilled());
    EXPECT_EQ(d.Selected(), nullptr);
    EXPECT_EQ(d.CircleCount(), 0);
    EXPECT_EQ(d.PinCount(), 0);
    const int afterStop = d.selects;
    d.Select(nullptr); // the lists are gone
    EXPECT_EQ(d.selects, afterStop);
}

TEST(CloudDiagram, DrawsOutlinesLabelsAndPinsWithTheirColours) {
    RecordingCanvas canvas;
    Diagram d;
    d.SetCanvas(&canvas);
    d.Start();
    d.AutoPin = false;
    d.AddCircle("one", "A", 100, 100, 50);
    d.AddCircle("two", "B", 300, 100, 20);
    d.AddPin(100, 90);
    canvas.ops.clear();
    d.Paint();
    EXPECT_EQ(canvas.ops, (std::vector<std::string>{
                              "ellipse 50 50 150 150 #808080",
                              "text one 115 118 #808080",
                              "ellipse 280 80 320 120 #0",
                              "text two 306 107 #ff",
                              "fill 100 90 #c0c0c0",
                              "line 98 88 100 90 #ff",
                              "line 100 90 105 85 #ff",
                          }));
    // While the left button drags, pins are drawn without their fill.
    d.MouseDown(50, 100, true);
    d.MouseMove(60, 100, true, false);
    EXPECT_FALSE(d.PinsFilled());
    canvas.ops.clear();
    d.Paint();
    EXPECT_EQ(canvas.ops.back(), "line 100 90 105 85 #ff");
    EXPECT_EQ(canvas.ops[canvas.ops.size() - 2], "line 98 88 100 90 #ff");
    d.MouseUp();
    EXPECT_TRUE(d.PinsFilled());
    // A label change draws the circle at once.
    canvas.ops.clear();
    d.GetCircle(1)->SetLabelText("new");
    EXPECT_EQ(canvas.ops.size(), 2u);
    EXPECT_EQ(canvas.ops[1], "text new 306 107 #808080");
}

TEST(CloudDiagram, PressSelectsTheLastOutlineAndDragsTheFirst) {
    Diagram d;
    d.Start();
    d.AutoPin = false;
    TQELlc* a = d.AddCircle("a", "A", 100, 100, 50);
    TQELlc* b = d.AddCircle("b", "B", 180, 100, 50);
    // (140, 70) is 50 from both centres: on both outlines.
    d.MouseDown(140, 70, true);
    EXPECT_EQ(d.Selected(), b);
    EXPECT_TRUE(b->Selected);
    EXPECT_FALSE(a->Selected);
    EXPECT_EQ(d.Dragged(), a);
    EXPECT_EQ(d.DownX(), 140);
    d.MouseMove(150, 80, true, false);
    EXPECT_EQ(a->X, 110);
    EXPECT_EQ(a->Y, 110);
    EXPECT_EQ(b->X, 180);
    d.MouseUp();
    EXPECT_EQ(d.afterDrags, 1);
    EXPECT_EQ(d.Dragged(), nullptr);

    // Inside, away from the outline: nothing selected, nothing dragged.
    d.MouseDown(110, 110, true);
    EXPECT_EQ(d.Selected(), nullptr);
    EXPECT_EQ(d.Dragged(), nullptr);
    // The right button selects without dragging.
    d.MouseDown(230, 100, false);
    EXPECT_EQ(d.Selected(), b);
    EXPECT_EQ(d.Dragged(), nullptr);
    d.MouseUp();
    EXPECT_EQ(d.afterDrags, 1);
}

TEST(CloudDiagram, ShiftResizesDownToRadiusZero) {
    Diagram d;
    d.Start();
    TQELlc* c = d.AddCircle("a", "A", 100, 100, 50);
    d.MouseDown(150, 100, true);
    d.MouseMove(100, 140, false, true);
    EXPECT_EQ(c->Radius, 40);
    EXPECT_EQ(c->LabelDX, 12);
    EXPECT_EQ(c->LabelDY, 14);
    EXPECT_EQ(c->X, 100);
    d.MouseMove(100, 100, false, true);
    EXPECT_EQ(c->Radius, 0);
    EXPECT_EQ(c->LabelDX, 0);
    EXPECT_FALSE(c->Contains(100, 100));
    d.MouseUp();
    // The automatic pin now lies in no circle.
    EXPECT_EQ(d.PinExpression(d.GetPin(0)), "!(A)");
}

TEST(CloudDiagram, DraggingOutPastMinus30Deletes) {
    Diagram d;
    d.Start();
    TQELlc* c = d.AddCircle("a", "A", 100, 100, 50);
    d.MouseDown(50, 100, true); // left edge of the outline; centre is 50 to the right
    d.MouseMove(-30, 100, true, false);
    EXPECT_EQ(d.CircleCount(), 1);
    EXPECT_EQ(c->X, 55); // pushed back to the margin: radius + 5
    d.MouseMove(-31, 100, true, false);
    EXPECT_EQ(d.CircleCount(), 0);
    EXPECT_EQ(d.Dragged(), nullptr);
    EXPECT_EQ(d.deletes, 1);
    d.MouseUp();

    // Upwards likewise.
    TQELlc* e = d.AddCircle("e", "E", 100, 100, 50);
    d.MouseDown(100, 50, true);
    d.MouseMove(100, -30, true, false);
    EXPECT_EQ(e->Y, 55);
    d.MouseMove(100, -31, true, false);
    EXPECT_EQ(d.CircleCount(), 0);
}

TEST(CloudDiagram, ReleaseAfterDragRemovesEveryDuplicatePin) {
    Diagram d;
    d.Start();
    d.AutoPin = false;
    TQELlc* a = d.AddCircle("a", "A", 100, 100, 50);
    d.AddCircle("b", "B", 300, 100, 50);
    d.AddPin(100, 100);
    d.AddPin(300, 100);
    d.AddPin(500, 100);
    // Move circle a onto the third pin: every pin still has a region of its own.
    d.MouseDown(150, 100, true);
    d.MouseMove(550, 100, true, false);
    EXPECT_EQ(a->X, 500);
    d.MouseUp();
    // Pins: (100,100) outside, (300,100) in b, (500,100) in a: no duplicates left.
    EXPECT_EQ(d.PinCount(), 3);

    // A drag that makes three pins share a region removes two of them at release.
    Diagram e;
    e.Start();
    e.AutoPin = false;
    e.AddCircle("a", "A", 100, 100, 50);
    e.AddPin(400, 400);
    e.AddPin(90, 100);
    e.AddPin(410, 400);
    e.AddPin(420, 400);
    e.MouseDown(150, 100, true);
    e.MouseMove(700, 700, true, false);
    e.MouseUp();
    ASSERT_EQ(e.PinCount(), 1);
    EXPECT_EQ(e.GetPin(0)->X, 420);
}

TEST(CloudDiagram, DoubleClickAddsOrRemovesAPin) {
    Diagram d;
    d.Start();
    d.AutoPin = false;
    d.AddCircle("a", "A", 100, 100, 50);
    d.MouseDown(90, 100, true);
    d.DoubleClick();
    ASSERT_EQ(d.PinCount(), 1);
    EXPECT_EQ(d.GetPin(0)->X, 90);
    // On the tick mark: removed.
    d.MouseDown(92, 97, true);
    d.DoubleClick();
    EXPECT_EQ(d.PinCount(), 0);
    // A pin in the same region as an earlier one replaces it.
    d.MouseDown(90, 100, true);
    d.DoubleClick();
    d.MouseDown(110, 110, true);
    d.DoubleClick();
    ASSERT_EQ(d.PinCount(), 1);
    EXPECT_EQ(d.GetPin(0)->X, 110);
    // On the top or left pixel line nothing is added.
    d.MouseDown(0, 300, true);
    d.DoubleClick();
    d.MouseDown(300, 0, true);
    d.DoubleClick();
    EXPECT_EQ(d.PinCount(), 1);
}

// The mouse rules once more with the diagram frame's own cases: a press inside after a drag,
// Shift down to the centre, the margin and deletion past -30, pins replaced and removed.
TEST(CloudDiagram, MouseRulesWithTheFramesCases) {
    Diagram d;
    d.Start();
    TQELlc* a = d.AddCircle("first", "A", 150, 150, 60);
    d.AddCircle("second", "B", 230, 150, 60);
    d.MouseDown(190, 105, true);
    d.MouseMove(210, 125, true, false);
    d.MouseUp();
    EXPECT_EQ(a->X, 170);
    d.MouseDown(230, 150, true);
    EXPECT_EQ(d.Selected(), nullptr);

    Diagram e;
    e.Start();
    TQELlc* c = e.AddCircle("a", "A", 200, 200, 80);
    e.MouseDown(280, 200, true);
    e.MouseMove(200, 250, false, true);
    EXPECT_EQ(c->Radius, 50);
    EXPECT_EQ(c->LabelDX, 15);
    EXPECT_EQ(c->LabelDY, 18);
    e.MouseMove(200, 200, false, true);
    e.MouseUp();
    EXPECT_EQ(c->Radius, 0);
    EXPECT_EQ(e.ExpressionText(), "!(A)");
    TQELlc* out = e.AddCircle("b", "B", 200, 200, 80);
    e.MouseDown(120, 200, true);
    e.MouseMove(60, 200, true, false);
    e.MouseMove(-30, 200, true, false);
    EXPECT_EQ(out->X, 85);
    e.MouseMove(-31, 200, true, false);
    EXPECT_EQ(e.CircleCount(), 1);
    e.MouseUp();

    Diagram f;
    f.Start();
    f.AutoPin = false;
    f.AddCircle("a", "A", 200, 200, 80);
    const auto doubleClick = [&f](std::int32_t x, std::int32_t y) {
        f.MouseDown(x, y, true);
        f.DoubleClick();
    };
    doubleClick(190, 190);
    f.MouseDown(120, 200, true);
    f.MouseMove(125, 200, true, false);
    f.MouseUp();
    doubleClick(210, 210);
    ASSERT_EQ(f.PinCount(), 1);
    EXPECT_EQ(f.GetPin(0)->X, 210);
    doubleClick(212, 207);
    EXPECT_EQ(f.PinCount(), 0);
    doubleClick(400, 60);
    EXPECT_EQ(f.ExpressionText(), "!(A)");
}

// The paint box covers the view and reaches as far as the shapes: circles with their margin,
// labels as measured and pin marks; it shrinks back with the view, but not during a drag.
TEST(CloudDiagram, PaintBoxFitsTheViewAndTheShapes) {
    using Size = TCloudDiagram::TSize;
    Diagram d;
    d.Start();
    d.AutoPin = false;
    EXPECT_EQ(d.ShapesExtent(), (Size{0, 0}));
    d.AddCircle("a long label", "A", 400, 100, 50); // label at (415, 118)
    d.AddPin(200, 260);
    const auto tenPerLetter = [](const std::string& text) {
        return Size{static_cast<std::int32_t>(text.size()) * 10, 12};
    };
    EXPECT_EQ(d.ShapesExtent(), (Size{455, 265}));
    EXPECT_EQ(d.ShapesExtent(tenPerLetter), (Size{540, 265}));
    const struct {
        Size view, paint;
    } fits[] = {
        {{300, 200}, {540, 265}},
        {{1000, 800}, {1000, 800}},
        {{600, 100}, {600, 265}},
        {{300, 200}, {540, 265}},
    };
    for (const auto& fit : fits) {
        d.FitPaintBox(fit.view.Width, fit.view.Height, tenPerLetter);
        EXPECT_EQ((Size{d.PaintWidth(), d.PaintHeight()}), fit.paint)
            << fit.view.Width << "x" << fit.view.Height;
    }
    d.MouseDown(450, 100, true);
    ASSERT_NE(d.Dragged(), nullptr);
    d.FitPaintBox(1000, 800, tenPerLetter);
    d.FitPaintBox(300, 200, tenPerLetter);
    EXPECT_EQ((Size{d.PaintWidth(), d.PaintHeight()}), (Size{1000, 800}));
    d.MouseUp();
    d.FitPaintBox(300, 200, tenPerLetter);
    EXPECT_EQ((Size{d.PaintWidth(), d.PaintHeight()}), (Size{540, 265}));
}
