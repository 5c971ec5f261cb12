#include "collect/PageSaver.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QWebEngineCertificateError>
#include <QWebEngineDownloadRequest>
#include <QWebEngineLoadingInfo>
#include <QWebEnginePage>
#include <QWebEngineProfile>

namespace {

QString Q(const std::string& name) {
    return QFile::decodeName(name.c_str());
}

std::string Text(const QUrl& url) {
    return url.toString(QUrl::FullyEncoded).toStdString();
}

} // namespace

PageSaver::PageSaver(QWebEnginePage* page, std::string folder, PageSaveOptions options,
                     QObject* parent)
    : QObject(parent), page_(page), folder_(std::move(folder)), options_(options) {
    timer_.setSingleShot(true);
    connect(&timer_, &QTimer::timeout, this, &PageSaver::timedOut);
}

PageSaver::~PageSaver() {
    if (phase_ != Phase::Idle && phase_ != Phase::Ended)
        Abort();
}

std::string PageSaver::path(const std::string& name) const {
    return folder_.empty() || folder_.back() == '/' ? folder_ + name : folder_ + "/" + name;
}

bool PageSaver::begin(const QUrl& asked) {
    attempt_ = CaptureAttempt{};
    attempt_.askedUrl = Text(asked);
    // A capture that cannot begin ends once the caller has returned, as any other does (a run
    // over a folder that cannot be written must not nest one failure in the next).
    const auto failLater = [this](CaptureFailure kind, const std::string& detail) {
        phase_ = Phase::Loading;
        QTimer::singleShot(0, this, [this, kind, detail] { fail(kind, detail); });
    };
    if (!page_) {
        failLater(CaptureFailure::LoadFailed, "the browser page is gone");
        return false;
    }
    std::string error;
    const std::optional<long long> number = TakeCaptureNumber(folder_, &error);
    if (!number) {
        failLater(CaptureFailure::SaveFailed, error);
        return false;
    }
    attempt_.number = *number;
    pagePath_ = Q(path(CaptureFileName(*number, "mhtml")));
    pdfPath_ = Q(path(CaptureFileName(*number, "pdf")));

    QWebEnginePage* page = page_;
    connections_ << connect(page->profile(), &QWebEngineProfile::downloadRequested, this,
                            &PageSaver::downloadRequested);
    connections_ << connect(page, &QWebEnginePage::renderProcessTerminated, this,
                            [this] { fail(CaptureFailure::RendererStopped); });
    connections_ << connect(page, &QWebEnginePage::certificateError, this,
                            [this](const QWebEngineCertificateError& certificate) {
                                // Refused, as the browser does unasked; the capture ends here.
                                auto refused = certificate;
                                refused.rejectCertificate();
                                if (phase_ == Phase::Loading)
                                    fail(CaptureFailure::Certificate);
                            });
    connections_ << connect(page, &QWebEnginePage::pdfPrintingFinished, this, &PageSaver::pdfEnded);
    return true;
}

void PageSaver::LoadAndSave(const QUrl& url) {
    if (!begin(url))
        return;
    phase_ = Phase::Loading;
    connections_ << connect(
        page_, &QWebEnginePage::loadingChanged, this, [this](const QWebEngineLoadingInfo& info) {
            if (info.status() == QWebEngineLoadingInfo::LoadStartedStatus)
                return;
            loadEnded(info.status() == QWebEngineLoadingInfo::LoadSucceededStatus,
                      info.errorDomain(), info.errorCode(), info.errorString());
        });
    timer_.start(options_.limits.loadTimeoutMs);
    page_->load(url);
}

void PageSaver::SaveShown() {
    if (!begin(page_ ? page_->url() : QUrl()))
        return;
    saveNow();
}

void PageSaver::loadEnded(bool ok, int domain, int code, const QString& reason) {
    if (phase_ != Phase::Loading)
        return;
    if (gaveDownload_)
        return fail(CaptureFailure::Download);
    if (ok)
        return saveNow();
    if (domain == QWebEngineLoadingInfo::CertificateErrorDomain)
        return fail(CaptureFailure::Certificate);
    // A reply that is a file to download aborts the page's load, and the download request may
    // come only after that: it is waited for a moment before the load counts as failed.
    constexpr int kAborted = -3;
    if (code == kAborted && !abortSeen_) {
        abortSeen_ = true;
        QTimer::singleShot(kDownloadGraceMs, this, [this, domain, code, reason] {
            loadEnded(false, domain, code, reason);
        });
        return;
    }
    fail(CaptureFailure::LoadFailed, reason.toStdString());
}

void PageSaver::saveNow() {
    phase_ = Phase::SavingPage;
    attempt_.finalUrl = Text(page_->url());
    attempt_.title = page_->title().toStdString();
    timer_.start(options_.limits.loadTimeoutMs);
    page_->save(pagePath_, QWebEngineDownloadRequest::MimeHtmlSaveFormat);
}

