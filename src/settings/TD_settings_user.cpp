#include "settings/TD_settings_user.h"

#include "dialogs/DialogUtil.h"
#include "dialogs/TFsure.h"
#include "settings/TD_proxyLogin.h"
#include "settings/TD_source_edit.h"
#include "settings/TD_source_try.h"
#include "settings/core/AppInfo.h"
#include "settings/core/CaptureSettings.h"
#include "settings/core/KeywordList.h"
#include "settings/core/ProxyAddress.h"
#include "settings/core/ProxySettings.h"
#include "tree/TextCase.h"

#include <QCheckBox>
#include <QEvent>
#include <QFile>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QShowEvent>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

TD_settings_user* D_settings_user = nullptr;

namespace {

constexpr char kMaskBlank = '_';

// A disabled field takes the face colour of buttons, an enabled one the window colour.
void faceColourWhenDisabled(QLineEdit* field) {
    QPalette palette = field->palette();
    palette.setColor(QPalette::Disabled, QPalette::Base, palette.color(QPalette::Button));
    field->setPalette(palette);
}

QLabel* fieldLabel(const QString& caption, QWidget* buddy, QWidget* parent) {
    auto* label = new QLabel(caption, parent);
    label->setBuddy(buddy);
    return label;
}

} // namespace

// Every widget pointer is set in the constructor body, before anything reads it.
// NOLINTNEXTLINE(cppcoreguidelines-pro-type-member-init)
TD_settings_user::TD_settings_user(const QString& settingsFile, QWidget* parent)
    : TD_settings(settingsFile.isEmpty() ? DefaultSettingsFilePath() : settingsFile, parent) {
    setObjectName("D_settings_user");
    D_settings_user = this;

    OKBtn->setText("&Close");
    CancelBtn->hide();
    PageControl1->setTabText(PageControl1->indexOf(TabSheet1), "Proxy");
    buildProxyPage();
    buildKeywordsPage();
    buildSourcesPage();
    buildCapturesPage();

    FormCreate();
}

TD_settings_user::~TD_settings_user() {
    if (D_settings_user == this)
        D_settings_user = nullptr;
}

