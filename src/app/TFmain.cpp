#include "app/TFmain.h"

#include "collect/TD_url_edit.h"
#include "collect/TO_WB.h"
#include "collect/TO_autosearch.h"
#include "collect/TO_results.h"
#include "dialogs/DialogUtil.h"
#include "dialogs/TDmsg.h"
#include "dialogs/TFsure.h"
#include "filter/TF_lr_filter_user.h"
#include "report/ReportInfo.h"
#include "report/ReportLayout.h"
#include "settings/TD_settings_user.h"
#include "settings/TF_getting_started.h"
#include "settings/TW_new_report.h"
#include "settings/core/AppInfo.h"
#include "settings/core/CaptureSettings.h"

#include <QAction>
#include <QCoreApplication>
#include <QDateEdit>
#include <QDesktopServices>
#include <QFile>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

#include <memory>

TFmain* Fmain = nullptr;

// Every widget pointer is set in the constructor body, before anything reads it.
// NOLINTNEXTLINE(cppcoreguidelines-pro-type-member-init)
TFmain::TFmain(QWidget* parent) : TForm_main(parent) {
    setObjectName("Fmain");
    setWindowTitle("Quarrylog");
    setWindowIcon(QIcon(":/art/logo.png"));
    resize(613, 505);
    buildToolbar();
    buildPages();
    buildMenus();
    // With the filter on, the list shows the records that the filter dialog passes.
    O_results1->SetFilter([](TQelPigger* record) { return F_lr_filter_user()->Matches(record); },
                          [](TQelPigger* records) {
                              TF_lr_filter_user* filter = F_lr_filter_user();
                              filter->Settings = &ProgramSettings;
                              return filter->Execute(records);
                          });
    buildExchangeMenu();
    // The document frame's creation ran in the base constructor.
    ListDirty = true;
    UpdateToolbar();
    Fmain = this;
}

TFmain::~TFmain() {
    // The frames outlive this body: the end of a run must not reach the window any more.
    disconnect(O_autosearch1, nullptr, this, nullptr);
    // Nor may they see the report tree go.
    O_results1->ClearItems();
    O_results1->Records = nullptr;
    if (Fmain == this)
        Fmain = nullptr;
}

void TFmain::buildToolbar() {
    ToolBar1 = new QToolBar("ToolBar1", this);
    ToolBar1->setObjectName("ToolBar1");
    ToolBar1->setMovable(false);
    ToolBar1->setFloatable(false);
    ToolBar1->setIconSize(QSize(24, 24));
    ToolBar1->setFixedHeight(41);
    ToolBar1->setContextMenuPolicy(Qt::PreventContextMenu);
    addToolBar(Qt::TopToolBarArea, ToolBar1);

    const auto button = [this](const char* name, const char* hint, const char* picture,
                               auto handler) {
        auto* b = new QToolButton(ToolBar1);
        b->setObjectName(name);
        b->setToolTip(hint);
        b->setStatusTip(hint);
        // A picture alone says nothing to a screen reader: the button is called as its tip.
        b->setAccessibleName(hint);
        b->setIcon(QIcon(QString(":/art/toolbar/%1.png").arg(picture)));
        b->setIconSize(QSize(24, 24));
        b->setFixedSize(33, 33);
        b->setAutoRaise(true);
        connect(b, &QToolButton::clicked, this, handler);
        ToolBar1->addWidget(b);
        return b;
    };
    ToolBar1->addSeparator();
    TB_new = button("TB_new", "New", "new", [this] { N_NewClick(); });
    ToolButton3 = button("ToolButton3", "Load", "open", [this] { N_OpenClick(); });
    TB_save = button("TB_save", "Save", "save", [this] { N_SaveClick(); });
    ToolBar1->addSeparator();
    TB_home = button("TB_home", "Home search page", "home", [this] { A_homeClick(); });
    TB_back = button("TB_back", "Navigate back", "back", [this] { A_backClick(); });
    TB_next = button("TB_next", "Navigate forward", "forward", [this] { A_nextClick(); });
    TB_refresh = button("TB_refresh", "Refresh", "refresh", [this] { A_refreshClick(); });
    TB_stop = button("TB_stop", "Stop", "stop", [this] { A_stopClick(); });
    ToolBar1->addSeparator();
    TB_edit = button("TB_edit", "Edit", "edit", [this] { A_editClick(); });
    TB_delete = button("TB_delete", "Delete URL", "delete", [this] { A_deleteClick(); });
    TB_filter = button("TB_filter", "Filter", "filter", [this] { A_filterClick(); });
    TB_filter->setCheckable(true);
    TB_open_web_page =
        button("TB_open_web_page", "Open URL", "openurl", [this] { TB_open_web_pageClick(); });
    ToolBar1->addSeparator();
    TB_lastversion =
        button("TB_lastversion", "Get last version", "update", [this] { N_lastversionClick(); });
}

