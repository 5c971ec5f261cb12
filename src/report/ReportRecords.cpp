#include "report/ReportRecords.h"

#include "report/ReportLayout.h"
#include "tree/TQelPigger.h"

#include <string>

TQelPigger* ReportRecords::FindListing(TQelPigger* urls, std::string_view url) {
    if (!urls)
        return nullptr;
    const int at = index_.Find(*urls, url);
    return at == AddressIndex::None ? nullptr : urls->Child(at);
}

bool ReportRecords::AddListing(TQelPigger* urls, std::string_view title,
                               std::string_view description, std::string_view url,
                               std::string_view redirect) {
    if (!urls)
        return false;
    const int at = index_.Find(*urls, url);
    const bool isNew = at == AddressIndex::None;
    TQelPigger* record = isNew ? urls->AddChild(RecordFields::Listing) : urls->Child(at);
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
        index_.Appended(*urls);
    else
        index_.Changed(*urls, at);
    return isNew;
}