void TD_settings_user::buildProxyPage() {
    GroupBox_proxy = new QGroupBox("Proxy settings", TabSheet1);
    GroupBox_proxy->setObjectName("GroupBox_proxy");

    CB_proxy = new QCheckBox("&Use proxy for autosearch", GroupBox_proxy);
    CB_proxy->setObjectName("CB_proxy");
    QFont bold = CB_proxy->font();
    bold.setBold(true);
    CB_proxy->setFont(bold);

    Edit_proxyIP = new QLineEdit(GroupBox_proxy);
    Edit_proxyIP->setObjectName("Edit_proxyIP");
    Edit_proxyIP->setInputMask(QString("000.000.000.000;") + kMaskBlank);
    Edit_proxyIP->setMaxLength(15);

    Edit_ProxyPort = new QLineEdit(GroupBox_proxy);
    Edit_ProxyPort->setObjectName("Edit_ProxyPort");
    // Up to five digits, every port up to 65535 (a mask would show a place left unfilled by
    // most ports).
    Edit_ProxyPort->setValidator(
        new QRegularExpressionValidator(QRegularExpression("[0-9]{0,5}"), Edit_ProxyPort));
    Edit_ProxyPort->setMaxLength(5);
    Edit_ProxyPort->setText("8080");
    L_port_range = new QLabel("A port is a number from 1 to 65535.", GroupBox_proxy);
    L_port_range->setObjectName("L_port_range");
    L_port_range->hide();

    // Room for every place of the mask, and no more.
    const QFontMetrics metrics(Edit_proxyIP->font());
    const int padding = 16;
    Edit_proxyIP->setFixedWidth(metrics.horizontalAdvance("000.000.000.000") + padding);
    Edit_ProxyPort->setFixedWidth(metrics.horizontalAdvance("00000") + padding);

    auto* line = new QFrame(GroupBox_proxy);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);

    RB_proxy_login_dialog = new QRadioButton("Use proxy login &dialog", GroupBox_proxy);
    RB_proxy_login_dialog->setObjectName("RB_proxy_login_dialog");
    RB_proxy_login_save = new QRadioButton("&Save proxy login (can stay blank)", GroupBox_proxy);
    RB_proxy_login_save->setObjectName("RB_proxy_login_save");

    Edit_proxyUser = new QLineEdit(GroupBox_proxy);
    Edit_proxyUser->setObjectName("Edit_proxyUser");
    Edit_proxyPass = new QLineEdit(GroupBox_proxy);
    Edit_proxyPass->setObjectName("Edit_proxyPass");
    ShowStarsFor(Edit_proxyPass);
    Edit_proxyUser->setMinimumWidth(metrics.horizontalAdvance(QString(30, 'n')));

    SB_proxyLogin =
        new QPushButton("&Refresh proxy username and pasword for current session", GroupBox_proxy);
    SB_proxyLogin->setObjectName("SB_proxyLogin");

    for (QLineEdit* field : {Edit_proxyIP, Edit_ProxyPort, Edit_proxyUser, Edit_proxyPass}) {
        faceColourWhenDisabled(field);
        field->setEnabled(false);
    }
    RB_proxy_login_dialog->setEnabled(false);
    RB_proxy_login_save->setEnabled(false);
    SB_proxyLogin->setEnabled(false);

    auto* grid = new QGridLayout(GroupBox_proxy);
    grid->setContentsMargins(14, 12, 14, 14);
    grid->setHorizontalSpacing(12);
    grid->setVerticalSpacing(8);
    int row = 0;
    grid->addWidget(CB_proxy, row++, 0, 1, 2);
    grid->addWidget(fieldLabel("Proxy &IP:", Edit_proxyIP, GroupBox_proxy), row, 0);
    grid->addWidget(Edit_proxyIP, row++, 1, Qt::AlignLeft);
    grid->addWidget(fieldLabel("Proxy p&ort:", Edit_ProxyPort, GroupBox_proxy), row, 0);
    auto* port = new QHBoxLayout();
    port->setSpacing(12);
    port->addWidget(Edit_ProxyPort);
    port->addWidget(L_port_range);
    port->addStretch(1);
    grid->addLayout(port, row++, 1);
    grid->addWidget(line, row++, 0, 1, 2);
    grid->addWidget(RB_proxy_login_dialog, row++, 0, 1, 2);
    grid->addWidget(RB_proxy_login_save, row++, 0, 1, 2);
    grid->addWidget(fieldLabel("Proxy user &name:", Edit_proxyUser, GroupBox_proxy), row, 0);
    grid->addWidget(Edit_proxyUser, row++, 1);
    grid->addWidget(fieldLabel("Proxy pass&word:", Edit_proxyPass, GroupBox_proxy), row, 0);
    grid->addWidget(Edit_proxyPass, row++, 1);
    grid->addWidget(SB_proxyLogin, row++, 0, 1, 2);
    grid->setColumnStretch(1, 1);

    auto* page = new QVBoxLayout(TabSheet1);
    page->addWidget(GroupBox_proxy);
    page->addStretch(1);

    connect(CB_proxy, &QCheckBox::toggled, this, &TD_settings_user::proxy_actions_enabling);
    connect(RB_proxy_login_dialog, &QRadioButton::toggled, this,
            &TD_settings_user::proxy_actions_enabling);
    connect(RB_proxy_login_save, &QRadioButton::toggled, this,
            &TD_settings_user::proxy_actions_enabling);
    connect(Edit_proxyIP, &QLineEdit::textChanged, this, &TD_settings_user::Edit_proxyIPChange);
    connect(Edit_ProxyPort, &QLineEdit::textChanged, this, &TD_settings_user::Edit_ProxyPortChange);
    Edit_ProxyPort->installEventFilter(this);
    connect(Edit_ProxyPort, &QLineEdit::editingFinished, this,
            &TD_settings_user::Edit_ProxyPortExit);
    connect(Edit_proxyUser, &QLineEdit::textChanged, this, &TD_settings_user::Edit_proxyUserChange);
    connect(Edit_proxyPass, &QLineEdit::textChanged, this, &TD_settings_user::Edit_proxyPassChange);
}

