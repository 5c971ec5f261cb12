#include "filter/expr/Parser.h"

#include <cstring>
#include <new>
#include <vector>

namespace {

// Reasons of the reader's errors.
constexpr std::string_view OperationAbsent = "Operation absent";
constexpr std::string_view UnclosedBrace = "Unclosed brace";
constexpr std::string_view EmptyExpression = "Empty expression";
constexpr std::string_view IllegalCharacter = "Illegal character";
constexpr std::string_view UnterminatedString = "Unterminated string";
constexpr std::string_view UnknownOperation = "Unknown operation: ";
constexpr std::string_view InvalidArguments = "Invalid arguments for operation";
constexpr std::string_view UnknownFunction = "Unknown function: ";
constexpr std::string_view ErrorInFunction = "Error in function: ";
constexpr std::string_view NestedTooDeeply = "Expression nested too deeply";
constexpr std::string_view UnexpectedBrace = "Unexpected closing brace";
constexpr std::string_view UnexpectedComma = "Unexpected comma";

constexpr bool isDigit(char c) {
    return c >= '0' && c <= '9';
}
constexpr bool isLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}
constexpr bool isIdentChar(char c) {
    return isLetter(c) || isDigit(c) || c == '_';
}
bool isHexDigit(char c) {
    return isDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// What a character starts where a token may begin.
enum CharClass : unsigned char {
    ccIllegal,
    ccEnd,
    ccStop,
    ccLetter,
    ccDigit,
    ccQuote,
    ccOpen,
    ccOperator
};

struct CharClasses {
    CharClass Of[256];
    bool Ident[256]; // continues an identifier
    constexpr CharClasses() : Of{}, Ident{} {
        for (int c = 0; c < 256; ++c) {
            const char ch = static_cast<char>(c);
            Ident[c] = isIdentChar(ch);
            Of[c] = c == 0                      ? ccEnd
                    : (ch == ')' || ch == ',')  ? ccStop
                    : isLetter(ch)              ? ccLetter
                    : isDigit(ch)               ? ccDigit
                    : (ch == '\'' || ch == '"') ? ccQuote
                    : ch == '('                 ? ccOpen
                    : IsOperatorChar(ch)        ? ccOperator
                                                : ccIllegal;
        }
    }
};

constexpr CharClasses Classes;

std::string upperName(std::string_view name) {
    std::string s(name);
    for (char& c : s)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 32);
    return s;
}

std::string joined(std::string_view a, std::string_view b) {
    std::string s(a);
    s += b;
    return s;
}

} // namespace

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
    const char* open = pos_;
    const char quote = *pos_++;
    const char* close =
        static_cast<const char*>(std::memchr(pos_, quote, static_cast<std::size_t>(end_ - pos_)));
    if (!close)
        fail(UnterminatedString, open);
    if (close + 1 >= end_ || close[1] != quote) {
        v.SetString(std::string_view(pos_, static_cast<std::size_t>(close - pos_)));
    } else {
        // Doubled quotes stand for one.
        std::string text;
        for (;;) {
            text.append(pos_, close + 1); // the piece and one quote
            pos_ = close + 2;
            close = static_cast<const char*>(
                std::memchr(pos_, quote, static_cast<std::size_t>(end_ - pos_)));
            if (!close)
                fail(UnterminatedString, open);
            if (close + 1 >= end_ || close[1] != quote)
                break;
        }
        text.append(pos_, close);
        v.SetString(std::move(text));
    }
    pos_ = close + 1;
    skipBlanks();
}

void TExprParser::readNumber(TExpr& v) {
    const char* start = pos_;
    if (*pos_ == '0' && pos_ + 1 < end_ && pos_[1] == 'x') {
        pos_ += 2;
        std::uint32_t value = 0;
        int digits = 0, significant = 0;
        for (; pos_ < end_ && isHexDigit(*pos_); ++pos_) {
            const char c = *pos_;
            const unsigned d = isDigit(c) ? static_cast<unsigned>(c - '0')
                                          : static_cast<unsigned>((c | 0x20) - 'a' + 10);
            ++digits;
            if (significant > 0 || d != 0)
                ++significant;
            value = (value << 4) | d;
        }
        v.SetInteger(digits > 0 && significant <= 8 ? static_cast<std::int32_t>(value) : 0);
    } else {
        while (pos_ < end_ && isDigit(*pos_))
            ++pos_;
        if (current() == '.') {
            ++pos_;
            while (pos_ < end_ && isDigit(*pos_))
                ++pos_;
            v.SetFloat(
                TextToFloat(std::string_view(start, static_cast<std::size_t>(pos_ - start))));
        } else {
            v.SetInteger(
                TextToInteger(std::string_view(start, static_cast<std::size_t>(pos_ - start))));
        }
    }
    skipBlanks();
}
