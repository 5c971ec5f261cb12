// The decorative pictures of the new report wizard's pages, drawn at any size. size is in
// logical pixels; ratio is the screen's device pixel ratio, so that the picture is drawn with
// every physical pixel of a high-density screen and shows at the same logical size.
#pragma once

#include <QPixmap>

// The report's logo (the first page).
QPixmap ReportPicture(int size, qreal ratio = 1.0);
// A folder with a report file going into it (the file page).
QPixmap ReportFilePicture(int size, qreal ratio = 1.0);
// A report ready to go, with a tick (the last page).
QPixmap ReadyPicture(int size, qreal ratio = 1.0);
