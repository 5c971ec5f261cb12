// The expression evaluator, with the built-in and the filter functions, matching one small
// record as the filter does: any text either gives a value or fails with an error. Outside a
// filter run the text also goes through TExprProgram, which must give the same value or the
// same error as the evaluator.
#include "FuzzCheck.h"
#include "filter/core/FilterFunctions.h"
#include "filter/core/FilterMatcher.h"
#include "filter/expr/ParsFunc.h"
#include "filter/expr/Parser.h"
#include "filter/expr/Program.h"
#include "report/ReportLayout.h"
#include "tree/TQelPigger.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
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

bool sameValue(const TExpr& a, const TExpr& b) {
    if (a.ExprType != b.ExprType || a.AsString != b.AsString)
        return false;
    // A float's bits, so that NaN equals NaN.
    return a.ExprType == etNull || std::memcmp(&a.Payload, &b.Payload, sizeof a.Payload) == 0;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool registered = [] {
        RegisterExpressionFunctions();
        // DATE reads one fixed moment, so that the two evaluations of a text may be compared.
        SetExprClock([] { return QDateTime(QDate(2026, 1, 2), QTime(3, 4, 5, 678)); });
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
    TExprProgram program;
    TExpr value, programValue;
    std::string error, programError;
    try {
        parser.Evaluate(matcher.ExprText, value);
    } catch (const std::exception& e) {
        error = e.what();
    }
    try {
        program.Evaluate(matcher.ExprText, programValue);
    } catch (const std::exception& e) {
        programError = e.what();
    }
    FuzzCheck(error == programError, "the program raises what the evaluator raises");
    FuzzCheck(!error.empty() || sameValue(value, programValue),
              "the program gives the value the evaluator gives");
    return 0;
}
