#include "filter/expr/Program.h"

#include "filter/expr/ExprReading.h"
#include "filter/expr/Parser.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <utility>

using namespace ExprReading;

// Reads a text exactly as TExprParser reads it (the same procedures, the same depth count, the
// same memory of the last operator read), writing down each computation as a step instead of
// performing it. Where TExprParser would raise an error on reading alone, a Fail step ends the
// program: the steps before it are the computations TExprParser performs before that error.
class TExprCompiler {
public:
    explicit TExprCompiler(TExprProgram& program) : p_(program) {}

    void Compile(std::string_view text) {
        p_.steps_.clear();
        p_.constants_.clear();
        p_.messages_.clear();
        p_.kept_.clear();
        if (text.empty()) {
            pushNull();
        } else {
            begin_ = pos_ = text.data();
            const void* nul = std::memchr(text.data(), 0, text.size());
            end_ = nul ? static_cast<const char*>(nul) : text.data() + text.size();
            try {
                skipBlanks();
                readExpression(0);
                if (current() == ')')
                    fail(UnexpectedBrace, pos_);
                if (current() == ',')
                    fail(UnexpectedComma, pos_);
            } catch (const Stop&) {
            }
        }
        p_.stack_.resize(maxHeight_ + 1);
    }

private:
    using Kind = TExprProgram::StepKind;
    struct Stop {}; // reading ended with a Fail step

    TExprProgram& p_;
    const char* begin_ = nullptr;
    const char* pos_ = nullptr;
    const char* end_ = nullptr;
    int depth_ = 0;
    const TOperation* lastOp_ = nullptr;
    std::size_t lastOpStart_ = std::string_view::npos;
    std::size_t lastOpEnd_ = 0;
    std::size_t height_ = 0, maxHeight_ = 0; // values on the stack when the steps run
    // The calls of repeatable functions with literal arguments made so far, each with the
    // index of its kept result.
    struct KeptCall {
        TExprFunction Function;
        std::size_t First; // its literals in the constants
        std::int32_t Count;
    };
    std::vector<KeptCall> keptCalls_;

    char current() const { return pos_ < end_ ? *pos_ : '\0'; }
    void skipBlanks() {
        while (pos_ < end_ && static_cast<unsigned char>(*pos_) - 1u < 32u)
            ++pos_;
    }
    std::string positioned(std::string_view reason, const char* at) const {
        std::string message(reason);
        message += ". Position ";
        message += std::to_string(static_cast<int>(at - begin_) + 1);
        return message;
    }

    std::uint32_t addMessage(std::string message) {
        p_.messages_.push_back(std::move(message));
        return static_cast<std::uint32_t>(p_.messages_.size() - 1);
    }
    void add(TExprProgram::Step step, std::size_t pops, std::size_t pushes) {
        p_.steps_.push_back(step);
        height_ = height_ - pops + pushes;
        if (height_ > maxHeight_)
            maxHeight_ = height_;
    }
    void pushNull() { add({Kind::Null}, 0, 1); }
    void pushConstant(TExpr&& value) {
        p_.constants_.push_back(std::move(value));
        add({Kind::Constant, 0, static_cast<std::uint32_t>(p_.constants_.size() - 1)}, 0, 1);
    }
    void check(Kind kind, std::string_view reason, const char* at) {
        add({kind, 0, addMessage(positioned(reason, at))}, kind == Kind::Absent ? 1 : 0, 0);
    }
    [[noreturn]] void failWith(std::string message) {
        add({Kind::Fail, 0, addMessage(std::move(message))}, 0, 0);
        throw Stop{};
    }
    [[noreturn]] void fail(std::string_view reason, const char* at) {
        failWith(positioned(reason, at));
    }

    // A parenthesis closes over the value the last step left on the stack: it must not be
    // null. A literal and an operator's result never are, nor is a value checked already; the
    // result of a call is checked by the call's step itself.
    void checkNotEmpty() {
        TExprProgram::Step& last = p_.steps_.back();
        switch (last.Kind) {
        case Kind::Constant:
        case Kind::Operate:
        case Kind::NotEmpty:
            return;
        case Kind::Call:
        case Kind::Recall:
            if (last.NotEmpty == TExprProgram::NoCheck)
                last.NotEmpty = addMessage(positioned(EmptyExpression, pos_));
            return;
        default:
            add({Kind::NotEmpty, 0, addMessage(positioned(EmptyExpression, pos_))}, 0, 0);
            return;
        }
    }

    void enter() {
        if (++depth_ > TExprParser::MaxDepth)
            fail(NestedTooDeeply, pos_);
    }

    // Leaves the expression's value on the stack.
    void readExpression(int level) {
        enter();
        readOperands(level, false);
    }