void TD_settings_user::buildKeywordsPage() {
    TabSheet_kw = new QWidget();
    TabSheet_kw->setObjectName("TabSheet_kw");
    PageControl1->addTab(TabSheet_kw, "Keywords");

    LB_keywords = new QListWidget(TabSheet_kw);
    LB_keywords->setObjectName("LB_keywords");
    LB_keywords->setSelectionMode(QAbstractItemView::SingleSelection);
    // A list is read out by its own name; its label's is not passed on.
    LB_keywords->setAccessibleName("Often used keywords");
    LB_keywords->installEventFilter(this);
    btn_add_kw = new QPushButton("&Add", TabSheet_kw);
    btn_add_kw->setObjectName("btn_add_kw");
    btn_del_kw = new QPushButton("&Delete", TabSheet_kw);
    btn_del_kw->setObjectName("btn_del_kw");
    connect(btn_add_kw, &QPushButton::clicked, this, &TD_settings_user::btn_add_kwClick);
    connect(btn_del_kw, &QPushButton::clicked, this, &TD_settings_user::btn_del_kwClick);

    auto* buttons = new QVBoxLayout();
    buttons->addWidget(btn_add_kw);
    buttons->addWidget(btn_del_kw);
    buttons->addStretch(1);

    auto* grid = new QGridLayout(TabSheet_kw);
    grid->addWidget(fieldLabel("&Often used keywords:", LB_keywords, TabSheet_kw), 0, 0, 1, 2);
    grid->addWidget(LB_keywords, 1, 0);
    grid->addLayout(buttons, 1, 1);
    grid->setColumnStretch(0, 1);
    grid->setRowStretch(1, 1);
}

void TD_settings_user::buildSourcesPage() {
    TabSheet_sources = new QWidget();
    TabSheet_sources->setObjectName("TabSheet_sources");
    PageControl1->addTab(TabSheet_sources, "Search sources");

    LV_sources = new QTreeWidget(TabSheet_sources);
    LV_sources->setObjectName("LV_sources");
    LV_sources->setHeaderLabels({"Name", "Kind", "Address"});
    LV_sources->setAccessibleName("Search sources");
    LV_sources->setRootIsDecorated(false);
    LV_sources->setUniformRowHeights(true);
    LV_sources->setSelectionMode(QAbstractItemView::SingleSelection);
    // The designed widths, wider with a larger font.
    const qreal scale = DesignedScale(LV_sources->font());
    LV_sources->setMinimumWidth(qRound(460 * scale));
    LV_sources->setColumnWidth(0, qRound(130 * scale));
    LV_sources->setColumnWidth(1, qRound(110 * scale));
    // The address takes the room left; a long one shows whole in its tip.
    LV_sources->header()->setSectionResizeMode(2, QHeaderView::Stretch);
    LV_sources->setTextElideMode(Qt::ElideMiddle);
    LV_sources->installEventFilter(this);
    connect(LV_sources, &QTreeWidget::currentItemChanged, this,
            &TD_settings_user::LV_sourcesChange);
    connect(LV_sources, &QTreeWidget::itemDoubleClicked, this,
            &TD_settings_user::btn_edit_sourceClick);

    const auto button = [this](const char* name, const char* caption,
                               void (TD_settings_user::*handler)()) {
        auto* b = new QPushButton(caption, TabSheet_sources);
        b->setObjectName(name);
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, handler);
        return b;
    };
    btn_add_source = button("btn_add_source", "&Add...", &TD_settings_user::btn_add_sourceClick);
    btn_edit_source =
        button("btn_edit_source", "&Edit...", &TD_settings_user::btn_edit_sourceClick);
    btn_try_source = button("btn_try_source", "&Try...", &TD_settings_user::btn_try_sourceClick);
    btn_del_source = button("btn_del_source", "&Remove", &TD_settings_user::btn_del_sourceClick);

    auto* buttons = new QVBoxLayout();
    buttons->addWidget(btn_add_source);
    buttons->addWidget(btn_edit_source);
    buttons->addWidget(btn_try_source);
    buttons->addWidget(btn_del_source);
    buttons->addStretch(1);

    auto* grid = new QGridLayout(TabSheet_sources);
    grid->addWidget(fieldLabel("&Search sources:", LV_sources, TabSheet_sources), 0, 0, 1, 2);
    grid->addWidget(LV_sources, 1, 0);
    grid->addLayout(buttons, 1, 1);
    grid->setColumnStretch(0, 1);
    grid->setRowStretch(1, 1);
}

