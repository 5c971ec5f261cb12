#include "settings/core/HelpFolder.h"

#include "settings/core/AppInfo.h"

#include <QDir>
#include <QFileInfo>

// QRL_INSTALLED_DOCS: the installed help folder relative to the installed executable's
// folder, given by the build ("../share/quarrylog/docs").

bool HasHelpPages(const QString& folder) {
    const QDir dir(folder);
    return dir.exists() &&
           !dir.entryList(QStringList{"*.html"}, QDir::Files | QDir::Readable).isEmpty();
}

QString FindHelpFolder(const QString& startDir, const QString& appDir) {
    const QDir start(startDir);
    const QString beside = QDir::cleanPath(start.absoluteFilePath(AppInfo::DocsFolder));
    const QString candidates[] = {
        beside,
        QDir::cleanPath(QDir(appDir).absoluteFilePath(QRL_INSTALLED_DOCS)),
        QDir::cleanPath(QDir(appDir).absoluteFilePath(AppInfo::DocsFolder)),
    };
    for (const QString& folder : candidates)
        if (HasHelpPages(folder))
            return QDir(folder).canonicalPath();
    if (QFileInfo(beside).isDir())
        return QDir(beside).canonicalPath();
    return start.absolutePath();
}

QString HelpPagePath(const QString& folder, const QString& topic) {
    return folder + "/" + topic.trimmed() + ".html";
}
