#include "links/LinkResults.h"

#include "report/ReportLayout.h"
#include "tree/TQelPigger.h"

namespace {

bool IsRecord(const TQelPigger* node) {
    return node && node->Name() == RecordFields::Listing;
}

// Writes text into the record's child name as the scope allows; true when it changed.
bool FillText(TQelPigger* record, const char* name, const std::string& text, DetailsScope scope) {
    if (text.empty())
        return false;
    TQelPigger* child = record->FindChild(name);
    if (child && !child->Text.view().empty() && scope == DetailsScope::Empty)
        return false;
    if (child && child->Text.view() == text)
        return false;
    if (!child)
        child = record->AddChild(name);
    child->Text = text;
    return true;
}

bool TextEmpty(const TQelPigger* record, const char* name) {
    const TQelPigger* child = record->FindChild(name);
    return !child || child->Text.view().empty();
}

} // namespace

std::vector<TQelPigger*> RecordsToCheck(TQelPigger* urls, CheckScope scope, TQelPigger* selected) {
    std::vector<TQelPigger*> out;
    if (!urls)
        return out;
    if (scope == CheckScope::Selected) {
        if (IsRecord(selected) && selected->Parent() == urls)
            out.push_back(selected);
        return out;
    }
    for (TQelPigger* record : urls->Children()) {
        if (!IsRecord(record))
            continue;
        if (scope == CheckScope::Ticked &&
            record->AttrRef(RecordFields::Check) != RecordFields::Checked)
            continue;
        out.push_back(record);
    }
    return out;
}

bool EnterProbeResult(TQelPigger* record, const ProbeResult& result, const QDateTime& when,
                      bool details, DetailsScope scope) {
    if (!record || result.aborted)
        return false;
    const std::string before = record->GetAsText();
    StoreLinkOutcome(record, result.outcome, when);
    if (details && result.detailsRead && record->AttrRef(LinkFields::Edited) != "Y") {
        FillText(record, RecordFields::Title, result.details.title, scope);
        FillText(record, RecordFields::Description, result.details.description, scope);
    }
    return record->GetAsText() != before;
}

std::vector<TQelPigger*> RecordsWithoutDetails(TQelPigger* urls) {
    std::vector<TQelPigger*> out;
    if (!urls)
        return out;
    for (TQelPigger* record : urls->Children())
        if (IsRecord(record) && (TextEmpty(record, RecordFields::Title) ||
                                 TextEmpty(record, RecordFields::Description)))
            out.push_back(record);
    return out;
}
