#include "report/ReportInfo.h"

#include "report/ReportLayout.h"
#include "tree/LineBreaks.h"
#include "tree/LocalText.h"
#include "tree/TQelPigger.h"

namespace {

bool hasTwoDigitYear(const QString& format) {
    return format.contains("yy") && !format.contains("yyyy");
}

} // namespace

void MakeNewReport(TQelPigger& doc, std::string_view version) {
    doc.Clear();
    doc.SetName(ReportKeys::Root);
    doc.SetAttr(ReportKeys::Version, version);
}

std::string FormatReportDate(const QDate& date, const QLocale& locale) {
    return FromQ(locale.toString(date, QLocale::ShortFormat));
}

QDate ParseReportDate(std::string_view text, const QLocale& locale, const QDate& today) {
    const QString stored = ToQ(TrimBlanks(text));
    if (stored.isEmpty())
        return today;
    const QString format = locale.dateFormat(QLocale::ShortFormat);
    QDate date = locale.toDate(stored, format);
    if (!date.isValid())
        return today;
    if (hasTwoDigitYear(format)) {
        // The reader puts two-digit years into 1900-1999; move them next to today.
        int year = today.year() / 100 * 100 + date.year() % 100;
        if (year > today.year() + 19)
            year -= 100;
        const QDate moved(year, date.month(), date.day());
        if (moved.isValid())
            date = moved;
    }
    return date;
}

std::string DescriptionToText(const QString& boxText) {
    return WithCrLfBreaks(FromQ(boxText));
}

QString TextToDescription(std::string_view text) {
    return WithLfBreaks(ToQ(text));
}

void StoreReportInfo(TQelPigger& doc, const QString& title, std::string_view date,
                     const QString& description) {
    doc.SetAttr(ReportKeys::Title, TrimBlanks(FromQ(title)));
    doc.SetAttr(ReportKeys::Date, date);
    doc.Text = DescriptionToText(description);
}
