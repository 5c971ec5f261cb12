#include "filter/expr/ParsOp.h"

#include <cmath>
#include <cstring>

namespace {

bool isBitType(TExprType t) {
    return t == etBoolean || t == etInteger;
}

std::int32_t wrap(std::uint32_t v) {
    return static_cast<std::int32_t>(v);
}
std::uint32_t bits(std::int32_t v) {
    return static_cast<std::uint32_t>(v);
}

double checkedFloat(double v) {
    if (!std::isfinite(v))
        RaiseExprError(ExprMessages::FloatOverflow);
    return v;
}

// --- bitwise

bool opComplement(TExpr& l, TExpr& r) {
    if (!l.IsNull() || !isBitType(r.ExprType))
        return false;
    UnifyExpr(l, r);
    l.SetInteger(wrap(~bits(r.AsInteger)));
    return true;
}

template <typename F> bool bitwise(TExpr& l, TExpr& r, F f) {
    if (!isBitType(l.ExprType) || !isBitType(r.ExprType))
        return false;
    UnifyExpr(l, r);
    l.SetInteger(wrap(f(bits(l.AsInteger), bits(r.AsInteger))));
    return true;
}

bool opAnd(TExpr& l, TExpr& r) {
    return bitwise(l, r, [](std::uint32_t a, std::uint32_t b) { return a & b; });
}
bool opOr(TExpr& l, TExpr& r) {
    return bitwise(l, r, [](std::uint32_t a, std::uint32_t b) { return a | b; });
}
bool opXor(TExpr& l, TExpr& r) {
    return bitwise(l, r, [](std::uint32_t a, std::uint32_t b) { return a ^ b; });
}
bool opShl(TExpr& l, TExpr& r) {
    return bitwise(l, r, [](std::uint32_t a, std::uint32_t b) { return a << (b & 31u); });
}
bool opShr(TExpr& l, TExpr& r) {
    return bitwise(l, r, [](std::uint32_t a, std::uint32_t b) { return a >> (b & 31u); });
}

// --- logical: booleans only, nothing is converted

bool opNot(TExpr& l, TExpr& r) {
    if (!l.IsNull() || r.ExprType != etBoolean)
        return false;
    l.SetBoolean(!r.AsBoolean);
    return true;
}

template <typename F> bool logical(TExpr& l, TExpr& r, F f) {
    if (l.ExprType != etBoolean || r.ExprType != etBoolean)
        return false;
    l.SetBoolean(f(l.AsBoolean, r.AsBoolean));
    return true;
}

bool opLogAnd(TExpr& l, TExpr& r) {
    return logical(l, r, [](bool a, bool b) { return a && b; });
}
bool opLogOr(TExpr& l, TExpr& r) {
    return logical(l, r, [](bool a, bool b) { return a || b; });
}
bool opLogXor(TExpr& l, TExpr& r) {
    return logical(l, r, [](bool a, bool b) { return a != b; });
}

// --- comparisons: -1, 0 or 1 after widening

template <typename F> bool compare(TExpr& l, TExpr& r, F accept) {
    if (l.IsNull())
        return false;
    UnifyExpr(l, r);
    int c = 0;
    switch (l.ExprType) {
    case etInteger:
        c = (l.AsInteger > r.AsInteger) - (l.AsInteger < r.AsInteger);
        break;
    case etFloat:
        c = (l.AsFloat > r.AsFloat) - (l.AsFloat < r.AsFloat);
        break;
    case etString: {
        const int k = l.AsString.compare(r.AsString);
        c = (k > 0) - (k < 0);
        break;
    }
    default:
        return false;
    }
    l.SetBoolean(accept(c));
    return true;
}

bool opGe(TExpr& l, TExpr& r) {
    return compare(l, r, [](int c) { return c >= 0; });
}
bool opLe(TExpr& l, TExpr& r) {
    return compare(l, r, [](int c) { return c <= 0; });
}
bool opEq(TExpr& l, TExpr& r) {
    return compare(l, r, [](int c) { return c == 0; });
}
bool opNe(TExpr& l, TExpr& r) {
    return compare(l, r, [](int c) { return c != 0; });
}
bool opGt(TExpr& l, TExpr& r) {
    return compare(l, r, [](int c) { return c > 0; });
}
bool opLt(TExpr& l, TExpr& r) {
    return compare(l, r, [](int c) { return c < 0; });
}

// --- arithmetic

// The numeric type both operands widen to, or etNull when texts are involved.
TExprType numericType(const TExpr& l, const TExpr& r) {
    const TExprType t = WidestExprType(l.ExprType, r.ExprType);
    return t == etString ? etNull : t;
}

bool opPower(TExpr& l, TExpr& r) {
    if (l.IsNull())
        return false;
    const TExprType t = numericType(l, r);
    if (t == etNull)
        return false;
    UnifyExpr(l, r);
    const double base = t == etInteger ? l.AsInteger : l.AsFloat;
    const double exponent = t == etInteger ? r.AsInteger : r.AsFloat;
    if (base == 0.0)
        RaiseExprError(ExprMessages::FloatDivisionByZero);
    if (base < 0.0)
        RaiseExprError(ExprMessages::InvalidFloatOperation);
    const double v = checkedFloat(std::exp(exponent * std::log(base)));
    if (t == etInteger)
        l.SetInteger(RoundToInt32(v));
    else
        l.SetFloat(v);
    return true;
}

bool opDivide(TExpr& l, TExpr& r) {
    if (l.IsNull())
        return false;
    const TExprType t = numericType(l, r);
    if (t == etNull)
        return false;
    UnifyExpr(l, r);
    if (t == etInteger) {
        if (r.AsInteger == 0)
            RaiseExprError(ExprMessages::DivisionByZero);
        // -2147483648 / -1 wraps like every other integer result.
        l.SetInteger(r.AsInteger == -1 ? wrap(0u - bits(l.AsInteger)) : l.AsInteger / r.AsInteger);
    } else {
        if (r.AsFloat == 0.0)
            RaiseExprError(l.AsFloat == 0.0 ? ExprMessages::InvalidFloatOperation
                                            : ExprMessages::FloatDivisionByZero);
        l.SetFloat(checkedFloat(l.AsFloat / r.AsFloat));
    }
    return true;
}

bool opMultiply(TExpr& l, TExpr& r) {
    if (l.IsNull())
        return false;
    const TExprType t = numericType(l, r);
    if (t == etNull)
        return false;
    UnifyExpr(l, r);
    if (t == etInteger)
        l.SetInteger(wrap(bits(l.AsInteger) * bits(r.AsInteger)));
    else
        l.SetFloat(checkedFloat(l.AsFloat * r.AsFloat));
    return true;
}

bool opModulo(TExpr& l, TExpr& r) {
    if (l.IsNull() || WidestExprType(l.ExprType, r.ExprType) != etInteger)
        return false;
    UnifyExpr(l, r);
    if (r.AsInteger == 0)
        RaiseExprError(ExprMessages::DivisionByZero);
    l.SetInteger(r.AsInteger == -1 ? 0 : l.AsInteger % r.AsInteger);
    return true;
}

bool opMinus(TExpr& l, TExpr& r) {
    const TExprType t = numericType(l, r);
    if (t == etNull)
        return false;
    UnifyExpr(l, r); // an absent left operand becomes 0
    if (t == etInteger)
        l.SetInteger(wrap(bits(l.AsInteger) - bits(r.AsInteger)));
    else
        l.SetFloat(checkedFloat(l.AsFloat - r.AsFloat));
    return true;
}

bool opPlus(TExpr& l, TExpr& r) {
    if (l.IsNull())
        return false;
    UnifyExpr(l, r);
    switch (l.ExprType) {
    case etInteger:
        l.SetInteger(wrap(bits(l.AsInteger) + bits(r.AsInteger)));
        break;
    case etFloat:
        l.SetFloat(checkedFloat(l.AsFloat + r.AsFloat));
        break;
    default:
        l.AsString += r.AsString;
        break;
    }
    return true;
}

} // namespace

