#include "report/ReportInfo.h"

#include "report/ReportLayout.h"
#include "tree/TQelPigger.h"

namespace {

QString fromBytes(std::string_view s) {
    return QString::fromLocal8Bit(s.data(), static_cast<qsizetype>(s.size()));
}

std::string toBytes(const QString& s) {
    const QByteArray b = s.toLocal8Bit();
    return std::string(b.constData(), static_cast<size_t>(b.size()));
}

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
    return toBytes(locale.toString(date, QLocale::ShortFormat));
}

QDate ParseReportDate(std::string_view text, const QLocale& locale, const QDate& today) {
    const QString stored = fromBytes(TrimBlanks(text));
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
    QString text = boxText;
    text.replace("\r\n", "\n").replace('\r', '\n').replace("\n", "\r\n");
    return toBytes(text);
}

QString TextToDescription(std::string_view text) {
    QString box = fromBytes(text);
    box.replace("\r\n", "\n").replace('\r', '\n');
    return box;
}

void StoreReportInfo(TQelPigger& doc, const QString& title, std::string_view date,
                     const QString& description) {
    doc.SetAttr(ReportKeys::Title, TrimBlanks(toBytes(title)));
    doc.SetAttr(ReportKeys::Date, date);
    doc.Text = DescriptionToText(description);
}
