// The "Found URL list" page: one row per record of the report, with a check box. Rows refer
// to the record nodes of the report; the list never owns records.
#pragma once

#include "collect/TO_selected_list.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class QLabel;
class QShowEvent;
class QLineEdit;
class QMenu;
class RecordListProxy;
class SettingsStore;
class TQelPigger;
struct RecordRow;

class TO_results : public TO_selected_list {
    Q_OBJECT
public:
    explicit TO_results(QWidget* parent = nullptr);
    ~TO_results() override;

    // The report's URLS node whose LISTING children are listed; not owned, may be none.
    TQelPigger* Records = nullptr;
    bool Filtered() const { return filtered_; }
    void SetFiltered(bool on) { filtered_ = on; }

    // Decides, while the filter is on, whether a record is listed.
    using Matcher = std::function<bool(TQelPigger* record)>;
    // Runs the filter dialog over the records; gives whether the user switched the filter on.
    using FilterDialog = std::function<bool(TQelPigger* records)>;
    void SetFilter(Matcher matches, FilterDialog dialog);

    void Rebuild();
    void Fill();
    bool Accepts(TQelPigger* record);
    void ShowRecord(TQelPigger* record, bool replaceSelected);
    TQelPigger* SelectedRecord() const;
    std::string SelectedRedirect() const;
    void OpenSelected();
    // Asks "Delete current URL?" and removes the selected record; true when one was removed.
    bool DeleteSelected();
    // Writes every check mark given or taken in the rows since they were made or last stored
    // into its record. A row whose tick is what its record held is left alone: a record's tick
    // set elsewhere meanwhile (an import, the duplicates' choice) is kept.
    void StoreChecks();
    // Writes the check marks the user changed since the last store into their records: what
    // a tick stores at once, without a look at the other rows.
    void StoreTicks();
    // Runs the filter dialog and takes its on/off state.
    bool RunFilter();

    // The record of a row, or none when the row's record is no longer in Records.
    TQelPigger* RecordAt(int row) const;

    // A click on a column's header: sorted ascending, then descending, then record order.
    void HeaderClicked(int column);
    // The column the view is sorted by, -1 for record order.
    int SortColumn() const;
    Qt::SortOrder SortOrder() const { return sortOrder_; }
    // Puts the selected record's URL on the clipboard.
    void CopySelectedAddress();
    // Ticks or unticks the selected row.
    void ToggleSelectedCheck();
    // The row menu: Open, Edit, Delete, Copy address, Check links, Open capture, Capture
    // details (built anew for each use).
    QMenu* MakeRowMenu(QWidget* parent);

    // The column widths kept in the settings between runs.
    void StoreColumnWidths(SettingsStore& settings) const;
    void RestoreColumnWidths(const SettingsStore& settings);

    // The quick find ("Find in list") above the list and the count line under it: the records
    // of the report and those ticked, and when not all are shown, the rows shown and those ticked.
    QLineEdit* E_find;
    QLabel* L_counts;
    void UpdateCounts();

signals:
    // The user ticked or unticked a row.
    void CheckToggled();
    // The user asked, by key or row menu, for what the Open URL, Edit URL and Delete URL
    // commands do.
    void OpenWanted();
    void EditWanted();
    void DeleteWanted();
    // The user asked, by the row menu, for a link check of the selected record.
    void CheckLinksWanted();
    // The user asked, by the row menu, to see the selected record's latest capture, or the list
    // of all its captures.
    void OpenCaptureWanted();
    void CaptureDetailsWanted();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    // Narrows a description column restored wider than the view leaves room for, so that the
    // columns after it stay in sight (a width kept by a version in which the description was
    // the last column is the whole window's).
    void fitRestoredWidths();
    bool fitPending_ = false;
    // The width the last column starts with.
    int lastColumnWidth_ = 0;
    void LV1DblClick();
    // The row's record while it is one of Records' children, else none.
    TQelPigger* recordOf(const RecordRow& row) const;

    void showRowMenu(const QPoint& at);
    // The Menu key or Shift+F10: the current row's menu, beneath the row.
    void showRowMenuByKey();
    void popupRowMenu(const QPoint& global);
    // Tells a screen reader that the tick of a row (of the list model) changed.
    void tellCheckChanged(int row);
    // Replaces the rows by rows followed by those of the records that are accepted.
    void fillRows(std::vector<RecordRow> rows);

    RecordListProxy* proxy_;
    int sortColumn_ = -1;
    Qt::SortOrder sortOrder_ = Qt::AscendingOrder;
    bool filtered_ = false;
    Matcher matches_;
    FilterDialog filterDialog_;
    // While Fill runs, rows are gathered here and shown in one go.
    std::vector<RecordRow>* bulkRows_ = nullptr;
    // The last count of records and of those holding a tick, valid while the container and its
    // change stamp are the same.
    struct RecordCount {
        const TQelPigger* of = nullptr;
        std::uint64_t serial = 0;
        std::uint64_t stamp = 0;
        int records = 0;
        int ticked = 0;
    };
    RecordCount countedRecords_;
    // Rows whose tick the user changed since the last store, with the serial of their record.
    std::vector<std::pair<int, std::uint64_t>> tickedRows_;
    // Writes the row's check mark into its record (when it is still in the report), keeping
    // the count of ticked records current.
    void storeCheck(int row);
    // The counts of Records, made again only after its records changed.
    const RecordCount& recordTally();
};
