// A frame holding one list view of records.
#pragma once

#include <QWidget>

class QTableView;
class RecordListModel;

class TO_selected_list : public QWidget {
    Q_OBJECT
public:
    explicit TO_selected_list(QWidget* parent = nullptr, int columns = 1);

    // Removes all rows (one repaint).
    void ClearItems();
    // Removes the selected row, if any, from the view only.
    void DeleteSelectedItem();

    // Index of the selected row, or -1.
    int SelectedRow() const;
    int RowCount() const;

    QTableView* LV1;

protected:
    RecordListModel* model_;
};