void TFmain::buildPages() {
    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName("PageControl1");
    setCentralWidget(PageControl1);

    // Report info.
    TabSheet_general = new QWidget();
    TabSheet_general->setObjectName("TabSheet_general");
    Shape1 = new QFrame(TabSheet_general);
    Shape1->setObjectName("Shape1");
    Shape1->setFrameShape(QFrame::Box);
    Shape1->setFrameShadow(QFrame::Sunken);
    Shape1->setFixedSize(148, 148);
    Image1 = new QLabel(Shape1);
    Image1->setObjectName("Image1");
    Image1->setAlignment(Qt::AlignCenter);
    Image1->setPixmap(QPixmap(":/art/logo-large.jpg")
                          .scaled(144, 144, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    auto* shapeLayout = new QVBoxLayout(Shape1);
    shapeLayout->setContentsMargins(2, 2, 2, 2);
    shapeLayout->addWidget(Image1);

    Label1 = new QLabel("Title:", TabSheet_general);
    Label1->setObjectName("Label1");
    Edit_report_title = new QLineEdit(TabSheet_general);
    Edit_report_title->setObjectName("Edit_report_title");
    Label1->setBuddy(Edit_report_title);
    Label2 = new QLabel("Date:", TabSheet_general);
    Label2->setObjectName("Label2");
    DTP_report = new QDateEdit(TabSheet_general);
    DTP_report->setObjectName("DTP_report");
    DTP_report->setCalendarPopup(true);
    DTP_report->setLocale(QLocale::system());
    DTP_report->setDisplayFormat(QLocale::system().dateFormat(QLocale::ShortFormat));
    DTP_report->setDate(QDate::currentDate());
    DTP_report->setMinimumWidth(140);
    Label2->setBuddy(DTP_report);
    Label3 = new QLabel("Report description", TabSheet_general);
    Label3->setObjectName("Label3");
    Memo_report_dsc = new QPlainTextEdit(TabSheet_general);
    Memo_report_dsc->setObjectName("Memo_report_dsc");
    Label3->setBuddy(Memo_report_dsc);
    // Tab goes on to the next control rather than into the text.
    Memo_report_dsc->setTabChangesFocus(true);

    auto* fields = new QVBoxLayout();
    fields->setSpacing(4);
    fields->addWidget(Label1);
    fields->addWidget(Edit_report_title);
    fields->addSpacing(8);
    fields->addWidget(Label2);
    fields->addWidget(DTP_report, 0, Qt::AlignLeft);
    fields->addStretch(1);
    auto* general = new QGridLayout(TabSheet_general);
    general->setContentsMargins(12, 12, 12, 12);
    general->setHorizontalSpacing(14);
    general->addWidget(Shape1, 0, 0);
    general->addLayout(fields, 0, 1);
    general->addWidget(Label3, 1, 0, 1, 2);
    general->addWidget(Memo_report_dsc, 2, 0, 1, 2);
    general->setColumnStretch(1, 1);
    general->setRowStretch(2, 1);
    general->setRowMinimumHeight(1, 24);

    // The three frames.
    const auto sheet = [](const char* name, QWidget* frame) {
        auto* page = new QWidget();
        page->setObjectName(name);
        auto* layout = new QVBoxLayout(page);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(frame);
        return page;
    };
    O_WB1 = new TO_WB(&ProgramSettings);
    O_autosearch1 = new TO_autosearch(&ProgramSettings);
    O_results1 = new TO_results();
    TabSheet_manual = sheet("TabSheet_manual", O_WB1);
    TabSheet_auto = sheet("TabSheet_auto", O_autosearch1);
    TabSheet_view = sheet("TabSheet_view", O_results1);
    connect(O_WB1->SB_add_to_found, &QPushButton::clicked, this,
            &TFmain::O_WB1SB_add_to_foundClick);
    // A tick is a change of the report like any other: it reaches the record at once, and
    // "Save changes?" protects it.
    connect(O_results1, &TO_results::CheckToggled, this, [this] {
        O_results1->StoreTicks();
        SetModifiedFlag(true);
    });
    // The list's keys and row menu do what the toolbar does.
    connect(O_results1, &TO_results::OpenWanted, this, &TFmain::TB_open_web_pageClick);
    connect(O_results1, &TO_results::EditWanted, this, &TFmain::A_editClick);
    connect(O_results1, &TO_results::DeleteWanted, this, &TFmain::A_deleteClick);
    // What a run brought in is kept in the recovery copy at once.
    connect(O_autosearch1, &TO_autosearch::RunFinished, this, [this] {
        if (!replacingReport_)
            SaveRecoveryCopy();
    });
    O_autosearch1->AddListing = [this](const std::string& title, const std::string& description,
                                       const std::string& url, const std::string& redirect) {
        return AddListing(title, description, url, redirect);
    };

    PageControl1->addTab(TabSheet_general, "Report info");
    PageControl1->addTab(TabSheet_manual, "Manual search");
    PageControl1->addTab(TabSheet_auto, "Auto search");
    PageControl1->addTab(TabSheet_view, "Found URL list");
    PageControl1->setCurrentWidget(TabSheet_general);
    connect(PageControl1, &QTabWidget::currentChanged, this, [this] {
        if (!turningPage_)
            PageControl1Change();
    });
}

void TFmain::buildMenus() {
    const auto item = [this](QMenu* menu, const char* name, const QString& caption, auto handler) {
        QAction* a = new QAction(caption, menu);
        a->setObjectName(name);
        menu->addAction(a);
        connect(a, &QAction::triggered, this, handler);
        return a;
    };

    // File: the settings come before Exit.
    N_Settings = new QAction("Settin&gs...", N_File);
    N_Settings->setObjectName("N_Settings");
    connect(N_Settings, &QAction::triggered, this, &TFmain::N_SettingsClick);
    N_File->insertAction(N1, N_Settings);
    N_File->insertSeparator(N_Settings);

    N_Edit = new QMenu("&Edit", MainMenu1);
    N_Edit->setObjectName("N_Edit");
    MainMenu1->insertMenu(N_Help->menuAction(), N_Edit);
    N_EditURL = item(N_Edit, "N_EditURL", "&Edit URL", [this] { A_editClick(); });
    N_DeleteURL = item(N_Edit, "N_DeleteURL", "&Delete URL", [this] { A_deleteClick(); });
    N_Filter = item(N_Edit, "N_Filter", "&Filter URL list", [this] { A_filterClick(); });
    N_Edit->addSeparator();
    N_OpenURL = item(N_Edit, "N_OpenURL", "&Open URL", [this] { TB_open_web_pageClick(); });

    N_Records = new QMenu("&Records", MainMenu1);
    N_Records->setObjectName("N_Records");
    MainMenu1->insertMenu(N_Help->menuAction(), N_Records);
    buildLinkActions();
    buildDuplicateActions();
    buildCaptureActions();
    buildCaptureListActions();

    N_Search = new QMenu("&Search", MainMenu1);
    N_Search->setObjectName("N_Search");
    MainMenu1->insertMenu(N_Help->menuAction(), N_Search);
    N_Automaticmode =
        item(N_Search, "N_Automaticmode", "&Automatic mode", [this] { N_AutomaticmodeClick(); });
    N_Manualmode = item(N_Search, "N_Manualmode", "&Manual mode", [this] { N_ManualmodeClick(); });
    N_Search->addSeparator();
    N_FoundURLlist =
        item(N_Search, "N_FoundURLlist", "&Found URL list", [this] { N_FoundURLlistClick(); });

    N_Intro = item(N_Help, "N_Intro", "&Intro", [this] { N_IntroClick(); });
    N_Help->addSeparator();
    N_lastversion =
        item(N_Help, "N_lastversion", "&Get last version", [this] { N_lastversionClick(); });
}

// ---------------------------------------------------------------- the report

void TFmain::NewDocument() {
    stopRunForReplacement();
    TForm_main::NewDocument();
    MakeNewReport(Doc, AppInfo::Version);
}

void TFmain::StoreDocument() {
    StoreReportInfo(Doc, Edit_report_title->text(),
                    FormatReportDate(DTP_report->date(), QLocale::system()),
                    Memo_report_dsc->toPlainText());
    O_results1->StoreChecks();
}

void TFmain::LoadDocument() {
    // No search may add to a report that is being replaced.
    stopRunForReplacement();
    // The list lets go of the records before the tree that holds them is read anew.
    O_results1->ClearItems();
    O_results1->Records = nullptr;
    Urls = nullptr;
    TForm_main::LoadDocument();
}

void TFmain::stopRunForReplacement() {
    // The report may already carry another file's name: the end of the run writes no copy.
    replacingReport_ = true;
    O_autosearch1->StopRun();
    replacingReport_ = false;
}

void TFmain::ShowDocument() {
    TForm_main::ShowDocument();
    Urls = GetOrCreateChild(&Doc, ReportKeys::Urls);
    O_WB1->ShowHomeAddress();
    UpdateToolbar();
    {
        // Showing a report is no change of it.
        const QSignalBlocker title(Edit_report_title);
        const QSignalBlocker date(DTP_report);
        const QSignalBlocker description(Memo_report_dsc);
        Edit_report_title->setText(ToQ(Doc.GetAttr(ReportKeys::Title)));
        DTP_report->setDate(ParseReportDate(Doc.GetAttr(ReportKeys::Date), QLocale::system(),
                                            QDate::currentDate()));
        Memo_report_dsc->setPlainText(TextToDescription(Doc.Text));
    }
    connect(Edit_report_title, &QLineEdit::textChanged, this, &TFmain::setModified,
            Qt::UniqueConnection);
    connect(DTP_report, &QDateEdit::dateChanged, this, &TFmain::setModified, Qt::UniqueConnection);
    connect(Memo_report_dsc, &QPlainTextEdit::textChanged, this, &TFmain::setModified,
            Qt::UniqueConnection);
    O_autosearch1->LoadOftenUsedKeywords();
    O_autosearch1->LoadSources();
    O_results1->ClearItems();
    O_results1->Records = Urls;
    O_results1->Rebuild();
}

bool TFmain::MayEndWork() {
    if (!O_autosearch1->Running())
        return true;
    // Stopped unasked, the run would end with a line that reads like a network fault.
    if (!AskUser("A search is running. Stop it?"))
        return false;
    O_autosearch1->StopRun();
    return true;
}

bool TFmain::FormClose() {
    // A search still under way ends first (when the user agrees); what it added is then
    // offered for saving.
    if (!MayEndWork())
        return false;
    if (D_settings_user)
        O_results1->StoreColumnWidths(D_settings_user->Store());
    return TForm_main::FormClose();
}

void TFmain::RestoreGeometry() {
    TForm_main::RestoreGeometry();
    if (D_settings_user)
        O_results1->RestoreColumnWidths(D_settings_user->Store());
}

void TFmain::setModified() {
    SetModifiedFlag(true);
}

bool TFmain::AddListing(const std::string& title, const std::string& description,
                        const std::string& url, const std::string& redirect) {
    const bool added = records_.AddListing(Urls, title, description, url, redirect);
    ListDirty = true;
    SetModifiedFlag(true);
    return added;
}

TQelPigger* TFmain::FindListing(const std::string& url) {
    return records_.FindListing(Urls, url);
}

void TFmain::RefreshList() {
    O_results1->StoreChecks();
    O_results1->ClearItems();
    O_results1->Records = Urls;
    try {
        O_results1->Rebuild();
    } catch (const std::exception& e) {
        // An expression the filter cannot evaluate: the rows before that record stay.
        ShowMessage(ToQ(e.what()));
    }
    ListDirty = false;
}

void TFmain::UpdateToolbar() {
    for (QToolButton* b : {TB_home, TB_back, TB_next, TB_stop, TB_refresh, TB_edit, TB_delete,
                           TB_filter, TB_open_web_page})
        b->setEnabled(false);
    QWidget* page = PageControl1->currentWidget();
    if (page == TabSheet_manual)
        for (QToolButton* b : {TB_home, TB_back, TB_next, TB_stop, TB_refresh})
            b->setEnabled(true);
    else if (page == TabSheet_view)
        for (QToolButton* b : {TB_edit, TB_delete, TB_filter, TB_open_web_page})
            b->setEnabled(true);
    N_EditURL->setEnabled(TB_edit->isEnabled());
    N_DeleteURL->setEnabled(TB_delete->isEnabled());
    N_Filter->setEnabled(TB_filter->isEnabled());
    N_OpenURL->setEnabled(TB_open_web_page->isEnabled());
}

// ---------------------------------------------------------------- activation

void TFmain::FormActivate() {
    const bool first = FirstActivation;
    TForm_main::FormActivate();
    // The dialog comes once the activation is over (and the window is painted).
    if (first)
        QCoreApplication::postEvent(this, new QEvent(GettingStartedEvent));
}

bool TFmain::event(QEvent* event) {
    if (event->type() == GettingStartedEvent) {
        GettingStarted();
        return true;
    }
    return TForm_main::event(event);
}

void TFmain::GettingStarted() {
    bool runWizard = false;
    {
        auto dialog = std::make_unique<TF_getting_started>(this);
        dialog->OpenDoc = [this](const QString& topic) { OpenDoc(topic); };
        dialog->Execute();
        runWizard = dialog->RunWizard;
    }
    if (runWizard)
        N_NewClick();
}

// ---------------------------------------------------------------- commands

void TFmain::N_NewClick() {
    // Asked before the wizard: No keeps the run and its report.
    if (!MayEndWork())
        return;
    TForm_main::N_NewClick();
    bool finished = false;
    bool automatic = false;
    QString fileName, title, description;
    QStringList keywords;
    QString source;
    QDate date;
    {
        auto wizard = std::make_unique<TW_new_report>(this);
        wizard->MayUseFileName = [this](const QString& chosen) {
            return MayReplaceCompletedName(chosen);
        };
        finished = wizard->Execute();
        fileName = wizard->ReportFileName;
        keywords = wizard->Keywords;
        automatic = wizard->Automatic;
        source = wizard->SourceName;
        title = wizard->Edit_report_title->text();
        description = wizard->Memo_report_dsc->toPlainText();
        date = wizard->DTP_report->date();
    }
    // (Ok is reached only with a file chosen.)
    if (!finished || fileName.trimmed().isEmpty())
        return;
    // A search under way ends first, so that what it added is saved with its report.
    O_autosearch1->StopRun();
    // The report is given up only once it is safely on disk.
    if (!N_SaveClick())
        return;
    if (D_settings_user)
        D_settings_user->SetDataFileName(QFile::encodeName(fileName).toStdString());
    LoadDocument();
    ShowDocument();
    Edit_report_title->setText(title);
    Memo_report_dsc->setPlainText(description);
    DTP_report->setDate(date);
    N_SaveClick();
    if (automatic) {
        N_AutomaticmodeClick();
        O_autosearch1->LB_selected->clear();
        O_autosearch1->LB_selected->addItems(keywords);
        O_autosearch1->ChooseSource(source);
        O_autosearch1->SB_startClick();
    } else {
        N_ManualmodeClick();
        O_WB1->SB_goClick();
    }
}

bool TFmain::N_OpenClick() {
    // The search ends (when the user agrees) before the question about saving, so that
    // nothing it adds is lost.
    if (!MayEndWork())
        return false;
    if (!TForm_main::N_OpenClick())
        return false;
    // A report restored from its recovery copy stays modified until it is saved.
    SetModifiedFlag(RestoredFromRecovery);
    return true;
}

void TFmain::PageControl1Change() {
    if (ListDirty)
        RefreshList();
    UpdateToolbar();
}

void TFmain::showPage(QWidget* page) {
    turningPage_ = true;
    PageControl1->setCurrentWidget(page);
    turningPage_ = false;
    UpdateToolbar();
}

void TFmain::N_AutomaticmodeClick() {
    showPage(TabSheet_auto);
}

void TFmain::N_ManualmodeClick() {
    showPage(TabSheet_manual);
}

void TFmain::N_FoundURLlistClick() {
    showPage(TabSheet_view);
}

void TFmain::A_homeClick() {
    O_WB1->GoHome();
}

void TFmain::A_backClick() {
    O_WB1->NavigateBack();
}

void TFmain::A_nextClick() {
    O_WB1->NavigateForward();
}

void TFmain::A_stopClick() {
    O_WB1->StopNavigation();
}

void TFmain::A_refreshClick() {
    if (!TB_refresh->isEnabled())
        return;
    QWidget* page = PageControl1->currentWidget();
    if (page == TabSheet_manual)
        O_WB1->RefreshPage();
    else if (page == TabSheet_view)
        RefreshList();
}

void TFmain::A_editClick() {
    TQelPigger* record = O_results1->SelectedRecord();
    if (!record || !D_url_edit()->Execute(record))
        return;
    O_results1->ShowRecord(record, true);
    SetModifiedFlag(true);
    UpdateToolbar();
}

void TFmain::A_deleteClick() {
    if (!O_results1->DeleteSelected())
        return;
    SetModifiedFlag(true);
    UpdateToolbar();
}

void TFmain::A_filterClick() {
    // The filter dialog's own event loop paints the button as it is now.
    TB_filter->setChecked(O_results1->Filtered());
    O_results1->RunFilter();
    TB_filter->setChecked(O_results1->Filtered());
    RefreshList();
}

void TFmain::TB_open_web_pageClick() {
    if (TB_open_web_page->isEnabled())
        O_results1->OpenSelected();
}

void TFmain::N_SettingsClick() {
    if (!D_settings_user)
        return;
    D_settings_user->exec();
    // The sources may have changed.
    O_autosearch1->LoadSources();
}

void TFmain::N_IntroClick() {
    OpenDoc("intro");
}

void TFmain::N_lastversionClick() {
    const std::string version = AppInfo::Version;
    const QString question =
        "The version is \"" + ToQ(version) + "\".\n" + "Most fresh version you can find at:\n" +
        QString::fromStdString(WithoutScheme(AppInfo::ProductPage)) + ".\n\nOpen the page now?";
    if (AskUser(question))
        QDesktopServices::openUrl(QUrl(AppInfo::ProductPage));
}

void TFmain::O_WB1SB_add_to_foundClick() {
    if (ProgramSettings() && ReadCaptureSettings(ProgramSettings()->Store().Tree()).captureOnAdd)
        O_WB1SB_add_and_captureClick();
    else
        AddPageByHand(O_WB1->CurrentUrl());
}

void TFmain::AddPageByHand(const std::string& url) {
    if (url.empty())
        return;
    if (FindListing(url)) {
        ShowMessage("This URL already exists in the list");
        return;
    }
    AddListing("title of " + url, "descripton of " + url, url, url);
    TQelPigger* record = FindListing(url);
    ListDirty = true;
    if (D_url_edit()->Execute(record))
        SetModifiedFlag(true);
    else
        delete record; // the report stays marked changed
}
