// The expression evaluator, with the built-in and the filter functions, matching one small
// record as the filter does: any text either gives a value or fails with an error.
#include "filter/core/FilterFunctions.h"
#include "filter/core/FilterMatcher.h"
#include "report/ReportLayout.h"
#include "tree/TQelPigger.h"

#include <cstddef>
#include <cstdint>
#include <exception>
#include <string>

namespace {

const TQelPigger& sampleRecord() {
    static const TQelPigger* record = [] {
        auto* r = new TQelPigger;
        r->SetName(RecordFields::Listing);
        r->SetAttr(RecordFields::Url, "http://example.com/page?id=7");
        r->SetAttr(RecordFields::Check, RecordFields::Checked);
        r->AddChild(RecordFields::Title)->Text = "Granite Quarry Tours";
        r->AddChild(RecordFields::Description)->Text = "Guided walks, 12.5 km; open daily";
        r->AddChild(RecordFields::Redirect)->Text = "http://example.com/r";
        return r;
    }();
    return *record;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool registered = [] {
        RegisterExpressionFunctions();
        return true;
    }();
    (void)registered;
    TFilterMatcher matcher;
    matcher.ExprText.assign(reinterpret_cast<const char*>(data), size);
    try {
        matcher.Matches(&sampleRecord());
    } catch (const std::exception&) {
    }
    // The same text outside a filter run, where the filter functions have no record.
    TExprParser parser;
    TExpr value;
    try {
        parser.Evaluate(matcher.ExprText, value);
    } catch (const std::exception&) {
    }
    return 0;
}
