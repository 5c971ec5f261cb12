#include "settings/TWizard.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

TWizard::TWizard(QWidget* parent) : QDialog(parent) {
    setObjectName("Wizard");
    setWindowTitle("Wizard");
    // A dialog frame with a title but no buttons in it: the wizard ends by its own buttons.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);

    pages = new QTabWidget(this);
    pages->setObjectName("pages");
    pages->tabBar()->hide();
    pages->setDocumentMode(true);

    Panel_buttons = new QWidget(this);
    Panel_buttons->setObjectName("Panel_buttons");
    const auto button = [this](const char* name, const char* caption) {
        auto* b = new QPushButton(caption, Panel_buttons);
        b->setObjectName(name);
        b->setAutoDefault(false);
        b->setFixedSize(75, 25);
        return b;
    };
    btnPrev = button("btnPrev", "<< Prior");
    btnNext = button("btnNext", "Next >>");
    btnFinish = button("btnFinish", "Ok");
    btnCancel = button("btnCancel", "Cancel");
    auto* row = new QHBoxLayout(Panel_buttons);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(6);
    row->addStretch(1);
    for (QPushButton* b : {btnPrev, btnNext, btnFinish, btnCancel})
        row->addWidget(b);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->setSpacing(8);
    layout->addWidget(pages, 1);
    layout->addWidget(Panel_buttons);

    connect(btnPrev, &QPushButton::clicked, this, &TWizard::btnPrevClick);
    connect(btnNext, &QPushButton::clicked, this, &TWizard::btnNextClick);
    connect(btnFinish, &QPushButton::clicked, this, &QDialog::accept);
    // Esc rejects the dialog as well, the way Cancel does.
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(pages, &QTabWidget::currentChanged, this, &TWizard::pagesChange);

    UpdateButtons();
    PreviousPage = -1;
}

void TWizard::AddPage(QWidget* page) {
    pages->addTab(page, page->objectName());
    UpdateButtons();
}

int TWizard::PageCount() const {
    return pages->count();
}

int TWizard::PageIndex() const {
    return pages->currentIndex();
}

void TWizard::GoToPage(int index) {
    if (index >= 0 && index < PageCount()) {
        PreviousPage = PageIndex();
        pages->setCurrentIndex(index);
        UpdateButtons();
    }
    PageChanged();
}

void TWizard::UpdateButtons() {
    const int index = PageIndex();
    btnPrev->setEnabled(index > 0);
    btnNext->setEnabled(index < PageCount() - 1);
    btnFinish->setEnabled(PageCount() > 0 && index == PageCount() - 1);
    btnCancel->setEnabled(true);
}

void TWizard::btnPrevClick() {
    if (PageIndex() > 0)
        GoToPage(PageIndex() - 1);
}

void TWizard::btnNextClick() {
    if (PageIndex() + 1 < PageCount())
        GoToPage(PageIndex() + 1);
}

void TWizard::pagesChange() {
    UpdateButtons();
}
