#include "collect/CheckBoxContrast.h"

void CheckBoxContrast::initStyleOption(QStyleOptionViewItem* option,
                                       const QModelIndex& index) const {
    QStyledItemDelegate::initStyleOption(option, index);
    if (!(option->features & QStyleOptionViewItem::HasCheckIndicator))
        return;
    // A cell does not show the window colour otherwise: only the box's frame comes from it.
    QPalette& palette = option->palette;
    if (palette.color(QPalette::Base).lightness() < 128)
        palette.setColor(QPalette::Window, palette.color(QPalette::Text));
}
