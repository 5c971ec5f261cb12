#include "collect/BrowserProfile.h"

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

// Asks where to save a file the browser was sent; Cancel refuses the download.
void offerDownload(QWebEngineDownloadRequest* download) {
    QWidget* parent = nullptr;
    if (QWebEngineView* view = QWebEngineView::forPage(download->page()))
        parent = view->window();
    QFileDialog dialog(parent, "Save download");
    dialog.setObjectName("SaveDownloadDialog");
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDirectory(download->downloadDirectory());
    dialog.selectFile(download->downloadFileName());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        download->cancel();
        return;
    }
    const QFileInfo target(dialog.selectedFiles().constFirst());
    download->setDownloadDirectory(target.absolutePath());
    download->setDownloadFileName(target.fileName());
    download->accept();
}

} // namespace

QString BrowserDataFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           "/quarrylog/browser";
}

QString BrowserCacheFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) +
           "/quarrylog/browser";
}

QWebEngineProfile* BrowserProfile() {
    static QPointer<QWebEngineProfile> profile;
    if (profile)
        return profile;
    profile = new QWebEngineProfile("quarrylog", qApp);
    profile->setPersistentStoragePath(BrowserDataFolder());
    profile->setCachePath(BrowserCacheFolder());
    profile->setHttpCacheType(QWebEngineProfile::DiskHttpCache);
    profile->setPersistentCookiesPolicy(QWebEngineProfile::AllowPersistentCookies);
    const QString downloads = QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
    profile->setDownloadPath(downloads.isEmpty() ? QDir::homePath() : downloads);
    QObject::connect(profile, &QWebEngineProfile::downloadRequested, profile, offerDownload);
    return profile;
}
