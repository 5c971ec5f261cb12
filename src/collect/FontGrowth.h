// Panels laid out by hand at fixed places that grow with the font: the designed places of their
// controls, made wider as far as the captions need and higher as far as the font's lines are
// higher than the designed ones. At the designed font (and smaller ones) they stay as designed.
#pragma once

#include <QRect>

#include <vector>

class QWidget;

// How much larger than designed a panel is drawn, across and down (each at least 1).
struct FontGrowth {
    qreal across = 1;
    qreal down = 1;

    // A designed rectangle at this growth. Its edges are scaled rather than its size, so that
    // neighbours never come to overlap by rounding.
    QRect Scaled(const QRect& designed) const;
    int Across(int designed) const;
    int Down(int designed) const;
};

// A control of a panel and its designed place.
struct PlacedControl {
    QWidget* control;
    QRect designed;
};

// The room a control's caption needs across: a label's text as it wishes, a push button's text
// with a small margin; nothing for other controls and for a label that shows a picture.
int CaptionWidth(const QWidget* control);

// The growth that gives every caption of controls its room and the lines of reference's font
// the room of designedLineHeight pixels.
FontGrowth GrowthFor(const std::vector<PlacedControl>& controls, const QWidget* reference,
                     int designedLineHeight);
