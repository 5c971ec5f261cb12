// The main window's export and import: the File menu's items, their file dialogs, the summary
// of an import and the evidence package.
#include "app/TFmain.h"

#include "collect/TO_results.h"
#include "dialogs/DialogUtil.h"
#include "dialogs/TDmsg.h"
#include "exchange/Export.h"
#include "exchange/ExportPackage.h"
#include "exchange/Import.h"
#include "report/ReportLayout.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QMenu>
#include <QStatusBar>

namespace {

struct ExportType {
    const char* filter;
    const char* suffix;
    ExportFormat format;
};

// The file types of the export dialog; the chosen one gives the format.
const ExportType kExportTypes[] = {
    {"Web page (*.html)", "html", ExportFormat::Html},
    {"Spreadsheet, CSV (*.csv)", "csv", ExportFormat::Csv},
    {"JSON (*.json)", "json", ExportFormat::Json},
    {"Browser bookmarks (*.html)", "html", ExportFormat::Bookmarks},
};

struct ImportType {
    const char* filter;
    std::optional<ImportFormat> format; // none: taken from the file's name or content
};

const ImportType kImportTypes[] = {
    {"Bookmarks, CSV, JSON or address lists (*.html *.htm *.csv *.json *.txt)", std::nullopt},
    {"Browser bookmarks (*.html *.htm)", ImportFormat::Bookmarks},
    {"Spreadsheet, CSV (*.csv)", ImportFormat::Csv},
    {"JSON (*.json)", ImportFormat::Json},
    {"Addresses, one a line (*.txt)", ImportFormat::Text},
    {"All files (*)", std::nullopt},
};

QFileDialog* fileDialog(QWidget* parent, const char* name, const QString& caption,
                        const QStringList& filters, bool forSaving) {
    auto* dialog = new QFileDialog(parent, caption);
    dialog->setObjectName(name);
    dialog->setNameFilters(filters);
    dialog->setSizeGripEnabled(true);
    dialog->setViewMode(QFileDialog::Detail);
    dialog->setAcceptMode(forSaving ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog->setFileMode(forSaving ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog->resize(820, 520);
    return dialog;
}

} // namespace

void TFmain::buildExchangeMenu() {
    N_Export = new QAction("&Export...", N_File);
    N_Export->setObjectName("N_Export");
    N_ExportTicked = new QAction("Export &ticked records...", N_File);
    N_ExportTicked->setObjectName("N_ExportTicked");
    N_ExportPackage = new QAction("Export evidence &package...", N_File);
    N_ExportPackage->setObjectName("N_ExportPackage");
    N_Import = new QAction("&Import...", N_File);
    N_Import->setObjectName("N_Import");
    // Right after "Save as...".
    const QList<QAction*> items = N_File->actions();
    const qsizetype at = items.indexOf(N_Saveas) + 1;
    QAction* before = at > 0 && at < items.size() ? items[at] : nullptr;
    N_File->insertActions(before, {N_Export, N_ExportTicked, N_ExportPackage, N_Import});
    connect(N_Export, &QAction::triggered, this, &TFmain::N_ExportClick);
    connect(N_ExportTicked, &QAction::triggered, this, &TFmain::N_ExportTickedClick);
    connect(N_ExportPackage, &QAction::triggered, this, &TFmain::N_ExportPackageClick);
    connect(N_Import, &QAction::triggered, this, &TFmain::N_ImportClick);

    QStringList exportFilters;
    for (const ExportType& type : kExportTypes)
        exportFilters << type.filter;
    ExportDialog1 = fileDialog(this, "ExportDialog1", "Export", exportFilters, true);
    ExportDialog1->setDefaultSuffix(kExportTypes[0].suffix);
    connect(ExportDialog1, &QFileDialog::filterSelected, this, [this](const QString& filter) {
        for (const ExportType& type : kExportTypes)
            if (filter == type.filter)
                ExportDialog1->setDefaultSuffix(type.suffix);
    });
    QStringList importFilters;
    for (const ImportType& type : kImportTypes)
        importFilters << type.filter;
    ImportDialog1 = fileDialog(this, "ImportDialog1", "Import", importFilters, false);
    // The package goes into a folder of its own, new (made in the dialog) or empty.
    PackageDialog1 =
        fileDialog(this, "PackageDialog1", "Export evidence package", QStringList(), false);
    PackageDialog1->setFileMode(QFileDialog::Directory);
    PackageDialog1->setOption(QFileDialog::ShowDirsOnly);
}

void TFmain::N_ExportClick() {
    exportRecords(false);
}

void TFmain::N_ExportTickedClick() {
    exportRecords(true);
}

void TFmain::exportRecords(bool tickedOnly) {
    ExportDialog1->setWindowTitle(tickedOnly ? "Export ticked records" : "Export");
    if (!DataDir().isEmpty())
        ExportDialog1->setDirectory(DataDir());
    if (ExecFileDialog(ExportDialog1) != QDialog::Accepted ||
        ExportDialog1->selectedFiles().isEmpty())
        return;
    ExportFormat format = ExportFormat::Html;
    for (const ExportType& type : kExportTypes)
        if (ExportDialog1->selectedNameFilter() == type.filter)
            format = type.format;
    // The export shows the report as the window shows it now, ticks included.
    StoreDocument();
    const std::string fileName =
        QFile::encodeName(ExportDialog1->selectedFiles().constFirst()).toStdString();
    std::string error;
    if (!ExportReportToFile(Doc, format, tickedOnly, fileName, &error))
        ShowMessage("The report was not exported.\n" + QFile::decodeName(error.c_str()));
}

void TFmain::N_ImportClick() {
    if (!DataDir().isEmpty())
        ImportDialog1->setDirectory(DataDir());
    if (ExecFileDialog(ImportDialog1) != QDialog::Accepted ||
        ImportDialog1->selectedFiles().isEmpty())
        return;
    std::optional<ImportFormat> format;
    for (const ImportType& type : kImportTypes)
        if (ImportDialog1->selectedNameFilter() == type.filter)
            format = type.format;
    const std::string fileName =
        QFile::encodeName(ImportDialog1->selectedFiles().constFirst()).toStdString();
    std::vector<ExchangeRecord> pages;
    try {
        pages = ReadImportFile(fileName, format);
    } catch (const ImportError& e) {
        ShowMessage("Nothing was imported.\n" + QFile::decodeName(e.what()));
        return;
    }
    if (!Urls)
        Urls = GetOrCreateChild(&Doc, ReportKeys::Urls);
    // Ticks given in the list since the last rebuild reach the records before it is rebuilt.
    O_results1->StoreChecks();
    const ImportCounts counts = ImportPages(Urls, records_, pages);
    if (counts.added > 0) {
        SetModifiedFlag(true);
        RefreshList();
        UpdateToolbar();
    }
    ShowMessage(QString::fromStdString(ImportSummary(counts)));
}

void TFmain::N_ExportPackageClick() {
    if (!DataDir().isEmpty())
        PackageDialog1->setDirectory(DataDir());
    if (ExecFileDialog(PackageDialog1) != QDialog::Accepted ||
        PackageDialog1->selectedFiles().isEmpty())
        return;
    const QString chosen = PackageDialog1->selectedFiles().constFirst();
    if (!QDir(chosen).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden |
                              QDir::System)) {
        ShowMessage("The evidence package was not written: the folder \"" + chosen +
                    "\" is not empty.\nChoose an empty folder or make a new one.");
        return;
    }
    // The package shows the report as the window shows it now, ticks included.
    StoreDocument();
    std::string error;
    if (!ExportPackage(Doc, GetFileName(), QFile::encodeName(chosen).toStdString(), false, &error))
        ShowMessage("The evidence package was not written.\n" + QFile::decodeName(error.c_str()));
    else
        StatusBar1->showMessage("The evidence package was written to \"" + chosen + "\".", 15000);
}
