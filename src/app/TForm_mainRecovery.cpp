// The document frame's recovery copy: written while the report is modified, offered when the
// report is opened again.
#include "app/TForm_main.h"

#include "dialogs/TDmsg.h"
#include "dialogs/TFsure.h"
#include "report/RecoveryCopy.h"
#include "report/ReportFile.h"
#include "settings/TD_settings_user.h"
#include "tree/LocalText.h"

#include <QLocale>
#include <QStatusBar>
#include <QTimer>

namespace {

// How long a note about the recovery copy stays in the status bar.
constexpr int kNoteMs = 15000;

} // namespace

void TForm_main::startRecoveryTimer() {
    const int interval = D_settings_user ? D_settings_user->Store()
                                               .ReadPositive(SettingsKeys::RecoveryIntervalMs)
                                               .value_or(DefaultRecoveryIntervalMs)
                                         : DefaultRecoveryIntervalMs;
    RecoveryTimer = new QTimer(this);
    RecoveryTimer->setObjectName("RecoveryTimer");
    RecoveryTimer->setInterval(interval);
    connect(RecoveryTimer, &QTimer::timeout, this, &TForm_main::recoveryTimeout);
    RecoveryTimer->start();
}

void TForm_main::recoveryTimeout() {
    if (Modified && recoveryDue_)
        SaveRecoveryCopy();
}

void TForm_main::SaveRecoveryCopy() {
    if (!Modified)
        return;
    StoreDocument();
    std::string error;
    if (WriteRecoveryCopy(Doc, GetFileName(), &error)) {
        recoveryDue_ = false;
        recoveryFailureShown_ = false;
        return;
    }
    // Told once; the next copy is tried at the next change all the same.
    recoveryDue_ = false;
    if (recoveryFailureShown_)
        return;
    recoveryFailureShown_ = true;
    showRecoveryNote("The recovery copy was not written: " + ToQPath(error));
}

void TForm_main::showRecoveryNote(const QString& text) {
    StatusBar1->showMessage(text, kNoteMs);
}

void TForm_main::takeUpRecoveryCopy(const std::string& fileName, const RecoveryState& state) {
    if (state.kind == RecoveryState::None)
        return;
    const QString copy = ToQPath(RecoveryFileName(fileName));
    if (state.kind == RecoveryState::Newer &&
        AskUser(RecoveryQuestion(state.written, QLocale::system()))) {
        const ReportLoadResult restored = ReadReportFile(Doc, RecoveryFileName(fileName));
        if (restored.outcome == ReportLoadResult::Loaded) {
            // A modified report: the file itself is written by Save only.
            SetModifiedFlag(true);
            RestoredFromRecovery = true;
            return;
        }
        // Nothing of it is taken: the report is read again as it was.
        if (ReadReportFile(Doc, fileName).outcome != ReportLoadResult::Loaded)
            NewDocument();
        const std::string kept = KeepRecoveryCopyAside(fileName);
        ShowMessage(
            "The recovery copy \"" + copy + "\" could not be read (" +
            ToQPath(restored.reason.empty() ? std::string("it is empty") : restored.reason) +
            ").\n" +
            (kept.empty() ? QString("It was left where it is.")
                          : "It was kept as \"" + ToQPath(kept) + "\"."));
        return;
    }
    const std::string kept = KeepRecoveryCopyAside(fileName);
    if (kept.empty())
        showRecoveryNote("The recovery copy \"" + copy + "\" could not be moved aside.");
    else if (state.kind == RecoveryState::Stale)
        showRecoveryNote("A recovery copy older than the report was kept as \"" + ToQPath(kept) +
                         "\".");
    else
        showRecoveryNote("The recovery copy was kept as \"" + ToQPath(kept) + "\".");
}
