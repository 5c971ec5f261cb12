// The condition diagram from the keyboard: the keys, the order of the shapes, where pins go,
// the edits (which must leave the diagram as the mouse does) and what a screen reader is told.
#include "filter/diagram/CloudDiagram.h"
#include "filter/diagram/DiagramKeyboard.h"
#include "filter/diagram/DiagramSpeech.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

using A = DiagramKeyAction;

// Two overlapping circles on a 400 x 300 paint box, no automatic pin.
struct TwoCircles : TCloudDiagram {
    TQELlc* a;
    TQELlc* b;
    TwoCircles() {
        SetPaintBoxSize(400, 300);
        Start();
        AutoPin = false;
        a = AddCircle("a", "A", 100, 100, 60);
        b = AddCircle("b", "B", 170, 100, 60);
        Select(nullptr);
    }
    std::string shapes() {
        std::string s;
        for (int i = 0; i < CircleCount(); ++i) {
            const TQELlc* c = GetCircle(i);
            s += c->LabelText + "@" + std::to_string(c->X) + "," + std::to_string(c->Y) + "r" +
                 std::to_string(c->Radius) + " ";
        }
        return s + std::to_string(PinCount()) + " pins";
    }
};

} // namespace

TEST(DiagramKeyboard, KeysAndTheirActions) {
    const Qt::KeyboardModifiers none = Qt::NoModifier, ctrl = Qt::ControlModifier,
                                shift = Qt::ShiftModifier, alt = Qt::AltModifier;
    const struct {
        int key;
        Qt::KeyboardModifiers mods;
        A action;
    } cases[] = {
        {Qt::Key_Right, none, A::Next},
        {Qt::Key_Down, none, A::Next},
        {Qt::Key_Left, none, A::Previous},
        {Qt::Key_Up, none, A::Previous},
        {Qt::Key_Right, ctrl, A::MoveRight},
        {Qt::Key_Left, ctrl, A::MoveLeft},
        {Qt::Key_Up, ctrl, A::MoveUp},
        {Qt::Key_Down, ctrl | Qt::KeypadModifier, A::MoveDown},
        {Qt::Key_Right, shift, A::Grow},
        {Qt::Key_Up, shift, A::Grow},
        {Qt::Key_Left, shift, A::Shrink},
        {Qt::Key_Down, shift, A::Shrink},
        {Qt::Key_Right, ctrl | shift, A::None},
        {Qt::Key_Left, alt, A::None},
        {Qt::Key_Return, none, A::Edit},
        {Qt::Key_Enter, Qt::KeypadModifier, A::Edit},
        {Qt::Key_Delete, none, A::Delete},
        {Qt::Key_Delete, ctrl, A::None},
        {Qt::Key_Insert, none, A::AddPin},
        {Qt::Key_P, none, A::AddPin},
        {Qt::Key_P, ctrl, A::None},
        {Qt::Key_Space, none, A::None},
        {Qt::Key_Tab, none, A::None},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DiagramKeyActionFor(c.key, c.mods), c.action)
            << "key " << c.key << " modifiers " << c.mods.toInt();
}

TEST(DiagramKeyboard, ShapeOrderAndRadiusSteps) {
    const struct {
        int current, count;
        bool forward;
        int next;
    } order[] = {{-1, 3, true, 0}, {-1, 3, false, 2}, {0, 3, true, 1},
                 {2, 3, true, 0},  {0, 3, false, 2},  {1, 3, false, 0},
                 {5, 3, true, 0},  {-1, 0, true, -1}, {0, 1, true, 0}};
    for (const auto& c : order)
        EXPECT_EQ(NextShapeIndex(c.current, c.count, c.forward), c.next)
            << c.current << " of " << c.count << (c.forward ? " forward" : " back");

    const struct {
        std::int32_t radius, step, after;
    } radii[] = {{60, 5, 65}, {60, -5, 55}, {12, -5, 10}, {10, -5, 10}, {7, -5, 7}, {7, 5, 12}};
    for (const auto& c : radii)
        EXPECT_EQ(SteppedRadius(c.radius, c.step), c.after) << c.radius << " by " << c.step;
}

// Each keyboard edit leaves the same shapes and expression text as the mouse's way to it.
TEST(DiagramKeyboard, EditsEqualTheMouse) {
    const struct {
        const char* what;
        std::function<void(TwoCircles&)> keys, mouse;
    } cases[] = {
        {"move right", [](TwoCircles& d) { KeyMoveSelected(d, 5, 0); },
         [](TwoCircles& d) {
             d.MouseDown(230, 100, true);
             d.MouseMove(235, 100, true, false);
             d.MouseUp();
         }},
        {"move up", [](TwoCircles& d) { KeyMoveSelected(d, 0, -5); },
         [](TwoCircles& d) {
             d.MouseDown(230, 100, true);
             d.MouseMove(230, 95, true, false);
             d.MouseUp();
         }},
        {"grow", [](TwoCircles& d) { KeyResizeSelected(d, 5); },
         [](TwoCircles& d) {
             d.MouseDown(230, 100, true);
             d.MouseMove(235, 100, false, true);
             d.MouseUp();
         }},
        {"shrink", [](TwoCircles& d) { KeyResizeSelected(d, -5); },
         [](TwoCircles& d) {
             d.MouseDown(230, 100, true);
             d.MouseMove(225, 100, false, true);
             d.MouseUp();
         }},
        {"pin b alone, then a and b",
         [](TwoCircles& d) {
             KeyAddPin(d);
             KeyAddPin(d);
         },
         [](TwoCircles& d) {
             d.MouseDown(200, 100, true);
             d.MouseUp();
             d.DoubleClick();
             d.MouseDown(135, 100, true);
             d.MouseUp();
             d.DoubleClick();
         }},
    };
    for (const auto& c : cases) {
        TwoCircles byKeys, byMouse;
        byKeys.Select(byKeys.b);
        c.keys(byKeys);
        c.mouse(byMouse);
        EXPECT_EQ(byKeys.shapes(), byMouse.shapes()) << c.what;
        EXPECT_EQ(byKeys.ExpressionText(), byMouse.ExpressionText()) << c.what;
        EXPECT_EQ(byKeys.Selected(), byKeys.b) << c.what;
    }
}

