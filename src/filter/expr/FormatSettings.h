// Regional settings used by FORMATFLOAT and FORMATDATETIME: separators, names and the date and
// time formats of a locale (by default the user's, QLocale::system()).
#pragma once

#include <QLocale>
#include <QString>

#include <string>

struct TFormatSettings {
    std::string DecimalSeparator;
    std::string ThousandSeparator;
    std::string DateSeparator;
    std::string TimeSeparator;
    std::string TimeAMString;
    std::string TimePMString;
    std::string ShortMonthNames[12];
    std::string LongMonthNames[12];
    std::string ShortDayNames[7]; // index 0 is Sunday
    std::string LongDayNames[7];
    // The locale's own formats (Qt's syntax), the time formats without a time-zone field.
    QString ShortDateFormat;
    QString LongDateFormat;
    QString ShortTimeFormat;
    QString LongTimeFormat;
    QLocale Locale;

    static TFormatSettings FromLocale(const QLocale& locale);
    // The user's regional settings.
    static TFormatSettings System() { return FromLocale(QLocale::system()); }
};
