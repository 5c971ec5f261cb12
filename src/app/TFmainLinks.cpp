// The main window's link checks: checking the records' addresses and filling in page details.
#include "app/TFmain.h"

#include "collect/TD_link_check.h"
#include "collect/TO_results.h"
#include "dialogs/TDmsg.h"
#include "dialogs/TFsure.h"

#include <QMenu>

void TFmain::buildLinkActions() {
    // One run over the records of a scope, in the modal window: nothing else changes the report
    // meanwhile. What the run changed is kept like any other change, also in the recovery copy.
    const auto run = [this](std::vector<TQelPigger*> records, bool details, DetailsScope scope) {
        if (records.empty()) {
            ShowMessage("There are no records to check.");
            return;
        }
        TD_link_check dialog(&ProgramSettings, this);
        connect(&dialog, &TD_link_check::RecordChanged, this, [this] { SetModifiedFlag(true); });
        if (!dialog.Execute(Urls, records, details, scope))
            return;
        RefreshList();
        UpdateToolbar();
        SaveRecoveryCopy();
    };
    const auto check = [this, run](CheckScope scope) {
        // The ticks given in the list are the records' own before the ticked ones are chosen.
        O_results1->StoreChecks();
        TQelPigger* selected = O_results1->SelectedRecord();
        if (scope == CheckScope::Selected && !selected)
            return;
        run(RecordsToCheck(Urls, scope, selected), false, DetailsScope::Empty);
    };
    const auto item = [this](QMenu* menu, const char* name, const QString& caption, auto handler) {
        auto* a = new QAction(caption, menu);
        a->setObjectName(name);
        menu->addAction(a);
        connect(a, &QAction::triggered, this, handler);
        return a;
    };

    QMenu* checkLinks = N_Records->addMenu("&Check links");
    checkLinks->setObjectName("N_CheckLinks");
    item(checkLinks, "N_CheckAll", "&All records", [check] { check(CheckScope::All); });
    item(checkLinks, "N_CheckTicked", "&Ticked records", [check] { check(CheckScope::Ticked); });
    QAction* selected = item(checkLinks, "N_CheckSelected", "&Selected record",
                             [check] { check(CheckScope::Selected); });
    // Only with a record chosen in the list.
    connect(checkLinks, &QMenu::aboutToShow, this,
            [this, selected] { selected->setEnabled(O_results1->SelectedRecord() != nullptr); });
    connect(O_results1, &TO_results::CheckLinksWanted, this,
            [check] { check(CheckScope::Selected); });

    item(N_Records, "N_FillDetails", "&Fill in missing titles and descriptions", [this, run] {
        O_results1->StoreChecks();
        run(RecordsWithoutDetails(Urls), true, DetailsScope::Empty);
    });
    item(N_Records, "N_RefreshDetails", "&Refresh all titles and descriptions...", [this, run] {
        if (!AskUser("Replace the titles and descriptions of all records with those their "
                     "pages give? Texts edited by hand stay."))
            return;
        O_results1->StoreChecks();
        run(RecordsToCheck(Urls, CheckScope::All), true, DetailsScope::All);
    });
    N_Records->addSeparator();
}
