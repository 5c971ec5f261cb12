#include "search/SearchRun.h"

#include "search/SearchMessages.h"

#include <QEventLoop>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

// A transfer shared by the run and the worker thread that performs it. The worker hands the
// result back through a queued call to the run, unless the run has let go of it.
struct SearchRun::Job {
    explicit Job(FeedRequest request, int timeoutMs, std::size_t maxBytes)
        : transfer(std::move(request), timeoutMs, maxBytes) {}

    // Waits up to ms for the worker to finish; true when it did.
    bool WaitDone(int ms) {
        std::unique_lock lock(mutex);
        return cv.wait_for(lock, std::chrono::milliseconds(ms), [this] { return done; });
    }
    // The run no longer wants the result.
    void Release() {
        std::lock_guard lock(mutex);
        owner = nullptr;
    }

    FeedTransfer transfer;
    std::mutex mutex;
    std::condition_variable cv;
    SearchRun* owner = nullptr;
    bool done = false;
    TransferResult result;
};

namespace {
// How long Stop and the destructor wait for an aborted transfer to wind down; an abort
// normally takes a millisecond.
constexpr int AbortWaitMs = 2000;
} // namespace

SearchRun::SearchRun(Hooks hooks, QObject* parent) : QObject(parent), hooks_(std::move(hooks)) {}

SearchRun::~SearchRun() {
    if (job_) {
        job_->Release();
        job_->transfer.Abort();
        job_->WaitDone(AbortWaitMs);
    }
}

void SearchRun::Start(const std::vector<std::string>& keywords) {
    if (running_)
        return;
    running_ = true;
    NewCount = 0;
    Failed = false;
    Reply.MaxTextBytes = MaxReplyBytes;
    keywords_ = keywords;
    next_ = 0;
    if (keywords_.empty()) {
        if (hooks_.noKeywords)
            hooks_.noKeywords();
        finishRun();
        return;
    }
    hooks_.log(SearchMessages::RequestSending);
    nextKeyword();
}

void SearchRun::nextKeyword() {
    if (!running_)
        return;
    if (Failed || next_ >= keywords_.size()) {
        hooks_.log(SearchMessages::Finished);
        finishRun();
        return;
    }
    const std::string& keyword = keywords_[next_++];
    const ProxyValues proxy = hooks_.proxy ? hooks_.proxy() : ProxyValues{};
    auto job = std::make_shared<Job>(
        ComposeFeedRequest(ParseFeedHost(FeedHostText), keyword, proxy), TimeoutMs, MaxReplyBytes);
    job->owner = this;
    job_ = job;
    std::thread([job] {
        TransferResult result = job->transfer.Perform();
        std::lock_guard lock(job->mutex);
        job->result = std::move(result);
        job->done = true;
        job->cv.notify_all();
        if (SearchRun* owner = job->owner)
            QMetaObject::invokeMethod(
                owner, [owner, job] { owner->transferDone(job); }, Qt::QueuedConnection);
    }).detach();
}

void SearchRun::transferDone(const std::shared_ptr<Job>& job) {
    if (job != job_)
        return; // stopped before its result came
    job_.reset();
    TransferResult result;
    {
        std::lock_guard lock(job->mutex);
        result = std::move(job->result);
    }
    if (!result.ReplyReceived()) {
        requestFailed(result);
        nextKeyword();
        return;
    }
    hooks_.log(SearchMessages::ResponceRetrieving);
    Reply.Load(result.body);
    result.body = std::string();
    if (Reply.ParseReply(hooks_.log))
        NewCount += Reply.HarvestListings(hooks_.addListing);
    nextKeyword();
}

void SearchRun::requestFailed(const TransferResult& result) {
    Failed = true;
    if (hooks_.failure)
        hooks_.failure(result);
    if (result.outcome == TransferResult::TooLarge)
        hooks_.log(SearchMessages::ReplyTooLarge);
    hooks_.log(SearchMessages::CantSend);
}

void SearchRun::Stop() {
    if (!job_)
        return;
    const std::shared_ptr<Job> job = std::move(job_);
    job->Release();
    job->transfer.Abort();
    job->WaitDone(AbortWaitMs);
    TransferResult aborted;
    aborted.outcome = TransferResult::Aborted;
    aborted.error = "The request was aborted.";
    requestFailed(aborted);
    nextKeyword();
}

void SearchRun::WaitForEnd() {
    if (!running_)
        return;
    QEventLoop loop;
    connect(this, &SearchRun::finished, &loop, &QEventLoop::quit);
    if (running_)
        loop.exec();
}

void SearchRun::finishRun() {
    hooks_.log(SearchMessages::NewUrlsAdded + std::to_string(NewCount));
    running_ = false;
    emit finished();
}