TEST(DiagramKeyboard, PinsGoRegionByRegionAndComeOffByKey) {
    TwoCircles d;
    // Nothing selected: the outside, once.
    TQELpin* outside = KeyAddPin(d);
    ASSERT_NE(outside, nullptr);
    EXPECT_EQ(PinAccessibleName(d, *outside), "Pin outside every circle");
    EXPECT_EQ(KeyAddPin(d), nullptr);
    // Circle a: a alone, then a with b, then none left.
    d.Select(d.a);
    std::vector<std::string> names;
    while (TQELpin* pin = KeyAddPin(d)) {
        names.push_back(PinAccessibleName(d, *pin));
        // Away from every outline and tick mark, so that a press there takes nothing.
        EXPECT_GE(pin->X, 1);
        EXPECT_EQ(d.Selected(), d.a);
        ASSERT_LE(names.size(), 3u);
    }
    EXPECT_EQ(names, (std::vector<std::string>{"Pin in a", "Pin in a and b"}));
    EXPECT_EQ(d.PinCount(), 3);
    // Circle b: only b alone is left.
    d.Select(d.b);
    ASSERT_NE(KeyAddPin(d), nullptr);
    EXPECT_EQ(PinAccessibleName(d, *d.GetPin(3)), "Pin in b");
    EXPECT_FALSE(NextPinPoint(d, 1));

    // A pin comes off as a double-click on its tick mark takes it, also where another pin's
    // tick mark covers most of its own.
    const std::string before = d.ExpressionText();
    TQELpin* second = d.GetPin(1);
    TQELpin* beside = d.AddPin(second->X + 3, second->Y);
    ASSERT_TRUE(KeyRemovePin(d, beside));
    EXPECT_EQ(d.PinCount(), 4);
    EXPECT_EQ(d.GetPin(1), second);
    EXPECT_EQ(d.ExpressionText(), before);
    ASSERT_TRUE(KeyRemovePin(d, second));
    EXPECT_EQ(d.PinCount(), 3);
    EXPECT_EQ(PinAccessibleName(d, *d.GetPin(1)), "Pin in a and b");
    EXPECT_FALSE(KeyRemovePin(d, nullptr));
}

TEST(DiagramKeyboard, GripIsWhereOnlyThatOutlineIs) {
    TwoCircles d;
    const TDiagramPoint grip = *GripPoint(d, 0);
    EXPECT_TRUE(d.a->OnBorder(grip.X, grip.Y));
    EXPECT_FALSE(d.b->OnBorder(grip.X, grip.Y));
    // The rightmost point of a lies inside b, not on its outline: a takes it.
    EXPECT_EQ(grip, (TDiagramPoint{160, 100}));
    // Two circles on one outline leave no grip; nor does a missing circle.
    d.AddCircle("twin", "T", 100, 100, 60);
    EXPECT_FALSE(GripPoint(d, 0));
    EXPECT_FALSE(GripPoint(d, 7));
    d.Select(d.a);
    EXPECT_FALSE(KeyMoveSelected(d, 5, 0));
    EXPECT_FALSE(KeyResizeSelected(d, 5));
}

TEST(DiagramKeyboard, WhatTheScreenReaderIsTold) {
    TwoCircles d;
    EXPECT_EQ(DiagramAccessibleName(), "Condition diagram");
    EXPECT_EQ(DiagramAccessibleDescription(d), "2 circles, no pins");
    d.AddCircle("c", "C", 135, 150, 60);
    TQELpin* pin = d.AddPin(135, 110);
    TQELpin* two = d.AddPin(100, 130);
    EXPECT_EQ(DiagramAccessibleDescription(d), "3 circles, 2 pins");
    EXPECT_EQ(CircleAccessibleName(*d.a), "Circle a");
    EXPECT_EQ(CircleAccessibleDescription(*d.a), "Condition: A");
    EXPECT_EQ(CircleAccessiblePlace(*d.b), "Centre 170, 100, radius 60");
    EXPECT_EQ(PinAccessibleName(d, *pin), "Pin in a, b and c");
    EXPECT_EQ(PinAccessibleName(d, *two), "Pin in a and c");
    EXPECT_EQ(PinAccessibleDescription(d, *pin), "Region: (A) && (B) && (C)");
    d.Stop();
    d.Start();
    d.AddPin(10, 10);
    EXPECT_EQ(DiagramAccessibleDescription(d), "No circles, 1 pin");
}
