#include "app/TForm_main.h"

#include "capture/CaptureStore.h"
#include "dialogs/DialogUtil.h"
#include "dialogs/TDmsg.h"
#include "dialogs/TFsure.h"
#include "report/RecoveryCopy.h"
#include "report/RecoveryWriter.h"
#include "report/ReportFile.h"
#include "report/ReportLayout.h"
#include "settings/TD_settings_user.h"
#include "settings/TF_about.h"
#include "settings/core/AppInfo.h"
#include "settings/core/HelpFolder.h"
#include "settings/core/SettingsStore.h"
#include "tree/LocalText.h"
#include "tree/TreeTextCursor.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QTreeView>

#include <QUrl>
#include <algorithm>

namespace {

// Shows the hourglass for as long as it lives.
class WaitCursor {
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

// Moves the whole of from (name, attributes, text and children) into to.
void moveTree(TQelPigger& from, TQelPigger& to) {
    to.Clear();
    to.SetName(from.Name());
    for (int i = 0; i < from.AttrCount(); ++i)
        to.SetAttr(from.AttrName(i), from.AttrValue(i));
    to.Text = from.Text;
    while (from.ChildCount() > 0)
        from.Child(0)->SetParent(&to);
}

} // namespace

// Every widget pointer is set in the constructor body, before anything reads it.
// NOLINTNEXTLINE(cppcoreguidelines-pro-type-member-init)
TForm_main::TForm_main(QWidget* parent) : QMainWindow(parent) {
    setObjectName("Form_main");
    setWindowTitle("base main form");
    resize(544, 375);
    CenterOnScreen(this);
    normalGeometry_ = QRect(pos(), size());

    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName("StatusBar1");
    setStatusBar(StatusBar1);
    for (int i = 0; i < 3; ++i) {
        StatusPanel[i] = new QLabel(StatusBar1);
        StatusPanel[i]->setObjectName(QString("StatusPanel%1").arg(i));
        StatusPanel[i]->setMinimumWidth(50);
        StatusPanel[i]->setFrameShape(QFrame::Panel);
        StatusPanel[i]->setFrameShadow(QFrame::Sunken);
        // The marker and the file name stay in sight while a note is shown (from the left, over
        // the first panel).
        if (i == 0)
            StatusBar1->addWidget(StatusPanel[i]);
        else
            StatusBar1->addPermanentWidget(StatusPanel[i]);
    }
    StatusPanel[1]->setAlignment(Qt::AlignCenter);
    fitStatusPanels();

    MainMenu1 = menuBar();
    MainMenu1->setObjectName("MainMenu1");
    N_File = MainMenu1->addMenu("&File");
    N_File->setObjectName("N_File");
    const auto item = [](QMenu* menu, const char* name, const QString& caption) {
        QAction* a = menu->addAction(caption);
        a->setObjectName(name);
        return a;
    };
    N_New = item(N_File, "N_New", "&New");
    N_Open = item(N_File, "N_Open", "&Open");
    N_Save = item(N_File, "N_Save", "&Save");
    N_Save->setShortcut(QKeySequence("Ctrl+S"));
    N_Saveas = item(N_File, "N_Saveas", "Save &as...");
    N1 = N_File->addSeparator();
    N1->setObjectName("N1");
    N_Exit = item(N_File, "N_Exit", "E&xit");
    N_Help = MainMenu1->addMenu("&Help");
    N_Help->setObjectName("N_Help");
    N_About = item(N_Help, "N_About", "&About");

    connect(N_New, &QAction::triggered, this, [this] { N_NewClick(); });
    connect(N_Open, &QAction::triggered, this, [this] { N_OpenClick(); });
    connect(N_Save, &QAction::triggered, this, [this] { N_SaveClick(); });
    connect(N_Saveas, &QAction::triggered, this, [this] { N_SaveasClick(); });
    connect(N_Exit, &QAction::triggered, this, &TForm_main::N_ExitClick);
    connect(N_About, &QAction::triggered, this, &TForm_main::N_AboutClick);

    OpenDialog1 = makeFileDialog("OpenDialog1", false);
    SaveDialog1 = makeFileDialog("SaveDialog1", true);

    FormCreate();
}

UserSettings* ProgramSettings() {
    return D_settings_user;
}

TForm_main::~TForm_main() {
    // A copy in flight is given up, and its thread has ended before the window goes.
    cancelRecoveryCopy();
    recoveryWriter_.reset();
    delete D_settings_user;
}

QFileDialog* TForm_main::makeFileDialog(const char* name, bool forSaving) {
    auto* dialog = new QFileDialog(this, forSaving ? "Save as" : "Open");
    dialog->setObjectName(name);
    dialog->setNameFilter("Quarrylog data (*.qrl)");
    dialog->setSizeGripEnabled(true);
    dialog->setViewMode(QFileDialog::Detail);
    if (forSaving) {
        dialog->setAcceptMode(QFileDialog::AcceptSave);
        dialog->setFileMode(QFileDialog::AnyFile);
    } else {
        // A name typed by hand need not exist: its ".qrl" file is opened or created.
        dialog->setAcceptMode(QFileDialog::AcceptOpen);
        dialog->setFileMode(QFileDialog::AnyFile);
    }
    return dialog;
}

void TForm_main::FormCreate() {
    MakeBackup = true;
    SetModifiedFlag(false);
    InitDirs();
    if (!D_settings_user)
        new TD_settings_user();
    FirstActivation = true;
    startRecoveryTimer();
}

void TForm_main::InitDirs() {
    StartDir = QDir::currentPath();
    DocsDir = FindHelpFolder(StartDir, QCoreApplication::applicationDirPath());
}

void TForm_main::OpenDoc(const QString& topic) {
    const QString page = HelpPagePath(DocsDir, topic);
    if (!QFileInfo(page).isFile()) {
        ShowMessage("The help page \"" + page + "\" was not found.");
        return;
    }
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(page)))
        ShowMessage("The help page \"" + page + "\" could not be opened.");
}

