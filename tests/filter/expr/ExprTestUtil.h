// Helpers of the expression tests: evaluate a text and describe the value or the error as
// "qrl eval" writes them ("integer<TAB>7", "string<TAB>x1", "null<TAB>") or "error: message".
// Every text goes through the evaluator and through TExprProgram, which must agree.
#pragma once

#include "filter/expr/ParsFunc.h"
#include "filter/expr/Parser.h"
#include "filter/expr/Program.h"

#include <gtest/gtest.h>

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

// The value or the error of text through evaluator (a TExprParser or a TExprProgram).
template <typename Evaluator> std::string EvalWith(Evaluator& evaluator, std::string_view text) {
    TExpr v;
    try {
        evaluator.Evaluate(text, v);
    } catch (const std::runtime_error& e) {
        return std::string("error: ") + e.what();
    }
    return Describe(v);
}

// The text through parser, checked against the same text through one program shared by every
// call (so read again whenever the text or the registry changes).
inline std::string Eval(TExprParser& parser, std::string_view text) {
    RegisterBuiltinFunctions();
    const std::string value = EvalWith(parser, text);
    static TExprProgram program;
    program.Context = parser.Context;
    EXPECT_EQ(EvalWith(program, text), value) << "read once: " << text;
    return value;
}

inline std::string Eval(std::string_view text) {
    TExprParser parser;
    return Eval(parser, text);
}