// constexpr, so that the index below is built while compiling.
extern constexpr TOperation OperationTable[OperationCount] = {
    {"~", 14, opComplement}, {"&", 12, opAnd},    {"|", 12, opOr},      {"^", 12, opXor},
    {"<<", 13, opShl},       {">>", 13, opShr},   {"!", 3, opNot},      {"&&", 1, opLogAnd},
    {"||", 1, opLogOr},      {"^^", 1, opLogXor}, {">=", 2, opGe},      {"<=", 2, opLe},
    {"==", 2, opEq},         {"!=", 2, opNe},     {">", 2, opGt},       {"<", 2, opLt},
    {"**", 9, opPower},      {"/", 7, opDivide},  {"*", 7, opMultiply}, {"%", 7, opModulo},
    {"-", 5, opMinus},       {"+", 5, opPlus},
};

namespace {

// For every first character, the table entries whose name starts with it, in table order.
struct FirstCharIndex {
    signed char Entries[128][4];
    constexpr FirstCharIndex() : Entries{} {
        for (auto& e : Entries)
            for (auto& i : e)
                i = -1;
        for (int k = 0; k < OperationCount; ++k) {
            signed char* e = Entries[static_cast<unsigned char>(OperationTable[k].Name[0])];
            while (*e >= 0)
                ++e;
            *e = static_cast<signed char>(k);
        }
    }
};

constexpr FirstCharIndex byFirstChar;

} // namespace

const TOperation* FindOperation(std::string_view token) {
    if (token.empty() || static_cast<unsigned char>(token[0]) >= 128)
        return nullptr;
    for (const signed char* e = byFirstChar.Entries[static_cast<unsigned char>(token[0])]; *e >= 0;
         ++e)
        if (OperationNameIs(OperationTable[*e], token))
            return &OperationTable[*e];
    return nullptr;
}
