#include "links/LinkCheckRun.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <QUrl>

#include <algorithm>
#include <atomic>
#include <list>
#include <map>
#include <thread>
#include <unordered_map>
#include <utility>

namespace {

std::atomic<int> LiveThreads{0};

// One probe under way: the probe, the thread performing it, and the result the thread writes
// before it hands the probe back.
struct Request {
    Request(const std::string& url, ProbeOptions options, int itemIndex)
        : probe(url, std::move(options)), item(itemIndex) {}
    LinkProbe probe;
    ProbeResult result;
    std::thread thread;
    int item;
};

// Where one address stands.
struct Item {
    // Not before this time (a Retry-After or the second try after a failure).
    long long readyAtMs = 0;
    // The address was answered with a Retry-After once and is asked again.
    bool askedAgain = false;
    // The address failed once without a reply and is tried a second time.
    bool triedAgain = false;
    LinkFailure firstFailure = LinkFailure::None;
    std::string hostKey;
};

// host:port of an address, for the interval between requests to one host.
std::string HostKey(const std::string& address) {
    const QUrl url(QString::fromStdString(address));
    return url.host().toLower().toStdString() + ":" +
           std::to_string(url.port(url.scheme() == "https" ? 443 : 80));
}

} // namespace

struct LinkCheckRun::State {
    State(LinkCheckRun* run, std::vector<std::string> u, Options o)
        : owner(run), urls(std::move(u)), options(std::move(o)), items(urls.size()) {
        timer.setSingleShot(true);
        timer.setTimerType(Qt::PreciseTimer);
        QObject::connect(&timer, &QTimer::timeout, owner, [this] { pump(); });
        counts.total = static_cast<int>(urls.size());
    }

    long long now() const { return clock.elapsed(); }
    void pump();
    void send(int index);
    void probeDone(unsigned long long id);
    void finish();
    void abortAll();

    LinkCheckRun* owner;
    std::vector<std::string> urls;
    Options options;
    std::vector<Item> items;
    // The addresses still to be asked (first tries in order, then second tries as they come).
    std::list<int> pending;
    std::map<unsigned long long, std::unique_ptr<Request>> requests;
    unsigned long long lastId = 0;
    // When the last request to each host was sent.
    std::unordered_map<std::string, long long> lastSentMs;
    Counts counts;
    bool started = false;
    bool running = false;
    bool stopped = false;
    QElapsedTimer clock;
    QTimer timer;
    // pump() is under way (a proxy login dialog may run an event loop inside it).
    bool pumping = false;
    bool pumpAgain = false;
};

LinkCheckRun::LinkCheckRun(std::vector<std::string> urls, Options options, QObject* parent)
    : QObject(parent), state_(std::make_unique<State>(this, std::move(urls), std::move(options))) {}

LinkCheckRun::~LinkCheckRun() {
    state_->timer.stop();
    state_->running = false;
    state_->abortAll();
}

int LinkCheckRun::LiveProbeThreads() {
    return LiveThreads.load();
}

bool LinkCheckRun::Running() const {
    return state_->running;
}

bool LinkCheckRun::Stopped() const {
    return state_->stopped;
}

LinkCheckRun::Counts LinkCheckRun::Progress() const {
    return state_->counts;
}

void LinkCheckRun::Start() {
    State& s = *state_;
    if (s.started)
        return;
    s.started = true;
    s.running = true;
    s.clock.start();
    for (int i = 0; i < static_cast<int>(s.urls.size()); ++i)
        s.pending.push_back(i);
    if (s.urls.empty()) {
        s.finish();
        return;
    }
    s.pump();
}

void LinkCheckRun::Stop() {
    State& s = *state_;
    if (!s.running)
        return;
    s.timer.stop();
    s.running = false;
    s.stopped = true;
    s.abortAll();
    s.pending.clear();
    s.finish();
}

void LinkCheckRun::WaitForEnd() {
    if (!state_->running)
        return;
    QEventLoop loop;
    connect(this, &LinkCheckRun::finished, &loop, &QEventLoop::quit);
    if (state_->running)
        loop.exec();
}

