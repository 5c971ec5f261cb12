// The report's own fields (title, date, description) and how they are kept in the report tree.
#pragma once

#include <QDate>
#include <QLocale>
#include <QString>

#include <string>
#include <string_view>

class TQelPigger;

// Makes doc a new, empty report: the root QRL with only its VERSION.
void MakeNewReport(TQelPigger& doc, std::string_view version);

// The date as the short date format of locale writes it.
std::string FormatReportDate(const QDate& date, const QLocale& locale);
// A stored date read with the short date format of locale; today when it is empty or cannot
// be read. A two-digit year is taken within 80 years before and 19 years after today.
QDate ParseReportDate(std::string_view text, const QLocale& locale, const QDate& today);

// The text of the description box as stored: lines separated by CR LF, none after the last.
std::string DescriptionToText(const QString& boxText);
// A stored description as the box shows it (lines split at CR, LF or CR LF).
QString TextToDescription(std::string_view text);

// Writes the fields into the root of doc: RTITLE (trimmed; removed when blank), RDATE and the
// root's text.
void StoreReportInfo(TQelPigger& doc, const QString& title, std::string_view date,
                     const QString& description);
