// TExprParser: the single-pass evaluator of the expression language. It reads the text and
// computes its value at the same time (precedence climbing over OperationTable); nothing of
// the text is kept between evaluations but the last operator read. TExprProgram (Program.h)
// reads a text the same way once and evaluates it many times: a change to how this class reads
// goes into TExprCompiler too (the expression tests run every text through both).
#pragma once

#include "filter/expr/ParsFunc.h"
#include "filter/expr/ParsGlob.h"
#include "filter/expr/ParsOp.h"

#include <string>
#include <string_view>

class TExprParser {
public:
    // Deepest nesting of parentheses, operands and argument lists that one evaluation reads;
    // deeper texts fail with a clean error instead of exhausting the stack.
    static constexpr int MaxDepth = 1000;

    TExprParser() = default;
    TExprParser(const TExprParser&) = delete;
    TExprParser& operator=(const TExprParser&) = delete;

    // Evaluates text into result. The text ends at its end or at its first NUL character.
    // Errors are raised as std::runtime_error, with "%s. Position %d" for the reader's own
    // errors; result is meaningful only when nothing was raised.
    void Evaluate(std::string_view text, TExpr& result);

    // The opaque value passed to every function handler.
    void* Context = nullptr;

private:
    struct Args;

    // Reads an expression at a level into v (the one recursive procedure); readOperands
    // continues one whose first operand is already in v.
    void readExpression(int level, TExpr& v);
    void readOperands(int level, TExpr& v);
    void readCall(TExpr& v);
    void readString(TExpr& v);
    void readNumber(TExpr& v);
    const TOperation& readOperator();
    void enter() {
        if (++depth_ > MaxDepth)
            tooDeep();
    }
    [[noreturn]] void tooDeep() const;

    char current() const { return pos_ < end_ ? *pos_ : '\0'; }
    void skipBlanks() {
        while (pos_ < end_ && static_cast<unsigned char>(*pos_) - 1u < 32u)
            ++pos_;
    }
    int position(const char* p) const { return static_cast<int>(p - begin_) + 1; }
    [[noreturn]] void fail(std::string_view reason, const char* at) const;

    const char* begin_ = nullptr;
    const char* pos_ = nullptr;
    const char* end_ = nullptr;
    int depth_ = 0;
    // The last operator read: its entry, where it began and where reading went on after it
    // (its white space skipped). The start is forgotten by every Evaluate.
    const TOperation* lastOp_ = nullptr;
    std::size_t lastOpStart_ = std::string_view::npos;
    std::size_t lastOpEnd_ = 0;
};
