// Table model of the found URL list: rows that refer to record nodes of the report (never
// copies of them), with the texts shown, a check mark and the status of the last link check
// each. Dead rows are red, moved rows in the palette's link colour.
#pragma once

#include "report/RecordRows.h"

#include <QAbstractTableModel>

#include <vector>

class RecordListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { TitleColumn = 0, UrlColumn = 1, DescriptionColumn = 2, StatusColumn = 3 };

    explicit RecordListModel(int columns, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    void setHeaders(const QStringList& headers);
    void setCheckable(bool on) { checkable_ = on; }

    // Replaces all rows in one reset (the list repaints once).
    void resetRows(std::vector<RecordRow> rows);
    void clear() { resetRows({}); }
    void appendRow(RecordRow row);
    void replaceRow(int row, RecordRow content);
    void removeRowAt(int row);

    const RecordRow& rowAt(int row) const { return rows_[static_cast<size_t>(row)]; }
    const std::vector<RecordRow>& rows() const { return rows_; }
    // How many rows are ticked.
    int checkedCount() const { return checked_; }
    // Ticks given by the user minus ticks taken away, since the rows were made or stored.
    int unstoredTicks() const { return unstored_; }
    // The row's tick is now what its record holds.
    void markStored(int row);

private:
    std::vector<RecordRow> rows_;
    QStringList headers_;
    int columns_;
    bool checkable_ = false;
    int checked_ = 0;
    int unstored_ = 0;
};
