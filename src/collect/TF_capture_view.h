// A window that shows a saved capture of a page (its MIME HTML file) read-only: no scripts run,
// no link leads anywhere, and a banner on top says what it is: "Capture of ADDRESS, saved TIME
// (UTC)", its SHA-256 and, when the file no longer has that hash, "This file was changed after
// it was saved." in red.
#pragma once

#include <QDateTime>
#include <QWidget>

class QLabel;
class QWebEngineProfile;
class QWebEngineView;

class TF_capture_view : public QWidget {
    Q_OBJECT
public:
    // fileName: the capture's file; address: the record's address; when: the time of saving;
    // sha256: the hash the manifest wrote down. The window deletes itself when closed.
    TF_capture_view(const QString& fileName, const QString& address, const QDateTime& when,
                    const QString& sha256, QWidget* parent = nullptr);
    ~TF_capture_view() override;

    // The file's hash is not the one written down (or the file cannot be read).
    bool Changed() const { return changed_; }
    QString FileName() const { return fileName_; }

    QLabel* L_banner;
    QLabel* L_hash;
    QLabel* L_changed;
    QWebEngineView* WV_page;

private:
    QString fileName_;
    bool changed_ = false;
    // Its own profile, kept in memory only: nothing of the page reaches the browser's cookies or
    // cache.
    QWebEngineProfile* profile_;
};
