#include "tree/LocalText.h"

#include <QByteArray>
#include <QFile>

QString ToQ(std::string_view s) {
    return QString::fromLocal8Bit(s.data(), static_cast<qsizetype>(s.size()));
}

std::string FromQ(const QString& s) {
    const QByteArray bytes = s.toLocal8Bit();
    return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}

QString ToQPath(const std::string& fileName) {
    return QFile::decodeName(fileName.c_str());
}

std::string FromQPath(const QString& fileName) {
    const QByteArray bytes = QFile::encodeName(fileName);
    return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}

std::string ChangeFileExt(const std::string& fileName, const std::string& ext) {
    const size_t slash = fileName.find_last_of('/');
    const size_t dot = fileName.find_last_of('.');
    const bool hasExt = dot != std::string::npos && (slash == std::string::npos || dot > slash);
    return (hasExt ? fileName.substr(0, dot) : fileName) + ext;
}
