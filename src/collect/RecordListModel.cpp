#include "collect/RecordListModel.h"

#include "dialogs/DialogUtil.h"
#include "tree/TQelPigger.h"

#include <QApplication>
#include <QColor>
#include <QLocale>
#include <QPalette>
#include <QStyle>

namespace {
// How a row changes the two counts: ticked, and ticked but not stored (or the reverse).
int ticked(const RecordRow& row) {
    return row.checked ? 1 : 0;
}
int unstored(const RecordRow& row) {
    return int(row.checked) - int(row.stored);
}

// The text of a dead row: a dark red on a light background, a light one on a dark background.
QColor deadColour() {
    const bool darkBase = QApplication::palette().color(QPalette::Base).lightness() < 128;
    return darkBase ? QColor(255, 120, 120) : QColor(190, 0, 0);
}

// What the row's last check says, for its tooltip: the status, when the check ended (local
// time) and the address that answered when that was another.
QString checkNote(const RowDetails& row) {
    QString note = ToQ(row.status);
    if (row.checkedAt.isValid())
        note +=
            "\nChecked " + QLocale().toString(row.checkedAt.toLocalTime(), QLocale::ShortFormat);
    if (!row.finalUrl.empty())
        note += "\nFinal address: " + ToQ(row.finalUrl);
    return note;
}
// The capture cell's tooltip: the file and when it was saved, in UTC as the manifest has it.
QString captureNote(const RowDetails& row) {
    QString note = "Capture " + ToQ(row.capture);
    if (row.captureTime.isValid())
        note += "\nSaved " + row.captureTime.toUTC().toString("yyyy-MM-dd HH:mm:ss") + " (UTC)";
    return note;
}
} // namespace

RecordListModel::RecordListModel(int columns, QObject* parent)
    : QAbstractTableModel(parent), columns_(columns) {}

int RecordListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int RecordListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : columns_;
}

QVariant RecordListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const RecordRow& row = rows_[static_cast<size_t>(index.row())];
    const RowDetails& details = row.Details();
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole) {
        QString text;
        switch (index.column()) {
        case TitleColumn:
        case UrlColumn:
        case DescriptionColumn:
            text = ToQ(ReadRowText(recordAt(index.row()), index.column()));
            break;
        case StatusColumn:
            text = ToQ(details.status);
            break;
        case CaptureColumn:
            if (details.capture.empty())
                return {};
            if (role == Qt::ToolTipRole)
                return captureNote(details);
            return details.captureTime.isValid()
                       ? QLocale().toString(details.captureTime.toLocalTime(), QLocale::ShortFormat)
                       : ToQ(details.capture);
        default:
            return {};
        }
        if (role == Qt::DisplayRole || row.verdict == LinkVerdict::Unchecked)
            return text;
        // The status cell of any checked row, and every cell of a dead one, tell of the check.
        if (index.column() == StatusColumn)
            return checkNote(details);
        if (row.verdict == LinkVerdict::Dead)
            return text.isEmpty() ? checkNote(details) : text + "\n\n" + checkNote(details);
        return text;
    }
    if (role == Qt::ForegroundRole) {
        if (row.verdict == LinkVerdict::Dead)
            return deadColour();
        if (row.verdict == LinkVerdict::Moved)
            return QApplication::palette().color(QPalette::Link);
        return {};
    }
    if (role == Qt::DecorationRole && index.column() == StatusColumn) {
        if (row.verdict == LinkVerdict::Dead)
            return QApplication::style()->standardIcon(QStyle::SP_DialogCancelButton);
        if (row.verdict == LinkVerdict::Moved)
            return QApplication::style()->standardIcon(QStyle::SP_ArrowForward);
        return {};
    }
    if (role == Qt::DecorationRole && index.column() == CaptureColumn && !details.capture.empty())
        return QApplication::style()->standardIcon(QStyle::SP_DialogSaveButton);
    if (role == Qt::CheckStateRole && checkable_ && index.column() == TitleColumn)
        return row.checked ? Qt::Checked : Qt::Unchecked;
    return {};
}

bool RecordListModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || role != Qt::CheckStateRole || !checkable_ ||
        index.column() != TitleColumn)
        return false;
    bool& checked = rows_[static_cast<size_t>(index.row())].checked;
    const bool now = value.value<Qt::CheckState>() == Qt::Checked;
    checked_ += int(now) - int(checked);
    unstored_ += int(now) - int(checked);
    checked = now;
    emit dataChanged(index, index, {Qt::CheckStateRole});
    return true;
}

Qt::ItemFlags RecordListModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
    if (checkable_ && index.column() == TitleColumn)
        f |= Qt::ItemIsUserCheckable;
    return f;
}

QVariant RecordListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section < headers_.size())
        return headers_[section];
    return {};
}

void RecordListModel::setHeaders(const QStringList& headers) {
    headers_ = headers;
    emit headerDataChanged(Qt::Horizontal, 0, columns_ - 1);
}

const TQelPigger* RecordListModel::recordAt(int row) const {
    if (!records_ || row < 0 || row >= rowCount())
        return nullptr;
    const RecordRow& r = rows_[static_cast<size_t>(row)];
    if (stampKnown_ && records_->ChangeStamp() == recordsStamp_)
        return r.record;
    return records_->FindChildBySerial(r.serial);
}

RowTexts RecordListModel::textsAt(int row) const {
    return ReadRowTexts(recordAt(row));
}

void RecordListModel::resetRows(std::vector<RecordRow> rows, const TQelPigger* records,
                                bool madeNow) {
    beginResetModel();
    rows_ = std::move(rows);
    records_ = records;
    stampKnown_ = records && madeNow;
    recordsStamp_ = stampKnown_ ? records->ChangeStamp() : 0;
    checked_ = 0;
    unstored_ = 0;
    for (const RecordRow& row : rows_) {
        checked_ += ticked(row);
        unstored_ += unstored(row);
    }
    endResetModel();
}

void RecordListModel::appendRow(RecordRow row, const TQelPigger* records) {
    // Rows of other records than those before: none of them is trusted as it is any more.
    if (records != records_) {
        stampKnown_ = false;
        records_ = records;
    }
    const int at = rowCount();
    beginInsertRows(QModelIndex(), at, at);
    checked_ += ticked(row);
    unstored_ += unstored(row);
    rows_.push_back(std::move(row));
    endInsertRows();
}

void RecordListModel::replaceRow(int row, RecordRow content) {
    RecordRow& replaced = rows_[static_cast<size_t>(row)];
    checked_ += ticked(content) - ticked(replaced);
    unstored_ += unstored(content) - unstored(replaced);
    replaced = std::move(content);
    emit dataChanged(index(row, 0), index(row, columns_ - 1));
}

void RecordListModel::removeRowAt(int row) {
    beginRemoveRows(QModelIndex(), row, row);
    checked_ -= ticked(rows_[static_cast<size_t>(row)]);
    unstored_ -= unstored(rows_[static_cast<size_t>(row)]);
    rows_.erase(rows_.begin() + row);
    endRemoveRows();
}

void RecordListModel::markStored(int row) {
    RecordRow& r = rows_[static_cast<size_t>(row)];
    unstored_ -= unstored(r);
    r.stored = r.checked;
    r.plainMark = true;
}
