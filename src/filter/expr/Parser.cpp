#include "filter/expr/Parser.h"

#include "filter/expr/ExprReading.h"

#include <cstring>
#include <new>
#include <vector>

using namespace ExprReading;

// The arguments of one call: room for 8 values in place, constructed only as they are used;
// a call with more arguments moves them to the heap. Storage is raw memory on purpose: a value
// is constructed in it only when the call gets that argument.
struct TExprParser::Args { // NOLINT(cppcoreguidelines-pro-type-member-init)
    static constexpr int InPlace = 8;
    alignas(TExpr) unsigned char Storage[InPlace * sizeof(TExpr)];
    std::vector<TExpr> More;
    int Count = 0;

    Args() = default; // NOLINT(cppcoreguidelines-pro-type-member-init)
    Args(const Args&) = delete;
    Args& operator=(const Args&) = delete;
    ~Args() {
        TExpr* fixed = inPlace();
        for (int i = 0, n = Count < InPlace ? Count : InPlace; i < n; ++i)
            fixed[i].~TExpr();
    }

    TExpr* inPlace() { return std::launder(reinterpret_cast<TExpr*>(Storage)); }

    TExpr& add() {
        if (Count < InPlace)
            return *new (Storage + sizeof(TExpr) * static_cast<std::size_t>(Count++)) TExpr();
        if (More.empty()) {
            More.reserve(2 * static_cast<std::size_t>(InPlace));
            TExpr* fixed = inPlace();
            for (int i = 0; i < InPlace; ++i)
                More.push_back(std::move(fixed[i]));
        }
        ++Count;
        return More.emplace_back();
    }
    TExpr* data() { return More.empty() ? inPlace() : More.data(); }
};

void TExprParser::fail(std::string_view reason, const char* at) const {
    std::string message(reason);
    message += ". Position ";
    message += std::to_string(position(at));
    RaiseExprError(message);
}

void TExprParser::tooDeep() const {
    fail(NestedTooDeeply, pos_);
}

void TExprParser::Evaluate(std::string_view text, TExpr& result) {
    result.SetNull();
    lastOpStart_ = std::string_view::npos;
    depth_ = 0;
    if (text.empty())
        return;
    begin_ = pos_ = text.data();
    const void* nul = std::memchr(text.data(), 0, text.size());
    end_ = nul ? static_cast<const char*>(nul) : text.data() + text.size();
    skipBlanks();
    readExpression(0, result);
    // Reading stops at a closing parenthesis or a comma; at the outermost level neither
    // belongs to anything, so the rest of the text would be ignored silently.
    if (current() == ')')
        fail(UnexpectedBrace, pos_);
    if (current() == ',')
        fail(UnexpectedComma, pos_);
}

void TExprParser::readExpression(int level, TExpr& v) {
    enter();
    v.SetNull();
    readOperands(level, v);
}

void TExprParser::readOperands(int level, TExpr& v) {
    for (;;) {
        switch (Classes.Of[static_cast<unsigned char>(current())]) {
        case ccEnd:
        case ccStop:
            --depth_;
            return;
        case ccLetter:
            if (!v.IsNull())
                fail(OperationAbsent, pos_);
            readCall(v);
            continue;
        case ccDigit:
            if (!v.IsNull())
                fail(OperationAbsent, pos_);
            readNumber(v);
            continue;
        case ccQuote:
            if (!v.IsNull())
                fail(OperationAbsent, pos_);
            readString(v);
            continue;
        case ccOpen:
            ++pos_;
            if (!v.IsNull())
                fail(OperationAbsent, pos_);
            skipBlanks();
            readExpression(0, v);
            if (current() != ')')
                fail(UnclosedBrace, pos_);
            if (v.IsNull())
                fail(EmptyExpression, pos_);
            ++pos_;
            skipBlanks();
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
            return;
        }
        TExpr right;
        readExpression(op.Priority, right);
        if (right.IsNull() || !op.Func(v, right))
            fail(InvalidArguments, begin_ + lastOpStart_);
    }
}

const TOperation& TExprParser::readOperator() {
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
    if (lastOp_ && OperationNameIs(*lastOp_, token))
        return *lastOp_;
    const TOperation* op = FindOperation(token);
    if (!op) {
        lastOpStart_ = std::string_view::npos;
        fail(joined(UnknownOperation, token), begin_ + start);
    }
    lastOp_ = op;
    return *op;
}

void TExprParser::readCall(TExpr& v) {
    const char* nameStart = pos_;
    while (pos_ < end_ && Classes.Ident[static_cast<unsigned char>(*pos_)])
        ++pos_;
    const std::string_view name(nameStart, static_cast<std::size_t>(pos_ - nameStart));
    skipBlanks();
    Args args;
    if (current() == '(') {
        ++pos_;
        skipBlanks();
        if (current() != ')') {
            for (;;) {
                TExpr& arg = args.add();
                if (current() == '\'' || current() == '"') {
                    // A text, the usual argument of the filter's functions: read as
                    // readExpression reads it, without the round trip when nothing follows.
                    enter();
                    readString(arg);
                    if (current() == ',' || current() == ')')
                        --depth_;
                    else
                        readOperands(0, arg);
                } else {
                    readExpression(0, arg);
                }
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
    const TExprFunction handler = FindFunction(name);
    if (!handler)
        fail(joined(UnknownFunction, upperName(name)), nameStart);
    v.SetNull();
    if (!handler(Context, v, args.Count, args.data()))
        fail(joined(ErrorInFunction, upperName(name)), nameStart);
}

void TExprParser::readString(TExpr& v) {
    const char* after = ScanString(pos_, end_, v);
    if (!after)
        fail(UnterminatedString, pos_);
    pos_ = after;
    skipBlanks();
}

void TExprParser::readNumber(TExpr& v) {
    pos_ = ScanNumber(pos_, end_, v);
    skipBlanks();
}
