#include "filter/expr/DateTimeFormat.h"

#include <gtest/gtest.h>

namespace {

const TFormatSettings& english() {
    static const TFormatSettings s =
        TFormatSettings::FromLocale(QLocale(QLocale::English, QLocale::UnitedStates));
    return s;
}

TDateTimeParts at(int y, int mo, int d, int h, int mi, int s, int ms) {
    TDateTimeParts p;
    EXPECT_TRUE(DecodeExprDateTime(EncodeExprDateTime(y, mo, d, h, mi, s, ms), p));
    return p;
}

std::string fmt(const char* format, const TDateTimeParts& p, const TFormatSettings& s = english()) {
    return FormatExprDateTime(format, p, s);
}

} // namespace

TEST(DateTimeFormat, NumbersCountDaysFrom30December1899) {
    TDateTimeParts p;
    ASSERT_TRUE(DecodeExprDateTime(0, p));
    EXPECT_EQ(fmt("yyyy-mm-dd hh:nn:ss.zzz", p), "1899-12-30 00:00:00.000");
    ASSERT_TRUE(DecodeExprDateTime(45000.75, p));
    EXPECT_EQ(fmt("yyyy-mm-dd hh:nn:ss dddd", p), "2023-03-15 18:00:00 Wednesday");
    // Before the epoch the fraction still counts forward from midnight.
    ASSERT_TRUE(DecodeExprDateTime(-1.25, p));
    EXPECT_EQ(fmt("yyyy-mm-dd hh:nn", p), "1899-12-29 06:00");
    EXPECT_DOUBLE_EQ(EncodeExprDateTime(1899, 12, 29, 6, 0, 0, 0), -1.25);
    // A time that rounds to the next midnight moves to the next day.
    ASSERT_TRUE(DecodeExprDateTime(1.9999999999, p));
    EXPECT_EQ(fmt("yyyy-mm-dd hh:nn:ss.zzz", p), "1900-01-01 00:00:00.000");
    EXPECT_TRUE(DecodeExprDateTime(-693593, p));
    EXPECT_EQ(p.Year, 1);
    EXPECT_TRUE(DecodeExprDateTime(2958465.5, p));
    EXPECT_EQ(p.Year, 9999);
    EXPECT_FALSE(DecodeExprDateTime(-693594, p));
    EXPECT_FALSE(DecodeExprDateTime(2958466, p));
}

// clang-format off
TEST(DateTimeFormat, FieldsAndNames) {
    const TDateTimeParts p = at(2023, 3, 5, 14, 7, 9, 45); // a Sunday
    const std::pair<const char*, const char*> cases[] = {
        {"d dd ddd dddd", "5 05 Sun Sunday"}, {"m mm mmm mmmm", "3 03 Mar March"},
        {"mmmmmm", "March"}, {"y yy yyy yyyy", "23 23 2023 2023"},
        {"h hh n nn s ss", "14 14 7 07 9 09"}, {"hhh:nnn", "14:07"},
        {"z zz zzz zzzz", "45 45 045 045"},
        {"h:m", "14:7"}, // m after h is the minute
        {"hh:mm:ss", "14:07:09"},
        {"hh 'x' mm", "14 x 07"}, // quoted text does not break the rule
        {"mm/dd", "03/05"},
        {"hh mm mm", "14 07 03"}, // only the first m after the hour
        {"Dd", "55"},             // runs are of the very same character
        {"[d] #", "[5] #"}, {"'yyyy' \"mm\"", "yyyy mm"}, {"d 'rest", "5 rest"},
        {"ddddd", "3/5/23"}, {"dddddd", "Sunday, March 5, 2023"}, {"t", "2:07 PM"},
        {"tt", "2:07:09 PM"}, {"c", "3/5/23 2:07:09 PM"}, {"", "3/5/23 2:07:09 PM"},
        {"e g x", "e g x"},
    };
    for (const auto& [format, expected] : cases)
        EXPECT_EQ(fmt(format, p), expected) << format;
    // Midnight shows the date only.
    EXPECT_EQ(fmt("c", at(2023, 3, 5, 0, 0, 0, 0)), "3/5/23");
}
// clang-format on

TEST(DateTimeFormat, TwelveHourClock) {
    const TDateTimeParts afternoon = at(2023, 3, 5, 14, 7, 0, 0);
    const TDateTimeParts night = at(2023, 3, 5, 0, 30, 0, 0);
    const TDateTimeParts noon = at(2023, 3, 5, 12, 0, 0, 0);
    EXPECT_EQ(fmt("h:nn am/pm", afternoon), "2:07 pm");
    EXPECT_EQ(fmt("h:nn AM/PM", afternoon), "2:07 PM");
    EXPECT_EQ(fmt("h:nn AM/pm", night), "12:30 AM");
    EXPECT_EQ(fmt("h:nn Am/Pm", afternoon), "2:07 Pm");
    EXPECT_EQ(fmt("hh a/p", afternoon), "02 p");
    EXPECT_EQ(fmt("hh A/P", night), "12 A");
    EXPECT_EQ(fmt("h ampm", afternoon), "2 PM");
    EXPECT_EQ(fmt("h ampm", noon), "12 PM");
    EXPECT_EQ(fmt("h:nn", afternoon), "14:07");
    // The marker must follow before the next hour field.
    EXPECT_EQ(fmt("h h am/pm", afternoon), "14 2 pm");
    EXPECT_EQ(fmt("h 'am/pm'", afternoon), "14 am/pm");
    EXPECT_EQ(fmt("h ab am/pm", afternoon), "14 ab pm"); // the first a decides
    // Once a marker was written, later hours use the 12-hour clock too.
    EXPECT_EQ(fmt("am/pm h", afternoon), "pm 2");
}

TEST(DateTimeFormat, RegionalSeparatorsNamesAndFormats) {
    const TDateTimeParts p = at(2023, 3, 5, 14, 7, 9, 0);
    const TFormatSettings german =
        TFormatSettings::FromLocale(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(fmt("d/m/yyyy h:nn", p, german), "5.3.2023 14:07");
    EXPECT_EQ(fmt("dddd, d. mmmm", p, german), "Sonntag, 5. M\xC3\xA4rz");
    EXPECT_EQ(fmt("ddddd", p, german), "05.03.23");
    EXPECT_EQ(fmt("c", p, german), "05.03.23 14:07:09");
    const TFormatSettings finnish =
        TFormatSettings::FromLocale(QLocale(QLocale::Finnish, QLocale::Finland));
    EXPECT_EQ(fmt("h:nn:ss d/m", p, finnish), "14.07.09 5.3");
    const TFormatSettings c = TFormatSettings::FromLocale(QLocale::c());
    EXPECT_EQ(fmt("d/m h:nn ampm", p, c), "5/3 2:07 PM");
    EXPECT_EQ(fmt("c", p, c), "5 Mar 2023 14:07:09");
}
