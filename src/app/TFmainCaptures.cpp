// The main window's page captures: "Add and capture" (and "Add to list" when every addition is
// to be captured), the Records menu's "Capture pages", and the browser's recorded visits taken
// into the report.
#include "app/TFmain.h"
#include "capture/CaptureBatch.h"
#include "capture/CaptureStore.h"
#include "capture/TrustedTime.h"
#include "collect/CaptureRun.h"
#include "collect/TD_capture_run.h"
#include "collect/TD_url_edit.h"
#include "collect/TO_WB.h"
#include "collect/TO_results.h"
#include "dialogs/TDmsg.h"
#include "dialogs/TFsure.h"
#include "report/ReportLayout.h"
#include "settings/core/CaptureSettings.h"
#include "settings/core/UserSettings.h"

#include <QAction>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QPushButton>
#include <QStatusBar>

namespace {

CaptureSettings captureSettings() {
    UserSettings* settings = ProgramSettings();
    return settings ? ReadCaptureSettings(settings->Store().Tree()) : CaptureSettings{};
}

PageSaveOptions captureOptions() {
    PageSaveOptions options;
    options.pdf = captureSettings().savePdf;
    return options;
}

// With a time-stamping authority set, the manifest is stamped at the end of each batch.
void stampManifest(const std::string& folder) {
    const CaptureSettings settings = captureSettings();
    if (settings.tsaUrl.empty())
        return;
    std::string error;
    if (!StampManifest(folder, settings, &error))
        ShowMessage("The list of captures was not stamped: " + QString::fromStdString(error));
}

constexpr int kNoteMs = 8000;

} // namespace

void TFmain::buildCaptureActions() {
    N_Records->addSeparator();
    N_CapturePages = N_Records->addMenu("Ca&pture pages");
    N_CapturePages->setObjectName("N_CapturePages");
    const auto item = [this](const char* name, const char* caption, int scope) {
        QAction* a = N_CapturePages->addAction(caption);
        a->setObjectName(name);
        connect(a, &QAction::triggered, this, [this, scope] { CapturePages(scope); });
        return a;
    };
    N_CaptureAll = item("N_CaptureAll", "&All records", 0);
    N_CaptureTicked = item("N_CaptureTicked", "&Ticked records", 1);
    N_CaptureSelected = item("N_CaptureSelected", "&Selected record", 2);

    connect(O_WB1->SB_add_and_capture, &QPushButton::clicked, this,
            &TFmain::O_WB1SB_add_and_captureClick);
    O_WB1->Hooks.folder = [this](bool ask) { return CapturesFolder(ask); };
    O_WB1->Hooks.options = captureOptions;
    O_WB1->Hooks.addVisit = [this](VisitedPage& visit) {
        const std::string& url = visit.url;
        if (url.empty())
            return false;
        if (FindListing(url)) {
            ShowMessage("This URL already exists in the list");
            return false;
        }
        AddListing(visit.title.empty() ? "title of " + url : visit.title, "descripton of " + url,
                   url, url);
        TQelPigger* record = FindListing(url);
        ListDirty = true;
        if (!D_url_edit()->Execute(record)) {
            delete record; // the report stays marked changed
            return false;
        }
        std::string error;
        if (visit.file.empty() || visit.folder != CapturesFolderOf(FileName))
            StatusBar1->showMessage("The page was added without a capture.", kNoteMs);
        else if (!AttachCapture(visit.folder, visit.file, record, &error))
            ShowMessage(QString::fromStdString(error));
        capturesRecorded();
        return true;
    };
}

std::string TFmain::CapturesFolder(bool ask) {
    if (FileName.empty())
        return {};
    if (!QFileInfo::exists(QFile::decodeName(FileName.c_str()))) {
        // The folder lies beside the report file, which a report never saved does not have.
        if (!ask || !AskUser("The report has not been saved yet. Page captures are kept in a "
                             "folder beside the report file. Save the report now?"))
            return {};
        if (!N_SaveClick())
            return {};
    }
    return CapturesFolderOf(FileName);
}

void TFmain::O_WB1SB_add_and_captureClick() {
    const std::string url = O_WB1->CurrentUrl();
    if (url.empty() || CapturesFolder(true).empty())
        return;
    // A page already in the list is captured for its record.
    if (!FindListing(url)) {
        AddPageByHand(url);
        if (!FindListing(url))
            return; // the URL editor was cancelled
    }
    captureShownFor(url);
}

void TFmain::captureShownFor(const std::string& url) {
    const std::string report = FileName;
    const std::string folder = CapturesFolderOf(report);
    StatusBar1->showMessage("Capturing the page...");
    O_WB1->CaptureShown(folder, [this, url, report, folder](const CaptureAttempt& attempt) {
        StatusBar1->clearMessage();
        // The record of the report the capture was made for, unless another was opened since.
        TQelPigger* record = FileName == report ? FindListing(url) : nullptr;
        std::string error;
        if (!RecordCapture(folder, record, attempt, QDateTime::currentDateTimeUtc(), &error)) {
            ShowMessage("The page was not captured: " + QString::fromStdString(error));
            return;
        }
        if (!attempt.saved) {
            ShowMessage("The page was not captured. " + QString::fromStdString(attempt.failure));
            return;
        }
        if (record)
            capturesRecorded();
        StatusBar1->showMessage(
            "The page was captured as " + QString::fromStdString(attempt.pageFile) + ".", kNoteMs);
        stampManifest(folder);
    });
}

void TFmain::CapturePages(int scope) {
    if (!Urls)
        return;
    const auto kind = static_cast<CaptureScope>(scope);
    const std::vector<TQelPigger*> targets =
        CaptureTargets(Urls, kind, O_results1->SelectedRecord());
    if (targets.empty()) {
        ShowMessage(kind == CaptureScope::Selected ? "No record is selected."
                    : kind == CaptureScope::Ticked ? "No record is ticked."
                                                   : "The list has no records.");
        return;
    }
    const std::string folder = CapturesFolder(true);
    if (folder.empty())
        return;
    std::vector<CaptureItem> items;
    items.reserve(targets.size());
    for (TQelPigger* record : targets)
        items.push_back({record->GetAttr(RecordFields::Url), record});
    CaptureRun run(folder, std::move(items), captureOptions());
    TD_capture_run dialog(this);
    dialog.Execute(&run);
    if (run.Recorded() > 0)
        capturesRecorded();
    if (run.Queue().Ended() > 0)
        stampManifest(folder);
}

void TFmain::capturesRecorded() {
    ListDirty = true;
    SetModifiedFlag(true);
    RefreshList();
    SaveRecoveryCopy();
}
