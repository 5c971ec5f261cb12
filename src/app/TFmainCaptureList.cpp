// The main window over the captures already made: which records have one (the list's column),
// opening a capture and listing a record's captures from the row menu, and the Records menu's
// verification and removal of the files no record refers to any more.
#include "app/TFmain.h"

#include "capture/CaptureReview.h"
#include "capture/CaptureStore.h"
#include "capture/TrustedTime.h"
#include "collect/TD_captures.h"
#include "collect/TF_capture_view.h"
#include "collect/TO_results.h"
#include "dialogs/TDmsg.h"
#include "dialogs/TFsure.h"
#include "report/ReportFile.h"
#include "report/ReportLayout.h"
#include "settings/core/CaptureSettings.h"
#include "settings/core/SettingsStore.h"
#include "settings/core/UserSettings.h"
#include "tree/LocalText.h"

#include <QAction>
#include <QApplication>
#include <QFileInfo>
#include <QMenu>
#include <QStatusBar>

#include <algorithm>

namespace {

constexpr int kNoteMs = 15000;

class WaitCursor {
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
};

CaptureSettings captureSettings() {
    UserSettings* settings = ProgramSettings();
    return settings ? ReadCaptureSettings(settings->Store().Tree()) : CaptureSettings{};
}

QDateTime isoTime(const std::string& text) {
    return QDateTime::fromString(ToQ(text), Qt::ISODate);
}

} // namespace

void TFmain::buildCaptureListActions() {
    N_Records->addSeparator();
    N_VerifyCaptures = new QAction("&Verify captures...", N_Records);
    N_VerifyCaptures->setObjectName("N_VerifyCaptures");
    N_RemoveUnusedCaptures = new QAction("Re&move unused captures...", N_Records);
    N_RemoveUnusedCaptures->setObjectName("N_RemoveUnusedCaptures");
    N_Records->addAction(N_VerifyCaptures);
    N_Records->addAction(N_RemoveUnusedCaptures);
    connect(N_VerifyCaptures, &QAction::triggered, this, &TFmain::N_VerifyCapturesClick);
    connect(N_RemoveUnusedCaptures, &QAction::triggered, this,
            &TFmain::N_RemoveUnusedCapturesClick);
    connect(O_results1, &TO_results::OpenCaptureWanted, this, [this] {
        if (TQelPigger* record = O_results1->SelectedRecord())
            OpenCapture(LatestCapture(record), record->GetAttr(RecordFields::Url),
                        isoTime(record->GetAttr(CaptureFields::Time)),
                        record->GetAttr(CaptureFields::Sha256));
    });
    connect(O_results1, &TO_results::CaptureDetailsWanted, this,
            &TFmain::showSelectedCaptureDetails);
}

TF_capture_view* TFmain::OpenCapture(const std::string& file, const std::string& address,
                                     const QDateTime& when, const std::string& sha256) {
    const std::string path = CapturesFolderOf(GetFileName()) + "/" + file;
    if (file.empty() || !QFileInfo(ToQPath(path)).isFile()) {
        ShowMessage("The capture file \"" + ToQPath(path) + "\" is missing.");
        return nullptr;
    }
    auto* view = new TF_capture_view(ToQPath(path), ToQ(address), when, ToQ(sha256), this);
    view->show();
    return view;
}

void TFmain::showSelectedCaptureDetails() {
    TQelPigger* record = O_results1->SelectedRecord();
    if (!record)
        return;
    const std::string folder = CapturesFolderOf(GetFileName());
    std::vector<CaptureEntry> entries;
    std::string error;
    if (!ReadManifest(folder, &entries, &error)) {
        ShowMessage(ToQ(error));
        return;
    }
    const std::string url = record->GetAttr(RecordFields::Url);
    std::vector<CaptureEntry> mine = RecordCaptureHistory(entries, url, LatestCapture(record));
    std::vector<bool> present;
    for (const CaptureEntry& e : mine)
        present.push_back(IsPresentCapture(entries, e) &&
                          QFileInfo(ToQPath(folder + "/" + e.file)).isFile());
    TD_capture_details dialog(
        ToQ(url), std::move(mine), std::move(present),
        [this, url](const CaptureEntry& e) { OpenCapture(e.file, url, e.time, e.sha256); }, this);
    dialog.exec();
}

void TFmain::N_VerifyCapturesClick() {
    const std::string folder = CapturesFolderOf(GetFileName());
    if (!QFileInfo(ToQPath(folder)).isDir()) {
        ShowMessage("This report has no captures.");
        return;
    }
    std::vector<CaptureCheck> checks;
    std::string error;
    StampCheck stamp;
    {
        WaitCursor hourglass;
        if (!VerifyCaptures(folder, &checks, &error)) {
            ShowMessage(ToQ(error));
            return;
        }
        stamp = CheckManifestStamp(folder, captureSettings().tsaCaFile);
    }
    OrderForReview(&checks);
    QString summary = ToQ(VerifySummary(checks, stamp.state)) + ".";
    if (stamp.state != StampState::None && stamp.time.isValid())
        summary += "\nThe manifest was stamped " +
                   stamp.time.toUTC().toString("yyyy-MM-dd HH:mm:ss") + " (UTC).";
    TD_capture_verify dialog(checks, summary, this);
    dialog.exec();
}

void TFmain::N_RemoveUnusedCapturesClick() {
    const std::string folder = CapturesFolderOf(GetFileName());
    // Unused: no record in the window refers to it, nor one of the report file, which is what
    // stays when the changes since the last save are given up.
    std::vector<std::string> unused = UnusedCaptures(folder, Doc);
    TQelPigger saved;
    if (!unused.empty() &&
        ReadReportFile(saved, GetFileName()).outcome == ReportLoadResult::Loaded) {
        const std::vector<std::string> unusedThere = UnusedCaptures(folder, saved);
        std::erase_if(unused, [&](const std::string& file) {
            return !std::binary_search(unusedThere.begin(), unusedThere.end(), file);
        });
    }
    if (unused.empty()) {
        ShowMessage("No capture file is unused.");
        return;
    }
    const auto n = qsizetype(unused.size());
    if (!AskUser(
            n == 1 ? QString("Remove 1 capture file that no record refers to any more?")
                   : QString("Remove %1 capture files that no record refers to any more?").arg(n)))
        return;
    std::string error;
    bool removed = false;
    {
        WaitCursor hourglass;
        removed = RemoveCaptures(folder, unused, QDateTime::currentDateTimeUtc(), &error);
    }
    if (!removed) {
        ShowMessage("The unused captures were not all removed.\n" + ToQ(error));
        return;
    }
    std::string stampError;
    if (!StampManifest(folder, captureSettings(), &stampError))
        ShowMessage("The manifest was not stamped again.\n" + ToQ(stampError));
    StatusBar1->showMessage(n == 1 ? QString("1 unused capture file was removed.")
                                   : QString("%1 unused capture files were removed.").arg(n),
                            kNoteMs);
}
