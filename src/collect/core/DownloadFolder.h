// Where the dialog for a file the browser was sent starts, without a display.
#pragma once

#include <QString>

// The folder the last download was saved in while it is a folder; else the user's download
// folder (XDG_DOWNLOAD_DIR, "~/Downloads" by default) while it is one; else the home folder.
QString DownloadStartFolder(const QString& lastUsed, const QString& downloads, const QString& home);
