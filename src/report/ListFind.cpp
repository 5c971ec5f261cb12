#include "report/ListFind.h"

namespace {
// Separates the three texts, so that a match never spans two of them (a typed text holds no
// line feed: the list shows none either).
constexpr QChar kSeparator = u'\n';
} // namespace

QString FindHaystack(const RowTexts& texts) {
    QString all = QString::fromStdString(texts.title);
    all += kSeparator;
    all += QString::fromStdString(texts.address);
    all += kSeparator;
    all += QString::fromStdString(texts.description);
    return all.toCaseFolded();
}

QString FindNeedle(const QString& typed) {
    QString needle = typed.toCaseFolded();
    needle.replace(kSeparator, u' ');
    return needle;
}

bool FindMatches(const QString& haystack, const QString& needle) {
    return needle.isEmpty() || haystack.contains(needle, Qt::CaseSensitive);
}
