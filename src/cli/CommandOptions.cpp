#include "cli/CommandOptions.h"

#include "settings/core/AppInfo.h"
#include "tree/TQelPigger.h"
#include "tree/TreeFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <charconv>

std::optional<int> NumberIn(const std::string& text, int low, int high) {
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size() || value < low ||
        value > high)
        return std::nullopt;
    return value;
}

bool ParseProxy(const std::string& value, ProxyValues& proxy) {
    const size_t colon = value.rfind(':');
    proxy.use = true;
    proxy.host = value.substr(0, colon);
    proxy.port = 0;
    if (colon != std::string::npos) {
        const std::optional<int> port = NumberIn(value.substr(colon + 1), 1, 65535);
        if (!port)
            return false;
        proxy.port = *port;
    }
    return !proxy.host.empty();
}

std::string ProgramSettingsFile() {
    const QString beside =
        QFileInfo(QCoreApplication::applicationFilePath()).absoluteDir().filePath("quarrylog.set");
    return QFile::encodeName(UserFilePath(beside, UserFileKind::Config)).toStdString();
}

bool ReadSettings(const std::string& given, TQelPigger& root, std::string& fileName,
                  std::string& error) {
    fileName = given.empty() ? ProgramSettingsFile() : given;
    if (given.empty() && !QFileInfo::exists(QFile::decodeName(fileName.c_str())))
        return true;
    try {
        LoadTreeFile(root, fileName);
        return true;
    } catch (const EQelPiggerError& e) {
        error = DescribeReadError(e, fileName);
    } catch (const std::exception& e) {
        error = e.what();
    }
    return false;
}
