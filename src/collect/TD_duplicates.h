// The "Duplicates" dialog: the groups of records that name the same page, one of each to keep.
#pragma once

#include <QDialog>

#include <cstddef>
#include <vector>

class QButtonGroup;
class QLabel;
class QPushButton;
class QTreeWidget;
class TQelPigger;
struct DuplicateGroup;

class TD_duplicates : public QDialog {
    Q_OBJECT
public:
    explicit TD_duplicates(QWidget* parent = nullptr);
    ~TD_duplicates() override;

    // Shows the groups of urls, each with the record it suggests chosen. "Keep the chosen ones"
    // keeps the chosen record of each group (taking the others' tick and longer texts) and
    // deletes the others; Cancel changes nothing. Without groups it only tells "No duplicates
    // found.". Returns how many records were deleted.
    int Execute(TQelPigger* urls);

    // The position in its group of the record chosen in group.
    std::size_t Chosen(int group) const;

    QLabel* Label1;
    QTreeWidget* TV_groups;
    QPushButton* btnKeep;
    QPushButton* btnCancel;

private:
    void fill(const std::vector<DuplicateGroup>& groups);

    std::vector<QButtonGroup*> choices_;
};
