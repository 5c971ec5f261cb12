#include "search/SourceRun.h"

#include "search/FeedTransfer.h"
#include "search/OpenSearch.h"
#include "search/ResultFormats.h"
#include "search/SearchMessages.h"
#include "search/SourceMessages.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <QUrl>

#include <algorithm>
#include <atomic>
#include <map>
#include <thread>
#include <utility>

namespace M = SourceMessages;

namespace {

std::atomic<int> LiveThreads{0};

// One request under way: its transfer, the thread performing it, and the result the thread
// writes before it hands the request back.
struct Request {
    Request(FeedRequest r, int timeoutMs, std::size_t maxBytes, std::size_t keywordIndex)
        : transfer(std::move(r), timeoutMs, maxBytes), keyword(keywordIndex) {}
    FeedTransfer transfer;
    TransferResult result;
    std::thread thread;
    std::size_t keyword;
};

// Where one keyword stands and what it has brought so far.
struct Keyword {
    enum Phase {
        NotStarted,
        Due,      // its next page is to be asked (not before readyAtMs)
        InFlight, // a request of it is under way
        Done,     // nothing more to ask; waits for its turn to be entered
        Entered,  // its records are in the report and its lines in the log
    };
    Phase phase = NotStarted;
    // The page asked next (0-based) and its address, made when it is sent.
    int page = 0;
    std::string address;
    long long readyAtMs = 0;
    // When the request in flight was sent.
    long long sentAtMs = 0;
    // The page asked next was already asked once and answered with a Retry-After.
    bool retried = false;
    // Results per page: the first reply's itemsPerPage, else the number of its results.
    long long perPage = 0;
    int pagesFetched = 0;
    std::vector<FoundPage> results;
    // The addresses of the page read last.
    std::vector<std::string> lastAddresses;
    // Log lines written before the summary when the keyword is entered.
    std::vector<std::string> notes;
    bool failed = false;
};

TemplateValues SampleValues() {
    TemplateValues values;
    values.searchTerms = "test";
    return values;
}

// host:port of an address, for the interval between requests to one host.
std::string HostKey(const std::string& address) {
    const QUrl url(QString::fromStdString(address));
    return url.host().toLower().toStdString() + ":" +
           std::to_string(url.port(url.scheme() == "https" ? 443 : 80));
}

} // namespace

struct SourceRun::State {
    State(SourceRun* run, SearchSource s, Hooks h)
        : owner(run), source(std::move(s)), hooks(std::move(h)) {
        timer.setSingleShot(true);
        timer.setTimerType(Qt::PreciseTimer);
        QObject::connect(&timer, &QTimer::timeout, owner, [this] { pump(); });
    }

    bool searx() const { return source.kind == SearchSource::Searx; }
    long long now() const { return clock.elapsed(); }
    void log(const std::string& line) const {
        if (hooks.log)
            hooks.log(line);
    }

    std::string Problem() const;
    bool PageAddress(std::size_t k, std::string& address, std::string& error) const;
    void pump();
    void send(std::size_t k);
    void transferDone(unsigned long long id);
    void readPage(std::size_t k, const TransferResult& result);
    void fail(std::size_t k, const std::string& reason);
    void done(std::size_t k);
    void enterDone();
    void enter(std::size_t k);
    void finish();
    void abortAll();

    SourceRun* owner;
    SearchSource source;
    Hooks hooks;
    bool running = false;
    std::vector<std::string> keywords;
    std::vector<Keyword> states;
    std::size_t nextStart = 0;
    std::size_t nextEntered = 0;
    int active = 0;
    std::map<unsigned long long, std::unique_ptr<Request>> requests;
    unsigned long long lastId = 0;
    // When the last request to each host was sent.
    std::map<std::string, long long> lastSentMs;
    std::string acceptLanguage;
    QElapsedTimer clock;
    QTimer timer;
    // pump() is under way (a proxy login dialog may run an event loop inside it).
    bool pumping = false;
    bool pumpAgain = false;
};

SourceRun::SourceRun(SearchSource source, Hooks hooks, QObject* parent)
    : QObject(parent), state_(std::make_unique<State>(this, std::move(source), std::move(hooks))) {}

