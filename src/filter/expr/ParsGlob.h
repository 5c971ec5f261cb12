// The value type of the expression language and its conversions.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Type tags in widening order: when two operands meet, both become the wider of the two.
enum TExprType : std::uint8_t {
    etNull = 0,
    etBoolean = 1,
    etInteger = 2,
    etFloat = 3,
    etString = 4,
};

// One value of the language. AsString is used by etString only and is empty for every other
// type; the payload is read as AsBoolean, AsInteger or AsFloat according to ExprType.
// The union is initialised through Payload.
struct TExpr { // NOLINT(cppcoreguidelines-pro-type-member-init)
    TExprType ExprType = etNull;
    std::string AsString;
    union {
        bool AsBoolean;
        std::int32_t AsInteger;
        double AsFloat;
        std::uint64_t Payload = 0;
    };

    bool IsNull() const { return ExprType == etNull; }

    void SetNull() {
        ExprType = etNull;
        AsString.clear();
        Payload = 0;
    }
    void SetBoolean(bool value) {
        ExprType = etBoolean;
        AsString.clear();
        Payload = 0;
        AsBoolean = value;
    }
    void SetInteger(std::int32_t value) {
        ExprType = etInteger;
        AsString.clear();
        Payload = 0;
        AsInteger = value;
    }
    void SetFloat(double value) {
        ExprType = etFloat;
        AsString.clear();
        AsFloat = value;
    }
    void SetString(std::string_view value) {
        ExprType = etString;
        AsString.assign(value);
        Payload = 0;
    }
    void SetString(const char* value) { SetString(std::string_view(value)); }
    void SetString(std::string&& value) {
        ExprType = etString;
        AsString = std::move(value);
        Payload = 0;
    }

    // The first byte of the payload taken as a truth value, whatever the type: the boolean of
    // an etBoolean, the low byte of an etInteger, false for etNull and etString.
    bool PayloadTruth() const;
};

// Converts value in place to type (to its own type: nothing happens). Raises the conversion
// errors of text to integer and text to float, and "Invalid floating point operation" for a
// float too large to round to an integer.
void ConvertExpr(TExpr& value, TExprType type);

// Converts both operands in place to the widest of etInteger and their two types.
void UnifyExpr(TExpr& left, TExpr& right);

// The wider of etInteger and the two types (what UnifyExpr converts to).
inline TExprType WidestExprType(TExprType a, TExprType b) {
    TExprType t = a > b ? a : b;
    return t > etInteger ? t : etInteger;
}

// --- text forms

// The 23-character scientific form: sign or blank, one digit, point, 14 digits, E, the
// exponent's sign and four exponent digits (" 1.50000000000000E+0000").
std::string FloatToExprText(double value);

// Text to integer: leading blanks, an optional sign, then decimal digits; or, without a sign,
// "$", "x", "X", "0x" or "0X" and up to 8 significant hexadecimal digits. Raises
// "'%s' is not a valid integer value" for anything else.
std::int32_t TextToInteger(std::string_view text);
// As TextToInteger, giving false instead of raising.
bool TryTextToInteger(std::string_view text, std::int32_t& value);

// Text to float: leading blanks, an optional sign, digits, a point (always the point) and
// digits, each optional, and an optional exponent. Raises "%s isn't a valid float".
double TextToFloat(std::string_view text);
bool TryTextToFloat(std::string_view text, double& value);

// --- numeric helpers shared by the operators and the functions

// Rounds to the nearest integer, halves to the even neighbour, keeping the low 32 bits.
// Raises "Invalid floating point operation" when the value is beyond the 64-bit range.
std::int32_t RoundToInt32(double value);
// Truncates toward zero, keeping the low 32 bits; same range rule.
std::int32_t TruncToInt32(double value);

// Raises the language's errors (the general error type, std::runtime_error).
[[noreturn]] void RaiseExprError(const std::string& message);

namespace ExprMessages {
inline constexpr const char* DivisionByZero = "Division by zero";
inline constexpr const char* FloatDivisionByZero = "Floating point division by zero";
inline constexpr const char* InvalidFloatOperation = "Invalid floating point operation";
inline constexpr const char* FloatOverflow = "Floating point overflow";
} // namespace ExprMessages
