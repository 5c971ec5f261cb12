#include "tree/KeepAside.h"

#include "tree/LocalText.h"

#include <QFile>
#include <QFileInfo>

std::string KeepAside(const std::string& fileName, std::string_view suffix) {
    const QString file = ToQPath(fileName);
    const QString first = file + ToQ(suffix);
    QString target = first;
    for (int n = 2; QFileInfo::exists(target); ++n)
        target = first + "." + QString::number(n);
    if (QFile::rename(file, target) || QFile::copy(file, target))
        return FromQPath(target);
    return {};
}