SourceRun::~SourceRun() {
    state_->timer.stop();
    // Results posted meanwhile go with this object.
    state_->abortAll();
}

int SourceRun::LiveTransferThreads() {
    return LiveThreads.load();
}

bool SourceRun::Running() const {
    return state_->running;
}

RunProgress SourceRun::Progress() const {
    const State& s = *state_;
    RunProgress p;
    p.running = s.running;
    p.count = static_cast<int>(s.keywords.size());
    p.done = static_cast<int>(s.nextEntered);
    if (s.running && s.nextEntered < s.nextStart) {
        p.keyword = static_cast<int>(s.nextEntered) + 1;
        p.word = s.keywords[s.nextEntered];
        const Keyword& kw = s.states[s.nextEntered];
        if (kw.phase == Keyword::InFlight)
            p.waitedMs = s.now() - kw.sentAtMs;
    }
    return p;
}

void SourceRun::Start(const std::vector<std::string>& keywords) {
    State& s = *state_;
    if (s.running)
        return;
    s.running = true;
    NewCount = 0;
    FailedKeywords = 0;
    s.keywords = keywords;
    s.states.assign(keywords.size(), Keyword());
    s.nextStart = s.nextEntered = 0;
    s.active = 0;
    s.lastSentMs.clear();
    if (keywords.empty()) {
        if (s.hooks.noKeywords)
            s.hooks.noKeywords();
        s.finish();
        return;
    }
    s.log(M::RunStart(s.source.name, keywords.size()));
    if (const std::string problem = s.Problem(); !problem.empty()) {
        s.log(M::CannotSearch(s.source.name, problem));
        FailedKeywords = static_cast<int>(keywords.size());
        s.log(SearchMessages::Finished);
        s.finish();
        return;
    }
    s.acceptLanguage = SystemAcceptLanguage();
    s.clock.start();
    s.pump();
}

void SourceRun::Stop() {
    State& s = *state_;
    if (!s.running)
        return;
    s.timer.stop();
    s.abortAll();
    // No longer running: entering the keywords below does not end the run on its own.
    s.running = false;
    // Every keyword under way keeps what it received.
    for (std::size_t k = s.nextEntered; k < s.nextStart; ++k)
        if (s.states[k].phase != Keyword::Done)
            s.done(k);
    s.enterDone();
    s.log(M::Stopped);
    s.log(SearchMessages::Finished);
    s.finish();
}

void SourceRun::WaitForEnd() {
    if (!state_->running)
        return;
    QEventLoop loop;
    connect(this, &SourceRun::finished, &loop, &QEventLoop::quit);
    if (state_->running)
        loop.exec();
}

// Why the source cannot be asked at all; empty when it can.
std::string SourceRun::State::Problem() const {
    switch (source.kind) {
    case SearchSource::Feed:
        return "the Quarrylog feed is searched by the feed's own run.";
    case SearchSource::OpenSearch: {
        std::string url, error;
        if (!ExpandOpenSearchTemplate(source.address, SampleValues(), url, error))
            return error;
        return {};
    }
    case SearchSource::Searx: {
        const QUrl url(QString::fromStdString(source.address));
        if (!url.isValid() || url.host().isEmpty() ||
            (url.scheme() != "http" && url.scheme() != "https"))
            return "\"" + source.address + "\" is not an http or https address.";
        return {};
    }
    }
    return {};
}

bool SourceRun::State::PageAddress(std::size_t k, std::string& address, std::string& error) const {
    const Keyword& kw = states[k];
    if (searx()) {
        address = SearxSearchUrl(source.address, keywords[k], kw.page + 1);
        return true;
    }
    TemplateValues values;
    values.searchTerms = keywords[k];
    values.count = kw.perPage;
    values.startPage = source.pageOffset + kw.page;
    values.startIndex = source.indexOffset + kw.page * kw.perPage;
    return ExpandOpenSearchTemplate(source.address, values, address, error);
}

