// Table model of the found URL list: rows that refer to record nodes of the report (never
// copies of them), with a check mark and the status of the last link check each and the time
// of its latest capture. The texts shown are read from the records when a row is painted.
// Dead rows are red, moved rows in the palette's link colour.
#pragma once

#include "report/RecordRows.h"

#include <QAbstractTableModel>

#include <cstdint>
#include <vector>

class RecordListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column {
        TitleColumn = 0,
        UrlColumn = 1,
        DescriptionColumn = 2,
        StatusColumn = 3,
        CaptureColumn = 4
    };

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

    // Replaces all rows in one reset (the list repaints once). The rows show children of
    // records; madeNow tells that every one of them was made from its record just now.
    void resetRows(std::vector<RecordRow> rows, const TQelPigger* records = nullptr,
                   bool madeNow = false);
    void clear() { resetRows({}); }
    // A row at the end, showing a child of records.
    void appendRow(RecordRow row, const TQelPigger* records);
    void replaceRow(int row, RecordRow content);
    void removeRowAt(int row);

    const RecordRow& rowAt(int row) const { return rows_[static_cast<size_t>(row)]; }
    // The record a row shows while it is still among the records, else none.
    const TQelPigger* recordAt(int row) const;
    // The texts of a row as they are shown.
    RowTexts textsAt(int row) const;
    const std::vector<RecordRow>& rows() const { return rows_; }
    // How many rows are ticked.
    int checkedCount() const { return checked_; }
    // Ticks given by the user minus ticks taken away, since the rows were made or stored.
    int unstoredTicks() const { return unstored_; }
    // The row's tick is now what its record holds, written as a stored tick writes it.
    void markStored(int row);

private:
    std::vector<RecordRow> rows_;
    const TQelPigger* records_ = nullptr;
    // The records' change stamp when all rows were made from them: while it holds, no record
    // was added, deleted or moved, and every row's record pointer is valid as it is.
    std::uint64_t recordsStamp_ = 0;
    bool stampKnown_ = false;
    QStringList headers_;
    int columns_;
    bool checkable_ = false;
    int checked_ = 0;
    int unstored_ = 0;
};
