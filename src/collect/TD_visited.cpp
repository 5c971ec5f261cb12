#include "collect/TD_visited.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLocale>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

TD_visited::TD_visited(QWidget* parent) : QDialog(parent) {
    setObjectName("D_visited");
    setWindowTitle("Visited pages");
    resize(720, 360);
    LV_visited = new QTreeWidget(this);
    LV_visited->setObjectName("LV_visited");
    LV_visited->setAccessibleName("Visited pages");
    LV_visited->setHeaderLabels({"Time", "Title", "Address", "Capture"});
    LV_visited->setRootIsDecorated(false);
    LV_visited->setUniformRowHeights(true);
    LV_visited->setSelectionMode(QAbstractItemView::SingleSelection);
    LV_visited->setColumnWidth(0, 140);
    LV_visited->setColumnWidth(1, 180);
    LV_visited->setColumnWidth(2, 240);
    BTN_add = new QPushButton("Add to list", this);
    BTN_add->setObjectName("BTN_add");
    BTN_close = new QPushButton("Close", this);
    BTN_close->setObjectName("BTN_close");
    connect(BTN_add, &QPushButton::clicked, this, &TD_visited::addSelected);
    connect(BTN_close, &QPushButton::clicked, this, &QDialog::accept);
    connect(LV_visited, &QTreeWidget::currentItemChanged, this, &TD_visited::enableAdd);

    auto* buttons = new QHBoxLayout();
    buttons->addWidget(BTN_add);
    buttons->addStretch(1);
    buttons->addWidget(BTN_close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(LV_visited, 1);
    layout->addLayout(buttons);
}

void TD_visited::Execute(std::vector<VisitedPage>* visits,
                         const std::function<bool(VisitedPage&)>& add) {
    visits_ = visits;
    add_ = add;
    fill();
    exec();
    visits_ = nullptr;
    add_ = nullptr;
}

void TD_visited::fill() {
    LV_visited->clear();
    for (const VisitedPage& visit : *visits_) {
        const QString capture = !visit.file.empty()
                                    ? QString::fromStdString(visit.file)
                                    : "not captured: " + QString::fromStdString(visit.failure);
        auto* row = new QTreeWidgetItem(
            LV_visited, {QLocale::system().toString(visit.time.toLocalTime(), QLocale::ShortFormat),
                         QString::fromStdString(visit.title), QString::fromStdString(visit.url),
                         visit.added ? capture + " (in the list)" : capture});
        row->setToolTip(2, row->text(2));
    }
    if (LV_visited->topLevelItemCount() > 0)
        LV_visited->setCurrentItem(LV_visited->topLevelItem(LV_visited->topLevelItemCount() - 1));
    enableAdd();
}

void TD_visited::enableAdd() {
    const int row =
        LV_visited->currentItem() ? LV_visited->indexOfTopLevelItem(LV_visited->currentItem()) : -1;
    BTN_add->setEnabled(visits_ && row >= 0 && !(*visits_)[static_cast<std::size_t>(row)].added);
}

void TD_visited::addSelected() {
    if (!visits_ || !add_ || !LV_visited->currentItem())
        return;
    const int row = LV_visited->indexOfTopLevelItem(LV_visited->currentItem());
    VisitedPage& visit = (*visits_)[static_cast<std::size_t>(row)];
    if (visit.added || !add_(visit))
        return;
    visit.added = true;
    fill();
    LV_visited->setCurrentItem(LV_visited->topLevelItem(row));
}
