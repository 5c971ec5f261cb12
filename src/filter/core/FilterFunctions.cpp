#include "filter/core/FilterFunctions.h"

#include "filter/core/FilterMatcher.h"
#include "report/ReportLayout.h"
#include "tree/TQelPigger.h"

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
    if (args[0].ExprType == etString && args[0].AsString == "IS_CHECKED")
        result.SetBoolean(m->CurrentRecord()->AttrRef(RecordFields::Check) ==
                          RecordFields::Checked);
    return true;
}

void RegisterFilterFunctions() {
    RegisterFunction("EXISTS", ExistsFunction);
    RegisterFunction("RECORD_STATE", RecordStateFunction);
}

void RegisterExpressionFunctions() {
    RegisterBuiltinFunctions();
    RegisterFilterFunctions();
}
