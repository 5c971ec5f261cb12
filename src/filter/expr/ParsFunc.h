// The process-wide function registry of the expression language and its built-in functions.
#pragma once

#include "filter/expr/ParsGlob.h"

#include <QDateTime>

#include <cstdint>
#include <string_view>

// A function handler: context is the evaluator's opaque pointer, passed through unchanged;
// result is etNull on entry; args holds argCount values, which the handler may convert in
// place. Returns false to refuse the call ("Error in function: " and the name); may also raise
// an error of its own.
using TExprFunction = bool (*)(void* context, TExpr& result, std::int32_t argCount, TExpr* args);

// How the calls of a function may be evaluated. A Repeatable function gives the same result, or
// raises the same error, for the same arguments throughout one evaluation, leaves its arguments
// unchanged and has no other effect that matters: a TExprProgram calls it once per evaluation
// for each list of literal arguments, with the literals themselves, and answers the same call
// further on with that result.
enum class TFunctionCalls : std::uint8_t { EachTime, Repeatable };

// Adds name (stored in upper case) and its handler; a name already present keeps its first
// handler and its first kind of calls.
void RegisterFunction(std::string_view name, TExprFunction handler,
                      TFunctionCalls calls = TFunctionCalls::EachTime);

// The handler registered under name, compared without regard to letter case, or nullptr.
TExprFunction FindFunction(std::string_view name);
// As FindFunction, also giving the function's kind of calls.
TExprFunction FindFunction(std::string_view name, TFunctionCalls& calls);

// Number of registered functions.
int RegisteredFunctionCount();

// The clock DATE reads: the system's local time, unless a run that compares evaluations of the
// same text sets one fixed moment (nullptr gives the system's back).
using TExprClock = QDateTime (*)();
void SetExprClock(TExprClock clock);

// Registers the 20 built-in functions, in their fixed order.
void RegisterBuiltinFunctions();
