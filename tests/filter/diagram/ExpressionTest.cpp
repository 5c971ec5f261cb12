#include "filter/diagram/CloudDiagram.h"

#include <gtest/gtest.h>

#include <utility>

namespace {

// An active diagram without automatic pins, so each test places its pins itself.
struct Diagram : TCloudDiagram {
    Diagram() {
        SetPaintBoxSize(1000, 1000);
        Start();
        AutoPin = false;
    }
    TQELlc* circle(const char* body, int x, int y, int r) { return AddCircle(body, body, x, y, r); }
};

} // namespace

TEST(DiagramExpression, WorkedExampleByteForByte) {
    Diagram d;
    d.circle("B1", 100, 100, 50);
    d.circle("B2", 160, 100, 50);
    d.circle("B3", 130, 160, 50); // overlaps both, does not hold P
    TQELpin* p = d.AddPin(130, 90);
    TQELpin* q = d.AddPin(400, 400);
    const std::string e0 = "(B1)\n && (B2)\n && !(B3)";
    const std::string e1 = "!(B1) && !(B2) && !(B3)";
    EXPECT_EQ(d.PinExpression(p), e0);
    EXPECT_EQ(d.PinExpression(q), e1);
    EXPECT_EQ(d.ExpressionText(), "(" + e0 + ") \n|| (" + e1 + ")");

    // A third pin wraps everything before it.
    TQELpin* r = d.AddPin(100, 60); // in circle 1 only
    const std::string e2 = "(B1)\n && !(B2)\n && !(B3)";
    EXPECT_EQ(d.PinExpression(r), e2);
    EXPECT_EQ(d.ExpressionText(), "((" + e0 + ") \n|| (" + e1 + ")) \n|| (" + e2 + ")");
}

TEST(DiagramExpression, EmptyAndCirclelessDiagrams) {
    Diagram d;
    d.circle("A", 100, 100, 50);
    EXPECT_EQ(d.ExpressionText(), "");

    // Pins stay when their circle goes; without circles each pin reads "0=1" and all pins are
    // duplicates of each other, one removed per generation.
    Diagram e;
    e.AddPin(10, 10);
    EXPECT_EQ(e.ExpressionText(), "0=1");
    e.AddPin(20, 20);
    e.AddPin(30, 30);
    e.AddPin(40, 40);
    EXPECT_EQ(e.ExpressionText(), "((0=1) \n|| (0=1)) \n|| (0=1)");
    EXPECT_EQ(e.PinCount(), 3);
    EXPECT_EQ(e.GetPin(0)->X, 20); // the earliest went first
    EXPECT_EQ(e.ExpressionText(), "(0=1) \n|| (0=1)");
    EXPECT_EQ(e.PinCount(), 2);

    // An inactive diagram generates nothing.
    Diagram f;
    TQELpin* pin = f.AddPin(5, 5);
    f.Stop();
    EXPECT_EQ(f.ExpressionText(), "");
    EXPECT_EQ(f.PinExpression(pin), "0=1");
}

TEST(DiagramExpression, OuterRingNegatesTheInnerCircle) {
    for (bool innerFirst : {false, true}) {
        Diagram d;
        if (innerFirst)
            d.circle("IN", 200, 200, 30);
        d.circle("OUT", 200, 200, 100);
        if (!innerFirst)
            d.circle("IN", 200, 200, 30);
        EXPECT_EQ(d.PinExpression(d.AddPin(200, 260)), "(OUT)\n && !(IN)");
        EXPECT_EQ(d.PinExpression(d.AddPin(200, 210)),
                  innerFirst ? "(IN)\n && (OUT)" : "(OUT)\n && (IN)");
    }
}

