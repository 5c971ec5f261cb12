// The document frame of the main window: one report tree kept in one file, with New, Open,
// Save (with a backup copy), Save as, Exit, the modified marker and the help pages.
#pragma once

#include "tree/TQelPigger.h"

#include <QMainWindow>
#include <QRect>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

class QAction;
class QCloseEvent;
class QFileDialog;
class QLabel;
class QMenu;
class QTimer;
class RecoveryWriter;
class TreeTextCursor;
class UserSettings;
struct RecoveryState;

class TForm_main : public QMainWindow {
    Q_OBJECT
public:
    explicit TForm_main(QWidget* parent = nullptr);
    // Destroys the settings object, which writes the settings file.
    ~TForm_main() override;

    // --- components
    QStatusBar* StatusBar1;
    // Panel 0 stays empty, panel 1 shows the modified marker, panel 2 the file name.
    QLabel* StatusPanel[3];
    QMenuBar* MainMenu1;
    QMenu* N_File;
    QAction* N_New;
    QAction* N_Open;
    QAction* N_Save;
    QAction* N_Saveas;
    QAction* N1;
    QAction* N_Exit;
    QMenu* N_Help;
    QAction* N_About;
    QFileDialog* OpenDialog1;
    QFileDialog* SaveDialog1;

    // --- fields
    bool Modified = false;
    std::string FileName;
    bool FirstActivation = true;
    QString StartDir;
    QString DocsDir;
    TQelPigger Doc;
    bool MakeBackup = true;

    // --- document operations
    // Copies the window's fields into Doc before every save.
    virtual void StoreDocument() {}
    // Backup and write; false (with the reason in LastSaveError) when the file was not written.
    virtual bool SaveDocumentTo(const std::string& fileName);
    bool SaveDocument() { return SaveDocumentTo(GetFileName()); }
    virtual void NewDocument();
    virtual TQelPigger* GetOrCreateChild(TQelPigger* parent, std::string_view name);
    // Reads the current file into Doc; a missing, empty or unreadable file gives a new
    // document (an unreadable one is first kept aside and the user is told where).
    virtual void LoadDocument();
    // The settings' report file, else the default report beside the executable.
    virtual std::string GetFileName() const;
    virtual void PrepareLoad() {}
    virtual void ShowDocument();
    virtual void RestoreGeometry();

    void SetModifiedFlag(bool value);
    void SetFileName(const std::string& name);
    // Asks "Save changes?" when modified and saves on Yes. False only when the user wanted the
    // report saved and that failed (the user has been told why).
    bool AskSave();
    // Opens the help page of topic in the default browser; a page that is missing or cannot be
    // opened is reported in the message dialog.
    void OpenDoc(const QString& topic);
    // Makes the report named on the command line the current file, as Open does, before the
    // first activation loads it. A file that exists but cannot be read is not taken (so that
    // nothing replaces it): the user is told, and false is returned.
    bool OpenNamedReport(const QString& path);
    // Whether a report file the user chose (Open, command line) can be taken: its folder
    // exists and the file is missing, empty or a readable report. Otherwise the user is told
    // why, ending with stays (what remains open), and the file is left untouched. A readable
    // file is kept read, so that loading it does not read it again.
    bool MayOpenChosen(const QString& chosen, const QString& stays);
    void InitDirs();
    // The folder that the open and save dialogs start in.
    const QString& DataDir() const { return dataDir_; }

    std::string LastSaveError;

    // A chosen name becomes the report's name with ".qrl". When that names another existing
    // file than the one the file dialog asked about, asks before it is replaced; false on No.
    bool MayReplaceCompletedName(const QString& chosen);

    // Runs when the window becomes the active window (the first time it loads the document).
    virtual void FormActivate();
    // Whether work under way on the report (a search) may be ended to replace or close it: true
    // when there is none or the user agreed (it has then ended); false keeps it going.
    virtual bool MayEndWork() { return true; }

