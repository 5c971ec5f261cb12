#include "filter/expr/ParsGlob.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <stdexcept>

bool TExpr::PayloadTruth() const {
    unsigned char first;
    std::memcpy(&first, &Payload, 1);
    return first != 0;
}

void RaiseExprError(const std::string& message) {
    throw std::runtime_error(message);
}

// ---------------------------------------------------------------- numbers

namespace {

// 2^63: the first value beyond the signed 64-bit range.
constexpr double TwoPow63 = 9223372036854775808.0;

std::int32_t lowBits(double integral) {
    if (!(std::fabs(integral) < TwoPow63))
        RaiseExprError(ExprMessages::InvalidFloatOperation);
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(
        static_cast<std::uint64_t>(static_cast<std::int64_t>(integral))));
}

bool isHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

unsigned hexValue(char c) {
    if (c <= '9')
        return static_cast<unsigned>(c - '0');
    return static_cast<unsigned>((c | 0x20) - 'a' + 10);
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

} // namespace

std::int32_t RoundToInt32(double value) {
    double f = std::floor(value);
    const double rest = value - f;
    if (rest > 0.5 || (rest == 0.5 && std::fmod(f, 2.0) != 0.0))
        f += 1.0;
    return lowBits(f);
}

std::int32_t TruncToInt32(double value) {
    return lowBits(std::trunc(value));
}

// ---------------------------------------------------------------- text forms

std::string FloatToExprText(double value) {
    if (std::isnan(value))
        return " Nan";
    if (std::isinf(value))
        return value < 0 ? "-Inf" : " +Inf";
    char buf[48];
    const auto res =
        std::to_chars(buf, buf + sizeof buf, std::fabs(value), std::chars_format::scientific, 14);
    // buf holds "d.dddddddddddddde+XX" (two or three exponent digits).
    const char* e =
        static_cast<const char*>(std::memchr(buf, 'e', static_cast<size_t>(res.ptr - buf)));
    std::string out;
    out.reserve(23);
    out += std::signbit(value) && value != 0.0 ? '-' : ' ';
    out.append(buf, static_cast<size_t>(e - buf));
    out += 'E';
    out += e[1];
    const size_t expDigits = static_cast<size_t>(res.ptr - (e + 2));
    out.append(4 - expDigits, '0');
    out.append(e + 2, static_cast<size_t>(res.ptr - (e + 2)));
    return out;
}

bool TryTextToInteger(std::string_view s, std::int32_t& value) {
    size_t i = 0;
    while (i < s.size() && s[i] == ' ')
        ++i;
    bool negative = false, signGiven = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        negative = s[i] == '-';
        signGiven = true;
        ++i;
    }
    if (i >= s.size())
        return false;
    const bool hex =
        !signGiven && (s[i] == '$' || s[i] == 'x' || s[i] == 'X' ||
                       (s[i] == '0' && i + 1 < s.size() && (s[i + 1] == 'x' || s[i + 1] == 'X')));
    if (hex) {
        i += s[i] == '0' ? 2 : 1;
        if (i >= s.size())
            return false;
        std::uint32_t v = 0;
        int significant = 0;
        for (; i < s.size(); ++i) {
            if (!isHexDigit(s[i]))
                return false;
            const unsigned d = hexValue(s[i]);
            if (significant > 0 || d != 0)
                ++significant;
            if (significant > 8)
                return false;
            v = (v << 4) | d;
        }
        value = static_cast<std::int32_t>(v);
        return true;
    }
    std::int64_t v = 0;
    const std::int64_t limit = negative ? 2147483648LL : 2147483647LL;
    for (; i < s.size(); ++i) {
        if (!isDigit(s[i]))
            return false;
        v = v * 10 + (s[i] - '0');
        if (v > limit)
            return false;
    }
    value = static_cast<std::int32_t>(negative ? -v : v);
    return true;
}

std::int32_t TextToInteger(std::string_view text) {
    std::int32_t v;
    if (!TryTextToInteger(text, v))
        RaiseExprError("'" + std::string(text) + "' is not a valid integer value");
    return v;
}

