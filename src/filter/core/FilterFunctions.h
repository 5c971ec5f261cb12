// The filter's expression functions and the start-up filling of the function registry.
#pragma once

#include "filter/expr/ParsFunc.h"

// EXISTS(text): true when text occurs in the upper-cased title or description of the record
// under test (true with no record under test). RECORD_STATE(name): for "IS_CHECKED", whether
// the record under test is ticked (false with no record under test).
bool ExistsFunction(void* context, TExpr& result, std::int32_t argCount, TExpr* args);
bool RecordStateFunction(void* context, TExpr& result, std::int32_t argCount, TExpr* args);

// Registers EXISTS and RECORD_STATE.
void RegisterFilterFunctions();

// Fills the process-wide registry once at start-up: the 20 built-in functions, then EXISTS and
// RECORD_STATE. Calling it again changes nothing.
void RegisterExpressionFunctions();
