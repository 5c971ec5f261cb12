// What the expression reader and the expression compiler share: the wording of the reading
// errors, the character classes that decide what a token is, and the forms of names in
// messages.
#pragma once

#include "filter/expr/ParsGlob.h"
#include "filter/expr/ParsOp.h"

#include <string>
#include <string_view>

namespace ExprReading {

// Reasons of the reader's errors.
inline constexpr std::string_view OperationAbsent = "Operation absent";
inline constexpr std::string_view UnclosedBrace = "Unclosed brace";
inline constexpr std::string_view EmptyExpression = "Empty expression";
inline constexpr std::string_view IllegalCharacter = "Illegal character";
inline constexpr std::string_view UnterminatedString = "Unterminated string";
inline constexpr std::string_view UnknownOperation = "Unknown operation: ";
inline constexpr std::string_view InvalidArguments = "Invalid arguments for operation";
inline constexpr std::string_view UnknownFunction = "Unknown function: ";
inline constexpr std::string_view ErrorInFunction = "Error in function: ";
inline constexpr std::string_view NestedTooDeeply = "Expression nested too deeply";
inline constexpr std::string_view UnexpectedBrace = "Unexpected closing brace";
inline constexpr std::string_view UnexpectedComma = "Unexpected comma";

constexpr bool isDigit(char c) {
    return c >= '0' && c <= '9';
}
constexpr bool isLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}
constexpr bool isIdentChar(char c) {
    return isLetter(c) || isDigit(c) || c == '_';
}
constexpr bool isHexDigit(char c) {
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

inline constexpr CharClasses Classes;

inline std::string upperName(std::string_view name) {
    std::string s(name);
    for (char& c : s)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 32);
    return s;
}

inline std::string joined(std::string_view a, std::string_view b) {
    std::string s(a);
    s += b;
    return s;
}

// Reads the quoted text that starts at open (a quote) into v, a doubled quote standing for one.
// Returns where reading goes on after the closing quote, or nullptr when there is none.
const char* ScanString(const char* open, const char* end, TExpr& v);

// Reads the number that starts at start (a digit) into v: "0x" and hexadecimal digits, or
// decimal digits with an optional point and more digits. Returns where reading goes on. Raises
// the conversion errors of TextToInteger and TextToFloat.
const char* ScanNumber(const char* start, const char* end, TExpr& v);

} // namespace ExprReading
