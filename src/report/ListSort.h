// The order of the found URL list sorted by a column, as file managers order names: letter case
// ignored, the rest under the user's locale, and numbers in the texts compared by their value
// ("item 2" before "item 1002" before "item 10002").
#pragma once

#include <QCollator>
#include <QCollatorSortKey>
#include <QLocale>
#include <QString>

// The collator of the list for that locale.
QCollator ListCollator(const QLocale& locale = QLocale());

// The text a row's text is compared by: case-folded, and every run of decimal digits (of any
// script) written with the digits 0 to 9, without its leading zeros and after a mark of its
// length, so that a longer number comes after a shorter one whatever the locale. Texts that
// differ only in letter case or in leading zeros give the same text.
QString ListSortText(const QString& text);

// The key a text is sorted by: keys of two texts compare as the texts are ordered.
QCollatorSortKey ListSortKey(const QCollator& collator, const QString& text);
