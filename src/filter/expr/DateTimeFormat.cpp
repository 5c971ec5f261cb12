#include "filter/expr/DateTimeFormat.h"

#include <QDate>
#include <QTime>

#include <cmath>

namespace {

constexpr double MsecsPerDay = 86400000.0;

qint64 baseJulianDay() {
    static const qint64 base = QDate(1899, 12, 30).toJulianDay();
    return base;
}

std::string bytes(const QString& s) {
    const QByteArray b = s.toUtf8();
    return std::string(b.constData(), static_cast<size_t>(b.size()));
}

char upper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
}

bool startsWithNoCase(std::string_view s, size_t at, std::string_view word) {
    if (s.size() - at < word.size())
        return false;
    for (size_t i = 0; i < word.size(); ++i)
        if (upper(s[at + i]) != word[i])
            return false;
    return true;
}

void appendNumber(std::string& out, int value, int minDigits) {
    const std::string digits = std::to_string(value);
    if (static_cast<int>(digits.size()) < minDigits)
        out.append(static_cast<size_t>(minDigits) - digits.size(), '0');
    out += digits;
}

class DateTimeWriter {
public:
    DateTimeWriter(const TDateTimeParts& p, const TFormatSettings& s) : p_(p), s_(s) {}

    void write(std::string_view f, std::string& out) {
        char lastToken = ' ';
        size_t i = 0;
        while (i < f.size()) {
            const char starter = f[i++];
            char token = upper(starter);
            if (token >= 'A' && token <= 'Z') {
                if (token == 'M' && lastToken == 'H')
                    token = 'N';
                lastToken = token;
            }
            // Length of the run of the same character that starts with starter.
            auto count = [&] {
                int n = 1;
                while (i < f.size() && f[i] == starter) {
                    ++n;
                    ++i;
                }
                return n;
            };
            switch (token) {
            case 'Y': {
                const int n = count();
                if (n <= 2)
                    appendNumber(out, p_.Year % 100, 2);
                else
                    appendNumber(out, p_.Year, 4);
                break;
            }
            case 'M': {
                const int n = count();
                if (n <= 2)
                    appendNumber(out, p_.Month, n);
                else
                    out += (n == 3 ? s_.ShortMonthNames : s_.LongMonthNames)[p_.Month - 1];
                break;
            }
            case 'D': {
                const int n = count();
                if (n <= 2)
                    appendNumber(out, p_.Day, n);
                else if (n == 3)
                    out += s_.ShortDayNames[p_.DayOfWeek - 1];
                else if (n == 4)
                    out += s_.LongDayNames[p_.DayOfWeek - 1];
                else
                    out += date(n == 5 ? s_.ShortDateFormat : s_.LongDateFormat);
                break;
            }
            case 'H': {
                const int n = count();
                if (twelveHourAhead(f, i))
                    use12_ = true;
                int h = p_.Hour;
                if (use12_)
                    h = h == 0 ? 12 : (h > 12 ? h - 12 : h);
                appendNumber(out, h, n > 2 ? 2 : n);
                break;
            }
            case 'N': {
                const int n = count();
                appendNumber(out, p_.Minute, n > 2 ? 2 : n);
                break;
            }
            case 'S': {
                const int n = count();
                appendNumber(out, p_.Second, n > 2 ? 2 : n);
                break;
            }
            case 'Z': {
                const int n = count();
                appendNumber(out, p_.Msec, n > 3 ? 3 : n);
                break;
            }
            case 'T':
                out += time(count() == 1 ? s_.ShortTimeFormat : s_.LongTimeFormat);
                break;
            case 'C':
                count();
                writeC(out);
                break;
            case 'A': {
                const size_t at = i - 1;
                if (startsWithNoCase(f, at, "AM/PM")) {
                    out.append(f.substr(p_.Hour >= 12 ? at + 3 : at, 2));
                    i = at + 5;
                    use12_ = true;
                } else if (startsWithNoCase(f, at, "A/P")) {
                    out += f[p_.Hour >= 12 ? at + 2 : at];
                    i = at + 3;
                    use12_ = true;
                } else if (startsWithNoCase(f, at, "AMPM")) {
                    out += p_.Hour >= 12 ? s_.TimePMString : s_.TimeAMString;
                    i = at + 4;
                    use12_ = true;
                } else {
                    out += starter;
                }
                break;
            }
            case '/':
                out += s_.DateSeparator;
                break;
            case ':':
                out += s_.TimeSeparator;
                break;
            case '\'':
            case '"': {
                const size_t end = f.find(starter, i);
                const size_t stop = end == std::string_view::npos ? f.size() : end;
                out.append(f.substr(i, stop - i));
                i = stop == f.size() ? stop : stop + 1;
                break;
            }
            default:
                out += starter;
                break;
            }
        }
    }

