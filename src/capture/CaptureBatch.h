// What a batch of page captures does without a display: which records it takes, how many pages
// load at once and how far it has come, and the sentence that says why a capture failed.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

class TQelPigger;

// The bounds of one capture.
struct CaptureLimits {
    // How long a page may take to load (and, once more, to be saved).
    int loadTimeoutMs = 30000;
    // The largest page file kept: 100 MB.
    long long maxBytes = 100LL * 1024 * 1024;
    // How many pages load at once.
    int parallel = 2;
};

enum class CaptureFailure {
    Timeout,         // the page did not finish loading in time
    Download,        // the address gave a file to download
    TooLarge,        // the saved page is over the limit
    Certificate,     // the site's certificate was refused
    RendererStopped, // the page's renderer process ended
    LoadFailed,      // any other failure to load (detail: the browser's reason)
    SaveFailed,      // the page could not be written (detail: why)
};

// The sentence of the manifest and the log: "The page did not finish loading within 30 s.",
// "The address gave a download, not a page.", "The page is larger than 100 MB.", "The
// certificate of the site was not accepted.", "The page's renderer stopped.", "The page could
// not be loaded: DETAIL.", "The page could not be saved: DETAIL.".
std::string CaptureFailureText(CaptureFailure kind, const CaptureLimits& limits,
                               const std::string& detail = {});

enum class CaptureScope { All, Ticked, Selected };

// The records of the report's URLS element that a batch captures, in list order: every record
// with an address, the ticked ones, or the selected one (when it has an address).
std::vector<TQelPigger*> CaptureTargets(TQelPigger* urls, CaptureScope scope, TQelPigger* selected);

// The bookkeeping of a batch of total pages, at most parallel at once: which page starts next,
// the pages done and failed, and Stop (no page starts after it).
class CaptureQueue {
public:
    CaptureQueue(std::size_t total, int parallel);

    // The next page to start, while fewer than parallel are under way and not stopped.
    std::optional<std::size_t> Next();
    // A page that was started has ended, saved or not.
    void Finish(bool saved);
    // Starts nothing more; the pages under way are given up (Abandon them).
    void Stop();
    // A page under way that was given up on Stop: neither captured nor failed.
    void Abandon();

    bool Stopped() const { return stopped_; }
    // Every page ended, or stopped with none under way.
    bool Done() const;
    std::size_t Total() const { return total_; }
    std::size_t Ended() const { return saved_ + failed_; }
    std::size_t Failed() const { return failed_; }
    std::size_t UnderWay() const { return underWay_; }

    // "Captured 4 of 10: 1 failed".
    std::string ProgressText() const;

private:
    std::size_t total_;
    std::size_t parallel_;
    std::size_t next_ = 0;
    std::size_t underWay_ = 0;
    std::size_t saved_ = 0;
    std::size_t failed_ = 0;
    bool stopped_ = false;
};

// Gives record the capture whose page file is file (a capture made before the record existed,
// such as a visited page): its CaptureFields as the manifest has them, with the PDF of the same
// number when one was saved. False with the reason when the manifest has no such file.
bool AttachCapture(const std::string& folder, const std::string& file, TQelPigger* record,
                   std::string* error);