TEST(DiagramExpression, OnlyNeighboursAppear) {
    Diagram d;
    // Touching circles (centres 100 apart, radii 50 + 50) do not overlap.
    d.circle("A", 100, 100, 50);
    d.circle("T", 200, 100, 50);
    EXPECT_EQ(d.PinExpression(d.AddPin(90, 100)), "(A)");
    EXPECT_EQ(d.PinExpression(d.AddPin(200, 100)), "(T)");
    // Outside every circle, all of them are negated, on one line.
    EXPECT_EQ(d.PinExpression(d.AddPin(500, 500)), "!(A) && !(T)");

    Diagram e;
    e.circle("A", 200, 100, 60);
    e.circle("B", 250, 100, 60);
    e.circle("C", 160, 200, 60); // overlaps A, misses B
    e.circle("D", 225, 160, 60); // overlaps A and B, the pin lies on its outline
    EXPECT_EQ(e.PinExpression(e.AddPin(225, 100)), "(A)\n && (B)\n && !(D)");
    // In A alone: every neighbour of A is negated.
    EXPECT_EQ(e.PinExpression(e.AddPin(160, 100)), "(A)\n && !(B)\n && !(C)\n && !(D)");
}

TEST(DiagramExpression, BodiesAreInsertedAsTheyStand) {
    Diagram d;
    d.AddCircle("x", " EXISTS('A\"B') \n", 100, 100, 50);
    EXPECT_EQ(d.PinExpression(d.AddPin(100, 100)), "( EXISTS('A\"B') \n)");
}

TEST(DiagramExpression, DuplicatePinsGoEarlierFirstOnePerCall) {
    Diagram d;
    d.circle("A", 100, 100, 50);
    d.circle("B", 160, 100, 50);
    d.AddPin(90, 100);  // A only
    d.AddPin(130, 100); // A and B
    d.AddPin(95, 110);  // A only, duplicate of the first
    d.AddPin(135, 95);  // A and B, duplicate of the second
    d.AddPin(400, 400); // outside
    EXPECT_TRUE(d.RemoveDuplicatePin());
    ASSERT_EQ(d.PinCount(), 4);
    EXPECT_EQ(d.GetPin(0)->X, 130);
    EXPECT_EQ(d.GetPin(1)->X, 95);
    EXPECT_TRUE(d.RemoveDuplicatePin());
    ASSERT_EQ(d.PinCount(), 3);
    EXPECT_EQ(d.GetPin(0)->X, 95);
    EXPECT_EQ(d.GetPin(1)->X, 135);
    EXPECT_FALSE(d.RemoveDuplicatePin());
    EXPECT_EQ(d.PinCount(), 3);
    // The text generation removes one duplicate itself.
    d.AddPin(410, 400);
    d.ExpressionText();
    ASSERT_EQ(d.PinCount(), 3);
    EXPECT_EQ(d.GetPin(2)->X, 410);
}

TEST(DiagramExpression, ThreeConditionsOfTheFilterDialog) {
    TCloudDiagram d;
    d.SetPaintBoxSize(470, 370);
    d.Start();
    d.AddCircle("Context:\"garden\"", "EXISTS('GARDEN')", 130, 120, 75);
    d.AddCircle("Context:\"tools\"", "EXISTS('TOOLS')", 220, 120, 75);
    d.AddCircle("Record state:checked", "RECORD_STATE('IS_CHECKED')", 175, 200, 75);
    // The automatic pin (115, 120) lies in the first circle alone; the middle and the region of
    // the second and third circles without the first are added.
    for (const auto& [x, y] : {std::pair{175, 136}, std::pair{228, 190}}) {
        d.MouseDown(x, y, true);
        d.DoubleClick();
    }
    ASSERT_EQ(d.PinCount(), 3);
    EXPECT_EQ(d.GetPin(0)->X, 115);
    EXPECT_EQ(d.ExpressionText(),
              "(((EXISTS('GARDEN'))\n && !(EXISTS('TOOLS'))\n && !(RECORD_STATE('IS_CHECKED')))"
              " \n|| ((EXISTS('GARDEN'))\n && (EXISTS('TOOLS'))\n && "
              "(RECORD_STATE('IS_CHECKED')))) \n|| ((EXISTS('TOOLS'))\n && "
              "(RECORD_STATE('IS_CHECKED'))\n && !(EXISTS('GARDEN')))");
}
