// Catches what the program hands to the default browser or file viewer, so that no real
// program starts during a test.
#pragma once

#include <QDesktopServices>
#include <QObject>
#include <QUrl>

#include <vector>

class UrlCatcher : public QObject {
    Q_OBJECT
public:
    UrlCatcher() {
        for (const char* scheme : {"http", "https", "ftp", "file"})
            QDesktopServices::setUrlHandler(scheme, this, "open");
    }
    ~UrlCatcher() override {
        for (const char* scheme : {"http", "https", "ftp", "file"})
            QDesktopServices::unsetUrlHandler(scheme);
    }
    std::vector<QUrl> opened;

public slots:
    void open(const QUrl& url) { opened.push_back(url); }
};
