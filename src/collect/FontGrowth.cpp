#include "collect/FontGrowth.h"

#include <QAbstractButton>
#include <QLabel>
#include <QPushButton>

#include <algorithm>

namespace {
// The least room a push button needs beside its text (its frame and bevel).
constexpr int ButtonTextMargin = 8;
} // namespace

QRect FontGrowth::Scaled(const QRect& designed) const {
    const int left = Across(designed.left());
    const int top = Down(designed.top());
    return QRect(left, top, Across(designed.left() + designed.width()) - left,
                 Down(designed.top() + designed.height()) - top);
}

int FontGrowth::Across(int designed) const {
    return qRound(designed * across);
}

int FontGrowth::Down(int designed) const {
    return qRound(designed * down);
}

int CaptionWidth(const QWidget* control) {
    if (const auto* label = qobject_cast<const QLabel*>(control))
        return label->pixmap().isNull() && !label->text().isEmpty() ? label->sizeHint().width() : 0;
    if (const auto* button = qobject_cast<const QPushButton*>(control))
        return button->fontMetrics().horizontalAdvance(QString(button->text()).remove('&')) +
               ButtonTextMargin;
    return 0;
}

FontGrowth GrowthFor(const std::vector<PlacedControl>& controls, const QWidget* reference,
                     int designedLineHeight) {
    FontGrowth growth;
    for (const PlacedControl& p : controls)
        if (p.designed.width() > 0)
            growth.across =
                std::max(growth.across, qreal(CaptionWidth(p.control)) / p.designed.width());
    growth.down = std::max<qreal>(1, qreal(reference->fontMetrics().height()) / designedLineHeight);
    return growth;
}
