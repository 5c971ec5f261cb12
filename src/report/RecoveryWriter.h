// Writing the recovery copy on a thread of its own: the text comes in pieces from the thread
// that made the writer (the window's), which goes on with its work meanwhile. The copy gets
// the guarantees of WriteFileAtomically: a new file beside the copy, for the owner alone,
// flushed to the disk and renamed over the copy, so that the copy is either the old one or the
// new one whole. A copy that is cancelled is never renamed into place, however late the disk is.
#pragma once

#include <QObject>

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

class RecoveryWriter {
public:
    // Runs in the event loop of the thread that made the writer when a copy that was not
    // cancelled has ended: written, or not with the reason (as WriteRecoveryCopy words it).
    using Done = std::function<void(bool written, const std::string& error)>;
    explicit RecoveryWriter(Done done);
    // Cancels the copy in flight and waits until no copy's thread is left.
    ~RecoveryWriter();
    RecoveryWriter(const RecoveryWriter&) = delete;
    RecoveryWriter& operator=(const RecoveryWriter&) = delete;

    // Begins a new recovery copy of reportFileName, cancelling the one in flight. The text
    // follows with Add, its end with Finish.
    void Begin(const std::string& reportFileName);
    void Add(std::string piece);
    void Finish();
    // Gives up the copy in flight: once this returns, it can no longer replace the recovery copy,
    // and its new file is removed (at once, or as soon as the disk lets its thread go on).
    // Done is not called for it.
    void Cancel();

    // A copy was begun and has neither ended (Done was called) nor been cancelled.
    bool InFlight() const { return job_ != nullptr; }
    // Bytes handed over and not yet written to the disk.
    std::size_t QueuedBytes() const;
    // No thread of any copy (also of a cancelled one) is still at work.
    bool Idle();

private:
    struct Job;
    struct Worker {
        std::shared_ptr<Job> job;
        std::thread thread;
    };
    static void write(const std::shared_ptr<Job>& job, const std::string& fileName,
                      const std::function<void(bool, const std::string&)>& report);
    // Joins the threads that have ended.
    void reap();

    Done done_;
    // Receives the outcomes posted from the threads; with it go the ones not yet delivered.
    std::unique_ptr<QObject> receiver_;
    std::shared_ptr<Job> job_;
    std::vector<Worker> workers_;
};
