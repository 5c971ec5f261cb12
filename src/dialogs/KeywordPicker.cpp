#include "dialogs/KeywordPicker.h"

#include "dialogs/TFsure.h"
#include "settings/core/KeywordEntry.h"

#include <QLineEdit>
#include <QListWidget>

namespace {

const QListWidgetItem* selectedItem(const QListWidget* list) {
    const QListWidgetItem* item = list->currentItem();
    return item && item->isSelected() ? item : nullptr;
}

} // namespace

QStringList KeywordListItems(const QListWidget* list) {
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts << list->item(i)->text();
    return texts;
}

void AddTypedKeywords(QLineEdit* field, const QListWidget* oftenUsed, QListWidget* chosen) {
    QString entry = field->text().trimmed();
    if (entry.isEmpty())
        if (const QListWidgetItem* item = selectedItem(oftenUsed))
            entry = item->text();
    QStringList keywords = KeywordListItems(chosen);
    const qsizetype listed = keywords.size();
    const KeywordEntryResult result = AddKeywordEntry(keywords, entry);
    if (!result.taken)
        return;
    for (qsizetype i = listed; i < keywords.size(); ++i)
        chosen->addItem(keywords[i]);
    if (result.lastFound >= 0)
        chosen->setCurrentRow(result.lastFound);
    field->clear();
}

void RemoveSelectedKeyword(QListWidget* chosen) {
    const QListWidgetItem* item = selectedItem(chosen);
    if (!item)
        return;
    delete item;
    // The list would move the selection to the next keyword, which a second click would then
    // remove as well.
    chosen->setCurrentItem(nullptr);
    chosen->clearSelection();
}

void ClearChosenKeywords(QListWidget* chosen) {
    if (chosen->count() > 0 && AskUser("Clear selected keyword list?"))
        chosen->clear();
}

void TakeOftenUsedKeyword(const QListWidget* oftenUsed, QLineEdit* field) {
    if (const QListWidgetItem* item = selectedItem(oftenUsed))
        field->setText(item->text());
}
