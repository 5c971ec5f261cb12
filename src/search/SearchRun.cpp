#include "search/SearchRun.h"

#include "search/SearchMessages.h"

#include <QEventLoop>

#include <atomic>
#include <utility>

namespace {
std::atomic<int> LiveThreads{0};
} // namespace

// A transfer and its result, which the thread writes before it hands the job back.
struct SearchRun::Job {
    Job(FeedRequest request, int timeoutMs, std::size_t maxBytes)
        : transfer(std::move(request), timeoutMs, maxBytes) {}
    FeedTransfer transfer;
    TransferResult result;
};

SearchRun::SearchRun(Hooks hooks, QObject* parent) : QObject(parent), hooks_(std::move(hooks)) {}

SearchRun::~SearchRun() {
    if (job_)
        job_->transfer.Abort();
    // A result that the thread posts meanwhile is dropped with this object.
    endTransfer();
}

int SearchRun::LiveTransferThreads() {
    return LiveThreads.load();
}

std::string ProgressLine(const RunProgress& progress) {
    const std::string of = std::to_string(progress.count);
    if (!progress.running)
        return progress.count > 0
                   ? "Searched " + std::to_string(progress.done) + " of " + of + " keywords."
                   : std::string();
    if (progress.keyword <= 0)
        return {};
    std::string line =
        "Keyword " + std::to_string(progress.keyword) + " of " + of + ": " + progress.word;
    if (progress.waitedMs >= 1000)
        line += ", waiting for a reply: " + std::to_string(progress.waitedMs / 1000) + " s";
    return line;
}

RunProgress SearchRun::Progress() const {
    RunProgress p;
    p.running = running_;
    p.count = static_cast<int>(keywords_.size());
    p.done = static_cast<int>(done_);
    if (running_ && next_ > 0) {
        p.keyword = static_cast<int>(next_);
        p.word = keywords_[next_ - 1];
    }
    if (job_)
        p.waitedMs = sent_.elapsed();
    return p;
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
    done_ = 0;
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
    job_ = std::make_unique<Job>(ComposeFeedRequest(ParseFeedHost(FeedHostText), keyword, proxy),
                                 TimeoutMs, MaxReplyBytes);
    const unsigned long long id = ++jobId_;
    ++LiveThreads;
    sent_.start();
    worker_ = std::thread([this, job = job_.get(), id] {
        job->result = job->transfer.Perform();
        // Delivered by this object's event loop; a job stopped meanwhile has another number.
        QMetaObject::invokeMethod(
            this, [this, id] { transferDone(id); }, Qt::QueuedConnection);
        --LiveThreads;
    });
    emit progressChanged();
}

void SearchRun::endTransfer() {
    if (worker_.joinable())
        worker_.join();
    job_.reset();
}

void SearchRun::transferDone(unsigned long long jobId) {
    if (!job_ || jobId != jobId_)
        return; // stopped before its result came
    TransferResult result = std::move(job_->result);
    // The thread has posted its last word: joining it takes no time.
    endTransfer();
    ++done_;
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
    // The transfer ends within milliseconds of the abort, whatever it was waiting for.
    job_->transfer.Abort();
    endTransfer();
    ++done_;
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
    emit progressChanged();
    emit finished();
}