// Starts keywords while fewer than `parallel` are under way, sends every request that is due
// and allowed by its host's interval, and sets the timer for the next one.
void SourceRun::State::pump() {
    if (pumping) {
        pumpAgain = true;
        return;
    }
    pumping = true;
    do {
        pumpAgain = false;
        const int parallel = std::clamp(source.parallel, 1, SearchSource::MaxParallel);
        while (running && active < parallel && nextStart < states.size()) {
            Keyword& kw = states[nextStart++];
            kw.phase = Keyword::Due;
            kw.readyAtMs = now();
            ++active;
        }
        long long wakeAt = -1;
        const long long interval = std::max(0, source.intervalMs);
        for (std::size_t k = nextEntered; running && k < nextStart; ++k) {
            Keyword& kw = states[k];
            if (kw.phase != Keyword::Due)
                continue;
            if (kw.address.empty()) {
                std::string error;
                if (!PageAddress(k, kw.address, error)) {
                    fail(k, error);
                    pumpAgain = true;
                    continue;
                }
            }
            long long dueAt = kw.readyAtMs;
            const auto last = lastSentMs.find(HostKey(kw.address));
            if (last != lastSentMs.end())
                dueAt = std::max(dueAt, last->second + interval);
            if (dueAt <= now())
                send(k);
            else if (wakeAt < 0 || dueAt < wakeAt)
                wakeAt = dueAt;
        }
        if (!running)
            break;
        enterDone();
        if (!running)
            break;
        if (wakeAt >= 0)
            timer.start(static_cast<int>(std::max<long long>(0, wakeAt - now())));
    } while (pumpAgain && running);
    pumping = false;
}

void SourceRun::State::send(std::size_t k) {
    Keyword& kw = states[k];
    kw.phase = Keyword::InFlight;
    kw.sentAtMs = now();
    lastSentMs[HostKey(kw.address)] = kw.sentAtMs;
    // May show the proxy login dialog, which handles events meanwhile.
    const ProxyValues proxy = hooks.proxy ? hooks.proxy() : ProxyValues{};
    if (!running)
        return;
    const unsigned long long id = ++lastId;
    auto request = std::make_unique<Request>(
        ComposeSourceRequest(kw.address, searx() ? ReplyFormat::Json : ReplyFormat::ResultFeed,
                             proxy, acceptLanguage),
        owner->TimeoutMs, owner->MaxReplyBytes, k);
    Request* r = request.get();
    requests.emplace(id, std::move(request));
    ++LiveThreads;
    r->thread = std::thread([this, r, id] {
        r->result = r->transfer.Perform();
        // Delivered by the run's event loop; dropped when the run is gone by then.
        QMetaObject::invokeMethod(
            owner, [this, id] { transferDone(id); }, Qt::QueuedConnection);
        --LiveThreads;
    });
    emit owner->progressChanged();
}

void SourceRun::State::transferDone(unsigned long long id) {
    const auto found = requests.find(id);
    if (found == requests.end())
        return; // stopped before its result came
    std::unique_ptr<Request> request = std::move(found->second);
    requests.erase(found);
    // The thread has posted its last word: joining it takes no time.
    request->thread.join();
    readPage(request->keyword, request->result);
    request.reset();
    pump();
}