void TD_settings_user::buildCapturesPage() {
    TabSheet_captures = new QWidget();
    TabSheet_captures->setObjectName("TabSheet_captures");
    PageControl1->addTab(TabSheet_captures, "Captures");
    CB_capture_on_add = new QCheckBox("Capture on every &Add to list", TabSheet_captures);
    CB_capture_on_add->setObjectName("CB_capture_on_add");
    CB_capture_pdf = new QCheckBox("Also save a &PDF", TabSheet_captures);
    CB_capture_pdf->setObjectName("CB_capture_pdf");
    // Trusted time: the authority that stamps each manifest, and the certificates its stamps
    // are checked with.
    auto* tsaLabel =
        new QLabel("&Time-stamping authority (RFC 3161), optional:", TabSheet_captures);
    E_tsa_url = new QLineEdit(TabSheet_captures);
    E_tsa_url->setObjectName("E_tsa_url");
    E_tsa_url->setPlaceholderText("http://tsa.example/");
    tsaLabel->setBuddy(E_tsa_url);
    auto* caLabel =
        new QLabel("Its CA c&ertificates (PEM file), to check the stamps:", TabSheet_captures);
    E_tsa_ca = new QLineEdit(TabSheet_captures);
    E_tsa_ca->setObjectName("E_tsa_ca");
    caLabel->setBuddy(E_tsa_ca);
    L_tsa_note = new QLabel(TabSheet_captures);
    L_tsa_note->setObjectName("L_tsa_note");
    L_tsa_note->hide();
    auto* page = new QVBoxLayout(TabSheet_captures);
    page->addWidget(CB_capture_on_add);
    page->addWidget(CB_capture_pdf);
    page->addSpacing(12);
    page->addWidget(tsaLabel);
    page->addWidget(E_tsa_url);
    page->addWidget(L_tsa_note);
    page->addWidget(caLabel);
    page->addWidget(E_tsa_ca);
    page->addStretch(1);
    connect(CB_capture_on_add, &QCheckBox::toggled, this, &TD_settings_user::storeCaptureSwitches);
    connect(CB_capture_pdf, &QCheckBox::toggled, this, &TD_settings_user::storeCaptureSwitches);
    connect(E_tsa_url, &QLineEdit::editingFinished, this, &TD_settings_user::storeCaptureSwitches);
    connect(E_tsa_ca, &QLineEdit::editingFinished, this, &TD_settings_user::storeCaptureSwitches);
}

void TD_settings_user::storeCaptureSwitches() {
    CaptureSettings settings = ReadCaptureSettings(SettingsTree());
    settings.captureOnAdd = CB_capture_on_add->isChecked();
    settings.savePdf = CB_capture_pdf->isChecked();
    const QString tsa = E_tsa_url->text().trimmed();
    const bool tsaUsable = tsa.isEmpty() || tsa.startsWith("http://", Qt::CaseInsensitive) ||
                           tsa.startsWith("https://", Qt::CaseInsensitive);
    // An address the stamps could not be sent to is not kept; the note says why.
    L_tsa_note->setText("The authority's address starts with http:// or https://.");
    L_tsa_note->setVisible(!tsaUsable);
    if (tsaUsable)
        settings.tsaUrl = tsa.toStdString();
    settings.tsaCaFile = QFile::encodeName(E_tsa_ca->text().trimmed()).toStdString();
    WriteCaptureSettings(SettingsTree(), settings);
}

void TD_settings_user::showEvent(QShowEvent* event) {
    // The red notes stay readable on the palette of the moment.
    PaintWarning(L_port_range, Qt::red);
    PaintWarning(L_tsa_note, QColor(0xC0, 0x00, 0x00));
    TD_settings::showEvent(event);
}

std::string TD_settings_user::GetVersion() const {
    return AppInfo::Version;
}

std::string TD_settings_user::GetDataFolder() const {
    return AppInfo::DataFolder;
}

