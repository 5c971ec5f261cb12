// Decorative pictures of the collection dialogs, drawn at any size.
#pragma once

#include <QPixmap>

// A web page with a magnifying glass over it.
QPixmap FoundPagePicture(int size);
// A small globe.
QPixmap GlobeIcon(int size);
