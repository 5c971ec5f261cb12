#include "settings/TWizard.h"

#include "dialogs/DialogUtil.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

// The page keys of a tab widget (Ctrl+Tab, Ctrl+Shift+Tab, Ctrl+PgUp, Ctrl+PgDn) would turn the
// pages past the checks of Prior and Next; only the buttons turn them.
class PageStack : public QTabWidget {
public:
    using QTabWidget::QTabWidget;

protected:
    void keyPressEvent(QKeyEvent* event) override {
        if (event->modifiers() & Qt::ControlModifier &&
            (event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab ||
             event->key() == Qt::Key_PageUp || event->key() == Qt::Key_PageDown)) {
            event->ignore();
            return;
        }
        QTabWidget::keyPressEvent(event);
    }
};

// The first control of the page that Tab would reach, or none.
QWidget* firstField(QWidget* page) {
    for (QWidget* w = page->nextInFocusChain(); w && w != page; w = w->nextInFocusChain())
        if (page->isAncestorOf(w) && (w->focusPolicy() & Qt::TabFocus) == Qt::TabFocus &&
            w->isEnabled() && w->isVisibleTo(page) && !w->focusProxy())
            return w;
    return nullptr;
}

} // namespace

TWizard::TWizard(QWidget* parent) : QDialog(parent) {
    setObjectName("Wizard");
    setWindowTitle("Wizard");
    // A dialog frame with a title but no buttons in it: the wizard ends by its own buttons.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);

    pages = new PageStack(this);
    pages->setObjectName("pages");
    pages->tabBar()->hide();
    // The hidden tabs take no focus: Tab goes round the page's controls and the buttons.
    pages->tabBar()->setFocusPolicy(Qt::NoFocus);
    pages->setFocusProxy(nullptr);
    pages->setFocusPolicy(Qt::NoFocus);
    pages->setDocumentMode(true);

    Panel_buttons = new QWidget(this);
    Panel_buttons->setObjectName("Panel_buttons");
    const auto button = [this](const char* name, const char* caption) {
        auto* b = new QPushButton(caption, Panel_buttons);
        b->setObjectName(name);
        b->setAutoDefault(false);
        b->setFixedSize(RoomForCaption(b, caption, QSize(75, 25)));
        return b;
    };
    btnPrev = button("btnPrev", "<< &Prior");
    btnNext = button("btnNext", "&Next >>");
    btnFinish = button("btnFinish", "&Ok");
    btnCancel = button("btnCancel", "&Cancel");
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
        // The keyboard starts on the page's first field, never on a button the page change
        // may have disabled.
        if (QWidget* field = firstField(pages->widget(index)))
            field->setFocus(Qt::OtherFocusReason);
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