bool TForm_main::OpenNamedReport(const QString& path) {
    const QString chosen = QFileInfo(path).absoluteFilePath();
    if (!MayOpenChosen(chosen, "\"" + ToQPath(GetFileName()) + "\" is opened instead."))
        return false;
    return switchTo(chosen);
}

bool TForm_main::MayOpenChosen(const QString& chosen, const QString& stays) {
    chosenTree_.reset();
    chosenTreeName_.clear();
    const QString target = ToQPath(ChangeFileExt(FromQPath(chosen), ".qrl"));
    const QFileInfo info(target);
    if (!info.absoluteDir().exists()) {
        ShowMessage("The report file \"" + target + "\" cannot be opened: the folder \"" +
                    info.absolutePath() + "\" does not exist.\n" + stays);
        return false;
    }
    auto probe = std::make_unique<TQelPigger>();
    const ReportLoadResult check = ReadReportFile(*probe, FromQPath(target));
    if (check.outcome == ReportLoadResult::Unreadable) {
        ShowMessage("The report file \"" + target + "\" could not be read (" +
                    ToQPath(check.reason) + ").\nIt was left untouched; " + stays);
        return false;
    }
    if (check.outcome == ReportLoadResult::Loaded) {
        chosenTree_ = std::move(probe);
        chosenTreeName_ = FromQPath(target);
    }
    return true;
}

void TForm_main::SetModifiedFlag(bool value) {
    Modified = value;
    recoveryDue_ = value;
    if (value)
        ++changes_;
    StatusPanel[1]->setText(value ? "Changed" : "");
}

void TForm_main::SetFileName(const std::string& name) {
    FileName = name;
    StatusPanel[2]->setText(ToQPath(name));
}

std::string TForm_main::GetFileName() const {
    std::string name = D_settings_user ? D_settings_user->GetDataFileName() : std::string();
    if (name.empty())
        name = FromQPath(DefaultReportFilePath());
    return name;
}

void TForm_main::NewDocument() {
    cancelRecoveryCopy();
    Doc.Clear();
    Doc.SetName(ReportKeys::FrameRoot);
    Doc.SetAttr(ReportKeys::Version, AppInfo::Version);
}

TQelPigger* TForm_main::GetOrCreateChild(TQelPigger* parent, std::string_view name) {
    return parent ? parent->FindOrAddChild(name) : nullptr;
}

bool TForm_main::SaveDocumentTo(const std::string& fileName) {
    LastSaveError.clear();
    return SaveReportFile(Doc, fileName, MakeBackup, &LastSaveError);
}

