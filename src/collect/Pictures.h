// Decorative pictures of the collection dialogs, drawn at any size. The size is in logical
// pixels; the picture holds ratio device pixels for each (sharp at twice the scale and more).
#pragma once

#include <QPixmap>

// The device pixel ratio of the screens the program shows its windows on.
qreal ScreenPixelRatio();

// A web page with a magnifying glass over it.
QPixmap FoundPagePicture(int size, qreal ratio = ScreenPixelRatio());
// A small globe.
QPixmap GlobeIcon(int size, qreal ratio = ScreenPixelRatio());
