// The decorative pictures of the new report wizard's pages, drawn at any size.
#pragma once

#include <QPixmap>

// The report's logo (the first page).
QPixmap ReportPicture(int size);
// A folder with a report file going into it (the file page).
QPixmap ReportFilePicture(int size);
// A report ready to go, with a tick (the last page).
QPixmap ReadyPicture(int size);
