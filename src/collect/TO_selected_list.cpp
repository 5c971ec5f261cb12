#include "collect/TO_selected_list.h"

#include "collect/RecordListModel.h"

#include <QAbstractProxyModel>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QTableView>
#include <QVBoxLayout>

TO_selected_list::TO_selected_list(QWidget* parent, int columns) : QWidget(parent) {
    model_ = new RecordListModel(columns, this);
    LV1 = new QTableView(this);
    LV1->setObjectName("LV1");
    LV1->setModel(model_);
    LV1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    LV1->setSelectionBehavior(QAbstractItemView::SelectRows);
    LV1->setSelectionMode(QAbstractItemView::SingleSelection);
    LV1->setShowGrid(false);
    LV1->setWordWrap(false);
    LV1->setCornerButtonEnabled(false);
    LV1->verticalHeader()->hide();
    // Uniform rows: the view never measures them, so long lists stay fast.
    LV1->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    LV1->verticalHeader()->setDefaultSectionSize(LV1->fontMetrics().height() + 6);
    LV1->horizontalHeader()->hide();
    LV1->horizontalHeader()->setDefaultSectionSize(250);
    LV1->horizontalHeader()->setHighlightSections(false);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(LV1);
}

void TO_selected_list::ClearItems() {
    model_->clear();
}

int TO_selected_list::SelectedRow() const {
    const QItemSelectionModel* sel = LV1->selectionModel();
    QModelIndex current = sel->currentIndex();
    if (!current.isValid() || !sel->isRowSelected(current.row())) {
        const QModelIndexList rows = sel->selectedRows();
        if (rows.isEmpty())
            return -1;
        current = rows.first();
    }
    // The view may show the rows sorted or narrowed: the row meant is the model's.
    if (const auto* proxy = qobject_cast<const QAbstractProxyModel*>(LV1->model()))
        return proxy->mapToSource(current).row();
    return current.row();
}

int TO_selected_list::RowCount() const {
    return model_->rowCount();
}

void TO_selected_list::DeleteSelectedItem() {
    const int row = SelectedRow();
    if (row >= 0)
        model_->removeRowAt(row);
}
