// The operator table of the expression language and the operator functions.
#pragma once

#include "filter/expr/ParsGlob.h"

#include <cstdint>
#include <string_view>

// An operator function turns left into the result in place. It returns false when it does not
// accept the operand types; an absent left operand (prefix use) is an etNull value.
using TOperationFunc = bool (*)(TExpr& left, TExpr& right);

struct TOperation {
    const char* Name;
    std::int32_t Priority; // higher binds tighter
    TOperationFunc Func;
};

inline constexpr int OperationCount = 22;
extern const TOperation OperationTable[OperationCount];

// Whether the operator's name is token.
inline bool OperationNameIs(const TOperation& op, std::string_view token) {
    const char* name = op.Name;
    std::size_t i = 0;
    while (i < token.size() && name[i] == token[i])
        ++i;
    return i == token.size() && name[i] == '\0';
}

// The first entry of OperationTable named token, or nullptr.
const TOperation* FindOperation(std::string_view token);

// Whether c is one of the characters that make up operator tokens.
constexpr bool IsOperatorChar(char c) {
    switch (c) {
    case '!':
    case '#':
    case '$':
    case '%':
    case '&':
    case '*':
    case '+':
    case '-':
    case '/':
    case '<':
    case '=':
    case '>':
    case '?':
    case '\\':
    case '^':
    case '_':
    case '|':
    case '~':
    case '@':
    case '`':
        return true;
    default:
        return false;
    }
}