void PageSaver::downloadRequested(QWebEngineDownloadRequest* download) {
    if (!page_ || download->page() != page_)
        return;
    if (!download->isSavePageDownload()) {
        // The address gave a file: it is never written.
        if (phase_ == Phase::Loading) {
            gaveDownload_ = true;
            download->cancel();
            fail(CaptureFailure::Download);
        }
        return;
    }
    const QString target =
        QDir(download->downloadDirectory()).filePath(download->downloadFileName());
    if (phase_ != Phase::SavingPage || save_ || QFileInfo(target) != QFileInfo(pagePath_))
        return;
    save_ = download;
    connect(download, &QWebEngineDownloadRequest::isFinishedChanged, this,
            &PageSaver::pageDownloadEnded);
    if (download->isFinished())
        pageDownloadEnded();
}

void PageSaver::pageDownloadEnded() {
    if (phase_ != Phase::SavingPage || !save_ || !save_->isFinished())
        return;
    if (save_->state() != QWebEngineDownloadRequest::DownloadCompleted) {
        const QString why = save_->interruptReasonString();
        return fail(CaptureFailure::SaveFailed,
                    why.isEmpty() ? "it was cancelled" : why.toStdString());
    }
    const QFileInfo written(pagePath_);
    if (!written.exists())
        return fail(CaptureFailure::SaveFailed, "no file was written");
    if (written.size() > options_.limits.maxBytes)
        return fail(CaptureFailure::TooLarge);
    attempt_.saved = true;
    attempt_.pageFile = QFileInfo(pagePath_).fileName().toStdString();
    if (!options_.pdf || !page_)
        return succeed();
    phase_ = Phase::SavingPdf;
    timer_.start(options_.limits.loadTimeoutMs);
    page_->printToPdf(pdfPath_);
}

void PageSaver::pdfEnded(const QString& file, bool ok) {
    if (phase_ != Phase::SavingPdf || QFileInfo(file) != QFileInfo(pdfPath_))
        return;
    if (ok && QFileInfo(pdfPath_).size() <= options_.limits.maxBytes) {
        attempt_.pdfFile = QFileInfo(pdfPath_).fileName().toStdString();
    } else {
        pdfProblem_ =
            ok ? "The PDF of the page is too large." : "The PDF of the page was not written.";
        QFile::remove(pdfPath_);
    }
    succeed();
}

void PageSaver::timedOut() {
    switch (phase_) {
    case Phase::Loading:
        if (page_)
            page_->triggerAction(QWebEnginePage::Stop);
        return fail(CaptureFailure::Timeout);
    case Phase::SavingPage:
        if (save_)
            save_->cancel();
        return fail(CaptureFailure::SaveFailed,
                    "it took longer than " + std::to_string(options_.limits.loadTimeoutMs / 1000) +
                        " s");
    case Phase::SavingPdf:
        pdfProblem_ = "The PDF of the page was not written in time.";
        QFile::remove(pdfPath_);
        return succeed();
    case Phase::Idle:
    case Phase::Ended:
        return;
    }
}

void PageSaver::fail(CaptureFailure kind, const std::string& detail) {
    if (phase_ == Phase::Ended || phase_ == Phase::Idle)
        return;
    // A renderer that stops after the page file was written leaves the capture saved.
    if (phase_ == Phase::SavingPdf) {
        pdfProblem_ = CaptureFailureText(kind, options_.limits, detail);
        QFile::remove(pdfPath_);
        return succeed();
    }
    attempt_.saved = false;
    attempt_.pageFile.clear();
    attempt_.pdfFile.clear();
    attempt_.failure = CaptureFailureText(kind, options_.limits, detail);
    removeFiles();
    phase_ = Phase::Ended;
    timer_.stop();
    for (const auto& c : connections_)
        disconnect(c);
    connections_.clear();
    emit Finished(attempt_);
}

void PageSaver::succeed() {
    if (phase_ == Phase::Ended)
        return;
    phase_ = Phase::Ended;
    timer_.stop();
    for (const auto& c : connections_)
        disconnect(c);
    connections_.clear();
    emit Finished(attempt_);
}

void PageSaver::Abort() {
    if (phase_ == Phase::Ended)
        return;
    if (phase_ == Phase::Loading && page_)
        page_->triggerAction(QWebEnginePage::Stop);
    if (save_ && !save_->isFinished())
        save_->cancel();
    phase_ = Phase::Ended;
    timer_.stop();
    for (const auto& c : connections_)
        disconnect(c);
    connections_.clear();
    removeFiles();
}

void PageSaver::removeFiles() {
    if (!pagePath_.isEmpty())
        QFile::remove(pagePath_);
    if (!pdfPath_.isEmpty())
        QFile::remove(pdfPath_);
}
