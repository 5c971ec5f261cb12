// The process-wide function registry of the expression language and its built-in functions.
#pragma once

#include "filter/expr/ParsGlob.h"

#include <cstdint>
#include <string_view>

// A function handler: context is the evaluator's opaque pointer, passed through unchanged;
// result is etNull on entry; args holds argCount values, which the handler may convert in
// place. Returns false to refuse the call ("Error in function: " and the name); may also raise
// an error of its own.
using TExprFunction = bool (*)(void* context, TExpr& result, std::int32_t argCount, TExpr* args);

// Adds name (stored in upper case) and its handler; a name already present keeps its first
// handler.
void RegisterFunction(std::string_view name, TExprFunction handler);

// The handler registered under name, compared without regard to letter case, or nullptr.
TExprFunction FindFunction(std::string_view name);

// Number of registered functions.
int RegisteredFunctionCount();

// Registers the 20 built-in functions, in their fixed order.
void RegisterBuiltinFunctions();
