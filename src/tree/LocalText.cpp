#include "tree/LocalText.h"

#include <QByteArray>

QString ToQ(const std::string& s) {
    return QString::fromLocal8Bit(s.data(), static_cast<qsizetype>(s.size()));
}

std::string FromQ(const QString& s) {
    const QByteArray bytes = s.toLocal8Bit();
    return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}
