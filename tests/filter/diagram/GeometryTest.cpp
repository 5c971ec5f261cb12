#include "filter/diagram/CloudShapes.h"
#include "filter/diagram/DiagramGeometry.h"

#include <gtest/gtest.h>

TEST(DiagramGeometry, RoundsHalvesToEven) {
    EXPECT_EQ(RoundHalfEven(2.5), 2);
    EXPECT_EQ(RoundHalfEven(3.5), 4);
    EXPECT_EQ(RoundHalfEven(-2.5), -2);
    EXPECT_EQ(RoundHalfEven(-3.5), -4);
    EXPECT_EQ(RoundHalfEven(2.4999), 2);
    EXPECT_EQ(RoundHalfEven(2.5001), 3);
    EXPECT_EQ(RoundHalfEven(1e12), INT32_MAX);
    EXPECT_EQ(RoundRatio(45, 10), 4); // 4.5
    EXPECT_EQ(RoundRatio(55, 10), 6); // 5.5
    EXPECT_EQ(RoundRatio(-45, 10), -4);
    EXPECT_EQ(RoundRatio(-46, 10), -5);
    EXPECT_EQ(RoundRatio(7, 2), 4);
}

TEST(DiagramGeometry, LabelOffsetsAreExactFractionsOfTheRadius) {
    EXPECT_EQ(LabelOffsetX(60), 18);
    EXPECT_EQ(LabelOffsetY(60), 21);
    // 0.3 x 15 = 4.5 and 0.35 x 10 = 3.5 are exact halves, whatever binary floating point says.
    EXPECT_EQ(LabelOffsetX(15), 4);
    EXPECT_EQ(LabelOffsetX(5), 2);
    EXPECT_EQ(LabelOffsetY(10), 4);
    EXPECT_EQ(LabelOffsetY(30), 10); // 10.5
    EXPECT_EQ(LabelOffsetX(0), 0);
}

TEST(DiagramGeometry, ContainsUsesTheRoundedDistance) {
    // (3, 4) from the centre is exactly 5: on the outline, so outside a circle of radius 5.
    EXPECT_FALSE(CircleContains(100, 100, 5, 103, 104));
    EXPECT_TRUE(CircleContains(100, 100, 6, 103, 104));
    // sqrt(20) = 4.47 rounds to 4; sqrt(26) = 5.10 rounds to 5.
    EXPECT_TRUE(CircleContains(0, 0, 5, 4, 2));
    EXPECT_FALSE(CircleContains(0, 0, 5, 5, 1));
    // A circle of radius 0 holds nothing, not even its centre.
    EXPECT_FALSE(CircleContains(10, 10, 0, 10, 10));
}

TEST(DiagramGeometry, OutlineIsWithinTwoPixels) {
    EXPECT_TRUE(CircleOnBorder(50, 50, 20, 70, 50));
    EXPECT_TRUE(CircleOnBorder(50, 50, 20, 72, 50));
    EXPECT_TRUE(CircleOnBorder(50, 50, 20, 68, 50));
    EXPECT_FALSE(CircleOnBorder(50, 50, 20, 73, 50));
    EXPECT_FALSE(CircleOnBorder(50, 50, 20, 67, 50));
    EXPECT_FALSE(CircleOnBorder(50, 50, 20, 50, 50));
}

TEST(DiagramGeometry, PinHitSquareSitsAroundTheTickMark) {
    // Centre one right of and two above the pin point; 9 x 9 pixels.
    for (int x = 90; x <= 110; ++x)
        for (int y = 80; y <= 100; ++y)
            EXPECT_EQ(PinHit(100, 90, x, y), x >= 97 && x <= 105 && y >= 84 && y <= 92)
                << x << "," << y;
}

TEST(DiagramGeometry, OverlapComparesTheExactDistance) {
    // Centres 10 apart: radii 5 + 5 touch and do not overlap, 5 + 6 do.
    EXPECT_FALSE(CirclesOverlap(0, 0, 5, 6, 8, 5));
    EXPECT_TRUE(CirclesOverlap(0, 0, 5, 6, 8, 6));
    // Distance sqrt(101) = 10.05: 5 + 5 does not overlap though the rounded distance is 10.
    EXPECT_FALSE(CirclesOverlap(0, 0, 5, 10, 1, 5));
    EXPECT_TRUE(CirclesOverlap(0, 0, 5, 10, 1, 6));
    // One inside the other.
    EXPECT_TRUE(CirclesOverlap(100, 100, 60, 105, 100, 10));
    EXPECT_FALSE(CirclesOverlap(0, 0, 0, 0, 0, 0));

    TQELlc a, b;
    a.X = 0, a.Y = 0, a.Radius = 30;
    b.X = 50, b.Y = 0, b.Radius = 30;
    EXPECT_TRUE(Overlaps(&a, &b));
    EXPECT_FALSE(Overlaps(&a, nullptr));
    EXPECT_FALSE(Overlaps(nullptr, &b));
    TQELpin pin;
    pin.X = 10;
    EXPECT_TRUE(PinInCircle(&pin, &a));
    EXPECT_FALSE(PinInCircle(&pin, &b));
    EXPECT_FALSE(PinInCircle(nullptr, &a));
    EXPECT_FALSE(PinInCircle(&pin, nullptr));
}
