// TExprProgram: an expression text read once into a list of steps, then evaluated as often as
// needed without reading the text again. The steps are the operations TExprParser performs
// while it reads the same text, in the same order (literals, operators, function calls, the
// checks of null values), with every error it can raise worded and positioned in advance; an
// error TExprParser raises on reading alone becomes a step at the point where it would raise
// it, after the values it would compute first. So every evaluation gives the value, or the
// error, that TExprParser::Evaluate gives for the text.
#pragma once

#include "filter/expr/ParsFunc.h"
#include "filter/expr/ParsGlob.h"
#include "filter/expr/ParsOp.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class TExprProgram {
public:
    TExprProgram() = default;
    TExprProgram(const TExprProgram&) = delete;
    TExprProgram& operator=(const TExprProgram&) = delete;

    // Evaluates text into result as TExprParser::Evaluate does. The text is read again only
    // when it differs from the last one, or when functions were registered since.
    void Evaluate(std::string_view text, TExpr& result);

    // The opaque value passed to every function handler.
    void* Context = nullptr;

    // Number of steps of the text read last (for tests and measurements).
    std::size_t StepCount() const { return steps_.size(); }

private:
    friend class TExprCompiler;

    enum class StepKind : std::uint8_t {
        Null,     // push a null value
        Constant, // push constants_[Index]
        Absent,   // the top must be null (another operand follows it): pop it
        NotEmpty, // the top must not be null (a parenthesis closes)
        Operate,  // apply Operation to the two top values (with Count 1: to a null value and
                  // the top value, for a prefix operator), leaving its result
        Call,     // call Function with the Count top values (or, when Literals is not
                  // negative, with the Count literals from constants_[Literals]), leaving its
                  // result (kept in kept_[Keep] when Keep is not negative)
        Recall,   // push kept_[Index], the result of the same call made before
        Fail,     // raise messages_[Index]
    };

    static constexpr std::uint32_t NoCheck = 0xFFFFFFFF;

    struct Step {
        StepKind Kind = StepKind::Null;
        std::int32_t Count = 0;
        std::uint32_t Index = 0; // the constant, or the message raised when the step fails
        std::int32_t Keep = -1;
        std::int32_t Literals = -1;
        // For Call and Recall: NotEmpty's message when a parenthesis closes right after it.
        std::uint32_t NotEmpty = NoCheck;
        const TOperation* Operation = nullptr;
        TExprFunction Function = nullptr;
    };

    void compile(std::string_view text);
    void run(TExpr& result);

    std::string text_;
    bool compiled_ = false;
    int functionCount_ = 0; // the registry's size when text_ was read
    std::vector<Step> steps_;
    std::vector<TExpr> constants_;
    std::vector<std::string> messages_;
    std::vector<TExpr> kept_;  // results of repeatable calls, for the same calls further on
    std::vector<TExpr> stack_; // as deep as the steps need, reused between evaluations
    TExpr scratch_;            // a call's result while its arguments are still in use, or the
                               // null left operand of a prefix operator
};
