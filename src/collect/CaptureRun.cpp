#include "collect/CaptureRun.h"

#include "capture/CaptureStore.h"

#include <QDateTime>
#include <QTimer>
#include <QWebEngineDownloadRequest>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineSettings>

#include <algorithm>

CaptureRun::CaptureRun(std::string folder, std::vector<CaptureItem> items, PageSaveOptions options,
                       QObject* parent)
    : QObject(parent), folder_(std::move(folder)), items_(std::move(items)), options_(options),
      queue_(items_.size(), options.limits.parallel) {
    // Off the record, and no parent: it must outlive the pages made on it.
    profile_ = new QWebEngineProfile();
    profile_->setHttpCacheType(QWebEngineProfile::MemoryHttpCache);
    profile_->settings()->setAttribute(QWebEngineSettings::PluginsEnabled, false);
    profile_->settings()->setAttribute(QWebEngineSettings::PlaybackRequiresUserGesture, true);
    // A file the address gives is never written (the page's saver tells it as the failure).
    connect(profile_, &QWebEngineProfile::downloadRequested, this,
            [](QWebEngineDownloadRequest* download) {
                if (!download->isSavePageDownload())
                    download->cancel();
            });
}

CaptureRun::~CaptureRun() {
    for (auto& job : jobs_) {
        delete job->saver;
        delete job->page;
    }
    jobs_.clear();
    // No page may outlive its profile.
    for (const QPointer<QObject>& object : dying_)
        delete object.data();
    delete profile_;
}

void CaptureRun::Start() {
    if (started_)
        return;
    started_ = true;
    startMore();
    finishIfDone();
}

void CaptureRun::startMore() {
    while (const std::optional<std::size_t> index = queue_.Next()) {
        auto job = std::make_unique<Job>();
        job->index = *index;
        job->page = new QWebEnginePage(profile_);
        job->saver = new PageSaver(job->page, folder_, options_);
        Job* raw = job.get();
        connect(job->saver, &PageSaver::Finished, this,
                [this, raw](const CaptureAttempt& attempt) { ended(raw, attempt); });
        jobs_.push_back(std::move(job));
        raw->saver->LoadAndSave(QUrl(QString::fromStdString(items_[*index].url)));
    }
}

void CaptureRun::ended(Job* job, const CaptureAttempt& attempt) {
    const CaptureItem& item = items_[job->index];
    std::string error;
    bool saved = attempt.saved;
    if (!RecordCapture(folder_, item.record, attempt, QDateTime::currentDateTimeUtc(), &error)) {
        const QString line = QString::fromStdString(item.url + ": " + error);
        log_ << line;
        emit LogLine(line);
        saved = false;
    } else if (!attempt.saved) {
        const QString line = QString::fromStdString(item.url + ": " + attempt.failure);
        log_ << line;
        emit LogLine(line);
    } else if (item.record) {
        ++recorded_;
    }
    if (saved && !job->saver->PdfProblem().empty()) {
        const QString line = QString::fromStdString(item.url + ": " + job->saver->PdfProblem());
        log_ << line;
        emit LogLine(line);
    }
    queue_.Finish(saved);
    endJob(job);
    emit Progress();
    startMore();
    finishIfDone();
}

void CaptureRun::endJob(Job* job) {
    const auto it = std::find_if(jobs_.begin(), jobs_.end(),
                                 [job](const std::unique_ptr<Job>& j) { return j.get() == job; });
    if (it == jobs_.end())
        return;
    // Called from the saver's own signal: both go once the signal has returned.
    dispose(job);
    jobs_.erase(it);
}

void CaptureRun::dispose(Job* job) {
    for (QObject* object : {static_cast<QObject*>(job->saver), static_cast<QObject*>(job->page)}) {
        dying_ << QPointer<QObject>(object);
        object->deleteLater();
    }
}

void CaptureRun::Stop() {
    if (!started_ || finished_)
        return;
    queue_.Stop();
    for (auto& job : jobs_) {
        job->saver->Abort();
        queue_.Abandon();
        dispose(job.get());
    }
    jobs_.clear();
    finishIfDone();
}

void CaptureRun::finishIfDone() {
    if (finished_ || !queue_.Done())
        return;
    finished_ = true;
    // Sent after the call that ended the batch has returned.
    QTimer::singleShot(0, this, [this] { emit Finished(); });
}
