#include "filter/core/FilterMatcher.h"

#include "filter/core/FilterText.h"
#include "report/ReportLayout.h"
#include "tree/TQelPigger.h"

namespace {

// The text of the record's first child element of that name, or nullptr.
const NodeText* childText(const TQelPigger* record, std::string_view name) {
    for (const TQelPigger* c : record->Children())
        if (c->Name() == name)
            return &c->Text;
    return nullptr;
}

} // namespace

bool TFilterMatcher::Matches(const TQelPigger* record) {
    if (!record)
        return true;
    // Set for the duration of this evaluation only, also when it fails.
    struct Scope {
        TFilterMatcher* self;
        TFilterMatcher* previous;
        const TQelPigger* previousRecord;
        ~Scope() {
            self->currentRecord_ = previousRecord;
            self->forgetRecordData();
            underTest_ = previous;
        }
    } scope{this, underTest_, currentRecord_};
    currentRecord_ = record;
    forgetRecordData();
    underTest_ = this;
    TExpr result;
    evaluator_.Evaluate(ExprText, result);
    return result.PayloadTruth();
}

bool TFilterMatcher::asciiUpper() {
    if (!asciiUpperKnown_) {
        asciiUpper_ = AsciiUpperIsLocaleUpper();
        asciiUpperKnown_ = true;
    }
    return asciiUpper_;
}

void TFilterMatcher::upperInto(std::string& out, std::string_view field) {
    const NodeText* text = childText(currentRecord_, field);
    if (text)
        UpperForFilter(*text, out, asciiUpper());
    else
        out.clear();
}

const std::string& TFilterMatcher::UpperTitle() {
    if (!titleReady_ && currentRecord_) {
        upperInto(upperTitle_, RecordFields::Title);
        titleReady_ = true;
    }
    return upperTitle_;
}

const std::string& TFilterMatcher::UpperDescription() {
    if (!descriptionReady_ && currentRecord_) {
        upperInto(upperDescription_, RecordFields::Description);
        descriptionReady_ = true;
    }
    return upperDescription_;
}

bool TFilterMatcher::RecordContains(std::string_view text) {
    if (text.empty() || !currentRecord_)
        return false;
    return UpperTitle().find(text) != std::string::npos ||
           UpperDescription().find(text) != std::string::npos;
}

void TFilterMatcher::forgetRecordData() {
    titleReady_ = descriptionReady_ = asciiUpperKnown_ = false;
}