bool TryTextToFloat(std::string_view s, double& value) {
    size_t i = 0;
    while (i < s.size() && s[i] == ' ')
        ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        negative = s[i] == '-';
        ++i;
    }
    const size_t intStart = i;
    while (i < s.size() && isDigit(s[i]))
        ++i;
    const size_t intEnd = i;
    size_t fracStart = i, fracEnd = i;
    bool point = false;
    if (i < s.size() && s[i] == '.') {
        point = true;
        fracStart = ++i;
        while (i < s.size() && isDigit(s[i]))
            ++i;
        fracEnd = i;
    }
    if (intEnd == intStart && !point)
        return false; // no mantissa at all (empty text, a lone sign, "E5")
    std::string norm;
    norm.reserve(s.size() + 4);
    if (intEnd > intStart)
        norm.append(s.substr(intStart, intEnd - intStart));
    else
        norm += '0';
    if (fracEnd > fracStart) {
        norm += '.';
        norm.append(s.substr(fracStart, fracEnd - fracStart));
    }
    bool negativeExponent = false;
    if (i < s.size() && (s[i] == 'E' || s[i] == 'e')) {
        ++i;
        norm += 'e';
        if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
            negativeExponent = s[i] == '-';
            if (negativeExponent)
                norm += '-';
            ++i;
        }
        const size_t expStart = i;
        while (i < s.size() && isDigit(s[i]))
            ++i;
        if (i == expStart)
            return false;
        norm.append(s.substr(expStart, i - expStart));
    }
    if (i != s.size())
        return false;
    double v = 0;
    const auto res = std::from_chars(norm.data(), norm.data() + norm.size(), v);
    if (res.ec == std::errc::result_out_of_range) {
        if (!negativeExponent)
            return false; // beyond the double range
        v = 0.0;          // too small: underflows to zero
    } else if (res.ec != std::errc() || res.ptr != norm.data() + norm.size()) {
        return false;
    }
    value = negative ? -v : v;
    return true;
}

double TextToFloat(std::string_view text) {
    double v;
    if (!TryTextToFloat(text, v))
        RaiseExprError(std::string(text) + " isn't a valid float");
    return v;
}

// ---------------------------------------------------------------- conversions

void ConvertExpr(TExpr& v, TExprType to) {
    if (v.ExprType == to)
        return;
    switch (to) {
    case etNull:
        v.SetNull();
        return;
    case etBoolean: {
        bool b = false;
        switch (v.ExprType) {
        case etInteger:
            b = v.AsInteger != 0;
            break;
        case etFloat:
            b = v.AsFloat != 0.0;
            break;
        case etString:
            b = !v.AsString.empty();
            break;
        default:
            break;
        }
        v.SetBoolean(b);
        return;
    }
    case etInteger: {
        std::int32_t i = 0;
        switch (v.ExprType) {
        case etBoolean:
            i = v.AsBoolean ? 1 : 0;
            break;
        case etFloat:
            i = RoundToInt32(v.AsFloat);
            break;
        case etString:
            i = TextToInteger(v.AsString);
            break;
        default:
            break;
        }
        v.SetInteger(i);
        return;
    }
    case etFloat: {
        double f = 0.0;
        switch (v.ExprType) {
        case etBoolean:
            f = v.AsBoolean ? 1.0 : 0.0;
            break;
        case etInteger:
            f = v.AsInteger;
            break;
        case etString:
            f = TextToFloat(v.AsString);
            break;
        default:
            break;
        }
        v.SetFloat(f);
        return;
    }
    case etString: {
        switch (v.ExprType) {
        case etBoolean:
            v.SetString(std::string(1, v.AsBoolean ? '1' : '0'));
            break;
        case etInteger:
            v.SetString(std::to_string(v.AsInteger));
            break;
        case etFloat:
            v.SetString(FloatToExprText(v.AsFloat));
            break;
        default:
            v.SetString(std::string_view());
            break;
        }
        return;
    }
    }
}

void UnifyExpr(TExpr& left, TExpr& right) {
    const TExprType t = WidestExprType(left.ExprType, right.ExprType);
    ConvertExpr(left, t);
    ConvertExpr(right, t);
}
