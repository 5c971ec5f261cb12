#include "settings/TW_new_report.h"

#include "dialogs/DialogUtil.h"
#include "dialogs/KeywordPicker.h"
#include "dialogs/TFsure.h"
#include "settings/TD_settings_user.h"
#include "settings/WizardPictures.h"
#include "settings/core/AppInfo.h"
#include "settings/core/NewReportPages.h"
#include "settings/core/SourceList.h"

#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QFileDialog>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QShowEvent>
#include <QTabWidget>
#include <QTreeView>
#include <QVBoxLayout>

namespace {

const char* const kManualText = "Using manual mode you will browse search portal via embeded "
                                "browser; to add found URL click \"AddToList\" button.";
const char* const kManualClickedText = "Using manual mode you will browse search portal via "
                                       "embeded browser; to add current URL use \"AddToList\" "
                                       "button.";
const char* const kAutomaticText = "Using automatic mode fill the list of keywords. Request will "
                                   "be sent to remote search engine and found URLs will be added "
                                   "to the list.";

constexpr int kPictureSize = 120;

bool IsEnter(const QKeyEvent* key) {
    return key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
}

// Enabled fields in the window colour, disabled ones in the colour of buttons.
void EnableField(QWidget* field, bool enabled) {
    field->setEnabled(enabled);
    QPalette p = field->palette();
    const QPalette app = QApplication::palette();
    p.setColor(QPalette::Base, app.color(enabled ? QPalette::Base : QPalette::Button));
    field->setPalette(p);
}

// A sunken frame around a picture (set by drawPictures).
QFrame* FramedPicture(QWidget* page, const char* frameName, const char* imageName, QLabel** image) {
    auto* frame = new QFrame(page);
    frame->setObjectName(frameName);
    frame->setFrameShape(QFrame::Box);
    frame->setFrameShadow(QFrame::Sunken);
    frame->setFixedSize(kPictureSize + 4, kPictureSize + 4);
    *image = new QLabel(frame);
    (*image)->setObjectName(imageName);
    (*image)->setAlignment(Qt::AlignCenter);
    auto* layout = new QVBoxLayout(frame);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(*image);
    return frame;
}

QLabel* MakeLabel(QWidget* page, const char* name, const QString& text, bool wrap = false) {
    auto* label = new QLabel(text, page);
    label->setObjectName(name);
    // Plain text keeps quotes and the like as they are; a mnemonic is still underlined.
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(wrap);
    if (wrap)
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

QVBoxLayout* PageLayout(QWidget* page) {
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->setSpacing(2);
    return layout;
}

QFont Bold(QFont font) {
    font.setBold(true);
    return font;
}

// Puts the working directory back however the scope is left.
class KeepWorkingDirectory {
public:
    KeepWorkingDirectory() : dir_(QDir::currentPath()) {}
    ~KeepWorkingDirectory() { QDir::setCurrent(dir_); }
    KeepWorkingDirectory(const KeepWorkingDirectory&) = delete;
    KeepWorkingDirectory& operator=(const KeepWorkingDirectory&) = delete;

private:
    QString dir_;
};

} // namespace

TW_new_report::TW_new_report(QWidget* parent) : TWizard(parent) {
    setObjectName("W_new_report");
    setWindowTitle("New search report");
    buildGeneralPage();
    buildFileNamePage();
    buildSearchPage();
    buildReadyPage();
    drawPictures();
    FixSizeForFont(this, QSize(540, 400));
    connect(btnFinish, &QPushButton::clicked, this, &TW_new_report::btnFinishClick);

    // Creation: the wizard's own, then today's date and the often used keywords.
    UpdateButtons();
    PreviousPage = -1;
    DTP_report->setDate(QDate::currentDate());
    if (D_settings_user)
        for (const std::string& keyword : D_settings_user->OftenUsedKeywords())
            LB_kw->addItem(ToQ(keyword));
    loadSources();
}

void TW_new_report::loadSources() {
    CB_source->clear();
    const std::vector<SearchSource> sources = D_settings_user
                                                  ? ReadSources(D_settings_user->SettingsTree())
                                                  : std::vector<SearchSource>{FeedSource()};
    for (const SearchSource& source : sources)
        CB_source->addItem(ToQ(source.name));
    CB_source->setCurrentIndex(
        D_settings_user ? ChosenSourceIndex(sources, D_settings_user->SettingsTree()) : 0);
}

// The pages are laid out in the designed places at the designed font and grow with a larger
// one; the window keeps its designed size as the least (FixSizeForFont).

void TW_new_report::buildGeneralPage() {
    TabSheet_general = new QWidget();
    TabSheet_general->setObjectName("TabSheet_general");
    QWidget* page = TabSheet_general;
    Shape2 = FramedPicture(page, "Shape2", "Image2", &Image2);
    Label7 = MakeLabel(page, "Label7", "New search report");
    Label7->setFont(Bold(font()));
    Label4 = MakeLabel(page, "Label4", "&Title:");
    Edit_report_title = new QLineEdit("Title of search report", page);
    Edit_report_title->setObjectName("Edit_report_title");
    Label4->setBuddy(Edit_report_title);
    Label5 = MakeLabel(page, "Label5", "&Date:");
    DTP_report = new QDateEdit(page);
    DTP_report->setObjectName("DTP_report");
    DTP_report->setCalendarPopup(true);
    DTP_report->setLocale(QLocale::system());
    DTP_report->setDisplayFormat(QLocale::system().dateFormat(QLocale::ShortFormat));
    DTP_report->setMinimumWidth(150);
    Label5->setBuddy(DTP_report);
    Label6 = MakeLabel(page, "Label6", "&Report description");
    Memo_report_dsc = new QPlainTextEdit("Description of search report", page);
    Memo_report_dsc->setObjectName("Memo_report_dsc");
    // Tab goes on to the next control, as in the other fields; Ctrl+Tab types a tab.
    Memo_report_dsc->setTabChangesFocus(true);
    Memo_report_dsc->installEventFilter(this);
    Label6->setBuddy(Memo_report_dsc);

    auto* fields = new QVBoxLayout();
    fields->setSpacing(0);
    fields->addWidget(Label7);
    fields->addSpacing(10);
    fields->addWidget(Label4);
    fields->addWidget(Edit_report_title);
    fields->addSpacing(8);
    fields->addWidget(Label5);
    fields->addWidget(DTP_report, 0, Qt::AlignLeft);
    fields->addStretch(1);
    auto* top = new QHBoxLayout();
    top->setSpacing(16);
    top->addWidget(Shape2, 0, Qt::AlignTop);
    top->addLayout(fields, 1);
    auto* layout = PageLayout(page);
    layout->addLayout(top);
    layout->addSpacing(10);
    layout->addWidget(Label6);
    layout->addWidget(Memo_report_dsc, 1);
    AddPage(page);
}

void TW_new_report::buildFileNamePage() {
    TabSheet_filename = new QWidget();
    TabSheet_filename->setObjectName("TabSheet_filename");
    QWidget* page = TabSheet_filename;
    Shape1 = FramedPicture(page, "Shape1", "Image1", &Image1);
    Label2 = MakeLabel(page, "Label2", "&Filename to save new report:");
    Edit_filename = new QLineEdit(page);
    Edit_filename->setObjectName("Edit_filename");
    Edit_filename->setReadOnly(true);
    Label2->setBuddy(Edit_filename);
    SB_filename = new QPushButton("...", page);
    SB_filename->setObjectName("SB_filename");
    SB_filename->setAutoDefault(false);
    SB_filename->setToolTip("Save as");
    SB_filename->setAccessibleName("Save as");
    SB_filename->setFixedSize(RoomForCaption(SB_filename, "...", QSize(32, 26)));
    connect(SB_filename, &QPushButton::clicked, this, &TW_new_report::SB_filenameClick);

    SaveDialog1 = new QFileDialog(this, "Save as");
    SaveDialog1->setObjectName("SaveDialog1");
    SaveDialog1->setAcceptMode(QFileDialog::AcceptSave);
    SaveDialog1->setFileMode(QFileDialog::AnyFile);
    SaveDialog1->setNameFilter("Quarrylog data (*.qrl)");
    SaveDialog1->setDefaultSuffix("qrl");
    SaveDialog1->setViewMode(QFileDialog::Detail);
    SaveDialog1->setSizeGripEnabled(true);

    auto* name = new QHBoxLayout();
    name->setSpacing(6);
    name->addWidget(Edit_filename, 1);
    name->addWidget(SB_filename);
    auto* fields = new QVBoxLayout();
    fields->setSpacing(2);
    fields->addSpacing(30);
    fields->addWidget(Label2);
    fields->addLayout(name);
    fields->addStretch(1);
    auto* layout = PageLayout(page);
    auto* top = new QHBoxLayout();
    top->setSpacing(16);
    top->addWidget(Shape1, 0, Qt::AlignTop);
    top->addLayout(fields, 1);
    layout->addLayout(top, 1);
    AddPage(page);
}

void TW_new_report::buildSearchPage() {
    TabSheet_search = new QWidget();
    TabSheet_search->setObjectName("TabSheet_search");
    QWidget* page = TabSheet_search;

    RG1 = new QGroupBox("Search mode", page);
    RG1->setObjectName("RG1");
    RG1->setMinimumWidth(170);
    auto* items = new QVBoxLayout(RG1);
    items->setSpacing(2);
    RG1Group = new QButtonGroup(this);
    const char* captions[2] = {"&Manual", "A&utomatic"};
    for (int i = 0; i < 2; ++i) {
        RG1Items[i] = new QRadioButton(captions[i], RG1);
        RG1Items[i]->setObjectName(QString("RG1Item%1").arg(i));
        RG1Group->addButton(RG1Items[i], i);
        items->addWidget(RG1Items[i]);
    }
    RG1Items[0]->setChecked(true);
    // Chosen by a click, the keyboard or a screen reader's toggle action alike.
    connect(RG1Group, &QButtonGroup::idClicked, this, &TW_new_report::RG1Click);
    connect(RG1Group, &QButtonGroup::idToggled, this, [this](int, bool checked) {
        if (checked)
            RG1Click();
    });

    Label_mode_dsc = MakeLabel(page, "Label_mode_dsc", kManualText, true);

    Edit_kw = new QLineEdit(page);
    Edit_kw->setObjectName("Edit_kw");
    Edit_kw->setAccessibleName("Keyword");
    Edit_kw->installEventFilter(this);
    LB_kw = new QListWidget(page);
    LB_kw->setObjectName("LB_kw");
    LB_kw->setAccessibleName("Often used keywords");
    connect(LB_kw, &QListWidget::itemDoubleClicked, this, &TW_new_report::LB_kwDblClick);

    const auto button = [this, page](const char* name, const char* caption,
                                     void (TW_new_report::*handler)()) {
        auto* b = new QPushButton(caption, page);
        b->setObjectName(name);
        b->setAutoDefault(false);
        b->setFixedSize(RoomForCaption(b, caption, QSize(76, 25)));
        connect(b, &QPushButton::clicked, this, handler);
        return b;
    };
    SB_add = button("SB_add", "&Add >>", &TW_new_report::SB_addClick);
    SB_remove = button("SB_remove", "D&el", &TW_new_report::SB_removeClick);
    SB_clear = button("SB_clear", "C&lear", &TW_new_report::SB_clearClick);

    LB_selected = new QListWidget(page);
    LB_selected->setObjectName("LB_selected");
    LB_selected->setAccessibleName("Selected keywords");

    // The source of the automatic search, under the often used keywords.
    CB_source = new QComboBox(page);
    CB_source->setObjectName("CB_source");
    Label_source = MakeLabel(page, "Label_source", "Search &with:");
    Label_source->setBuddy(CB_source);
    CB_source->setEnabled(false);

    for (QWidget* field : std::initializer_list<QWidget*>{Edit_kw, LB_kw, LB_selected})
        EnableField(field, false);
    for (QPushButton* b : {SB_add, SB_remove, SB_clear})
        b->setEnabled(false);

    auto* top = new QHBoxLayout();
    top->setSpacing(12);
    top->addWidget(RG1);
    top->addWidget(Label_mode_dsc, 1);
    auto* source = new QHBoxLayout();
    source->setSpacing(2);
    source->addWidget(Label_source);
    source->addWidget(CB_source, 1);
    auto* grid = new QGridLayout();
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(6);
    grid->addWidget(Edit_kw, 0, 0);
    grid->addWidget(LB_kw, 1, 0, 3, 1);
    grid->addWidget(SB_add, 0, 1, Qt::AlignTop);
    grid->addWidget(SB_remove, 1, 1, Qt::AlignTop);
    grid->addWidget(SB_clear, 2, 1, Qt::AlignTop);
    grid->addLayout(source, 4, 0, 1, 2);
    grid->addWidget(LB_selected, 0, 2, 5, 1);
    grid->setRowStretch(3, 1);
    grid->setColumnMinimumWidth(0, 200);
    grid->setColumnMinimumWidth(2, 200);
    grid->setColumnStretch(0, 200);
    grid->setColumnStretch(2, 216);
    auto* layout = PageLayout(page);
    layout->addLayout(top);
    layout->addSpacing(6);
    layout->addLayout(grid, 1);
    AddPage(page);
}

void TW_new_report::buildReadyPage() {
    TabSheet_ready = new QWidget();
    TabSheet_ready->setObjectName("TabSheet_ready");
    QWidget* page = TabSheet_ready;
    Shape3 = FramedPicture(page, "Shape3", "Image3", &Image3);
    SB_proxy = new QPushButton("Proxy &setup", page);
    SB_proxy->setObjectName("SB_proxy");
    SB_proxy->setAutoDefault(false);
    SB_proxy->setFixedSize(RoomForCaption(SB_proxy, SB_proxy->text(), QSize(110, 25)));
    connect(SB_proxy, &QPushButton::clicked, this, &TW_new_report::SB_proxyClick);
    Label1 = MakeLabel(page, "Label1",
                       "Click \"Proxy setup\" button if you use proxy server and proxy parameters "
                       "are not entered yet in the settings of Quarrylog or you need to change "
                       "them.",
                       true);
    Label8 = MakeLabel(page, "Label8",
                       "If you are not sure about proxy using try to use this program without any "
                       "settings of proxy. If the attempts will not be successfull reffer to your "
                       "net administrator.",
                       true);
    Label9 = MakeLabel(page, "Label9", "Click Ok to start");
    Label9->setFont(Bold(font()));

    auto* texts = new QVBoxLayout();
    texts->setSpacing(10);
    texts->addWidget(SB_proxy, 0, Qt::AlignLeft);
    texts->addWidget(Label1);
    texts->addWidget(Label8);
    texts->addSpacing(12);
    texts->addWidget(Label9);
    texts->addStretch(1);
    auto* top = new QHBoxLayout();
    top->setSpacing(16);
    top->addWidget(Shape3, 0, Qt::AlignTop);
    top->addLayout(texts, 1);
    auto* layout = PageLayout(page);
    layout->addLayout(top, 1);
    AddPage(page);
}

void TW_new_report::drawPictures() {
    const qreal ratio = devicePixelRatioF();
    Image2->setPixmap(ReportPicture(kPictureSize, ratio));
    Image1->setPixmap(ReportFilePicture(kPictureSize, ratio));
    Image3->setPixmap(ReadyPicture(kPictureSize, ratio));
}

void TW_new_report::showEvent(QShowEvent* event) {
    // The screen is known now: the pictures at its pixel density.
    drawPictures();
    TWizard::showEvent(event);
}

// ---------------------------------------------------------------- the run

bool TW_new_report::Execute() {
    Finished = false;
    GoToPage(NewReportPages::General);
    CenterOnScreen(this);
    exec();
    Automatic = SearchMode() == 1;
    Keywords = selectedKeywords();
    SourceName = CB_source->currentText();
    KeywordText.clear();
    for (const QString& keyword : Keywords)
        KeywordText += keyword + "\r\n";
    ReportFileName = Edit_filename->text();
    return Finished;
}

void TW_new_report::btnFinishClick() {
    Finished = true;
}

int TW_new_report::SearchMode() const {
    return RG1Group->checkedId();
}

void TW_new_report::PageChanged() {
    if (PreviousPage == NewReportPages::FileName && PageIndex() == NewReportPages::Search)
        ReportFileName = Edit_filename->text().trimmed();
    const int back = NewReportPages::PageToReturnTo(
        PreviousPage, PageIndex(), Edit_filename->text(), SearchMode() == 1, LB_selected->count());
    if (back >= 0)
        GoToPage(back);
}

void TW_new_report::RG1Click() {
    for (QWidget* field : std::initializer_list<QWidget*>{Edit_kw, LB_kw, LB_selected})
        EnableField(field, false);
    for (QPushButton* b : {SB_add, SB_remove, SB_clear})
        b->setEnabled(false);
    CB_source->setEnabled(false);
    Label_mode_dsc->setText(kManualClickedText);
    if (SearchMode() != 1)
        return;
    for (QWidget* field : std::initializer_list<QWidget*>{Edit_kw, LB_kw, LB_selected})
        EnableField(field, true);
    for (QPushButton* b : {SB_add, SB_remove, SB_clear})
        b->setEnabled(true);
    CB_source->setEnabled(true);
    Label_mode_dsc->setText(kAutomaticText);
}

void TW_new_report::SB_filenameClick() {
    // The dialog may leave another working directory behind; the program's folders are
    // relative to it.
    const KeepWorkingDirectory keep;
    const QString dataDir = QDir::cleanPath(QDir::current().absoluteFilePath(AppInfo::DataFolder));
    QDir().mkpath(dataDir);
    SaveDialog1->setDirectory(dataDir);
    QSize size(820, 520);
    if (const QScreen* screen = this->screen())
        size = size.boundedTo(screen->availableGeometry().size());
    SaveDialog1->resize(size);
    if (auto* view = SaveDialog1->findChild<QTreeView*>("treeView")) {
        // The name takes the room the other columns leave, so that the date stays in view.
        QHeaderView* header = view->header();
        header->setStretchLastSection(false);
        header->setSectionResizeMode(QHeaderView::ResizeToContents);
        header->setSectionResizeMode(0, QHeaderView::Stretch);
    }
    if (ExecFileDialog(SaveDialog1) != QDialog::Accepted || SaveDialog1->selectedFiles().isEmpty())
        return;
    const QString chosen = SaveDialog1->selectedFiles().constFirst();
    if (MayUseFileName && !MayUseFileName(chosen))
        return;
    ReportFileName = chosen;
    Edit_filename->setText(chosen);
}

void TW_new_report::SB_proxyClick() {
    if (!D_settings_user)
        return;
    D_settings_user->TurnToProxyPage();
    D_settings_user->exec();
    // The settings window may have changed the sources.
    const QString chosen = CB_source->currentText();
    loadSources();
    if (const int at = CB_source->findText(chosen, Qt::MatchFixedString); at >= 0)
        CB_source->setCurrentIndex(at);
}

// ---------------------------------------------------------------- keywords

QStringList TW_new_report::selectedKeywords() const {
    return KeywordListItems(LB_selected);
}

void TW_new_report::SB_addClick() {
    if (!SB_add->isEnabled())
        return;
    AddTypedKeywords(Edit_kw, LB_kw, LB_selected);
}

void TW_new_report::SB_removeClick() {
    if (!SB_remove->isEnabled())
        return;
    RemoveSelectedKeyword(LB_selected);
}

void TW_new_report::SB_clearClick() {
    if (SB_clear->isEnabled())
        ClearChosenKeywords(LB_selected);
}

void TW_new_report::LB_kwDblClick() {
    TakeOftenUsedKeyword(LB_kw, Edit_kw);
}

void TW_new_report::Edit_kwKeyDown(QKeyEvent* key) {
    if (IsEnter(key))
        SB_addClick();
}

bool TW_new_report::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Edit_kw && event->type() == QEvent::KeyPress &&
        IsEnter(static_cast<QKeyEvent*>(event))) {
        Edit_kwKeyDown(static_cast<QKeyEvent*>(event));
        return true;
    }
    if (watched == Memo_report_dsc && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Tab && key->modifiers() == Qt::ControlModifier) {
            Memo_report_dsc->insertPlainText("\t");
            return true;
        }
    }
    return TWizard::eventFilter(watched, event);
}