    // have: whether the expression's first operand is already on the stack.
    void readOperands(int level, bool have) {
        for (;;) {
            switch (Classes.Of[static_cast<unsigned char>(current())]) {
            case ccEnd:
            case ccStop:
                --depth_;
                if (!have)
                    pushNull();
                return;
            case ccLetter:
                if (have)
                    check(Kind::Absent, OperationAbsent, pos_);
                readCall();
                have = true;
                continue;
            case ccDigit:
                if (have)
                    check(Kind::Absent, OperationAbsent, pos_);
                readNumber();
                have = true;
                continue;
            case ccQuote:
                if (have)
                    check(Kind::Absent, OperationAbsent, pos_);
                readString();
                have = true;
                continue;
            case ccOpen:
                ++pos_;
                if (have)
                    check(Kind::Absent, OperationAbsent, pos_);
                skipBlanks();
                readExpression(0);
                if (current() != ')')
                    fail(UnclosedBrace, pos_);
                checkNotEmpty();
                ++pos_;
                skipBlanks();
                have = true;
                continue;
            case ccIllegal:
                fail(IllegalCharacter, pos_);
            case ccOperator:
                break;
            }
            const char* opStart = pos_;
            const TOperation& op = readOperator();
            if (op.Priority <= level) {
                pos_ = opStart; // a shallower level takes it
                --depth_;
                if (!have)
                    pushNull();
                return;
            }
            // A prefix operator when there is no operand yet: its left operand is null.
            const bool prefix = !have;
            have = true;
            readExpression(op.Priority);
            TExprProgram::Step step{
                Kind::Operate, prefix ? 1 : 0,
                addMessage(positioned(InvalidArguments, begin_ + lastOpStart_))};
            step.Operation = &op;
            add(step, prefix ? 1 : 2, 1);
        }
    }

    const TOperation& readOperator() {
        const std::size_t start = static_cast<std::size_t>(pos_ - begin_);
        if (start == lastOpStart_) {
            pos_ = begin_ + lastOpEnd_;
            return *lastOp_;
        }
        lastOpStart_ = start;
        const char* p = pos_;
        while (p < end_ && IsOperatorChar(*p))
            ++p;
        const std::string_view token(pos_, static_cast<std::size_t>(p - pos_));
        pos_ = p;
        skipBlanks();
        lastOpEnd_ = static_cast<std::size_t>(pos_ - begin_);
        const TOperation* op = FindOperation(token);
        if (!op) {
            lastOpStart_ = std::string_view::npos;
            fail(joined(UnknownOperation, token), begin_ + start);
        }
        lastOp_ = op;
        return *op;
    }

    void readCall() {
        const char* nameStart = pos_;
        while (pos_ < end_ && Classes.Ident[static_cast<unsigned char>(*pos_)])
            ++pos_;
        const std::string_view name(nameStart, static_cast<std::size_t>(pos_ - nameStart));
        skipBlanks();
        std::int32_t count = 0;
        bool literals = true; // whether every argument is a literal alone
        if (current() == '(') {
            ++pos_;
            skipBlanks();
            if (current() != ')') {
                for (;;) {
                    ++count;
                    const std::size_t argStart = p_.steps_.size();
                    if (current() == '\'' || current() == '"') {
                        enter();
                        readString();
                        if (current() == ',' || current() == ')')
                            --depth_;
                        else
                            readOperands(0, true);
                    } else {
                        readExpression(0);
                    }
                    literals = literals && p_.steps_.size() == argStart + 1 &&
                               p_.steps_.back().Kind == Kind::Constant;
                    if (current() != ',')
                        break;
                    ++pos_;
                    skipBlanks();
                }
            }
            if (current() != ')')
                fail(UnclosedBrace, nameStart);
            ++pos_;
            skipBlanks();
        }
        TFunctionCalls calls = TFunctionCalls::EachTime;
        const TExprFunction handler = FindFunction(name, calls);
        if (!handler)
            fail(joined(UnknownFunction, upperName(name)), nameStart);
        if (calls == TFunctionCalls::Repeatable && literals) {
            // The literals stay among the constants, where the call reads them.
            p_.steps_.resize(p_.steps_.size() - static_cast<std::size_t>(count));
            height_ -= static_cast<std::size_t>(count);
            if (recall(handler, count))
                return;
        }
        TExprProgram::Step step{
            Kind::Call, count,
            addMessage(positioned(joined(ErrorInFunction, upperName(name)), nameStart))};
        step.Function = handler;
        if (calls == TFunctionCalls::Repeatable && literals) {
            const std::size_t first = p_.constants_.size() - static_cast<std::size_t>(count);
            step.Literals = static_cast<std::int32_t>(first);
            // Kept for the same call further on.
            step.Keep = static_cast<std::int32_t>(keptCalls_.size());
            keptCalls_.push_back({handler, first, count});
            p_.kept_.emplace_back();
            add(step, 0, 1);
            return;
        }
        add(step, static_cast<std::size_t>(count), 1);
    }

