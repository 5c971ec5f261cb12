#include "settings/core/KeywordEntry.h"

int FindKeywordItem(const QStringList& list, const QString& word) {
    for (qsizetype i = 0; i < list.size(); ++i)
        if (list[i].compare(word, Qt::CaseInsensitive) == 0)
            return static_cast<int>(i);
    return -1;
}

KeywordEntryResult AddKeywordEntry(QStringList& list, const QString& entry) {
    KeywordEntryResult result;
    QString rest = entry;
    for (;;) {
        const qsizetype blank = rest.indexOf(QChar(' '));
        const QString word = rest.left(blank < 0 ? rest.size() : blank).trimmed();
        if (word.isEmpty())
            return result;
        result.taken = true;
        const int found = FindKeywordItem(list, word);
        if (found >= 0)
            result.lastFound = found;
        else
            list.append(word);
        rest = blank < 0 ? QString() : rest.mid(blank + 1).trimmed();
        if (rest.isEmpty())
            return result;
    }
}
