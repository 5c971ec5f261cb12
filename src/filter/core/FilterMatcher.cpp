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

void upperInto(std::string& out, const TQelPigger* record, std::string_view name) {
    const NodeText* text = childText(record, name);
    if (text)
        UpperForFilter(*text, out);
    else
        out.clear();
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

const std::string& TFilterMatcher::UpperTitle() {
    if (!titleReady_ && currentRecord_) {
        upperInto(upperTitle_, currentRecord_, RecordFields::Title);
        titleReady_ = true;
    }
    return upperTitle_;
}

const std::string& TFilterMatcher::UpperDescription() {
    if (!descriptionReady_ && currentRecord_) {
        upperInto(upperDescription_, currentRecord_, RecordFields::Description);
        descriptionReady_ = true;
    }
    return upperDescription_;
}

bool TFilterMatcher::RecordContains(const std::string& text) {
    if (text.empty() || !currentRecord_)
        return false;
    for (std::size_t i = 0; i < answerCount_; ++i)
        if (answers_[i].Text == text)
            return answers_[i].Found;
    const bool found = UpperTitle().find(text) != std::string::npos ||
                       UpperDescription().find(text) != std::string::npos;
    if (answerCount_ == answers_.size())
        answers_.push_back(Answer{text, found});
    else
        answers_[answerCount_] = Answer{text, found};
    ++answerCount_;
    return found;
}

void TFilterMatcher::forgetRecordData() {
    titleReady_ = descriptionReady_ = false;
    answerCount_ = 0;
}
