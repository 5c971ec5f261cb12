#include "report/PermanentRedirects.h"

#include "report/LinkState.h"
#include "report/ReportLayout.h"
#include "report/ReportRecords.h"
#include "tree/TQelPigger.h"

namespace {

// Another record than record at the address, or none.
TQelPigger* OtherAt(TQelPigger* urls, ReportRecords& records, const TQelPigger* record,
                    const std::string& url) {
    TQelPigger* found = records.FindListing(urls, url);
    return found == record ? nullptr : found;
}

} // namespace

std::vector<RedirectMove> PermanentRedirects(TQelPigger* urls, ReportRecords& records) {
    std::vector<RedirectMove> moves;
    if (!urls)
        return moves;
    for (TQelPigger* record : urls->Children()) {
        if (record->Name() != RecordFields::Listing || !MovedPermanently(record))
            continue;
        std::string target(record->AttrRef(LinkFields::FinalUrl));
        TQelPigger* existing = OtherAt(urls, records, record, target);
        moves.push_back({record, std::move(target), existing});
    }
    return moves;
}

RedirectsApplied ApplyPermanentRedirects(TQelPigger* urls, ReportRecords& records) {
    RedirectsApplied applied;
    for (RedirectMove& move : PermanentRedirects(urls, records)) {
        // An earlier move of this call may have taken the address.
        if (!move.existing)
            move.existing = OtherAt(urls, records, move.record, move.target);
        if (move.existing) {
            applied.conflicts.push_back(std::move(move));
            continue;
        }
        TQelPigger* record = move.record;
        record->SetAttr(RecordFields::Url, move.target);
        record->FindOrAddChild(RecordFields::Redirect)->Text = move.target;
        record->DeleteAttr(LinkFields::FinalUrl);
        record->DeleteAttr(LinkFields::Via);
        ++applied.moved;
    }
    return applied;
}

std::string RedirectConflictsText(const std::vector<RedirectMove>& conflicts, std::size_t limit) {
    std::string text = "These records were not moved: another record already has the address:";
    for (std::size_t i = 0; i < conflicts.size() && i < limit; ++i) {
        text += '\n';
        text += conflicts[i].record->AttrRef(RecordFields::Url);
        text += " -> " + conflicts[i].target;
    }
    if (conflicts.size() > limit)
        text += "\nand " + std::to_string(conflicts.size() - limit) + " more";
    return text;
}
