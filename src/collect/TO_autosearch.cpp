#include "collect/TO_autosearch.h"

#include <QHBoxLayout>
#include <QListWidget>

// The search itself comes with its own piece of work; until then the frame holds its lists.
TO_autosearch::TO_autosearch(QWidget* parent) : QWidget(parent) {
    setObjectName("O_autosearch1");
    LB_kw = new QListWidget(this);
    LB_kw->setObjectName("LB_kw");
    LB_selected = new QListWidget(this);
    LB_selected->setObjectName("LB_selected");
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(LB_kw);
    layout->addWidget(LB_selected);
}

void TO_autosearch::LoadOftenUsedKeywords() {}
void TO_autosearch::SB_startClick() {}