void TD_settings_user::ShowSettings() {
    TQelPigger& root = SettingsTree();
    const bool useProxy = root.GetAttr(SettingsKeys::UseProxy) == "Y";
    const bool saveLogin = root.GetAttr(SettingsKeys::SaveProxyLogin) == "Y";

    CB_proxy->setChecked(useProxy);
    (saveLogin ? RB_proxy_login_save : RB_proxy_login_dialog)->setChecked(true);
    proxy_actions_enabling();

    {
        // Filling the fields is no edit: the stored texts stay as they are, also where a
        // mask shows them in its own way.
        const QSignalBlocker ip(Edit_proxyIP), port(Edit_ProxyPort), user(Edit_proxyUser),
            pass(Edit_proxyPass);
        Edit_proxyIP->setText(ToQ(root.GetAttr(SettingsKeys::ProxyIP)));
        const std::string storedPort = root.GetAttr(SettingsKeys::ProxyPort);
        Edit_ProxyPort->setText(storedPort.empty() ? QString("8080") : ToQ(storedPort));
        Edit_proxyUser->setText(ToQ(root.GetAttr(SettingsKeys::ProxyUser)));
        Edit_proxyPass->setText(ToQ(root.GetAttr(SettingsKeys::ProxyPass)));
    }
    showPortSign();
    SessionProxyUser = root.GetAttr(SettingsKeys::ProxyUser);
    SessionProxyPass = root.GetAttr(SettingsKeys::ProxyPass);

    LB_keywords->clear();
    Keywords = GetSection(&root, SettingsKeys::Keywords);
    if (!KeywordList(Keywords).IsEmpty())
        LoadKeywords();
    else
        AddDefaultKeywords();

    sources_ = std::make_unique<SourceList>(root);
    listSources(0);

    {
        // Showing the switches writes nothing: a file without them stays as it is.
        const QSignalBlocker onAdd(CB_capture_on_add), pdf(CB_capture_pdf);
        const CaptureSettings captures = ReadCaptureSettings(root);
        CB_capture_on_add->setChecked(captures.captureOnAdd);
        CB_capture_pdf->setChecked(captures.savePdf);
        E_tsa_url->setText(QString::fromStdString(captures.tsaUrl));
        E_tsa_ca->setText(QFile::decodeName(captures.tsaCaFile.c_str()));
    }
}

void TD_settings_user::LoadKeywords() {
    for (TQelPigger* element : KeywordList(Keywords).Entries())
        listKeyword(element);
}

void TD_settings_user::AddDefaultKeywords() {
    for (const std::string& keyword : KeywordList::Defaults())
        AddKeyword(keyword);
}

void TD_settings_user::AddKeyword(const std::string& text) {
    if (TQelPigger* element = KeywordList(Keywords).Add(text))
        listKeyword(element);
}

QListWidgetItem* TD_settings_user::listKeyword(TQelPigger* element) {
    const std::string value = KeywordList::Value(element);
    // Sorted in after the entries that come before it (and after its equals).
    int lo = 0, hi = LB_keywords->count();
    while (lo < hi) {
        const int mid = (lo + hi) / 2;
        if (KeywordBefore(value, KeywordList::Value(elementOf(LB_keywords->item(mid)))))
            hi = mid;
        else
            lo = mid + 1;
    }
    auto* item = new QListWidgetItem(ToQ(value));
    item->setData(Qt::UserRole, QVariant::fromValue(static_cast<void*>(element)));
    LB_keywords->insertItem(lo, item);
    return item;
}

TQelPigger* TD_settings_user::elementOf(const QListWidgetItem* item) {
    return static_cast<TQelPigger*>(item->data(Qt::UserRole).value<void*>());
}

std::vector<std::string> TD_settings_user::OftenUsedKeywords() const {
    std::vector<std::string> keywords;
    keywords.reserve(static_cast<size_t>(LB_keywords->count()));
    for (int i = 0; i < LB_keywords->count(); ++i)
        keywords.push_back(KeywordList::Value(elementOf(LB_keywords->item(i))));
    return keywords;
}

void TD_settings_user::btn_add_kwClick() {
    bool ok = false;
    const QString answer = QInputDialog::getText(this, "New keyword", "Enter new keyword",
                                                 QLineEdit::Normal, QString(), &ok);
    if (!ok)
        return;
    const std::string keyword = KeywordFromAnswer(FromQ(answer));
    if (keyword.empty())
        return;
    AddKeyword(keyword);
    for (int i = 0; i < LB_keywords->count(); ++i) {
        QListWidgetItem* item = LB_keywords->item(i);
        if (SameTextIgnoringCase(FromQ(item->text()), keyword)) {
            LB_keywords->setCurrentItem(item);
            LB_keywords->scrollToItem(item);
            break;
        }
    }
}

