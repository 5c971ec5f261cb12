// The main window: the report-info page, the manual and automatic search pages and the found
// URL list, their toolbar and menus, and the one way records enter a report.
#pragma once

#include "app/TForm_main.h"
#include "report/ReportRecords.h"

#include <QEvent>

class QDateEdit;
class QDateTime;
class QFrame;
class QLineEdit;
class QPlainTextEdit;
class QTabWidget;
class QToolBar;
class QToolButton;
class TF_capture_view;
class TO_WB;
class TO_autosearch;
class TO_results;

class TFmain : public TForm_main {
    Q_OBJECT
public:
    // Posted to the window after its first activation; offers the getting-started dialog.
    static constexpr QEvent::Type GettingStartedEvent = QEvent::Type(QEvent::User + 0x1000);

    explicit TFmain(QWidget* parent = nullptr);
    ~TFmain() override;

    // --- components
    QToolBar* ToolBar1;
    QToolButton* TB_new;
    QToolButton* ToolButton3;
    QToolButton* TB_save;
    QToolButton* TB_home;
    QToolButton* TB_back;
    QToolButton* TB_next;
    QToolButton* TB_refresh;
    QToolButton* TB_stop;
    QToolButton* TB_edit;
    QToolButton* TB_delete;
    QToolButton* TB_filter;
    QToolButton* TB_open_web_page;
    QToolButton* TB_lastversion;

    QTabWidget* PageControl1;
    QWidget* TabSheet_general;
    QWidget* TabSheet_manual;
    QWidget* TabSheet_auto;
    QWidget* TabSheet_view;

    QFrame* Shape1;
    QLabel* Image1;
    QLabel* Label1;
    QLineEdit* Edit_report_title;
    QLabel* Label2;
    QDateEdit* DTP_report;
    QLabel* Label3;
    QPlainTextEdit* Memo_report_dsc;

    TO_WB* O_WB1;
    TO_autosearch* O_autosearch1;
    TO_results* O_results1;

    QAction* N_Export;
    QAction* N_ExportTicked;
    QAction* N_ExportPackage;
    QAction* N_Import;
    QFileDialog* ExportDialog1;
    QFileDialog* PackageDialog1;
    QFileDialog* ImportDialog1;
    QAction* N_Settings;
    QMenu* N_Edit;
    QAction* N_EditURL;
    QAction* N_DeleteURL;
    QAction* N_Filter;
    QAction* N_OpenURL;
    QMenu* N_Records;
    QAction* N_FindDuplicates;
    QAction* N_ApplyRedirects;
    QAction* N_VerifyCaptures;
    QAction* N_RemoveUnusedCaptures;
    // Records, "Capture pages": all records, the ticked ones, the selected one.
    QMenu* N_CapturePages;
    QAction* N_CaptureAll;
    QAction* N_CaptureTicked;
    QAction* N_CaptureSelected;
    QMenu* N_Search;
    QAction* N_Automaticmode;
    QAction* N_Manualmode;
    QAction* N_FoundURLlist;
    QAction* N_Intro;
    QAction* N_lastversion;

    // --- fields
    // Records were added or changed since the list page was last rebuilt.
    bool ListDirty = false;
    // The report's record container.
    TQelPigger* Urls = nullptr;

    // --- offered to the rest of the program
    // Refreshes the record of Url or appends a new one; true when a new record was made.
    bool AddListing(const std::string& title, const std::string& description,
                    const std::string& url, const std::string& redirect);
    // The record whose address equals Url ignoring letter case, or none.
    TQelPigger* FindListing(const std::string& url);
    void RefreshList();
    void UpdateToolbar();

    void StoreDocument() override;
    void LoadDocument() override;
    void NewDocument() override;
    void ShowDocument() override;
    void FormActivate() override;
    // A search under way: asks "A search is running. Stop it?" and stops it on Yes.
    bool MayEndWork() override;

public slots:
    void setModified();
    void N_NewClick() override;
    bool N_OpenClick() override;
    void PageControl1Change();
    void N_AutomaticmodeClick();
    void N_ManualmodeClick();
    void N_FoundURLlistClick();
    void A_homeClick();
    void A_backClick();
    void A_nextClick();
    void A_stopClick();
    void A_refreshClick();
    void A_editClick();
    void A_deleteClick();
    void A_filterClick();
    void TB_open_web_pageClick();
    void N_SettingsClick();
    void N_IntroClick();
    void N_lastversionClick();
    void O_WB1SB_add_to_foundClick();
    // "Add to list", then the page shown is captured for the record (TFmainCaptures.cpp).
    void O_WB1SB_add_and_captureClick();
    // Captures the pages of the records of scope (0 all, 1 ticked, 2 the selected one) in the
    // capture window.
    void CapturePages(int scope);
    // The report's captures folder; empty when the report has never been saved and the user did
    // not save it when asked (ask false: without asking).
    std::string CapturesFolder(bool ask);
    // Export of all records or of the ticked ones, in the format of the chosen file type.
    void N_ExportClick();
    void N_ExportTickedClick();
    // Adds the pages of a chosen file that are not in the report yet and tells how many.
    void N_ImportClick();
    // Keeps one record of each group that names the same page, as the user chooses.
    void N_FindDuplicatesClick();
    // Moves the records whose check ended after permanent redirects to the final address,
    // once the user agreed, and lists those whose address another record already has.
    void N_ApplyRedirectsClick();
    // Writes the evidence package of the report into an empty folder the user chooses.
    void N_ExportPackageClick();
    // Checks every capture against its hash and the manifest's stamp, and lists them.
    void N_VerifyCapturesClick();
    // Removes the capture files no record refers to any more, once the user agreed.
    void N_RemoveUnusedCapturesClick();
    // Shows a capture file of the report's captures folder in its window; none (the user was
    // told) when the file is missing.
    TF_capture_view* OpenCapture(const std::string& file, const std::string& address,
                                 const QDateTime& when, const std::string& sha256);
    // Adds the page at url by hand and opens the URL editor on it; Cancel there removes it.
    void AddPageByHand(const std::string& url);
    // The window's place and size, then the list's column widths, from the settings.
    void RestoreGeometry() override;

protected:
    bool event(QEvent* event) override;
    // Stops a running automatic search (when the user agrees) before the base asks about
    // unsaved changes.
    bool FormClose() override;
    // Offers the getting-started dialog and runs New report when the user chose it.
    void GettingStarted();

private:
    void buildToolbar();
    void buildPages();
    void buildMenus();
    // The Records menu's link checks and page details (TFmainLinks.cpp), and its duplicates and
    // permanent redirects (TFmainDuplicates.cpp).
    void buildLinkActions();
    void buildDuplicateActions();
    // The Records menu's verification and removal of captures and the row menu's capture
    // items (TFmainCaptureList.cpp).
    void buildCaptureListActions();
    void showSelectedCaptureDetails();
    // The Records menu's page captures and the browser's capture hooks (TFmainCaptures.cpp).
    void buildCaptureActions();
    // Records the capture of the page shown for the record of url, once saved.
    void captureShownFor(const std::string& url);
    // After captures went into records: the list, the modified flag, the recovery copy.
    void capturesRecorded();
    void buildExchangeMenu();
    void exportRecords(bool tickedOnly);
    void showPage(QWidget* page);
    // Ends a run before the report is replaced.
    void stopRunForReplacement();

    ReportRecords records_;
    // Set while the program itself turns the page, which must not rebuild the list.
    bool turningPage_ = false;
    // Set while a run is ended because the report is being replaced.
    bool replacingReport_ = false;
};

// The program's main window, while it exists.
extern TFmain* Fmain;
