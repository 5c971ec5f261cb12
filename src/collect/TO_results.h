// The "Found URL list" page: one row per record of the report, with a check box.
#pragma once

#include <QWidget>

#include <string>

class TQelPigger;

class TO_results : public QWidget {
    Q_OBJECT
public:
    explicit TO_results(QWidget* parent = nullptr);
    ~TO_results() override;

    // The report's URLS node whose LISTING children are listed; not owned, may be none.
    TQelPigger* Records = nullptr;
    bool Filtered() const { return filtered_; }
    void SetFiltered(bool on) { filtered_ = on; }

    void ClearItems();
    void Rebuild();
    void Fill();
    bool Accepts(TQelPigger* record);
    void ShowRecord(TQelPigger* record, bool replaceSelected);
    TQelPigger* SelectedRecord() const;
    std::string SelectedRedirect() const;
    void OpenSelected();
    // Asks "Delete current URL?" and removes the selected record; true when one was removed.
    bool DeleteSelected();
    // Writes every row's check mark into its record.
    void StoreChecks();
    // Runs the filter dialog and takes its on/off state.
    bool RunFilter();

private:
    bool filtered_ = false;
};