    static bool sameValue(const TExpr& a, const TExpr& b) {
        return a.ExprType == b.ExprType && a.AsString == b.AsString && a.Payload == b.Payload;
    }

    // For a call of a repeatable function whose count arguments are the last constants: when
    // the same call was made before, drops the constants and adds a step that pushes the kept
    // result of that call.
    bool recall(TExprFunction handler, std::int32_t count) {
        const auto args = p_.constants_.end() - count;
        for (std::size_t k = 0; k < keptCalls_.size(); ++k) {
            const KeptCall& c = keptCalls_[k];
            const auto kept = p_.constants_.begin() + static_cast<std::ptrdiff_t>(c.First);
            if (c.Function != handler || c.Count != count ||
                !std::equal(kept, kept + count, args, sameValue))
                continue;
            p_.constants_.erase(args, p_.constants_.end());
            add({Kind::Recall, 0, static_cast<std::uint32_t>(k)}, 0, 1);
            return true;
        }
        return false;
    }

    void readString() {
        TExpr value;
        const char* after = ScanString(pos_, end_, value);
        if (!after)
            fail(UnterminatedString, pos_);
        pos_ = after;
        skipBlanks();
        pushConstant(std::move(value));
    }

    void readNumber() {
        TExpr value;
        const char* after = nullptr;
        try {
            after = ScanNumber(pos_, end_, value);
        } catch (const std::runtime_error& e) {
            failWith(e.what()); // raised while reading, before anything after the number
        }
        pos_ = after;
        skipBlanks();
        pushConstant(std::move(value));
    }
};

void TExprProgram::Evaluate(std::string_view text, TExpr& result) {
    const int functions = RegisteredFunctionCount();
    if (!compiled_ || functions != functionCount_ || text != text_) {
        compiled_ = false;
        text_.assign(text);
        functionCount_ = functions;
        compile(text_);
        compiled_ = true;
    }
    run(result);
}

void TExprProgram::compile(std::string_view text) {
    TExprCompiler(*this).Compile(text);
}

namespace {

// Values move between the stack, the kept results and the caller's value without giving up
// the memory of their texts, so that evaluations after the first allocate nothing.

// Makes to the value of from, which is not needed any more.
void take(TExpr& to, TExpr& from) {
    if (from.ExprType == etString)
        std::swap(to.AsString, from.AsString);
    else
        to.AsString.clear();
    to.ExprType = from.ExprType;
    to.Payload = from.Payload;
}

void copy(TExpr& to, const TExpr& from) {
    if (from.ExprType == etString)
        to.AsString = from.AsString;
    else
        to.AsString.clear();
    to.ExprType = from.ExprType;
    to.Payload = from.Payload;
}

} // namespace

void TExprProgram::run(TExpr& result) {
    result.SetNull();
    TExpr* stack = stack_.data();
    std::size_t top = 0;
    for (const Step& step : steps_) {
        switch (step.Kind) {
        case StepKind::Null:
            stack[top++].SetNull();
            break;
        case StepKind::Constant:
            copy(stack[top++], constants_[step.Index]);
            break;
        case StepKind::Absent:
            if (!stack[top - 1].IsNull())
                RaiseExprError(messages_[step.Index]);
            --top;
            break;
        case StepKind::NotEmpty:
            if (stack[top - 1].IsNull())
                RaiseExprError(messages_[step.Index]);
            break;
        case StepKind::Operate: {
            TExpr& right = stack[top - 1];
            if (step.Count) {
                scratch_.SetNull();
                if (right.IsNull() || !step.Operation->Func(scratch_, right))
                    RaiseExprError(messages_[step.Index]);
                take(right, scratch_);
                break;
            }
            --top;
            if (right.IsNull() || !step.Operation->Func(stack[top - 1], right))
                RaiseExprError(messages_[step.Index]);
            break;
        }
        case StepKind::Call: {
            scratch_.SetNull();
            TExpr* args;
            if (step.Literals >= 0) {
                args = constants_.data() + step.Literals;
            } else {
                top -= static_cast<std::size_t>(step.Count);
                args = stack + top;
            }
            if (!step.Function(Context, scratch_, step.Count, args))
                RaiseExprError(messages_[step.Index]);
            take(stack[top++], scratch_);
            if (step.Keep >= 0)
                copy(kept_[static_cast<std::size_t>(step.Keep)], stack[top - 1]);
            if (step.NotEmpty != NoCheck && stack[top - 1].IsNull())
                RaiseExprError(messages_[step.NotEmpty]);
            break;
        }
        case StepKind::Recall:
            copy(stack[top++], kept_[step.Index]);
            if (step.NotEmpty != NoCheck && stack[top - 1].IsNull())
                RaiseExprError(messages_[step.NotEmpty]);
            break;
        case StepKind::Fail:
            RaiseExprError(messages_[step.Index]);
        }
    }
    take(result, stack[0]);
}
