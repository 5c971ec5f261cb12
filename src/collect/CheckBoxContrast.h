// The check boxes of a list on a dark palette: the style draws a box's frame in a shade of the
// window colour, which on a dark palette is as dark as the list's ground and leaves an unticked
// box unseen. This delegate has the frame drawn in a shade of the text colour there instead.
#pragma once

#include <QStyledItemDelegate>

class CheckBoxContrast : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;
};
