#include "settings/core/AppInfo.h"
#include "tree/LocalText.h"

#include "tree/TQelPigger.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

const char* const AppInfo::Version = QRL_VERSION_TEXT;

QString UserFilePath(const QString& besideExecutable, UserFileKind kind) {
    const QFileInfo info(besideExecutable);
    const QFileInfo dir(info.absolutePath());
    if (dir.isDir() && dir.isWritable())
        return info.absoluteFilePath();
    QString base =
        qEnvironmentVariable(kind == UserFileKind::Config ? "XDG_CONFIG_HOME" : "XDG_DATA_HOME");
    if (base.isEmpty())
        base = QDir::homePath() + (kind == UserFileKind::Config ? "/.config" : "/.local/share");
    const QString folder = base + "/quarrylog";
    QDir().mkpath(folder);
    return folder + "/" + info.fileName();
}

namespace {
QString executableWithExt(const char* ext) {
    const std::string exe =
        QFile::encodeName(QCoreApplication::applicationFilePath()).toStdString();
    return QFile::decodeName(ChangeFileExt(exe, ext).c_str());
}
} // namespace

QString DefaultSettingsFilePath() {
    return UserFilePath(executableWithExt(".set"), UserFileKind::Config);
}

QString DefaultReportFilePath() {
    return UserFilePath(executableWithExt(".qrl"), UserFileKind::Data);
}

namespace {
std::string settingOr(const TQelPigger& root, const char* key, const char* fallback) {
    const std::string value(TrimBlanks(root.GetAttr(key)));
    return value.empty() ? std::string(fallback) : value;
}
} // namespace

std::string HomeSearchPage(const TQelPigger& settingsRoot) {
    return settingOr(settingsRoot, AppInfo::HomeSearchPageKey, AppInfo::DefaultHomeSearchPage);
}

std::string FeedHost(const TQelPigger& settingsRoot) {
    return settingOr(settingsRoot, AppInfo::FeedHostKey, AppInfo::DefaultFeedHost);
}

std::string WithoutScheme(const std::string& address) {
    const size_t sep = address.find("://");
    return sep == std::string::npos ? address : address.substr(sep + 3);
}