// What a reply means for its keyword: results and the next page, a wait and one more try, or
// the keyword's end.
void SourceRun::State::readPage(std::size_t k, const TransferResult& result) {
    Keyword& kw = states[k];
    const bool ok =
        result.outcome == TransferResult::Received && result.status >= 200 && result.status < 300;
    if (!ok) {
        const bool retry = result.outcome == TransferResult::Received &&
                           (result.status == 429 || result.status == 503) &&
                           result.retryAfterMs >= 0 && !kw.retried;
        if (!retry) {
            fail(k, M::TransferFailure(result, searx(), owner->TimeoutMs, owner->MaxReplyBytes));
            return;
        }
        const long long wait =
            std::min<long long>(result.retryAfterMs, std::max(0, owner->MaxRetryAfterMs));
        kw.notes.push_back(M::AskedAgain(keywords[k], kw.address, result.status, wait));
        kw.retried = true;
        kw.readyAtMs = now() + wait;
        kw.phase = Keyword::Due;
        return;
    }

    ++kw.pagesFetched;
    ResultPage page;
    std::string error;
    const bool read = searx() ? ReadSearxJson(result.body, page, error)
                              : ReadResultFeed(result.body, page, error);
    if (!read) {
        // What was read before the error is kept, as the feed keeps it.
        kw.results.insert(kw.results.end(), page.pages.begin(), page.pages.end());
        fail(k, M::UnreadableReply(error, result.contentType, searx()));
        return;
    }
    if (page.pages.empty()) {
        if (!page.unresponsiveEngines.empty())
            fail(k, M::EnginesFailed(page.unresponsiveEngines));
        else
            done(k);
        return;
    }
    if (!page.unresponsiveEngines.empty())
        kw.notes.push_back(M::EnginesSilent(keywords[k], page.unresponsiveEngines));

    std::vector<std::string> addresses;
    addresses.reserve(page.pages.size());
    for (const FoundPage& p : page.pages)
        addresses.push_back(p.url);
    // A server that ignores the page parameter answers the same page again.
    if (kw.page > 0 && addresses == kw.lastAddresses) {
        done(k);
        return;
    }
    if (kw.page == 0)
        kw.perPage =
            page.itemsPerPage > 0 ? page.itemsPerPage : static_cast<long long>(page.pages.size());
    // The results up to this page by the server's count. Its total is reached when it falls
    // within this page; a total of no more than the earlier pages held (searx's RSS always says
    // 0) is not believed.
    const long long before = kw.page * kw.perPage;
    const long long seen = before + static_cast<long long>(page.pages.size());
    const bool totalReached = page.totalResults > before && seen >= page.totalResults;
    kw.results.insert(kw.results.end(), std::make_move_iterator(page.pages.begin()),
                      std::make_move_iterator(page.pages.end()));
    kw.lastAddresses = std::move(addresses);

    const int pages = std::clamp(source.pages, 1, SearchSource::MaxPages);
    if (kw.page + 1 >= pages || totalReached) {
        done(k);
        return;
    }
    ++kw.page;
    kw.address.clear();
    kw.retried = false;
    kw.readyAtMs = now();
    kw.phase = Keyword::Due;
}

void SourceRun::State::fail(std::size_t k, const std::string& reason) {
    Keyword& kw = states[k];
    kw.notes.push_back(M::KeywordFailed(keywords[k], kw.address, reason));
    kw.failed = true;
    done(k);
}

void SourceRun::State::done(std::size_t k) {
    states[k].phase = Keyword::Done;
    --active;
}

// Enters every finished keyword whose predecessors are entered; ends the run after the last.
void SourceRun::State::enterDone() {
    while (nextEntered < states.size() && states[nextEntered].phase == Keyword::Done)
        enter(nextEntered++);
    if (running && nextEntered == states.size()) {
        log(SearchMessages::Finished);
        finish();
    }
}

void SourceRun::State::enter(std::size_t k) {
    Keyword& kw = states[k];
    int added = 0;
    if (hooks.addListing)
        for (const FoundPage& p : kw.results)
            if (hooks.addListing(p.title, p.description, p.url, p.url))
                ++added;
    owner->NewCount += added;
    if (kw.failed)
        ++owner->FailedKeywords;
    for (const std::string& line : kw.notes)
        log(line);
    // A failed keyword's summary only tells of records it brought before the failure.
    if (kw.pagesFetched > 0 && (!kw.failed || !kw.results.empty()))
        log(M::KeywordSummary(keywords[k], kw.pagesFetched, static_cast<int>(kw.results.size()),
                              added));
    kw = Keyword();
    kw.phase = Keyword::Entered;
    emit owner->progressChanged();
}

void SourceRun::State::finish() {
    log(SearchMessages::NewUrlsAdded + std::to_string(owner->NewCount));
    running = false;
    emit owner->progressChanged();
    emit owner->finished();
}

void SourceRun::State::abortAll() {
    for (auto& [id, request] : requests)
        request->transfer.Abort();
    // Each transfer ends within milliseconds of its abort, whatever it was waiting for.
    for (auto& [id, request] : requests)
        if (request->thread.joinable())
            request->thread.join();
    requests.clear();
}
