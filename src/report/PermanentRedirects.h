// Records whose last check ended at another address after permanent redirects only (301, 308),
// and moving them there.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

class ReportRecords;
class TQelPigger;

struct RedirectMove {
    TQelPigger* record = nullptr;
    // The address the record moves to (the check's final address).
    std::string target;
    // Another record that already has the target address (letter case ignored, as AddListing
    // finds records); the move is then not made but reported.
    TQelPigger* existing = nullptr;
};

// Every record of urls for which MovedPermanently holds, in report order.
std::vector<RedirectMove> PermanentRedirects(TQelPigger* urls, ReportRecords& records);

struct RedirectsApplied {
    int moved = 0;
    // The moves not made because the target is already in the report.
    std::vector<RedirectMove> conflicts;
};

// Makes the moves without a conflict: the record's URL and its REDIRECT text become the target,
// and the check's final address is dropped (the record now is where the check ended). A move
// whose target another record took earlier in the same call becomes a conflict too.
RedirectsApplied ApplyPermanentRedirects(TQelPigger* urls, ReportRecords& records);

// The notice of moves not made: "These records were not moved: another record already has the
// address:", then one line "URL -> target" each (at most limit of them, then "and N more").
std::string RedirectConflictsText(const std::vector<RedirectMove>& conflicts,
                                  std::size_t limit = 20);
