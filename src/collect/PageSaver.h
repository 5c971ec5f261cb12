// One capture of one web page: the page as MHTML (and, when asked, as PDF) in a captures folder
// under the folder's next number, with bounded waits. A capture ends saved or with the sentence
// that says why not (CaptureFailureText): a page that does not finish loading in time, a
// download instead of a page, a page over the size limit, a refused certificate, a renderer that
// stopped. The caller then records the attempt with RecordCapture.
#pragma once

#include "capture/CaptureBatch.h"
#include "capture/CaptureStore.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <QUrl>

#include <string>

class QWebEngineDownloadRequest;
class QWebEnginePage;

struct PageSaveOptions {
    CaptureLimits limits;
    // A PDF beside the MHTML file.
    bool pdf = false;
};

class PageSaver : public QObject {
    Q_OBJECT
public:
    PageSaver(QWebEnginePage* page, std::string folder, PageSaveOptions options,
              QObject* parent = nullptr);
    ~PageSaver() override;

    // Loads url into the page, waits until it has loaded (limits.loadTimeoutMs at most), then
    // saves it.
    void LoadAndSave(const QUrl& url);
    // Saves what the page shows now.
    void SaveShown();
    // Gives the capture up: files begun are removed, Finished is not sent.
    void Abort();

    bool Ended() const { return phase_ == Phase::Ended; }
    const CaptureAttempt& Attempt() const { return attempt_; }
    // Why the PDF was not saved although asked for (the MHTML file is kept); empty otherwise.
    const std::string& PdfProblem() const { return pdfProblem_; }

signals:
    // Once, when the capture has ended, saved or not.
    void Finished(const CaptureAttempt& attempt);

private:
    enum class Phase { Idle, Loading, SavingPage, SavingPdf, Ended };

    bool begin(const QUrl& asked);
    void loadEnded(bool ok, int domain, int code, const QString& reason);
    void saveNow();
    void downloadRequested(QWebEngineDownloadRequest* download);
    void pageDownloadEnded();
    void pdfEnded(const QString& file, bool ok);
    void timedOut();
    void fail(CaptureFailure kind, const std::string& detail = {});
    void succeed();
    void removeFiles();
    std::string path(const std::string& name) const;

    QPointer<QWebEnginePage> page_;
    std::string folder_;
    PageSaveOptions options_;
    Phase phase_ = Phase::Idle;
    CaptureAttempt attempt_;
    std::string pdfProblem_;
    QString pagePath_, pdfPath_;
    QPointer<QWebEngineDownloadRequest> save_;
    // The page's own download seen while loading (the load then ends without a page).
    bool gaveDownload_ = false;
    // The load was aborted once: a download request may still come.
    bool abortSeen_ = false;
    static constexpr int kDownloadGraceMs = 1500;
    QTimer timer_;
    QList<QMetaObject::Connection> connections_;
};