// Sends every address that is due and allowed by its host's interval while fewer than
// `parallel` are in flight, and sets the timer for the next one.
void LinkCheckRun::State::pump() {
    if (pumping) {
        pumpAgain = true;
        return;
    }
    pumping = true;
    do {
        pumpAgain = false;
        const int parallel = std::max(1, options.parallel);
        const long long interval = std::max(0, options.intervalMs);
        long long wakeAt = -1;
        const auto later = [&](long long at) {
            if (wakeAt < 0 || at < wakeAt)
                wakeAt = at;
        };
        for (auto it = pending.begin();
             running && it != pending.end() && static_cast<int>(requests.size()) < parallel;) {
            Item& item = items[static_cast<std::size_t>(*it)];
            const long long t = now();
            if (item.readyAtMs > t) {
                later(item.readyAtMs);
                ++it;
                continue;
            }
            if (item.hostKey.empty())
                item.hostKey = HostKey(urls[static_cast<std::size_t>(*it)]);
            if (interval > 0) {
                const auto last = lastSentMs.find(item.hostKey);
                if (last != lastSentMs.end() && last->second + interval > t) {
                    later(last->second + interval);
                    ++it;
                    continue;
                }
            }
            const int index = *it;
            it = pending.erase(it);
            send(index);
        }
        if (!running)
            break;
        if (wakeAt >= 0)
            timer.start(static_cast<int>(std::max<long long>(0, wakeAt - now())));
    } while (pumpAgain && running);
    pumping = false;
}

void LinkCheckRun::State::send(int index) {
    Item& item = items[static_cast<std::size_t>(index)];
    lastSentMs[item.hostKey] = now();
    ProbeOptions probeOptions;
    probeOptions.timeoutMs = options.timeoutMs;
    probeOptions.details = options.details;
    probeOptions.maxPageBytes = options.maxPageBytes;
    // May show the proxy login dialog, which handles events meanwhile.
    if (options.proxy)
        probeOptions.proxy = options.proxy();
    if (!running)
        return;
    const unsigned long long id = ++lastId;
    auto request = std::make_unique<Request>(urls[static_cast<std::size_t>(index)],
                                             std::move(probeOptions), index);
    Request* r = request.get();
    requests.emplace(id, std::move(request));
    ++LiveThreads;
    r->thread = std::thread([this, r, id] {
        r->result = r->probe.Perform();
        // Delivered by the run's event loop; dropped when the run is gone by then.
        QMetaObject::invokeMethod(
            owner, [this, id] { probeDone(id); }, Qt::QueuedConnection);
        --LiveThreads;
    });
}

void LinkCheckRun::State::probeDone(unsigned long long id) {
    const auto found = requests.find(id);
    if (found == requests.end())
        return; // stopped before its result came
    std::unique_ptr<Request> request = std::move(found->second);
    requests.erase(found);
    // The thread has posted its last word: joining it takes no time.
    request->thread.join();
    ProbeResult& result = request->result;
    Item& item = items[static_cast<std::size_t>(request->item)];
    LinkOutcome& outcome = result.outcome;

    if (!running || result.aborted)
        return;
    if (outcome.failure == LinkFailure::None && (outcome.status == 429 || outcome.status == 503) &&
        result.retryAfterMs >= 0 && !item.askedAgain) {
        item.askedAgain = true;
        item.readyAtMs =
            now() + std::min<long long>(result.retryAfterMs, std::max(0, options.maxRetryAfterMs));
        pending.push_back(request->item);
        pump();
        return;
    }
    if (outcome.failure != LinkFailure::None && !item.triedAgain) {
        item.triedAgain = true;
        item.firstFailure = outcome.failure;
        item.readyAtMs = now() + std::max(0, options.recheckDelayMs);
        pending.push_back(request->item);
        pump();
        return;
    }
    if (outcome.failure != LinkFailure::None)
        outcome.failures = item.triedAgain && outcome.failure == item.firstFailure ? 2 : 1;

    const std::string& url = urls[static_cast<std::size_t>(request->item)];
    const bool movedElsewhere =
        !outcome.redirects.empty() && !outcome.finalUrl.empty() && outcome.finalUrl != url;
    ++counts.done;
    switch (VerdictOf(outcome.status, outcome.failure, outcome.failures, movedElsewhere)) {
    case LinkVerdict::Alive:
        ++counts.alive;
        break;
    case LinkVerdict::Moved:
        ++counts.moved;
        break;
    case LinkVerdict::Dead:
        ++counts.dead;
        break;
    default:
        ++counts.failed;
        break;
    }
    emit owner->checked(request->item, result);
    request.reset();
    if (!running)
        return; // stopped by a receiver of checked()
    emit owner->progressChanged();
    if (counts.done == counts.total) {
        timer.stop();
        running = false;
        finish();
        return;
    }
    pump();
}

void LinkCheckRun::State::finish() {
    running = false;
    emit owner->progressChanged();
    emit owner->finished();
}

void LinkCheckRun::State::abortAll() {
    for (auto& [id, request] : requests)
        request->probe.Abort();
    // Each probe ends within milliseconds of its abort, whatever it was waiting for.
    for (auto& [id, request] : requests)
        if (request->thread.joinable())
            request->thread.join();
    requests.clear();
}
