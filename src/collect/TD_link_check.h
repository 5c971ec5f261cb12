// The modal "Check links" window: checks the addresses of given records of a report (with page
// details when asked), enters each result into its record as it arrives, and shows how far the
// run is: a progress bar, the counts of the verdicts, the address checked last, and Stop.
#pragma once

#include "links/LinkCheckRun.h"
#include "links/LinkResults.h"
#include "settings/core/UserSettings.h"

#include <QDialog>

#include <cstdint>
#include <memory>
#include <vector>

class QLabel;
class QProgressBar;
class QPushButton;
class TQelPigger;

class TD_link_check : public QDialog {
    Q_OBJECT
public:
    // The run's proxy values come from the settings found through settings (none: a direct
    // connection); parallel requests, interval and timeout are the run's defaults.
    explicit TD_link_check(UserSettingsSource settings, QWidget* parent = nullptr);
    ~TD_link_check() override;

    // The run's options; proxy is set from the settings on each Execute.
    LinkCheckRun::Options Options;

    // Checks the records of urls given (with details: and fills in their titles and
    // descriptions as scope allows) until the run ends or the user stops it, then waits for
    // Close. A record that left urls meanwhile is skipped. True when any record changed.
    bool Execute(TQelPigger* urls, const std::vector<TQelPigger*>& records, bool details = false,
                 DetailsScope scope = DetailsScope::Empty);

    // "Checked 40 of 200: 31 alive, 3 moved, 4 dead, 2 failed"
    static QString CountText(const LinkCheckRun::Counts& counts);

    QProgressBar* PB_progress;
    QLabel* L_counts;
    QLabel* L_address;
    QPushButton* btnStop;

signals:
    // A result changed a record of the report.
    void RecordChanged();

protected:
    // Esc or the window's close button stop a run under way before the window closes.
    void reject() override;

private:
    void entered(int index, const ProbeResult& result);
    void showProgress();
    void ended();
    void btnStopClick();

    UserSettingsSource settings_;
    std::unique_ptr<LinkCheckRun> run_;
    TQelPigger* urls_ = nullptr;
    // The records by their serials: found again for each result, as a record may be gone.
    std::vector<std::uint64_t> serials_;
    std::vector<std::string> addresses_;
    bool details_ = false;
    DetailsScope scope_ = DetailsScope::Empty;
    bool changed_ = false;
};
