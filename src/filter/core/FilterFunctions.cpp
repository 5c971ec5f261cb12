#include "filter/core/FilterFunctions.h"

#include "filter/core/FilterMatcher.h"
#include "report/LinkState.h"
#include "report/ReportLayout.h"
#include "tree/TQelPigger.h"

#include <string_view>

namespace {

// The RECORD_STATE names of the link verdicts.
struct VerdictName {
    std::string_view name;
    LinkVerdict verdict;
};
constexpr VerdictName kVerdictNames[] = {
    {"IS_DEAD", LinkVerdict::Dead},           {"IS_MOVED", LinkVerdict::Moved},
    {"IS_ALIVE", LinkVerdict::Alive},         {"IS_FAILED", LinkVerdict::Failed},
    {"IS_UNCHECKED", LinkVerdict::Unchecked},
};

// Whether the record is in the state of that name; false for a name of no state.
bool InState(const TQelPigger* record, std::string_view name) {
    if (name == "IS_CHECKED")
        return record->AttrRef(RecordFields::Check) == RecordFields::Checked;
    for (const VerdictName& v : kVerdictNames)
        if (name == v.name)
            return ReadLinkVerdict(record) == v.verdict;
    return false;
}

} // namespace

bool ExistsFunction(void*, TExpr& result, std::int32_t argCount, TExpr* args) {
    if (argCount != 1)
        return false;
    result.SetBoolean(true);
    TFilterMatcher* m = TFilterMatcher::UnderTest();
    if (!m || !m->CurrentRecord())
        return true;
    // The argument's own text, neither converted nor upper-cased.
    result.SetBoolean(m->RecordContains(args[0].AsString));
    return true;
}

bool RecordStateFunction(void*, TExpr& result, std::int32_t argCount, TExpr* args) {
    if (argCount != 1)
        return false;
    result.SetBoolean(false);
    TFilterMatcher* m = TFilterMatcher::UnderTest();
    if (!m || !m->CurrentRecord())
        return true;
    if (args[0].ExprType == etString)
        result.SetBoolean(InState(m->CurrentRecord(), args[0].AsString));
    return true;
}

bool LinkStatusFunction(void*, TExpr& result, std::int32_t argCount, TExpr*) {
    if (argCount != 0)
        return false;
    result.SetInteger(0);
    TFilterMatcher* m = TFilterMatcher::UnderTest();
    if (!m || !m->CurrentRecord())
        return true;
    result.SetInteger(static_cast<std::int32_t>(LinkStatusCode(m->CurrentRecord())));
    return true;
}

void RegisterFilterFunctions() {
    // Each reads the record under test, the same throughout one evaluation.
    RegisterFunction("EXISTS", ExistsFunction, TFunctionCalls::Repeatable);
    RegisterFunction("RECORD_STATE", RecordStateFunction, TFunctionCalls::Repeatable);
    RegisterFunction("LINK_STATUS", LinkStatusFunction, TFunctionCalls::Repeatable);
}

void RegisterExpressionFunctions() {
    RegisterBuiltinFunctions();
    RegisterFilterFunctions();
}