void TD_settings_user::btn_del_kwClick() {
    const QList<QListWidgetItem*> selected = LB_keywords->selectedItems();
    if (selected.isEmpty())
        return;
    QListWidgetItem* item = selected.first();
    if (!AskUser(QString("Delete keyword\n\"%1\"\nfrom the list?").arg(item->text())))
        return;
    KeywordList::Remove(elementOf(item));
    delete item;
}

bool TD_settings_user::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Edit_ProxyPort && event->type() == QEvent::FocusIn)
        portOnEntry_ = Edit_ProxyPort->text();
    // The Delete key in the keyword list deletes the selected keyword, in the source list the
    // selected source.
    if (event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
        if (watched == LB_keywords) {
            btn_del_kwClick();
            return true;
        }
        if (watched == LV_sources) {
            btn_del_sourceClick();
            return true;
        }
    }
    return TD_settings::eventFilter(watched, event);
}

void TD_settings_user::proxy_actions_enabling() {
    TQelPigger& root = SettingsTree();
    if (CB_proxy->isChecked())
        root.SetAttr(SettingsKeys::UseProxy, "Y");
    else
        root.DeleteAttr(SettingsKeys::UseProxy);
    if (RB_proxy_login_save->isChecked())
        root.SetAttr(SettingsKeys::SaveProxyLogin, "Y");
    else
        root.DeleteAttr(SettingsKeys::SaveProxyLogin);

    const bool proxy = CB_proxy->isChecked();
    const bool login = proxy && RB_proxy_login_save->isChecked();
    RB_proxy_login_dialog->setEnabled(proxy);
    RB_proxy_login_save->setEnabled(proxy);
    SB_proxyLogin->setEnabled(proxy);
    Edit_proxyIP->setEnabled(proxy);
    Edit_ProxyPort->setEnabled(proxy);
    Edit_proxyUser->setEnabled(login);
    Edit_proxyPass->setEnabled(login);
}

QString TD_settings_user::MaskedText(const QLineEdit* field) {
    QString text = field->displayText();
    if (!field->inputMask().isEmpty())
        text.replace(QChar(kMaskBlank), QChar(' '));
    return text;
}

void TD_settings_user::storeField(const char* key, const QString& shown) {
    if (ToQ(SettingsTree().GetAttr(key)) != shown)
        SettingsTree().SetAttr(key, FromQ(shown));
}

void TD_settings_user::Edit_proxyIPChange() {
    storeField(SettingsKeys::ProxyIP, MaskedText(Edit_proxyIP));
}

int TD_settings_user::portInField() const {
    return ProxyPortNumber(FromQ(Edit_ProxyPort->text()));
}

bool TD_settings_user::showPortSign() {
    const bool port = portInField() > 0;
    L_port_range->setVisible(!port);
    return port;
}

void TD_settings_user::Edit_ProxyPortChange() {
    // A plain number, as a field of four places stored its ports ("3128"); what older files
    // hold with blanks ("80  ") is read as before.
    if (showPortSign())
        storeField(SettingsKeys::ProxyPort, QString::number(portInField()));
}

void TD_settings_user::Edit_ProxyPortExit() {
    if (portInField() > 0)
        return;
    // The port the field had when the user came to it (stored again, as typing its first
    // digits has stored a shorter one).
    Edit_ProxyPort->setText(portOnEntry_);
    showPortSign();
}

void TD_settings_user::Edit_proxyUserChange() {
    storeField(SettingsKeys::ProxyUser, Edit_proxyUser->text());
    SessionProxyUser = SettingsTree().GetAttr(SettingsKeys::ProxyUser);
}

void TD_settings_user::Edit_proxyPassChange() {
    storeField(SettingsKeys::ProxyPass, Edit_proxyPass->text());
    SessionProxyPass = SettingsTree().GetAttr(SettingsKeys::ProxyPass);
}

