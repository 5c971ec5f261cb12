#include "report/ReportInfo.h"
#include "tree/TQelPigger.h"

#include "support/SampleReports.h"

#include <gtest/gtest.h>

namespace {
const QDate kToday(2026, 12, 8);
}

TEST(ReportInfo, DatesInTheShortFormatOfTheRegionalSettings) {
    const QLocale c = QLocale::c();
    EXPECT_EQ(FormatReportDate(QDate(2026, 12, 6), c), "6 Dec 2026");
    EXPECT_EQ(ParseReportDate("6 Dec 2026", c, kToday), QDate(2026, 12, 6));
    const QLocale us(QLocale::English, QLocale::UnitedStates);
    EXPECT_EQ(FormatReportDate(QDate(2026, 12, 6), us), "12/6/26");

    const QLocale russian(QLocale::Russian, QLocale::Russia);
    ASSERT_EQ(russian.dateFormat(QLocale::ShortFormat), "dd.MM.yyyy");
    EXPECT_EQ(ParseReportDate("06.12.2026", russian, kToday), QDate(2026, 12, 6));
    EXPECT_EQ(ParseReportDate(" 06.12.2026 ", russian, kToday), QDate(2026, 12, 6));
    EXPECT_EQ(FormatReportDate(QDate(2026, 12, 6), russian), "06.12.2026");

    // Unreadable or absent dates show today; so does a date written under other settings.
    EXPECT_EQ(ParseReportDate("", russian, kToday), kToday);
    EXPECT_EQ(ParseReportDate("12/6/26", russian, kToday), kToday);
    EXPECT_EQ(ParseReportDate("31.02.2026", russian, kToday), kToday);
    EXPECT_EQ(ParseReportDate("6 Dec 2026", russian, kToday), kToday);
}

TEST(ReportInfo, TwoDigitYearsStayNearToday) {
    const QLocale us(QLocale::English, QLocale::UnitedStates);
    ASSERT_EQ(us.dateFormat(QLocale::ShortFormat), "M/d/yy");
    EXPECT_EQ(ParseReportDate(FormatReportDate(QDate(2026, 12, 6), us), us, kToday),
              QDate(2026, 12, 6));
    EXPECT_EQ(ParseReportDate("1/2/45", us, kToday), QDate(2045, 1, 2));
    EXPECT_EQ(ParseReportDate("1/2/46", us, kToday), QDate(1946, 1, 2));
    EXPECT_EQ(ParseReportDate("2/29/28", us, kToday), QDate(2028, 2, 29));
    const QLocale german(QLocale::German, QLocale::Germany);
    EXPECT_EQ(ParseReportDate("06.12.26", german, kToday), QDate(2026, 12, 6));
}

TEST(ReportInfo, DescriptionLinesAndTitle) {
    EXPECT_EQ(DescriptionToText("Suppliers\nfound in December."),
              "Suppliers\r\nfound in December.");
    EXPECT_EQ(DescriptionToText(""), "");
    EXPECT_EQ(TextToDescription("a\r\nb\rc\nd"), "a\nb\nc\nd");
    EXPECT_EQ(TextToDescription(DescriptionToText("Grüße\n\nzwei")), "Grüße\n\nzwei");

    TQelPigger doc;
    MakeNewReport(doc, AppInfo::Version);
    EXPECT_EQ(doc.GetAsText(), std::string(ReportText()));
    StoreReportInfo(doc, "  Garden tools ", "6 Dec 2026", "x\ny");
    EXPECT_EQ(doc.GetAttr("RTITLE"), "Garden tools");
    EXPECT_EQ(doc.GetAttr("RDATE"), "6 Dec 2026");
    EXPECT_EQ(doc.Text, "x\r\ny");
    StoreReportInfo(doc, "   ", "6 Dec 2026", "");
    EXPECT_EQ(doc.GetAsText(), std::string(ReportText().Date("6 Dec 2026")));
}
