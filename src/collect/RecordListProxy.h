// The view of the found URL list over its rows: sorted by the text shown in a column (letter
// case ignored under the user's locale, numbers by their value; the status column by the
// verdict, dead, failed, moved, alive, unchecked, then by its text; the capture column by the
// time of saving, rows without one last) or in record order, and
// narrowed by the quick find.
// Neither changes the rows themselves nor the order of the records in the report.
#pragma once

#include <QCollator>
#include <QCollatorSortKey>
#include <QSortFilterProxyModel>

#include <optional>
#include <vector>

class RecordListModel;

class RecordListProxy : public QSortFilterProxyModel {
    Q_OBJECT
public:
    explicit RecordListProxy(RecordListModel* rows, QObject* parent = nullptr);

    // Shows only the rows whose title, address or description contain the text.
    void SetFindText(const QString& text);
    QString FindText() const { return findText_; }

    // The row of the list model that a row of the view shows, or -1.
    int SourceRow(int viewRow) const;
    // The row of the view that shows a row of the list model, or -1 when it is hidden.
    int ViewRow(int sourceRow) const;
    // How many of the rows shown are ticked.
    int CheckedShown() const;

    // Sorts as QSortFilterProxyModel does, with the keys of the rows made first, in parallel
    // on the processor's cores for many rows.
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

protected:
    bool lessThan(const QModelIndex& left, const QModelIndex& right) const override;
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;

private:
    void forgetTexts();
    // The keys of every row for a sort by column.
    void makeSortKeys(int column) const;
    const QCollatorSortKey& sortKey(int sourceRow, int column) const;
    QString sortText(int sourceRow, int column) const;

    RecordListModel* rows_;
    QCollator collator_;
    QString findText_;
    QString needle_;
    // Built on first use after the rows changed; a sort or a keystroke then only compares.
    mutable std::vector<std::optional<QCollatorSortKey>> sortKeys_;
    mutable int sortKeyColumn_ = -1;
    mutable std::vector<std::optional<QString>> haystacks_;
};
