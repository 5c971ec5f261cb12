#include "collect/BrowserProfile.h"

#include "collect/core/DownloadFolder.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QPointer>
#include <QStandardPaths>
#include <QWebEngineDownloadRequest>
#include <QWebEngineProfile>
#include <QWebEngineView>

namespace {

// The folder the last download was saved in, in this run of the program.
QString& lastDownloadFolder() {
    static QString folder;
    return folder;
}

// Asks where to save a file the browser was sent; Cancel refuses the download.
void offerDownload(QWebEngineDownloadRequest* download) {
    // A page saved as a capture is written where its capture asked, unasked.
    if (download->isSavePageDownload())
        return;
    QWidget* parent = nullptr;
    if (QWebEngineView* view = QWebEngineView::forPage(download->page()))
        parent = view->window();
    QFileDialog dialog(parent, "Save download");
    dialog.setObjectName("SaveDownloadDialog");
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDirectory(DownloadStartFolder(
        lastDownloadFolder(), QStandardPaths::writableLocation(QStandardPaths::DownloadLocation),
        QDir::homePath()));
    dialog.selectFile(download->downloadFileName());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        download->cancel();
        return;
    }
    const QFileInfo target(dialog.selectedFiles().constFirst());
    lastDownloadFolder() = target.absolutePath();
    download->setDownloadDirectory(target.absolutePath());
    download->setDownloadFileName(target.fileName());
    download->accept();
}

} // namespace

namespace {
// The engine keeps a named profile in "QtWebEngine/<name>" under the application's own data and
// cache folders, and creates it there as soon as the profile exists.
const char* const ProfileName = "browser";

QString profileFolder(QStandardPaths::StandardLocation location) {
    return QStandardPaths::writableLocation(location) + "/QtWebEngine/" + ProfileName;
}
} // namespace

QString BrowserDataFolder() {
    return profileFolder(QStandardPaths::AppDataLocation);
}

QString BrowserCacheFolder() {
    return profileFolder(QStandardPaths::CacheLocation);
}

QWebEngineProfile* BrowserProfile() {
    static QPointer<QWebEngineProfile> profile;
    if (profile)
        return profile;
    profile = new QWebEngineProfile(ProfileName, qApp);
    profile->setPersistentStoragePath(BrowserDataFolder());
    profile->setCachePath(BrowserCacheFolder());
    profile->setHttpCacheType(QWebEngineProfile::DiskHttpCache);
    profile->setPersistentCookiesPolicy(QWebEngineProfile::AllowPersistentCookies);
    const QString downloads = QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
    profile->setDownloadPath(downloads.isEmpty() ? QDir::homePath() : downloads);
    QObject::connect(profile, &QWebEngineProfile::downloadRequested, profile, offerDownload);
    return profile;
}
