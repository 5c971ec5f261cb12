#include "collect/TO_WB.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

// The embedded browser itself comes with its own piece of work; until then the frame keeps
// its address bar and buttons.
TO_WB::TO_WB(QWidget* parent) : QWidget(parent) {
    setObjectName("O_WB1");
    Edit_url = new QLineEdit(this);
    Edit_url->setObjectName("Edit_url");
    SB_go = new QPushButton("Go!", this);
    SB_go->setObjectName("SB_go");
    SB_add_to_found = new QPushButton("Add to list", this);
    SB_add_to_found->setObjectName("SB_add_to_found");
    auto* bar = new QHBoxLayout();
    bar->addWidget(new QLabel("URL:", this));
    bar->addWidget(Edit_url, 1);
    bar->addWidget(SB_go);
    bar->addWidget(SB_add_to_found);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addStretch(1);
}

void TO_WB::ShowHomeAddress() {}
void TO_WB::GoHome() {}
bool TO_WB::NavigateBack() {
    return false;
}
bool TO_WB::NavigateForward() {
    return false;
}
void TO_WB::StopNavigation() {}
void TO_WB::RefreshPage() {}
std::string TO_WB::CurrentUrl() const {
    return {};
}
void TO_WB::SB_goClick() {}
