// A batch of page captures without a window: each address is loaded in a browser page of the
// run's own profile (off the record: no cookies or cache of the user's browsing go in or out),
// at most limits.parallel pages at once, and saved as PageSaver saves it; every attempt is then
// recorded in the captures folder and in its record (RecordCapture). Stop ends the batch at once:
// the pages under way are given up and nothing is recorded for them.
#pragma once

#include "collect/PageSaver.h"

#include <QObject>
#include <QPointer>
#include <QStringList>

#include <memory>
#include <string>
#include <vector>

class QWebEngineProfile;
class TQelPigger;

struct CaptureItem {
    std::string url;
    // The record the capture belongs to; none for a page without one.
    TQelPigger* record = nullptr;
};

class CaptureRun : public QObject {
    Q_OBJECT
public:
    CaptureRun(std::string folder, std::vector<CaptureItem> items, PageSaveOptions options,
               QObject* parent = nullptr);
    ~CaptureRun() override;

    void Start();
    void Stop();
    bool Running() const { return started_ && !finished_; }
    bool Stopped() const { return queue_.Stopped(); }
    const CaptureQueue& Queue() const { return queue_; }
    // How many records got a new capture.
    int Recorded() const { return recorded_; }
    // One line per failed capture: "ADDRESS: reason".
    const QStringList& Log() const { return log_; }

signals:
    // After each page that ended, saved or not.
    void Progress();
    void LogLine(const QString& line);
    void Finished();

private:
    struct Job {
        std::size_t index = 0;
        class QWebEnginePage* page = nullptr;
        PageSaver* saver = nullptr;
    };
    void startMore();
    void ended(Job* job, const CaptureAttempt& attempt);
    void endJob(Job* job);
    void dispose(Job* job);
    void finishIfDone();

    std::string folder_;
    std::vector<CaptureItem> items_;
    PageSaveOptions options_;
    CaptureQueue queue_;
    QWebEngineProfile* profile_ = nullptr;
    std::vector<std::unique_ptr<Job>> jobs_;
    // Pages and savers of ended jobs, waiting for their deferred deletion.
    QList<QPointer<QObject>> dying_;
    QStringList log_;
    int recorded_ = 0;
    bool started_ = false;
    bool finished_ = false;
};
