// Helpers of the expression tests: evaluate a text and describe the value or the error as
// "qrl eval" writes them ("integer<TAB>7", "string<TAB>x1", "null<TAB>") or "error: message".
#pragma once

#include "filter/expr/ParsFunc.h"
#include "filter/expr/Parser.h"

#include <stdexcept>
#include <string>

inline std::string Describe(const TExpr& v) {
    switch (v.ExprType) {
    case etNull:
        return "null\t";
    case etBoolean:
        return v.AsBoolean ? "boolean\ttrue" : "boolean\tfalse";
    case etInteger:
        return "integer\t" + std::to_string(v.AsInteger);
    case etFloat:
        return "float\t" + FloatToExprText(v.AsFloat);
    case etString:
        return "string\t" + v.AsString;
    }
    return "?";
}

inline std::string Eval(TExprParser& parser, std::string_view text) {
    RegisterBuiltinFunctions();
    TExpr v;
    try {
        parser.Evaluate(text, v);
    } catch (const std::runtime_error& e) {
        return std::string("error: ") + e.what();
    }
    return Describe(v);
}

inline std::string Eval(std::string_view text) {
    TExprParser parser;
    return Eval(parser, text);
}
