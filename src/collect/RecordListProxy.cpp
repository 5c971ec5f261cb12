#include "collect/RecordListProxy.h"

#include "collect/RecordListModel.h"
#include "report/ListFind.h"
#include "report/ListSort.h"

#include <QThread>

#include <algorithm>
#include <thread>

RecordListProxy::RecordListProxy(RecordListModel* rows, QObject* parent)
    : QSortFilterProxyModel(parent), rows_(rows), collator_(ListCollator()) {
    // No sort column: the rows stand in record order.
    sort(-1);
    // Connected before the source model is set, so that stale texts are forgotten before the
    // view sorts or filters again after a change of the rows.
    connect(rows, &QAbstractItemModel::modelReset, this, &RecordListProxy::forgetTexts);
    connect(rows, &QAbstractItemModel::rowsInserted, this, &RecordListProxy::forgetTexts);
    connect(rows, &QAbstractItemModel::rowsRemoved, this, &RecordListProxy::forgetTexts);
    connect(rows, &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex&, const QModelIndex&, const QList<int>& roles) {
                // A tick changes no text.
                if (!(roles.size() == 1 && roles.first() == Qt::CheckStateRole))
                    forgetTexts();
            });
    setSourceModel(rows);
}

void RecordListProxy::forgetTexts() {
    sortKeys_.clear();
    sortKeyColumn_ = -1;
    haystacks_.clear();
}

void RecordListProxy::SetFindText(const QString& text) {
    if (text == findText_)
        return;
    findText_ = text;
    needle_ = FindNeedle(text);
    invalidateRowsFilter();
}

int RecordListProxy::SourceRow(int viewRow) const {
    if (viewRow < 0 || viewRow >= rowCount())
        return -1;
    return mapToSource(index(viewRow, 0)).row();
}

int RecordListProxy::ViewRow(int sourceRow) const {
    if (sourceRow < 0 || sourceRow >= rows_->rowCount())
        return -1;
    return mapFromSource(rows_->index(sourceRow, 0)).row();
}

int RecordListProxy::CheckedShown() const {
    int ticked = 0;
    for (int row = 0, shown = rowCount(); row < shown; ++row)
        ticked += rows_->rowAt(mapToSource(index(row, 0)).row()).checked ? 1 : 0;
    return ticked;
}

void RecordListProxy::sort(int column, Qt::SortOrder order) {
    if (column >= 0)
        makeSortKeys(column);
    QSortFilterProxyModel::sort(column, order);
}

void RecordListProxy::makeSortKeys(int column) const {
    const auto count = static_cast<size_t>(rows_->rowCount());
    if (sortKeyColumn_ != column || sortKeys_.size() != count) {
        sortKeys_.assign(count, std::nullopt);
        sortKeyColumn_ = column;
    }
    // The texts are read here, on the thread that owns the records; the keys are made from
    // them on as many threads as there are cores, each with a collator of its own (one must not
    // be used by two threads at once).
    std::vector<int> rows;
    std::vector<QString> texts;
    for (size_t row = 0; row < count; ++row)
        if (!sortKeys_[row]) {
            rows.push_back(static_cast<int>(row));
            texts.push_back(sortText(static_cast<int>(row), column));
        }
    constexpr size_t kRowsPerThread = 10000;
    const auto threads = std::clamp<size_t>(texts.size() / kRowsPerThread, 1,
                                            static_cast<size_t>(QThread::idealThreadCount()));
    const auto makeKeys = [&](size_t first, size_t end, const QCollator& collator) {
        for (size_t i = first; i < end; ++i)
            sortKeys_[static_cast<size_t>(rows[i])] = ListSortKey(collator, texts[i]);
    };
    std::vector<std::thread> helpers;
    const size_t share = (texts.size() + threads - 1) / threads;
    for (size_t t = 1; t < threads; ++t)
        helpers.emplace_back([&, t] {
            const QCollator own = ListCollator(collator_.locale());
            makeKeys(t * share, std::min(texts.size(), (t + 1) * share), own);
        });
    makeKeys(0, std::min(texts.size(), share), collator_);
    for (std::thread& helper : helpers)
        helper.join();
}

const QCollatorSortKey& RecordListProxy::sortKey(int sourceRow, int column) const {
    const auto count = static_cast<size_t>(rows_->rowCount());
    if (sortKeyColumn_ != column || sortKeys_.size() != count) {
        sortKeys_.assign(count, std::nullopt);
        sortKeyColumn_ = column;
    }
    auto& key = sortKeys_[static_cast<size_t>(sourceRow)];
    if (!key)
        key = ListSortKey(collator_, sortText(sourceRow, column));
    return *key;
}

QString RecordListProxy::sortText(int sourceRow, int column) const {
    if (column == RecordListModel::CaptureColumn) {
        // By the time of saving, the rows without a capture after the others.
        const RowDetails& row = rows_->rowAt(sourceRow).Details();
        if (row.capture.empty())
            return QStringLiteral("1");
        return "0 " + row.captureTime.toUTC().toString(Qt::ISODate) + ' ' +
               QString::fromStdString(row.capture);
    }
    if (column != RecordListModel::StatusColumn)
        return rows_->index(sourceRow, column).data().toString();
    // By the verdict first, what needs looking at before the rest, then by the status shown.
    const RecordRow& row = rows_->rowAt(sourceRow);
    int rank = 0;
    switch (row.verdict) {
    case LinkVerdict::Dead:
        rank = 0;
        break;
    case LinkVerdict::Failed:
        rank = 1;
        break;
    case LinkVerdict::Moved:
        rank = 2;
        break;
    case LinkVerdict::Alive:
        rank = 3;
        break;
    case LinkVerdict::Unchecked:
        rank = 4;
        break;
    }
    return QString::number(rank) + ' ' + QString::fromStdString(row.Details().status);
}

bool RecordListProxy::lessThan(const QModelIndex& left, const QModelIndex& right) const {
    const int byText =
        sortKey(left.row(), left.column()).compare(sortKey(right.row(), right.column()));
    // Equal texts keep record order.
    return byText != 0 ? byText < 0 : left.row() < right.row();
}

bool RecordListProxy::filterAcceptsRow(int sourceRow, const QModelIndex&) const {
    if (needle_.isEmpty())
        return true;
    const auto count = static_cast<size_t>(rows_->rowCount());
    if (haystacks_.size() != count)
        haystacks_.assign(count, std::nullopt);
    auto& haystack = haystacks_[static_cast<size_t>(sourceRow)];
    if (!haystack)
        haystack = FindHaystack(rows_->textsAt(sourceRow));
    return FindMatches(*haystack, needle_);
}