ProxyValues TD_settings_user::Proxy() const {
    return ProxyValuesFrom(SettingsTree(), SessionProxyUser, SessionProxyPass);
}

bool TD_settings_user::UseProxy() const {
    return Proxy().use;
}

bool TD_settings_user::UseLoginDialog() const {
    return UsesProxyLoginDialog(SettingsTree());
}

std::string TD_settings_user::GetProxyIP() const {
    return Proxy().host;
}

std::string TD_settings_user::GetProxyPort() const {
    const int port = Proxy().port;
    return port > 0 ? std::to_string(port) : std::string();
}

std::string TD_settings_user::GetProxyUser() {
    if (!UseProxy())
        return {};
    if (UseLoginDialog())
        D_proxyLogin()->Execute(*this);
    const ProxyValues values = Proxy();
    SessionProxyUser = values.user;
    SessionProxyPass = values.password;
    return SessionProxyUser;
}

ProxyValues TD_settings_user::ProxyForRequest() {
    if (UseProxy())
        GetProxyUser();
    return Proxy();
}

void TD_settings_user::TurnToProxyPage() {
    PageControl1->setCurrentWidget(TabSheet1);
}

// ---------------------------------------------------------------- search sources

void TD_settings_user::listSources(int select) {
    LV_sources->clear();
    for (const SearchSource& source : sources_->Sources()) {
        auto* item = new QTreeWidgetItem(
            LV_sources,
            {ToQ(source.name), ToQ(SourceKindCaption(source.kind)),
             source.kind == SearchSource::Feed ? QString("(built in)") : ToQ(source.address)});
        item->setToolTip(2, item->text(2));
    }
    if (QTreeWidgetItem* item = LV_sources->topLevelItem(select))
        LV_sources->setCurrentItem(item);
    LV_sourcesChange();
}

int TD_settings_user::SelectedSource() const {
    QTreeWidgetItem* item = LV_sources->currentItem();
    return item ? LV_sources->indexOfTopLevelItem(item) : -1;
}

void TD_settings_user::LV_sourcesChange() {
    const bool own = sources_ && sources_->Editable(SelectedSource());
    btn_edit_source->setEnabled(own);
    btn_try_source->setEnabled(own);
    btn_del_source->setEnabled(own);
}

void TD_settings_user::btn_add_sourceClick() {
    SearchSource blank;
    blank.kind = SearchSource::OpenSearch;
    TD_source_edit dialog(
        "Add source", blank,
        [this](const SearchSource& source) { return sources_->Check(source, -1); },
        [this] { return ProxyForRequest(); }, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    std::string why;
    const int added = sources_->Add(dialog.Source(), why);
    listSources(added >= 0 ? added : SelectedSource());
}

void TD_settings_user::btn_edit_sourceClick() {
    const int index = SelectedSource();
    if (!sources_->Editable(index))
        return;
    TD_source_edit dialog(
        "Edit source", sources_->Sources()[static_cast<size_t>(index)],
        [this, index](const SearchSource& source) { return sources_->Check(source, index); },
        [this] { return ProxyForRequest(); }, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    std::string why;
    sources_->Replace(index, dialog.Source(), why);
    listSources(index);
}

void TD_settings_user::btn_try_sourceClick() {
    const int index = SelectedSource();
    if (!sources_->Editable(index))
        return;
    const SearchSource source = sources_->Sources()[static_cast<size_t>(index)];
    bool ok = false;
    const QString keyword =
        QInputDialog::getText(this, "Try source",
                              "Keyword to search " + ToQ(source.name) + " for:", QLineEdit::Normal,
                              "test", &ok)
            .trimmed();
    if (!ok || keyword.isEmpty())
        return;
    TD_source_try dialog(
        source, [this] { return ProxyForRequest(); }, this);
    dialog.Start(FromQ(keyword));
    dialog.exec();
}

void TD_settings_user::btn_del_sourceClick() {
    const int index = SelectedSource();
    if (!sources_->Editable(index))
        return;
    const QString name = ToQ(sources_->Sources()[static_cast<size_t>(index)].name);
    if (!AskUser(QString("Remove source\n\"%1\"\nfrom the list?").arg(name)))
        return;
    sources_->Remove(index);
    listSources(std::min(index, sources_->Count() - 1));
}
