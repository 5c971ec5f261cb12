#include "filter/expr/FloatFormat.h"

#include <charconv>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <vector>

namespace {

// |value| = 0.Digits x 10^Exponent; no leading or trailing zeros in Digits, which is empty for
// zero (Exponent 0 then).
struct Decimal {
    std::string Digits;
    int Exponent = 0;
};

void trimZeros(Decimal& d) {
    while (!d.Digits.empty() && d.Digits.back() == '0')
        d.Digits.pop_back();
    if (d.Digits.empty())
        d.Exponent = 0;
}

Decimal toDecimal(double value, int significant) {
    Decimal d;
    value = std::fabs(value);
    if (value == 0.0)
        return d;
    char buf[64];
    const auto res =
        std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific, significant - 1);
    const char* p = buf;
    d.Digits += *p++;
    if (*p == '.')
        ++p;
    while (p < res.ptr && *p != 'e')
        d.Digits += *p++;
    int exponent = 0;
    const char* e = p + 1;
    if (e < res.ptr && *e == '+')
        ++e; // from_chars takes a minus sign only
    std::from_chars(e, res.ptr, exponent);
    d.Exponent = exponent + 1;
    trimZeros(d);
    return d;
}

// Keeps the first count digits, rounding half away from zero.
void roundDigits(Decimal& d, int count) {
    if (count < 0) {
        d = Decimal();
        return;
    }
    if (count >= static_cast<int>(d.Digits.size()))
        return;
    const bool up = d.Digits[static_cast<size_t>(count)] >= '5';
    d.Digits.resize(static_cast<size_t>(count));
    if (up) {
        int i = count - 1;
        while (i >= 0 && d.Digits[static_cast<size_t>(i)] == '9')
            d.Digits[static_cast<size_t>(i--)] = '0';
        if (i < 0) {
            d.Digits.insert(d.Digits.begin(), '1');
            ++d.Exponent;
        } else {
            ++d.Digits[static_cast<size_t>(i)];
        }
    }
    trimZeros(d);
}

// General form, up to 15 significant digits: fixed notation unless the value needs more than
// 15 integral digits or is below 0.0001, scientific ("1.5E20", "1E-5") otherwise.
std::string generalForm(double value, const TFormatSettings& settings) {
    Decimal d = toDecimal(value, 15);
    if (d.Digits.empty())
        return "0";
    std::string out = value < 0 ? "-" : "";
    const int len = static_cast<int>(d.Digits.size());
    if (d.Exponent > 15 || d.Exponent < -3) {
        out += d.Digits[0];
        if (len > 1) {
            out += settings.DecimalSeparator;
            out.append(d.Digits, 1);
        }
        out += 'E';
        const int e = d.Exponent - 1;
        if (e < 0)
            out += '-';
        out += std::to_string(std::abs(e));
        return out;
    }
    if (d.Exponent <= 0) {
        out += '0';
        out += settings.DecimalSeparator;
        out.append(static_cast<size_t>(-d.Exponent), '0');
        out += d.Digits;
        return out;
    }
    for (int i = 0; i < d.Exponent; ++i)
        out += i < len ? d.Digits[static_cast<size_t>(i)] : '0';
    if (len > d.Exponent) {
        out += settings.DecimalSeparator;
        out.append(d.Digits, static_cast<size_t>(d.Exponent));
    }
    return out;
}

// Skips a quoted piece starting at i (on the quote); i ends on the closing quote or at the end.
size_t skipQuoted(std::string_view s, size_t i) {
    const char q = s[i];
    ++i;
    while (i < s.size() && s[i] != q)
        ++i;
    return i;
}

std::vector<std::string_view> splitSections(std::string_view mask) {
    std::vector<std::string_view> sections;
    size_t start = 0;
    for (size_t i = 0; i < mask.size(); ++i) {
        if (mask[i] == '\'' || mask[i] == '"')
            i = skipQuoted(mask, i);
        else if (mask[i] == ';') {
            sections.push_back(mask.substr(start, i - start));
            start = i + 1;
            if (sections.size() == 2)
                break; // the third section runs to the end
        }
    }
    if (start <= mask.size())
        sections.push_back(mask.substr(start));
    if (sections.size() == 3) {
        // A semicolon inside the third section ends it.
        std::string_view& z = sections[2];
        for (size_t i = 0; i < z.size(); ++i) {
            if (z[i] == '\'' || z[i] == '"')
                i = skipQuoted(z, i);
            else if (z[i] == ';') {
                z = z.substr(0, i);
                break;
            }
        }
    }
    return sections;
}

struct Layout {
    int DigitCount = 0;   // digit places before any exponent
    int DecimalIndex = 0; // digit places before the decimal point
    int MinInteger = 0;   // integral digits always shown (from the first 0 on)
    int MinDecimals = 0;  // decimals always shown (up to the last 0)
    bool Thousands = false;
    bool Scientific = false;
};

