#include "report/ReportRecords.h"

#include "report/RecordRows.h"

#include "report/ReportLayout.h"
#include "tree/TQelPigger.h"
#include "tree/TextCase.h"

void ReportRecords::ensureCurrent(TQelPigger* urls) {
    // Stamps are never shared by two nodes, so a container that was replaced (even at the same
    // address) never passes for the indexed one.
    if (urls == urls_ && urls->ChangeStamp() == stamp_)
        return;
    byKey_.clear();
    byKey_.reserve(static_cast<size_t>(urls->ChildCount()));
    for (TQelPigger* child : urls->Children())
        byKey_.try_emplace(CaseKey(child->AttrRef(RecordFields::Url)), child);
    urls_ = urls;
    stamp_ = urls->ChangeStamp();
    ++rebuilds_;
}

TQelPigger* ReportRecords::FindListing(TQelPigger* urls, std::string_view url) {
    if (!urls)
        return nullptr;
    ensureCurrent(urls);
    const auto it = byKey_.find(CaseKey(url));
    return it == byKey_.end() ? nullptr : it->second;
}

bool ReportRecords::AddListing(TQelPigger* urls, std::string_view title,
                               std::string_view description, std::string_view url,
                               std::string_view redirect) {
    if (!urls)
        return false;
    TQelPigger* record = FindListing(urls, url);
    const bool isNew = record == nullptr;
    if (isNew)
        record = urls->AddChild(RecordFields::Listing);
    record->SetAttr(RecordFields::Url, url);
    while (record->ChildCount() > 0)
        record->DeleteChild(0);
    const auto addText = [record](const char* name, std::string_view text) {
        record->AddChild(name)->Text = std::string(TrimBlanks(text));
    };
    addText(RecordFields::Title, title);
    addText(RecordFields::Description, description);
    addText(RecordFields::Redirect, redirect);

    // Only this record changed, and its key stayed what it was looked up by.
    if (isNew)
        byKey_.try_emplace(CaseKey(url), record);
    stamp_ = urls->ChangeStamp();
    return isNew;
}