void TForm_main::LoadDocument() {
    cancelRecoveryCopy();
    const std::string name = GetFileName();
    // Seen before anything is written: a new empty report file would look newer than it.
    const RecoveryState recovery = FindRecoveryCopy(name);
    SetModifiedFlag(false);
    RestoredFromRecovery = false;
    ReportLoadResult result;
    if (chosenTree_ && chosenTreeName_ == name) {
        // Read a moment ago, when the user chose it.
        moveTree(*chosenTree_, Doc);
        result.outcome = ReportLoadResult::Loaded;
    } else
        result = LoadReportFile(Doc, name);
    chosenTree_.reset();
    chosenTreeName_.clear();
    if (result.outcome != ReportLoadResult::Loaded) {
        NewDocument();
        if (!QFileInfo::exists(ToQPath(name)))
            SaveDocumentTo(name);
    }
    SetFileName(name);
    if (result.outcome == ReportLoadResult::Unreadable) {
        QString text = "The report file could not be read (" + ToQPath(result.reason) + ").\n";
        if (!result.keptAs.empty())
            text += "It was kept as \"" + ToQPath(result.keptAs) + "\"; a new report was started.";
        else
            text += "It could not be kept aside; a new report was started, and saving it "
                    "replaces the file.";
        ShowMessage(text);
    }
    takeUpRecoveryCopy(name, recovery);
}

void TForm_main::ShowDocument() {
    const std::string folder =
        D_settings_user ? D_settings_user->GetDataFolder() : AppInfo::DataFolder;
    dataDir_ = QDir::cleanPath(QDir::current().absoluteFilePath(ToQPath(folder)));
    QDir().mkpath(dataDir_);
    OpenDialog1->setDirectory(dataDir_);
    SaveDialog1->setDirectory(dataDir_);
}

void TForm_main::RestoreGeometry() {
    // A maximised window stays maximised; its normal geometry was set before it was shown.
    if (!D_settings_user || isMaximized() || isMinimized() || isFullScreen())
        return;
    D_settings_user->RestoreWindowPos(this);
    normalGeometry_ = QRect(pos(), size());
}

bool TForm_main::AskSave() {
    if (!Modified)
        return true;
    if (!AskUserOnlyByButton("Save changes?")) {
        // The changes were given up: nothing is left to recover.
        cancelRecoveryCopy();
        RemoveRecoveryCopy(GetFileName());
        recoveryDue_ = false;
        return true;
    }
    return N_SaveClick();
}

bool TForm_main::N_SaveClick() {
    // No copy begun before may land after the save (it would be taken for newer than it).
    cancelRecoveryCopy();
    bool saved = false;
    {
        WaitCursor hourglass;
        StoreDocument();
        saved = SaveDocumentTo(GetFileName());
    }
    if (saved) {
        SetModifiedFlag(false);
        RestoredFromRecovery = false;
        RemoveRecoveryCopy(GetFileName());
    } else
        ShowMessage("The report was not saved.\n" + ToQPath(LastSaveError));
    return saved;
}

bool TForm_main::switchTo(const QString& chosen) {
    SetFileName(FromQPath(chosen));
    if (D_settings_user)
        D_settings_user->SetDataFileName(FromQPath(chosen));
    return true;
}

bool TForm_main::N_OpenClick() {
    if (!MayEndWork())
        return false;
    const bool wasModified = Modified;
    if (!AskSave())
        return false;
    // The report was just written by the question; writing it again would only turn the
    // backup into a second copy of it.
    const bool savedJustNow = wasModified && !Modified;
    if (!dataDir_.isEmpty()) {
        QDir().mkdir(dataDir_);
        OpenDialog1->setDirectory(dataDir_);
    }
    if (runFileDialog(OpenDialog1) != QDialog::Accepted || OpenDialog1->selectedFiles().isEmpty())
        return false;
    const QString chosen = OpenDialog1->selectedFiles().constFirst();
    if (!MayOpenChosen(chosen, "the report \"" + ToQPath(GetFileName()) + "\" stays open."))
        return false;
    // The report is given up only once it is safely on disk.
    if (!savedJustNow && !N_SaveClick()) {
        chosenTree_.reset();
        return false;
    }
    switchTo(chosen);
    LoadDocument();
    ShowDocument();
    return true;
}

bool TForm_main::N_SaveasClick() {
    if (!dataDir_.isEmpty()) {
        QDir().mkdir(dataDir_);
        SaveDialog1->setDirectory(dataDir_);
    }
    if (runFileDialog(SaveDialog1) != QDialog::Accepted || SaveDialog1->selectedFiles().isEmpty())
        return false;
    const QString chosen = SaveDialog1->selectedFiles().constFirst();
    if (!MayReplaceCompletedName(chosen) || !MayEndWork())
        return false;
    // A copy in flight belongs to the report's previous name.
    cancelRecoveryCopy();
    const std::string previousName = FileName;
    const std::string previousSetting =
        D_settings_user ? D_settings_user->Store().Get(SettingsKeys::DataFileName) : "";
    switchTo(chosen);
    if (!N_SaveClick()) {
        // Stay with the file the report came from: the new one holds nothing of it.
        SetFileName(previousName);
        if (D_settings_user) {
            D_settings_user->Store().Set(SettingsKeys::DataFileName, previousSetting);
            D_settings_user->SaveNow();
        }
        return false;
    }
    // The report now lives in the new file; the copy of the old one recovers nothing.
    if (previousName != GetFileName()) {
        RemoveRecoveryCopy(previousName);
        offerCapturesCopy(previousName);
    }
    PrepareLoad();
    LoadDocument();
    ShowDocument();
    return true;
}