Layout scan(std::string_view s) {
    Layout l;
    int decimalIndex = -1, firstZero = INT_MAX, lastZero = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        const char c = s[i];
        if (c == '#') {
            ++l.DigitCount;
        } else if (c == '0') {
            if (l.DigitCount < firstZero)
                firstZero = l.DigitCount;
            lastZero = ++l.DigitCount;
        } else if (c == '.') {
            if (decimalIndex < 0)
                decimalIndex = l.DigitCount;
        } else if (c == ',') {
            l.Thousands = true;
        } else if ((c == 'E' || c == 'e') && i + 1 < s.size() &&
                   (s[i + 1] == '+' || s[i + 1] == '-')) {
            l.Scientific = true;
            break;
        } else if (c == '\'' || c == '"') {
            i = skipQuoted(s, i);
        }
    }
    l.DecimalIndex = decimalIndex < 0 ? l.DigitCount : decimalIndex;
    l.MinInteger = firstZero == INT_MAX ? 0 : std::max(0, l.DecimalIndex - firstZero);
    l.MinDecimals = std::max(0, lastZero - l.DecimalIndex);
    return l;
}

class SectionWriter {
public:
    SectionWriter(const Layout& l, const Decimal& d, int integralDigits, int exponent,
                  const TFormatSettings& settings)
        : l_(l), d_(d), e_(integralDigits), exponent_(exponent), settings_(settings) {
        const int significantDecimals = std::max(0, static_cast<int>(d.Digits.size()) - e_);
        shownDecimals_ =
            std::min(l.DigitCount - l.DecimalIndex, std::max(l.MinDecimals, significantDecimals));
    }

    void write(std::string_view s, std::string& out) {
        int place = 0; // digit places met so far
        bool exponentDone = false;
        for (size_t i = 0; i < s.size(); ++i) {
            const char c = s[i];
            if (c == '0' || c == '#') {
                digitPlace(place++, out);
            } else if (c == '.' || c == ',') {
                // separators come with the digits
            } else if ((c == 'E' || c == 'e') && l_.Scientific && !exponentDone &&
                       i + 1 < s.size() && (s[i + 1] == '+' || s[i + 1] == '-')) {
                exponentDone = true;
                out += c;
                if (exponent_ < 0)
                    out += '-';
                else if (s[i + 1] == '+')
                    out += '+';
                i += 2;
                int minDigits = 0;
                while (i < s.size() && s[i] == '0' && minDigits < 4) {
                    ++minDigits;
                    ++i;
                }
                --i;
                const std::string digits = std::to_string(std::abs(exponent_));
                if (static_cast<int>(digits.size()) < minDigits)
                    out.append(static_cast<size_t>(minDigits) - digits.size(), '0');
                out += digits;
            } else if (c == '\'' || c == '"') {
                const size_t end = skipQuoted(s, i);
                out.append(s.substr(i + 1, end - i - 1));
                i = end;
            } else {
                out += c;
            }
        }
    }

private:
    char digitAt(int index) const {
        if (index < 0 || index >= static_cast<int>(d_.Digits.size()))
            return '0';
        return d_.Digits[static_cast<size_t>(index)];
    }

    // Writes the integral digit of place p (1 = units) and, when due, a thousands separator.
    void integralDigit(int p, char digit, std::string& out) const {
        out += digit;
        if (l_.Thousands && p > 1 && (p - 1) % 3 == 0)
            out += settings_.ThousandSeparator;
    }

    void digitPlace(int index, std::string& out) {
        if (index == 0) {
            // Integral digits beyond the integral places go before the first place.
            for (int p = e_; p > l_.DecimalIndex; --p)
                integralDigit(p, digitAt(e_ - p), out);
        }
        if (index < l_.DecimalIndex) {
            const int p = l_.DecimalIndex - index;
            if (p <= e_)
                integralDigit(p, digitAt(e_ - p), out);
            else if (p <= l_.MinInteger)
                integralDigit(p, '0', out);
            return;
        }
        const int k = index - l_.DecimalIndex + 1; // 1 = first decimal
        if (k > shownDecimals_)
            return;
        if (k == 1)
            out += settings_.DecimalSeparator;
        out += digitAt(e_ + k - 1);
    }

    const Layout& l_;
    const Decimal& d_;
    int e_;
    int exponent_;
    const TFormatSettings& settings_;
    int shownDecimals_ = 0;
};

} // namespace

std::string FormatExprFloat(std::string_view mask, double value, const TFormatSettings& settings) {
    if (mask.empty())
        return generalForm(value, settings);
    const std::vector<std::string_view> sections = splitSections(mask);
    auto usable = [&](int i) {
        return i < static_cast<int>(sections.size()) && !sections[static_cast<size_t>(i)].empty();
    };
    const int wanted = value > 0 ? 0 : value < 0 ? 1 : 2;
    int use = usable(wanted) ? wanted : 0;
    if (!usable(use))
        return generalForm(value, settings);

    Layout l;
    Decimal d;
    auto prepare = [&] {
        l = scan(sections[static_cast<size_t>(use)]);
        if (l.Scientific) {
            d = toDecimal(value, 18);
            roundDigits(d, std::max(1, l.DigitCount));
        } else {
            d = toDecimal(value, 18);
            roundDigits(d, d.Exponent + (l.DigitCount - l.DecimalIndex));
        }
    };
    prepare();
    if (d.Digits.empty() && wanted != 2 && usable(2)) {
        use = 2; // rounded to zero: the zero section applies
        prepare();
    }

    std::string out;
    if (value < 0 && use == 0 && !d.Digits.empty())
        out += '-';
    int integralDigits = d.Exponent, exponent = 0;
    if (l.Scientific && !d.Digits.empty()) {
        integralDigits = l.DecimalIndex;
        exponent = d.Exponent - l.DecimalIndex;
    }
    SectionWriter(l, d, integralDigits, exponent, settings)
        .write(sections[static_cast<size_t>(use)], out);
    return out;
}
