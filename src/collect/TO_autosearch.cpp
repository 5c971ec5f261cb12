#include "collect/TO_autosearch.h"

#include "collect/FontGrowth.h"
#include "collect/Pictures.h"
#include "dialogs/KeywordPicker.h"
#include "dialogs/TDmsg.h"
#include "dialogs/TFsure.h"
#include "search/SearchMessages.h"
#include "search/SearchRun.h"
#include "search/SourceRun.h"
#include "settings/core/AppInfo.h"
#include "settings/core/SourceList.h"
#include "tree/LocalText.h"

#include <QApplication>
#include <QComboBox>
#include <QDesktopServices>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QUrl>

#include <algorithm>
#include <cmath>

namespace {

constexpr int PanelWidth = 582;
constexpr int PanelHeight = 351;
// The height of a line of text the panel was designed for (its one-line labels are as high).
constexpr int DesignedLineHeight = 16;

bool IsEnter(const QKeyEvent* key) {
    return key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
}

// The strip above the how-to button, scale times its designed size (140 x 30). The words are
// in the designed blue on a light panel, in the palette's text colour on a dark one.
QPixmap FeedBanner(qreal scale, const QPalette& palette) {
    const QSize size = (QSizeF(140, 30) * scale).toSize();
    const qreal ratio = ScreenPixelRatio();
    QPixmap pm(size * ratio);
    pm.setDevicePixelRatio(ratio);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(scale, scale);
    p.drawPixmap(0, 0, FoundPagePicture(30, ratio * scale));
    QFont f = p.font();
    f.setBold(true);
    f.setPixelSize(13);
    p.setFont(f);
    const bool darkPanel = palette.color(QPalette::Window).lightness() < 128;
    p.setPen(darkPanel ? palette.color(QPalette::WindowText) : QColor(40, 70, 120));
    p.drawText(QRect(34, 0, 106, 30), Qt::AlignVCenter | Qt::AlignLeft, "Search feed");
    return pm;
}

} // namespace

