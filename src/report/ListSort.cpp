#include "report/ListSort.h"

#include <algorithm>
#include <utility>

namespace {

// The length of a number as digits that order as the lengths do: 0 to 8 as one digit, longer
// ones as a 9 for every nine digits and then the rest. No mark is the start of another.
void appendLengthMark(QString& out, qsizetype length) {
    for (; length >= 9; length -= 9)
        out += u'9';
    out += QChar(u'0' + static_cast<char16_t>(length));
}

} // namespace

QCollator ListCollator(const QLocale& locale) {
    QCollator collator(locale);
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    // Numbers are put in order by ListSortText: the collator's own numeric mode does nothing
    // under the plain C locale.
    collator.setNumericMode(false);
    return collator;
}

QString ListSortText(const QString& text) {
    // Folded (a collator of the plain C locale would otherwise keep letter case), in place when
    // the numbers have been written anew.
    const QChar* const begin = text.constData();
    const QChar* const end = begin + text.size();
    const auto digit = [](QChar c) { return c.isDigit(); };
    const QChar* p = std::find_if(begin, end, digit);
    if (p == end)
        return text.toCaseFolded();
    QString out;
    out.reserve(text.size() + 8);
    const QChar* copied = begin;
    while (p != end) {
        out.append(copied, p - copied);
        const QChar* number = p;
        while (p != end && p->isDigit())
            ++p;
        while (number != p && number->digitValue() == 0)
            ++number;
        appendLengthMark(out, p - number);
        for (; number != p; ++number)
            out += QChar(u'0' + static_cast<char16_t>(number->digitValue()));
        copied = p;
        p = std::find_if(p, end, digit);
    }
    out.append(copied, end - copied);
    return std::move(out).toCaseFolded();
}

QCollatorSortKey ListSortKey(const QCollator& collator, const QString& text) {
    return collator.sortKey(ListSortText(text));
}
