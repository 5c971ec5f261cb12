#include "capture/CaptureReview.h"

#include <algorithm>
#include <set>

std::vector<CaptureEntry> RecordCaptureHistory(const std::vector<CaptureEntry>& entries,
                                               const std::string& recordUrl,
                                               const std::string& latestFile) {
    // The numbers of the captures the record's latest file belongs to.
    std::set<long long> numbers;
    if (!latestFile.empty())
        for (const CaptureEntry& e : entries)
            if (e.file == latestFile)
                numbers.insert(e.number);
    std::vector<std::pair<size_t, CaptureEntry>> mine;
    for (size_t i = 0; i < entries.size(); ++i) {
        const CaptureEntry& e = entries[i];
        if ((!recordUrl.empty() && e.recordUrl == recordUrl) || numbers.count(e.number) > 0)
            mine.emplace_back(i, e);
    }
    std::stable_sort(mine.begin(), mine.end(), [](const auto& a, const auto& b) {
        if (a.second.time != b.second.time)
            return a.second.time > b.second.time;
        if (a.second.number != b.second.number)
            return a.second.number > b.second.number;
        return a.first > b.first;
    });
    std::vector<CaptureEntry> out;
    out.reserve(mine.size());
    for (auto& [line, entry] : mine)
        out.push_back(std::move(entry));
    return out;
}

bool IsPresentCapture(const std::vector<CaptureEntry>& entries, const CaptureEntry& entry) {
    if (entry.outcome != CaptureOutcome::Saved || entry.file.empty())
        return false;
    for (const CaptureEntry& present : PresentCaptures(entries))
        if (present.file == entry.file)
            return true;
    return false;
}

void OrderForReview(std::vector<CaptureCheck>* checks) {
    const auto rank = [](CaptureState state) {
        switch (state) {
        case CaptureState::Changed:
            return 0;
        case CaptureState::Missing:
            return 1;
        case CaptureState::Intact:
            break;
        }
        return 2;
    };
    std::stable_sort(checks->begin(), checks->end(),
                     [&](const CaptureCheck& a, const CaptureCheck& b) {
                         return rank(a.state) < rank(b.state);
                     });
}

std::string VerifySummary(const std::vector<CaptureCheck>& checks, StampState stamp) {
    size_t counts[3] = {};
    for (const CaptureCheck& c : checks)
        ++counts[static_cast<int>(c.state)];
    const size_t n = checks.size();
    std::string line = std::to_string(n) + (n == 1 ? " capture: " : " captures: ") +
                       std::to_string(counts[0]) + " intact, " + std::to_string(counts[1]) +
                       " changed, " + std::to_string(counts[2]) + " missing";
    if (stamp != StampState::None)
        line += "; the manifest's time stamp is " + std::string(StampStateName(stamp));
    return line;
}