    // --- the recovery copy of a modified report (REPORT.qrl.recover)
    // Writes a recovery copy when the report has changed since the last one, at most once per
    // RecoveryIntervalMs (the settings root's RECOVERY_INTERVAL_MS, two minutes by default).
    QTimer* RecoveryTimer;
    static constexpr int DefaultRecoveryIntervalMs = 2 * 60 * 1000;
    // Begins the recovery copy of the report now when it is modified (and the copy in flight,
    // if any, misses a change). The text is made in short slices between the window's other
    // events and written to the disk on a thread of its own; a change of the report meanwhile
    // begins it anew. A failure does not disturb the user: it is shown once in the status bar.
    void SaveRecoveryCopy();
    // Runs the event loop until no recovery copy is being made or written.
    void WaitForRecoveryCopy();
    // A recovery copy is being made or written.
    bool RecoveryCopyInFlight() const;
    // The report on screen came from its recovery copy (the file is untouched until Save).
    bool RestoredFromRecovery = false;

public slots:
    virtual void N_NewClick() {}
    // Open and Save as give true when they switched to the chosen file.
    virtual bool N_OpenClick();
    // True when the report was written; a failure is shown and the report stays modified.
    bool N_SaveClick();
    bool N_SaveasClick();
    void N_ExitClick();
    void N_AboutClick();

    // The geometry the window has when it is neither maximised, minimised nor full screen:
    // the position of its frame and the size inside it.
    const QRect& NormalGeometry() const { return normalGeometry_; }

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    // Stores the geometry and asks about unsaved changes; false when saving failed.
    virtual bool FormClose();

private:
    void FormCreate();
    // The marker panels of the status bar, as wide as their word needs in the font of the moment.
    void fitStatusPanels();
    QFileDialog* makeFileDialog(const char* name, bool forSaving);
    bool switchTo(const QString& chosen);
    // After Save as from previousName: offers to copy its captures folder beside the new file.
    void offerCapturesCopy(const std::string& previousName);
    // Shows a file dialog in the size the user gave it last.
    int runFileDialog(QFileDialog* dialog);

    // After loading fileName: offers its recovery copy (state as found before loading) and
    // restores it on Yes; keeps it aside on No or when it is older than the report.
    void takeUpRecoveryCopy(const std::string& fileName, const RecoveryState& state);
    void startRecoveryTimer();
    void recoveryTimeout();
    void showRecoveryNote(const QString& text);
    // Makes the next slice of the copy's text and hands it to the writer.
    void writeRecoverySlice();
    void recoveryCopyEnded(bool written, const std::string& error);
    // Gives up the copy in flight: once this returns it can no longer replace the recovery
    // copy. Comes first wherever the copy is removed or the report saved or replaced.
    void cancelRecoveryCopy();

    QString dataDir_;
    // Kept here rather than asked of Qt: when the browser view starts, the window system's
    // window is made anew, and Qt then takes the maximised geometry for the normal one.
    QRect normalGeometry_;
    // A report file the user chose, read by MayOpenChosen and waiting to be loaded.
    std::unique_ptr<TQelPigger> chosenTree_;
    std::string chosenTreeName_;
    // The report changed since the last recovery copy was written.
    bool recoveryDue_ = false;
    // A failure to write the copy was shown and nothing was written since.
    bool recoveryFailureShown_ = false;
    // Counts the changes of the report (SetModifiedFlag(true)); the copy in flight was begun
    // at copiedChange_.
    std::uint64_t changes_ = 0;
    std::uint64_t copiedChange_ = 0;
    // The copy in flight: the text still to be made, the slices' timer, the timer that begins a
    // copy given up for a change anew, and the thread's writer.
    std::unique_ptr<TreeTextCursor> recoveryText_;
    QTimer* recoverySlicer_;
    QTimer* recoveryRestart_;
    std::unique_ptr<RecoveryWriter> recoveryWriter_;
};

// The settings of the program as the windows get them: the settings object of the moment (the
// main window makes one when there is none and deletes it), or none.
UserSettings* ProgramSettings();
