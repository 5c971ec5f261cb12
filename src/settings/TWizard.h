// A dialog that shows its pages one at a time, turned only with Prior and Next, and ends with
// Ok on the last page or with Cancel (or Esc) on any page.
#pragma once

#include <QDialog>

class QPushButton;
class QTabWidget;
class QWidget;

class TWizard : public QDialog {
    Q_OBJECT
public:
    explicit TWizard(QWidget* parent = nullptr);

    // Index of the page shown.
    virtual int PageIndex() const;
    // Shows the page at index (when there is one) and updates the buttons; PageChanged runs in
    // every case.
    virtual void GoToPage(int index);
    // Prior on every page but the first, Next on every page but the last, Ok on the last one.
    virtual void UpdateButtons();
    // Runs after every page change; derived wizards check the page here.
    virtual void PageChanged() {}

    // Appends a page (its tab is never shown).
    void AddPage(QWidget* page);
    int PageCount() const;

    // The pages in order; the tabs are hidden, so only the buttons turn them.
    QTabWidget* pages;
    QWidget* Panel_buttons;
    QPushButton* btnPrev;
    QPushButton* btnNext;
    QPushButton* btnFinish;
    QPushButton* btnCancel;

    // The page shown before the last page change; -1 before the first.
    int PreviousPage = -1;

public slots:
    void btnPrevClick();
    void btnNextClick();
    void pagesChange();
};
