#include "report/RecoveryWriter.h"

#include "report/RecoveryCopy.h"
#include "tree/FileBoundary.h"

#include <QMetaObject>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>

struct RecoveryWriter::Job {
    std::mutex mutex;
    std::condition_variable wake;
    std::deque<std::string> pieces;
    // Bytes in pieces and in the piece being written.
    std::size_t queued = 0;
    // All pieces were given.
    bool finished = false;
    // Given up: the rename, which happens under mutex, no longer may.
    bool cancelled = false;
    // The thread has written (or failed): pieces are no longer taken.
    bool over = false;
    std::atomic<bool> exited{false};
};

RecoveryWriter::RecoveryWriter(Done done)
    : done_(std::move(done)), receiver_(std::make_unique<QObject>()) {}

RecoveryWriter::~RecoveryWriter() {
    Cancel();
    for (Worker& w : workers_)
        w.thread.join();
}

void RecoveryWriter::write(const std::shared_ptr<Job>& job, const std::string& fileName,
                           const std::function<void(bool, const std::string&)>& report) {
    const FileProducer pullPieces = [&job](const FileSink& sink) {
        for (;;) {
            std::string piece;
            {
                std::unique_lock lock(job->mutex);
                job->wake.wait(
                    lock, [&] { return job->cancelled || job->finished || !job->pieces.empty(); });
                if (job->cancelled)
                    return false;
                if (job->pieces.empty())
                    return true;
                piece = std::move(job->pieces.front());
                job->pieces.pop_front();
            }
            const bool written = sink(piece);
            {
                const std::lock_guard lock(job->mutex);
                job->queued -= piece.size();
            }
            if (!written)
                return false;
        }
    };
    // Cancel holds the same lock: after it, no rename of this copy can happen.
    const FileReplace unlessCancelled = [&job](const std::function<bool()>& rename) {
        const std::lock_guard lock(job->mutex);
        return !job->cancelled && rename();
    };
    std::string error;
    const bool written = WriteFileAtomically(RecoveryFileName(fileName), pullPieces,
                                             FilePermissions::OwnerOnly, &error, unlessCancelled);
    {
        const std::lock_guard lock(job->mutex);
        job->over = true;
        job->pieces.clear();
        job->queued = 0;
        if (!job->cancelled)
            report(written, error);
    }
    job->exited = true;
}

void RecoveryWriter::Begin(const std::string& reportFileName) {
    Cancel();
    reap();
    auto job = std::make_shared<Job>();
    job_ = job;
    QObject* receiver = receiver_.get();
    // Posted while the job's lock is held and it is not cancelled: the destructor cancels
    // before the receiver goes, so the receiver is always there to take it.
    const auto report = [this, receiver, job](bool written, const std::string& error) {
        QMetaObject::invokeMethod(
            receiver,
            [this, job, written, error] {
                if (job_ != job)
                    return;
                job_.reset();
                if (done_)
                    done_(written, error);
            },
            Qt::QueuedConnection);
    };
    workers_.push_back(
        {job, std::thread([job, reportFileName, report] { write(job, reportFileName, report); })});
}

void RecoveryWriter::Add(std::string piece) {
    if (!job_ || piece.empty())
        return;
    {
        const std::lock_guard lock(job_->mutex);
        if (job_->over || job_->cancelled || job_->finished)
            return;
        job_->queued += piece.size();
        job_->pieces.push_back(std::move(piece));
    }
    job_->wake.notify_one();
}

void RecoveryWriter::Finish() {
    if (!job_)
        return;
    {
        const std::lock_guard lock(job_->mutex);
        job_->finished = true;
    }
    job_->wake.notify_one();
}

void RecoveryWriter::Cancel() {
    if (!job_)
        return;
    {
        const std::lock_guard lock(job_->mutex);
        job_->cancelled = true;
        job_->pieces.clear();
    }
    job_->wake.notify_one();
    job_.reset();
}

std::size_t RecoveryWriter::QueuedBytes() const {
    if (!job_)
        return 0;
    const std::lock_guard lock(job_->mutex);
    return job_->queued;
}

bool RecoveryWriter::Idle() {
    reap();
    return workers_.empty();
}

void RecoveryWriter::reap() {
    for (auto w = workers_.begin(); w != workers_.end();) {
        if (w->job->exited) {
            w->thread.join();
            w = workers_.erase(w);
        } else {
            ++w;
        }
    }
}