TO_autosearch::TO_autosearch(UserSettingsSource settings, QWidget* parent)
    : QWidget(parent), settings_(std::move(settings)) {
    setObjectName("O_autosearch1");
    setAutoFillBackground(true);

    Panel1 = new QFrame(this);
    Panel1->setObjectName("Panel1");
    Panel1->setFrameShape(QFrame::Panel);
    Panel1->setFrameShadow(QFrame::Raised);
    Panel1->setAutoFillBackground(true);

    const auto button = [this](const char* name, const char* caption, const QRect& at,
                               void (TO_autosearch::*handler)()) {
        auto* b = new QPushButton(caption, Panel1);
        b->setObjectName(name);
        place(b, at);
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, handler);
        return b;
    };

    Label1 = new QLabel("Type a keyword or choose it from the list:", Panel1);
    Label1->setObjectName("Label1");
    place(Label1, QRect(16, 10, 280, 18));
    // The source of the run, above the keywords of the run.
    CB_source = new QComboBox(Panel1);
    CB_source->setObjectName("CB_source");
    place(CB_source, QRect(400, 5, 166, 24));
    connect(CB_source, &QComboBox::activated, this, &TO_autosearch::CB_sourceChange);
    Label_source = new QLabel("Search with:", Panel1);
    Label_source->setObjectName("Label_source");
    place(Label_source, QRect(316, 5, 82, 24));
    Label_source->setBuddy(CB_source);
    Edit_kw = new QLineEdit(Panel1);
    Edit_kw->setObjectName("Edit_kw");
    place(Edit_kw, QRect(16, 32, 200, 22));
    Edit_kw->installEventFilter(this);
    Label1->setBuddy(Edit_kw);
    LB_kw = new QListWidget(Panel1);
    LB_kw->setObjectName("LB_kw");
    LB_kw->setAccessibleName("Often used keywords");
    place(LB_kw, QRect(16, 60, 200, 148));
    LB_kw->installEventFilter(this);
    connect(LB_kw, &QListWidget::itemDoubleClicked, this, &TO_autosearch::LB_kwDblClick);

    SB_add = button("SB_add", "Add >>", QRect(228, 32, 76, 25), &TO_autosearch::SB_addClick);
    SB_remove = button("SB_remove", "Del", QRect(228, 62, 76, 25), &TO_autosearch::SB_removeClick);
    SB_clear = button("SB_clear", "Clear", QRect(228, 92, 76, 25), &TO_autosearch::SB_clearClick);

    LB_selected = new QListWidget(Panel1);
    LB_selected->setObjectName("LB_selected");
    LB_selected->setAccessibleName("Keywords to search");
    place(LB_selected, QRect(316, 32, 250, 176));

    SB_start = button("SB_start", "Start", QRect(316, 214, 72, 25), &TO_autosearch::SB_startClick);
    SB_stop = button("SB_stop", "Stop", QRect(394, 214, 72, 25), &TO_autosearch::SB_stopClick);
    SB_clear_history = button("SB_clear_history", "Clear history", QRect(472, 214, 94, 25),
                              &TO_autosearch::SB_clear_historyClick);
    // Below the often used keywords, beside Start and Stop; hidden until the first run.
    L_progress = new QLabel(Panel1);
    L_progress->setObjectName("L_progress");
    place(L_progress, QRect(16, 212, 288, 16));
    L_progress->hide();
    PB_busy = new QProgressBar(Panel1);
    PB_busy->setObjectName("PB_busy");
    PB_busy->setAccessibleName("Search progress");
    place(PB_busy, QRect(16, 230, 288, 12));
    PB_busy->setRange(0, 1);
    PB_busy->setValue(0);
    PB_busy->setTextVisible(false);
    PB_busy->hide();
    Timer_progress = new QTimer(this);
    Timer_progress->setObjectName("Timer_progress");
    Timer_progress->setInterval(500);
    connect(Timer_progress, &QTimer::timeout, this, &TO_autosearch::ShowProgress);

    Shape1 = new QFrame(Panel1);
    Shape1->setObjectName("Shape1");
    Shape1->setFrameShape(QFrame::Box);
    place(Shape1, QRect(16, 248, 550, 89));
    Image1 = new QLabel(Panel1);
    Image1->setObjectName("Image1");
    // The picture's words, for those who cannot see it.
    Image1->setAccessibleName("Search feed");
    place(Image1, QRect(26, 258, 140, 30));
    SB_how_to = button("SB_how_to", "Get listed in search results", QRect(24, 298, 170, 28),
                       &TO_autosearch::SB_how_toClick);
    Memo_log = new QPlainTextEdit(Panel1);
    Memo_log->setObjectName("Memo_log");
    Memo_log->setAccessibleName("Search log");
    place(Memo_log, QRect(200, 264, 358, 57));
    Memo_log->setFrameShape(QFrame::NoFrame);
    Memo_log->setReadOnly(true);
    Memo_log->setTabChangesFocus(true);
    Memo_log->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    applyColours();

    Search = new SearchRun(
        SearchRun::Hooks{[this](const std::string& line) { Log(line); },
                         [this] { return proxyForRequest(); },
                         [this](const std::string& title, const std::string& description,
                                const std::string& url, const std::string& redirect) {
                             return addFound(title, description, url, redirect);
                         },
                         [] { ShowMessage(SearchMessages::NoKeywords); },
                         {}},
        this);
    connect(Search, &SearchRun::finished, this, [this] {
        SetBusy(false);
        emit RunFinished();
    });
    connect(Search, &SearchRun::progressChanged, this, &TO_autosearch::ShowProgress);

    LoadSources();
    SetBusy(false);
    PlaceControls();
}

void TO_autosearch::place(QWidget* control, const QRect& designed) {
    placed_.push_back({control, designed});
}

void TO_autosearch::applyColours() {
    applyingColours_ = true;
    // The frame around the panel is dark; the panel in the ordinary window colour (set
    // explicitly, or it would follow the frame's).
    const QPalette app = QApplication::palette();
    QPalette frame = palette();
    frame.setColor(QPalette::Window, app.color(QPalette::Dark));
    setPalette(frame);
    QPalette panel = app;
    panel.setColor(QPalette::Window, app.color(QPalette::Window));
    Panel1->setPalette(panel);
    // The log in the colours of a tooltip.
    QPalette tip = app;
    tip.setColor(QPalette::Base, app.color(QPalette::ToolTipBase));
    tip.setColor(QPalette::Text, app.color(QPalette::ToolTipText));
    Memo_log->setPalette(tip);
    Image1->setPixmap(FeedBanner(bannerScale_, panel));
    applyingColours_ = false;
}

