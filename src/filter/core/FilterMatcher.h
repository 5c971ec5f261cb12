// The record matching of the filter: evaluates the filter's expression text for one record at
// a time, the text read once into a program for as long as it stays the same. EXISTS and
// RECORD_STATE read the record under test from the matcher that is running Matches; outside
// Matches there is no record under test.
#pragma once

#include "filter/expr/Program.h"

#include <string>
#include <string_view>

class TQelPigger;

class TFilterMatcher {
public:
    TFilterMatcher() = default;
    TFilterMatcher(const TFilterMatcher&) = delete;
    TFilterMatcher& operator=(const TFilterMatcher&) = delete;

    // The expression text applied to every record.
    std::string ExprText;

    // Whether record passes: true without a record; otherwise the truth of the value that
    // ExprText evaluates to for it (an empty text gives a null value, and no record passes).
    // The evaluator's errors pass through.
    bool Matches(const TQelPigger* record);

    // The record being tested while Matches runs, else nullptr.
    const TQelPigger* CurrentRecord() const { return currentRecord_; }

    // The matcher running Matches at the moment, else nullptr.
    static TFilterMatcher* UnderTest() { return underTest_; }

    // Title and description of the current record upper-cased by the user's regional settings;
    // worked out once per record, when first asked for, and kept until Matches returns.
    const std::string& UpperTitle();
    const std::string& UpperDescription();

    // Whether text occurs, byte for byte, in the upper-cased title or else in the upper-cased
    // description of the current record (never for an empty text).
    bool RecordContains(std::string_view text);

    TExprProgram& Evaluator() { return evaluator_; }

private:
    static inline TFilterMatcher* underTest_ = nullptr;
    TExprProgram evaluator_;
    const TQelPigger* currentRecord_ = nullptr;
    std::string upperTitle_, upperDescription_;
    bool titleReady_ = false, descriptionReady_ = false;
    // AsciiUpperIsLocaleUpper(), asked once per record.
    bool asciiUpper_ = false, asciiUpperKnown_ = false;
    bool asciiUpper();
    void upperInto(std::string& out, std::string_view field);
    void forgetRecordData();
};
