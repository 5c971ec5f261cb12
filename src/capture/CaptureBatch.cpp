#include "capture/CaptureBatch.h"

#include "capture/CaptureStore.h"
#include "report/ReportLayout.h"
#include "tree/TQelPigger.h"

#include <algorithm>

std::string CaptureFailureText(CaptureFailure kind, const CaptureLimits& limits,
                               const std::string& detail) {
    // A reason from the browser ends the sentence without a second full stop.
    std::string reason = detail.empty() ? std::string("no reason was given") : detail;
    while (!reason.empty() && (reason.back() == '.' || reason.back() == ' '))
        reason.pop_back();
    switch (kind) {
    case CaptureFailure::Timeout: {
        const int ms = std::max(0, limits.loadTimeoutMs);
        const std::string time =
            ms % 1000 == 0 ? std::to_string(ms / 1000) + " s" : std::to_string(ms) + " ms";
        return "The page did not finish loading within " + time + ".";
    }
    case CaptureFailure::Download:
        return "The address gave a download, not a page.";
    case CaptureFailure::TooLarge: {
        const long long mib = 1024 * 1024;
        const std::string size = limits.maxBytes % mib == 0
                                     ? std::to_string(limits.maxBytes / mib) + " MB"
                                     : std::to_string(limits.maxBytes) + " bytes";
        return "The page is larger than " + size + ".";
    }
    case CaptureFailure::Certificate:
        return "The certificate of the site was not accepted.";
    case CaptureFailure::RendererStopped:
        return "The page's renderer stopped.";
    case CaptureFailure::LoadFailed:
        return "The page could not be loaded: " + reason + ".";
    case CaptureFailure::SaveFailed:
        return "The page could not be saved: " + reason + ".";
    }
    return {};
}

std::vector<TQelPigger*> CaptureTargets(TQelPigger* urls, CaptureScope scope,
                                        TQelPigger* selected) {
    std::vector<TQelPigger*> targets;
    if (!urls)
        return targets;
    for (TQelPigger* record : urls->Children()) {
        if (record->GetAttr(RecordFields::Url).empty())
            continue;
        const bool wanted = scope == CaptureScope::All ||
                            (scope == CaptureScope::Ticked &&
                             record->GetAttr(RecordFields::Check) == RecordFields::Checked) ||
                            (scope == CaptureScope::Selected && record == selected);
        if (wanted)
            targets.push_back(record);
    }
    return targets;
}

CaptureQueue::CaptureQueue(std::size_t total, int parallel)
    : total_(total), parallel_(static_cast<std::size_t>(std::max(1, parallel))) {}

std::optional<std::size_t> CaptureQueue::Next() {
    if (stopped_ || next_ >= total_ || underWay_ >= parallel_)
        return std::nullopt;
    ++underWay_;
    return next_++;
}

void CaptureQueue::Finish(bool saved) {
    if (underWay_ == 0)
        return;
    --underWay_;
    ++(saved ? saved_ : failed_);
}

void CaptureQueue::Stop() {
    stopped_ = true;
}

void CaptureQueue::Abandon() {
    if (underWay_ > 0)
        --underWay_;
}

bool CaptureQueue::Done() const {
    return underWay_ == 0 && (stopped_ || next_ >= total_);
}

std::string CaptureQueue::ProgressText() const {
    return "Captured " + std::to_string(Ended()) + " of " + std::to_string(total_) + ": " +
           std::to_string(failed_) + " failed";
}

bool AttachCapture(const std::string& folder, const std::string& file, TQelPigger* record,
                   std::string* error) {
    std::vector<CaptureEntry> entries;
    if (!ReadManifest(folder, &entries, error))
        return false;
    const std::vector<CaptureEntry> present = PresentCaptures(entries);
    const auto page = std::find_if(present.begin(), present.end(),
                                   [&file](const CaptureEntry& e) { return e.file == file; });
    if (page == present.end()) {
        *error = "The captures folder has no file \"" + file + "\"";
        return false;
    }
    record->SetAttr(CaptureFields::File, page->file);
    record->SetAttr(CaptureFields::Time, page->time.toUTC().toString(Qt::ISODate).toStdString());
    record->SetAttr(CaptureFields::Sha256, page->sha256);
    const std::string pdf = CaptureFileName(page->number, "pdf");
    const bool hasPdf = std::any_of(present.begin(), present.end(),
                                    [&pdf](const CaptureEntry& e) { return e.file == pdf; });
    if (hasPdf)
        record->SetAttr(CaptureFields::Pdf, pdf);
    else
        record->DeleteAttr(CaptureFields::Pdf);
    return true;
}