void TO_autosearch::PlaceControls() {
    const FontGrowth growth = GrowthFor(placed_, Panel1, DesignedLineHeight);
    Panel1->setFixedSize(growth.Scaled(QRect(0, 0, PanelWidth, PanelHeight)).size());
    for (const PlacedControl& p : placed_)
        p.control->setGeometry(growth.Scaled(p.designed));
    const qreal banner = std::min(growth.across, growth.down);
    if (banner != bannerScale_) {
        bannerScale_ = banner;
        Image1->setPixmap(FeedBanner(bannerScale_, Panel1->palette()));
    }
    updateGeometry();
    FrameResize();
    // The progress line is cut to its new width.
    if (Search)
        ShowProgress();
}

QSize TO_autosearch::minimumSizeHint() const {
    // The panel is never cut by the window.
    return Panel1->size();
}

bool TO_autosearch::event(QEvent* event) {
    const bool handled = QWidget::event(event);
    // A new palette of the program reaches the frame as a change of its own (which applyColours
    // makes too).
    if (event->type() == QEvent::PaletteChange && !applyingColours_)
        applyColours();
    else if (event->type() == QEvent::FontChange)
        PlaceControls();
    return handled;
}

TO_autosearch::~TO_autosearch() = default;

UserSettings* TO_autosearch::Settings() const {
    return settings_ ? settings_() : nullptr;
}

void TO_autosearch::SetBusy(bool busy) {
    Busy = busy;
    for (QPushButton* b : {SB_add, SB_remove, SB_clear, SB_start})
        b->setEnabled(!busy);
    CB_source->setEnabled(!busy);
    SB_stop->setEnabled(busy);
    if (busy) {
        L_progress->show();
        PB_busy->show();
        Timer_progress->start();
    } else
        Timer_progress->stop();
    ShowProgress();
}

void TO_autosearch::ShowProgress() {
    const RunProgress progress =
        lastRunFeed_ ? Search->Progress() : (Run ? Run->Progress() : RunProgress());
    const QString line = ToQ(ProgressLine(progress));
    // A long keyword is cut short on the line and shown whole in its tip.
    L_progress->setText(
        L_progress->fontMetrics().elidedText(line, Qt::ElideRight, L_progress->width()));
    L_progress->setToolTip(line);
    PB_busy->setRange(0, std::max(progress.count, 1));
    PB_busy->setValue(progress.done);
}

void TO_autosearch::Log(const std::string& text) {
    Memo_log->appendPlainText(ToQ(text));
}

void TO_autosearch::LoadOftenUsedKeywords() {
    LB_kw->clear();
    UserSettings* settings = Settings();
    if (!settings)
        return;
    for (const std::string& k : settings->OftenUsedKeywords())
        LB_kw->addItem(ToQ(k));
}

void TO_autosearch::LoadSources() {
    UserSettings* settings = Settings();
    sources_ =
        settings ? ReadSources(settings->Store().Tree()) : std::vector<SearchSource>{FeedSource()};
    const QSignalBlocker quiet(CB_source);
    CB_source->clear();
    for (const SearchSource& source : sources_) {
        CB_source->addItem(ToQ(source.name));
        CB_source->setItemData(CB_source->count() - 1,
                               source.kind == SearchSource::Feed
                                   ? ToQ(source.name)
                                   : ToQ(SourceKindCaption(source.kind)) + ": " +
                                         ToQ(source.address),
                               Qt::ToolTipRole);
    }
    CB_source->setCurrentIndex(settings ? ChosenSourceIndex(sources_, settings->Store().Tree())
                                        : 0);
}

bool TO_autosearch::ChooseSource(const QString& name) {
    const SearchSource* source = FindSource(sources_, FromQ(name));
    if (!source)
        return false;
    CB_source->setCurrentIndex(static_cast<int>(source - sources_.data()));
    CB_sourceChange();
    return true;
}

SearchSource TO_autosearch::ChosenSource() const {
    const int at = CB_source->currentIndex();
    return at >= 0 && at < static_cast<int>(sources_.size()) ? sources_[static_cast<size_t>(at)]
                                                             : FeedSource();
}

void TO_autosearch::CB_sourceChange() {
    if (UserSettings* settings = Settings())
        SetChosenSourceName(settings->Store().Tree(), ChosenSource().name);
}

