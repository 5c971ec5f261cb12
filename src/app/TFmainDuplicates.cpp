// The main window's search for records that name the same page, and the moving of records to
// the addresses they permanently redirect to.
#include "app/TFmain.h"

#include "collect/TD_duplicates.h"
#include "collect/TO_results.h"
#include "dialogs/TDmsg.h"
#include "dialogs/TFsure.h"
#include "report/PermanentRedirects.h"
#include "tree/LocalText.h"

#include <QAction>
#include <QMenu>
#include <QStatusBar>

#include <algorithm>

namespace {

constexpr int kNoteMs = 15000;

} // namespace

void TFmain::buildDuplicateActions() {
    if (!N_Records->actions().isEmpty())
        N_Records->addSeparator();
    N_FindDuplicates = new QAction("Find &duplicates...", N_Records);
    N_FindDuplicates->setObjectName("N_FindDuplicates");
    N_ApplyRedirects = new QAction("&Apply permanent redirects...", N_Records);
    N_ApplyRedirects->setObjectName("N_ApplyRedirects");
    N_Records->addAction(N_FindDuplicates);
    N_Records->addAction(N_ApplyRedirects);
    connect(N_FindDuplicates, &QAction::triggered, this, &TFmain::N_FindDuplicatesClick);
    connect(N_ApplyRedirects, &QAction::triggered, this, &TFmain::N_ApplyRedirectsClick);
}

void TFmain::N_FindDuplicatesClick() {
    if (!Urls)
        return;
    // Ticks given in the list since the last rebuild count in the choice.
    O_results1->StoreChecks();
    TD_duplicates dialog(this);
    const int removed = dialog.Execute(Urls);
    if (removed == 0)
        return;
    SetModifiedFlag(true);
    ListDirty = true;
    // The rows of the deleted records must not write their ticks back over the kept ones.
    O_results1->ClearItems();
    RefreshList();
    UpdateToolbar();
    StatusBar1->showMessage(removed == 1
                                ? QString("1 duplicate record was removed.")
                                : QString("%1 duplicate records were removed.").arg(removed),
                            kNoteMs);
}

void TFmain::N_ApplyRedirectsClick() {
    if (!Urls)
        return;
    O_results1->StoreChecks();
    // The count asked about is the count that can move: a record whose target another record
    // already has stays, and the question says so first.
    const std::vector<RedirectMove> moves = PermanentRedirects(Urls, records_);
    const auto blocked = std::count_if(moves.begin(), moves.end(),
                                       [](const RedirectMove& m) { return m.existing != nullptr; });
    const auto movable = qsizetype(moves.size()) - qsizetype(blocked);
    if (moves.empty()) {
        ShowMessage("No record has a permanent redirect.");
        return;
    }
    if (movable == 0) {
        ShowMessage(ToQ(RedirectConflictsText(moves)));
        return;
    }
    QString question = movable == 1
                           ? QString("Move 1 record to the address it permanently redirects to?")
                           : QString("Move %1 records to the addresses they permanently redirect "
                                     "to?")
                                 .arg(movable);
    if (blocked > 0)
        question += QString("\n%1 other %2 to an address another record already has and %3.")
                        .arg(qsizetype(blocked))
                        .arg(blocked == 1 ? "record redirects" : "records redirect")
                        .arg(blocked == 1 ? "stays" : "stay");
    if (!AskUser(question))
        return;
    const RedirectsApplied applied = ApplyPermanentRedirects(Urls, records_);
    if (applied.moved > 0) {
        SetModifiedFlag(true);
        ListDirty = true;
        RefreshList();
        UpdateToolbar();
    }
    if (!applied.conflicts.empty())
        ShowMessage(ToQ(RedirectConflictsText(applied.conflicts)));
}