void TForm_main::offerCapturesCopy(const std::string& previousName) {
    // The old report keeps its captures in any case: they are evidence of that file.
    if (!QFileInfo(ToQPath(CapturesFolderOf(previousName))).isDir() ||
        !AskUser("Copy the captures of this report to the new file too?"))
        return;
    std::string error;
    bool copied = false;
    {
        WaitCursor hourglass;
        copied = CopyCapturesFolder(previousName, GetFileName(), false, &error);
    }
    if (!copied)
        ShowMessage("The captures were not copied; the report was saved.\n" + ToQPath(error));
}

bool TForm_main::MayReplaceCompletedName(const QString& chosen) {
    const QString target = ToQPath(ChangeFileExt(FromQPath(chosen), ".qrl"));
    // The file dialog asked about the name itself; the report's own file is no other file.
    if (target == chosen || !QFileInfo::exists(target) ||
        QFileInfo(target) == QFileInfo(ToQPath(GetFileName())))
        return true;
    return AskUser("The file \"" + target + "\" already exists.\nReplace it?");
}

int TForm_main::runFileDialog(QFileDialog* dialog) {
    SettingsStore* store = D_settings_user ? &D_settings_user->Store() : nullptr;
    // Big enough for the names and dates of the files; the size the user gives it is kept.
    QSize size(820, 520);
    if (store) {
        const std::optional<int> width = store->ReadPositive(SettingsKeys::FileDialogWidth);
        const std::optional<int> height = store->ReadPositive(SettingsKeys::FileDialogHeight);
        if (width && height)
            size = QSize(*width, *height);
    }
    if (const QScreen* screen = this->screen())
        size = size.boundedTo(screen->availableGeometry().size());
    dialog->resize(size);
    if (auto* view = dialog->findChild<QTreeView*>("treeView")) {
        // The name takes the room the other columns leave, so that the date stays in view.
        QHeaderView* header = view->header();
        header->setStretchLastSection(false);
        header->setSectionResizeMode(QHeaderView::ResizeToContents);
        header->setSectionResizeMode(0, QHeaderView::Stretch);
    }
    const int result = ExecFileDialog(dialog);
    if (store) {
        store->Set(SettingsKeys::FileDialogWidth, std::to_string(dialog->width()));
        store->Set(SettingsKeys::FileDialogHeight, std::to_string(dialog->height()));
    }
    return result;
}

void TForm_main::N_ExitClick() {
    close();
}

void TForm_main::N_AboutClick() {
    F_about()->ShowAbout();
}

void TForm_main::FormActivate() {
    if (!FirstActivation)
        return;
    FirstActivation = false;
    PrepareLoad();
    LoadDocument();
    ShowDocument();
    // Only now: later activations must not undo what the user did to the window since.
    RestoreGeometry();
}

bool TForm_main::FormClose() {
    if (!MayEndWork())
        return false;
    if (D_settings_user)
        D_settings_user->StoreWindowPos(normalGeometry_);
    return AskSave();
}

bool TForm_main::event(QEvent* event) {
    const bool handled = QMainWindow::event(event);
    const bool normal =
        !(windowState() & (Qt::WindowMaximized | Qt::WindowMinimized | Qt::WindowFullScreen));
    if ((event->type() == QEvent::Move || event->type() == QEvent::Resize) && normal)
        normalGeometry_ = QRect(pos(), size());
    if (event->type() == QEvent::WindowActivate)
        FormActivate();
    return handled;
}

void TForm_main::fitStatusPanels() {
    // The marker panels are at least wide enough for the word in the user's font.
    for (int i = 0; i < 2; ++i)
        StatusPanel[i]->setFixedWidth(
            std::max(50, StatusPanel[i]->fontMetrics().horizontalAdvance("Changed") + 14));
}

void TForm_main::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        fitStatusPanels();
}

void TForm_main::closeEvent(QCloseEvent* event) {
    // Closing goes ahead unless the user wanted the report saved and it could not be.
    if (FormClose())
        event->accept();
    else
        event->ignore();
}