    void writeC(std::string& out) const {
        out += date(s_.ShortDateFormat);
        if (p_.Hour != 0 || p_.Minute != 0 || p_.Second != 0) {
            out += ' ';
            out += time(s_.LongTimeFormat);
        }
    }

private:
    // Whether the format after an hour field asks for the 12-hour clock: the first a or A
    // outside quotes before the next hour field starts am/pm, a/p or ampm.
    static bool twelveHourAhead(std::string_view f, size_t i) {
        bool quoted = false;
        for (; i < f.size(); ++i) {
            const char c = f[i];
            if (c == '\'' || c == '"')
                quoted = !quoted;
            else if (!quoted && (c == 'a' || c == 'A'))
                return startsWithNoCase(f, i, "AM/PM") || startsWithNoCase(f, i, "A/P") ||
                       startsWithNoCase(f, i, "AMPM");
            else if (!quoted && (c == 'h' || c == 'H'))
                return false;
        }
        return false;
    }

    std::string date(const QString& qtFormat) const {
        return bytes(s_.Locale.toString(QDate(p_.Year, p_.Month, p_.Day), qtFormat));
    }
    std::string time(const QString& qtFormat) const {
        return bytes(s_.Locale.toString(QTime(p_.Hour, p_.Minute, p_.Second, p_.Msec), qtFormat));
    }

    const TDateTimeParts& p_;
    const TFormatSettings& s_;
    bool use12_ = false;
};

} // namespace

bool DecodeExprDateTime(double dateTime, TDateTimeParts& parts) {
    if (!std::isfinite(dateTime))
        return false;
    double days = std::trunc(dateTime);
    double ms = std::round(std::fabs(dateTime - days) * MsecsPerDay);
    if (ms >= MsecsPerDay) {
        ms -= MsecsPerDay;
        days += 1.0;
    }
    // Years 1 to 9999.
    if (days < -693593.0 || days > 2958465.0)
        return false;
    const QDate date = QDate::fromJulianDay(baseJulianDay() + static_cast<qint64>(days));
    parts.Year = date.year();
    parts.Month = date.month();
    parts.Day = date.day();
    parts.DayOfWeek = date.dayOfWeek() % 7 + 1;
    const int msec = static_cast<int>(ms);
    parts.Hour = msec / 3600000;
    parts.Minute = msec / 60000 % 60;
    parts.Second = msec / 1000 % 60;
    parts.Msec = msec % 1000;
    return true;
}

double EncodeExprDateTime(int year, int month, int day, int hour, int minute, int second,
                          int msec) {
    const double date =
        static_cast<double>(QDate(year, month, day).toJulianDay() - baseJulianDay());
    const double time =
        (hour * 3600000.0 + minute * 60000.0 + second * 1000.0 + msec) / MsecsPerDay;
    return date < 0 ? date - time : date + time;
}

std::string FormatExprDateTime(std::string_view format, const TDateTimeParts& parts,
                               const TFormatSettings& settings) {
    std::string out;
    DateTimeWriter w(parts, settings);
    if (format.empty())
        w.writeC(out);
    else
        w.write(format, out);
    return out;
}
