// The date-time format of FORMATDATETIME and the date-time numbers of the language.
#pragma once

#include "filter/expr/FormatSettings.h"

#include <string>
#include <string_view>

struct TDateTimeParts {
    int Year = 1899, Month = 12, Day = 30;
    int DayOfWeek = 7; // 1 = Sunday ... 7 = Saturday
    int Hour = 0, Minute = 0, Second = 0, Msec = 0;
};

// Splits a date-time number (days since 30 December 1899, the fraction's absolute value being
// the time of day); false outside the years 1 to 9999.
bool DecodeExprDateTime(double dateTime, TDateTimeParts& parts);

// The date-time number of a date and time; before 30 December 1899 the time counts away from
// zero, as DecodeExprDateTime reads it.
double EncodeExprDateTime(int year, int month, int day, int hour, int minute, int second, int msec);

// Formats by the classic date-time specifiers (c, d..dddddd, m..mmmm, yy, yyyy, h, hh, n, nn,
// s, ss, z, zzz, t, tt, am/pm, a/p, ampm, / and :), quoted text copied, other characters
// copied. An empty format behaves as "c".
std::string FormatExprDateTime(std::string_view format, const TDateTimeParts& parts,
                               const TFormatSettings& settings);