// ---------------------------------------------------------------- keyword list

void TO_autosearch::SB_addClick() {
    if (!SB_add->isEnabled())
        return;
    AddTypedKeywords(Edit_kw, LB_kw, LB_selected);
}

void TO_autosearch::SB_removeClick() {
    if (!SB_remove->isEnabled())
        return;
    RemoveSelectedKeyword(LB_selected);
}

void TO_autosearch::SB_clearClick() {
    if (SB_clear->isEnabled())
        ClearChosenKeywords(LB_selected);
}

void TO_autosearch::LB_kwDblClick() {
    TakeOftenUsedKeyword(LB_kw, Edit_kw);
}

void TO_autosearch::LB_kwKeyDown(QKeyEvent* key) {
    if (!IsEnter(key))
        return;
    LB_kwDblClick();
    Edit_kw->setFocus();
}

void TO_autosearch::Edit_kwKeyDown(QKeyEvent* key) {
    if (IsEnter(key))
        SB_addClick();
}

bool TO_autosearch::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (watched == Edit_kw && IsEnter(key)) {
            Edit_kwKeyDown(key);
            return true;
        }
        if (watched == LB_kw && IsEnter(key)) {
            LB_kwKeyDown(key);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

// ---------------------------------------------------------------- the run

void TO_autosearch::SB_startClick() {
    if (!SB_start->isEnabled())
        return;
    const SearchSource source = ChosenSource();
    if (source.kind != SearchSource::Feed) {
        startSourceRun(source);
        return;
    }
    lastRunFeed_ = true;
    SetBusy(true);
    std::vector<std::string> keywords;
    for (int i = 0; i < LB_selected->count(); ++i)
        keywords.push_back(FromQ(LB_selected->item(i)->text()));
    UserSettings* settings = Settings();
    Search->FeedHostText = settings ? settings->FeedHost() : std::string(AppInfo::DefaultFeedHost);
    Search->Start(keywords);
}

ProxyValues TO_autosearch::proxyForRequest() const {
    // May ask for the proxy login.
    UserSettings* current = Settings();
    return current ? current->ProxyForRequest() : ProxyValues{};
}

bool TO_autosearch::addFound(const std::string& title, const std::string& description,
                             const std::string& url, const std::string& redirect) const {
    return AddListing ? AddListing(title, description, url, redirect) : false;
}

void TO_autosearch::startSourceRun(const SearchSource& source) {
    lastRunFeed_ = false;
    std::vector<std::string> keywords;
    for (int i = 0; i < LB_selected->count(); ++i)
        keywords.push_back(FromQ(LB_selected->item(i)->text()));
    // Every run gets a run of its own source; the one before has ended.
    delete Run;
    Run = new SourceRun(
        source,
        SourceRun::Hooks{[this](const std::string& line) { Log(line); },
                         [this] { return proxyForRequest(); },
                         [this](const std::string& title, const std::string& description,
                                const std::string& url, const std::string& redirect) {
                             return addFound(title, description, url, redirect);
                         },
                         [] { ShowMessage(SearchMessages::NoKeywords); }},
        this);
    connect(Run, &SourceRun::finished, this, [this] {
        SetBusy(false);
        emit RunFinished();
    });
    connect(Run, &SourceRun::progressChanged, this, &TO_autosearch::ShowProgress);
    SetBusy(true);
    Run->Start(keywords);
}

bool TO_autosearch::Running() const {
    return Search->Running() || (Run && Run->Running());
}

void TO_autosearch::SB_stopClick() {
    SetBusy(false);
    Search->Stop();
    if (Run)
        Run->Stop();
}

void TO_autosearch::StopRun() {
    if (Running())
        SB_stopClick();
}

void TO_autosearch::SB_clear_historyClick() {
    Memo_log->clear();
}

void TO_autosearch::SB_how_toClick() {
    if (AskUser("Open explaining web-page online for details?"))
        QDesktopServices::openUrl(QUrl(HowToPage));
}

// ---------------------------------------------------------------- size

void TO_autosearch::FrameResize() {
    // Halves go to the even neighbour.
    const auto centre = [](int outer, int inner) {
        return static_cast<int>(std::nearbyint((outer - inner) / 2.0));
    };
    Panel1->move(centre(width(), Panel1->width()), centre(height(), Panel1->height()));
}

void TO_autosearch::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    FrameResize();
}
