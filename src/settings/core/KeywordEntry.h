// What the user types into a keyword field becomes keywords of a run's keyword list: one
// keyword per blank-separated word, none twice (ignoring letter case).
#pragma once

#include <QString>
#include <QStringList>

struct KeywordEntryResult {
    // A word was taken from the entry (the entry field is then emptied).
    bool taken = false;
    // The item the last already listed word matched, or -1 (that item becomes the selected one).
    int lastFound = -1;
};

// The index of the item equal to word ignoring letter case, or -1.
int FindKeywordItem(const QStringList& list, const QString& word);

// Takes the entry's first word (up to the first blank, trimmed); a word already listed is only
// found, a new one is appended. The rest after the blank, trimmed, is taken the same way, so an
// entry of several words gives one keyword per word. An entry that starts with a blank gives
// nothing.
KeywordEntryResult AddKeywordEntry(QStringList& list, const QString& entry);
