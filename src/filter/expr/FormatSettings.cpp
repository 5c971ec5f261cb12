#include "filter/expr/FormatSettings.h"

namespace {

std::string bytes(const QString& s) {
    const QByteArray b = s.toUtf8();
    return std::string(b.constData(), static_cast<size_t>(b.size()));
}

// Removes the time-zone field ("t", with a blank before it) from a time format: a date-time
// number is local time and has no zone.
QString withoutZone(const QString& format) {
    QString out;
    bool quoted = false;
    for (QChar c : format) {
        if (c == u'\'')
            quoted = !quoted;
        if (!quoted && c == u't') {
            while (out.endsWith(u' '))
                out.chop(1);
            continue;
        }
        out += c;
    }
    return out.trimmed();
}

// The first separator of a format: a character outside quotes that is neither a letter nor a
// blank; fallback when the format has none.
std::string separatorOf(const QString& format, const char* fallback) {
    bool quoted = false;
    for (QChar c : format) {
        if (c == u'\'') {
            quoted = !quoted;
            continue;
        }
        if (!quoted && !c.isLetter() && !c.isSpace())
            return bytes(QString(c));
    }
    return fallback;
}

} // namespace

TFormatSettings TFormatSettings::FromLocale(const QLocale& locale) {
    TFormatSettings s;
    s.Locale = locale;
    s.DecimalSeparator = bytes(locale.decimalPoint());
    s.ThousandSeparator = bytes(locale.groupSeparator());
    s.ShortDateFormat = locale.dateFormat(QLocale::ShortFormat);
    s.LongDateFormat = locale.dateFormat(QLocale::LongFormat);
    s.ShortTimeFormat = withoutZone(locale.timeFormat(QLocale::ShortFormat));
    s.LongTimeFormat = withoutZone(locale.timeFormat(QLocale::LongFormat));
    s.DateSeparator = separatorOf(s.ShortDateFormat, "/");
    s.TimeSeparator = separatorOf(s.ShortTimeFormat, ":");
    s.TimeAMString = bytes(locale.amText());
    s.TimePMString = bytes(locale.pmText());
    for (int m = 1; m <= 12; ++m) {
        s.ShortMonthNames[m - 1] = bytes(locale.monthName(m, QLocale::ShortFormat));
        s.LongMonthNames[m - 1] = bytes(locale.monthName(m, QLocale::LongFormat));
    }
    for (int d = 0; d < 7; ++d) {
        const int qtDay = d == 0 ? 7 : d; // Qt counts from Monday = 1 to Sunday = 7
        s.ShortDayNames[d] = bytes(locale.dayName(qtDay, QLocale::ShortFormat));
        s.LongDayNames[d] = bytes(locale.dayName(qtDay, QLocale::LongFormat));
    }
    return s;
}
