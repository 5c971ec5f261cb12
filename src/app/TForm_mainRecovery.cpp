// The document frame's recovery copy: written while the report is modified, offered when the
// report is opened again.
#include "app/TForm_main.h"

#include "dialogs/TDmsg.h"
#include "dialogs/TFsure.h"
#include "report/RecoveryCopy.h"
#include "report/RecoveryWriter.h"
#include "report/ReportFile.h"
#include "settings/TD_settings_user.h"
#include "tree/LocalText.h"
#include "tree/TreeTextCursor.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLocale>
#include <QStatusBar>
#include <QThread>
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

    recoverySlicer_ = new QTimer(this);
    recoverySlicer_->setSingleShot(true);
    connect(recoverySlicer_, &QTimer::timeout, this, &TForm_main::writeRecoverySlice);
    recoveryRestart_ = new QTimer(this);
    recoveryRestart_->setSingleShot(true);
    recoveryRestart_->setInterval(0);
    connect(recoveryRestart_, &QTimer::timeout, this, &TForm_main::recoveryTimeout);
    recoveryWriter_ = std::make_unique<RecoveryWriter>(
        [this](bool written, const std::string& error) { recoveryCopyEnded(written, error); });
}

void TForm_main::recoveryTimeout() {
    if (Modified && recoveryDue_)
        SaveRecoveryCopy();
}

void TForm_main::SaveRecoveryCopy() {
    if (!Modified)
        return;
    if (RecoveryCopyInFlight()) {
        // The copy under way already holds every change.
        if (copiedChange_ == changes_)
            return;
        cancelRecoveryCopy();
    }
    StoreDocument();
    copiedChange_ = changes_;
    recoveryDue_ = false;
    recoveryText_ = std::make_unique<TreeTextCursor>(Doc);
    recoveryWriter_->Begin(GetFileName());
    recoverySlicer_->start(0);
}

void TForm_main::writeRecoverySlice() {
    if (!recoveryText_)
        return;
    // Short slices keep the window responsive; the writer's queue is kept from growing
    // without bound while the disk is slower than the slices.
    constexpr qint64 kSliceMs = 8;
    constexpr std::size_t kPiece = std::size_t{1} << 20;
    constexpr std::size_t kMaxQueued = std::size_t{64} << 20;
    constexpr int kDrainWaitMs = 10;
    const auto beginAgain = [this] {
        // Given up for a change: begun anew at the next turn of the event loop (and by the timer,
        // should that find the report unchanged but the copy still due).
        cancelRecoveryCopy();
        recoveryDue_ = true;
        recoveryRestart_->start();
    };
    if (changes_ != copiedChange_)
        return beginAgain();
    QElapsedTimer clock;
    clock.start();
    while (recoveryWriter_->QueuedBytes() <= kMaxQueued) {
        std::string piece;
        piece.reserve(kPiece + kPiece / 8);
        const TreeTextCursor::Step step = recoveryText_->Next(piece, kPiece);
        if (step == TreeTextCursor::Step::Invalid)
            return beginAgain();
        recoveryWriter_->Add(std::move(piece));
        if (step == TreeTextCursor::Step::Done) {
            recoveryText_.reset();
            recoveryWriter_->Finish();
            return;
        }
        if (clock.elapsed() >= kSliceMs) {
            recoverySlicer_->start(0);
            return;
        }
    }
    recoverySlicer_->start(kDrainWaitMs);
}

void TForm_main::recoveryCopyEnded(bool written, const std::string& error) {
    // A copy that failed early needs no more of the text.
    recoverySlicer_->stop();
    recoveryText_.reset();
    if (written) {
        recoveryFailureShown_ = false;
        return;
    }
    // Told once; the next copy is tried at the next change all the same.
    if (recoveryFailureShown_)
        return;
    recoveryFailureShown_ = true;
    showRecoveryNote("The recovery copy was not written: " + ToQPath(error));
}

void TForm_main::cancelRecoveryCopy() {
    // Still due unless what replaces the report says otherwise (Save, loading, No to "Save
    // changes?").
    if (RecoveryCopyInFlight() || recoveryRestart_->isActive())
        recoveryDue_ = true;
    recoverySlicer_->stop();
    recoveryRestart_->stop();
    recoveryText_.reset();
    recoveryWriter_->Cancel();
}

bool TForm_main::RecoveryCopyInFlight() const {
    return recoveryText_ || recoveryWriter_->InFlight();
}

void TForm_main::WaitForRecoveryCopy() {
    while (RecoveryCopyInFlight() || recoveryRestart_->isActive() || !recoveryWriter_->Idle()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        // The disk's turn: nothing is left for the window to do until the thread reports.
        if (!recoveryRestart_->isActive() &&
            (!recoverySlicer_->isActive() || recoverySlicer_->interval() > 0))
            QThread::msleep(1);
    }
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
