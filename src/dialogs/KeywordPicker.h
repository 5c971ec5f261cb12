// The keyword lists of the automatic search page and of the new report wizard: the often used
// keywords, the field a keyword is typed into and the list of keywords chosen for the search.
// Both windows give their buttons these actions.
#pragma once

#include <QStringList>

class QKeyEvent;
class QLineEdit;
class QListWidget;

// The texts of the items of list, in order.
QStringList KeywordListItems(const QListWidget* list);
// Add: the typed keywords (or, with the field empty, the often used keyword selected) go to the
// chosen list by the keyword entry rule; the field is cleared when something was taken.
void AddTypedKeywords(QLineEdit* field, const QListWidget* oftenUsed, QListWidget* chosen);
// Remove: the selected keyword of the chosen list goes; none is selected afterwards.
void RemoveSelectedKeyword(QListWidget* chosen);
// Clear: asks "Clear selected keyword list?" and empties the list on Yes.
void ClearChosenKeywords(QListWidget* chosen);
// A double click on an often used keyword puts it into the field.
void TakeOftenUsedKeyword(const QListWidget* oftenUsed, QLineEdit* field);
