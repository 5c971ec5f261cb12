// The filter's expression functions and the start-up filling of the function registry.
#pragma once

#include "filter/expr/ParsFunc.h"

// EXISTS(text): true when text occurs in the upper-cased title or description of the record
// under test (true with no record under test). RECORD_STATE(name): for "IS_CHECKED", whether
// the record under test is ticked; for "IS_DEAD", "IS_MOVED", "IS_ALIVE", "IS_FAILED" and
// "IS_UNCHECKED", whether its last link check has that verdict (false with no record under test).
// LINK_STATUS(): the HTTP status of the record's last link check, 0 when unchecked or without a
// reply (0 with no record under test); any argument is an error.
bool ExistsFunction(void* context, TExpr& result, std::int32_t argCount, TExpr* args);
bool RecordStateFunction(void* context, TExpr& result, std::int32_t argCount, TExpr* args);
bool LinkStatusFunction(void* context, TExpr& result, std::int32_t argCount, TExpr* args);

// Registers EXISTS, RECORD_STATE and LINK_STATUS.
void RegisterFilterFunctions();

// Fills the process-wide registry once at start-up: the 20 built-in functions, then EXISTS,
// RECORD_STATE and LINK_STATUS. Calling it again changes nothing.
void RegisterExpressionFunctions();
