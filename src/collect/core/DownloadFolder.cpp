#include "collect/core/DownloadFolder.h"

#include <QFileInfo>

QString DownloadStartFolder(const QString& lastUsed, const QString& downloads,
                            const QString& home) {
    for (const QString& folder : {lastUsed, downloads})
        if (!folder.isEmpty() && QFileInfo(folder).isDir())
            return folder;
    return home;
}
