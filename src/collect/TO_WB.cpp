#include "collect/TO_WB.h"

#include "collect/BrowserProfile.h"
#include "collect/FontGrowth.h"
#include "collect/TD_visited.h"
#include "collect/core/BrowserAddress.h"
#include "settings/core/AppInfo.h"
#include "tree/TQelPigger.h"

#include <QCheckBox>
#include <QDateTime>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>
#include <QWebEngineHistory>
#include <QWebEngineNewWindowRequest>
#include <QWebEnginePage>
#include <QWebEngineView>

#include <functional>

namespace {

QString toQ(const std::string& s) {
    return QString::fromStdString(s);
}

// The frame's page: tells when a frame inside it navigates, which changes no top-level
// location and so shows in no signal of the view.
class FramePage : public QWebEnginePage {
public:
    FramePage(QWebEngineProfile* profile, QObject* parent, std::function<void()> frameNavigated)
        : QWebEnginePage(profile, parent), frameNavigated_(std::move(frameNavigated)) {}

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override {
        if (!isMainFrame)
            frameNavigated_();
        return QWebEnginePage::acceptNavigationRequest(url, type, isMainFrame);
    }

private:
    std::function<void()> frameNavigated_;
};

} // namespace

TO_WB::TO_WB(UserSettingsSource settings, QWidget* parent)
    : QWidget(parent), settings_(std::move(settings)) {
    setObjectName("O_WB1");

    // The top bar: the label, the stretched address field, the two buttons.
    Panel1 = new QWidget(this);
    Panel1->setObjectName("Panel1");

    Panel_left = new QLabel("URL:", Panel1);
    Panel_left->setObjectName("Panel_left");
    Panel_left->setAlignment(Qt::AlignCenter);

    Panel_center = new QWidget(Panel1);
    Panel_center->setObjectName("Panel_center");
    Edit_url = new QLineEdit(Panel_center);
    Edit_url->setObjectName("Edit_url");
    // Named as its label (which is not beside it in the widget tree, where Qt looks for it).
    Edit_url->setAccessibleName("URL");
    Edit_url->installEventFilter(this);
    Panel_left->setBuddy(Edit_url);
    auto* center = new QHBoxLayout(Panel_center);
    center->setContentsMargins(0, 0, 0, 0);
    center->addWidget(Edit_url);

    Panel_right = new QWidget(Panel1);
    Panel_right->setObjectName("Panel_right");
    SB_go = new QPushButton("Go!", Panel_right);
    SB_go->setObjectName("SB_go");
    SB_add_to_found = new QPushButton("Add to list", Panel_right);
    SB_add_to_found->setObjectName("SB_add_to_found");
    connect(SB_go, &QPushButton::clicked, this, &TO_WB::SB_goClick);

    auto* bar = new QHBoxLayout(Panel1);
    bar->setContentsMargins(0, 0, 0, 0);
    bar->setSpacing(0);
    bar->addWidget(Panel_left);
    bar->addWidget(Panel_center, 1);
    bar->addWidget(Panel_right);

    // The keys of every browser, wherever the focus is on the page that shows the frame.
    const auto key = [this](const QList<QKeySequence>& keys, void (TO_WB::*command)()) {
        auto* shortcut = new QShortcut(this);
        shortcut->setKeys(keys);
        shortcut->setContext(Qt::WindowShortcut);
        connect(shortcut, &QShortcut::activated, this, command);
        return shortcut;
    };
    key({QKeySequence(Qt::Key_F5), QKeySequence(Qt::CTRL | Qt::Key_R)}, &TO_WB::RefreshPage);
    key({QKeySequence(Qt::ALT | Qt::Key_Left), QKeySequence(Qt::Key_Back)}, &TO_WB::goBack);
    key({QKeySequence(Qt::ALT | Qt::Key_Right), QKeySequence(Qt::Key_Forward)}, &TO_WB::goForward);
    key({QKeySequence(Qt::CTRL | Qt::Key_L)}, &TO_WB::selectAddress);
    // Only while a page loads: else the key is the page's (to close a picture, a menu, ...).
    stopKey_ = key({QKeySequence(Qt::Key_Escape)}, &TO_WB::StopNavigation);
    stopKey_->setEnabled(false);

    layout_ = new QVBoxLayout(this);
    layout_->setContentsMargins(0, 0, 0, 0);
    layout_->setSpacing(0);
    layout_->addWidget(Panel1);
    layout_->addStretch(1);
    buildCaptureBar();
    placeBar();
}

void TO_WB::placeBar() {
    // The bar as designed (41 high, the label 43 and the buttons' panel 144 wide), grown with
    // the font.
    const std::vector<PlacedControl> placed{{Panel_left, QRect(0, 0, 43, 41)},
                                            {SB_go, QRect(8, 10, 29, 22)},
                                            {SB_add_to_found, QRect(41, 10, 99, 22)}};
    const FontGrowth growth = GrowthFor(placed, Panel1, 16);
    Panel1->setFixedHeight(growth.Down(41));
    Panel_left->setFixedWidth(growth.Across(43));
    Panel_right->setFixedWidth(growth.Across(144));
    SB_go->setGeometry(growth.Scaled(placed[1].designed));
    SB_add_to_found->setGeometry(growth.Scaled(placed[2].designed));
}

void TO_WB::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        placeBar();
}

void TO_WB::buildCaptureBar() {
    Panel_capture = new QWidget(this);
    Panel_capture->setObjectName("Panel_capture");
    SB_add_and_capture = new QPushButton("Add and capture", Panel_capture);
    SB_add_and_capture->setObjectName("SB_add_and_capture");
    SB_add_and_capture->setToolTip("Add the page to the list and keep a copy of it as it is now");
    CB_record = new QCheckBox("Record visited pages", Panel_capture);
    CB_record->setObjectName("CB_record");
    CB_record->setToolTip("Keep a copy of every page loaded here, added to the list or not");
    L_recording = new QLabel("Recording", Panel_capture);
    L_recording->setObjectName("L_recording");
    L_recording->setStyleSheet(
        "QLabel { background: #d00000; color: white; font-weight: bold; padding: 2px 8px; "
        "border-radius: 3px; }");
    L_recording->hide();
    SB_visited = new QPushButton("Visited pages...", Panel_capture);
    SB_visited->setObjectName("SB_visited");
    connect(CB_record, &QCheckBox::toggled, this, &TO_WB::SetRecording);
    connect(SB_visited, &QPushButton::clicked, this, &TO_WB::SB_visitedClick);

    auto* bar = new QHBoxLayout(Panel_capture);
    bar->setContentsMargins(8, 4, 8, 4);
    bar->addWidget(SB_add_and_capture);
    bar->addSpacing(12);
    bar->addWidget(CB_record);
    bar->addWidget(L_recording);
    bar->addStretch(1);
    bar->addWidget(SB_visited);
    layout_->addWidget(Panel_capture);
}

void TO_WB::SetRecording(bool on) {
    // Only with a folder to record into (the user may be asked to save the report first).
    if (on && !recording_)
        on = Hooks.folder && !Hooks.folder(true).empty();
    recording_ = on;
    {
        const QSignalBlocker blocker(CB_record);
        CB_record->setChecked(on);
    }
    L_recording->setVisible(on);
}

void TO_WB::CaptureShown(const std::string& folder,
                         const std::function<void(const CaptureAttempt&)>& done) {
    auto* saver = new PageSaver(Browser()->page(), folder,
                                Hooks.options ? Hooks.options() : PageSaveOptions{}, this);
    connect(saver, &PageSaver::Finished, this, [saver, done](const CaptureAttempt& attempt) {
        saver->deleteLater();
        done(attempt);
    });
    saver->SaveShown();
}

void TO_WB::recordPage(bool loaded) {
    if (!recording_ || !loaded || !WebBrowser1)
        return;
    // The folder of the report of the moment: another report may have been opened since.
    const std::string folder = Hooks.folder ? Hooks.folder(false) : std::string();
    if (folder.empty())
        return SetRecording(false);
    CaptureShown(folder, [this, folder](const CaptureAttempt& attempt) {
        VisitedPage visit;
        visit.folder = folder;
        visit.time = QDateTime::currentDateTimeUtc();
        visit.url = attempt.finalUrl.empty() ? attempt.askedUrl : attempt.finalUrl;
        visit.title = attempt.title;
        std::string error;
        if (!RecordCapture(folder, nullptr, attempt, visit.time, &error))
            visit.failure = error;
        else if (attempt.saved)
            visit.file = attempt.pageFile;
        else
            visit.failure = attempt.failure;
        visits_.push_back(visit);
        emit PageRecorded();
    });
}

void TO_WB::SB_visitedClick() {
    TD_visited dialog(window());
    dialog.Execute(&visits_, [this](VisitedPage& visit) {
        return Hooks.addVisit ? Hooks.addVisit(visit) : false;
    });
}

TO_WB::~TO_WB() = default;

QWebEngineView* TO_WB::Browser() {
    if (WebBrowser1)
        return WebBrowser1;
    WebBrowser1 = new QWebEngineView(this);
    WebBrowser1->setObjectName("WebBrowser1");
    // A frame's navigation is handled once the engine has gone on with it.
    auto* page = new FramePage(BrowserProfile(), WebBrowser1, [this] {
        QMetaObject::invokeMethod(this, &TO_WB::WebBrowser1NavigateComplete2, Qt::QueuedConnection);
    });
    WebBrowser1->setPage(page);
    // Every change of the top-level location, also by a redirect or within the page.
    connect(WebBrowser1, &QWebEngineView::urlChanged, this, &TO_WB::WebBrowser1NavigateComplete2);
    connect(WebBrowser1, &QWebEngineView::loadFinished, this, &TO_WB::WebBrowser1NavigateComplete2);
    connect(page, &QWebEnginePage::newWindowRequested, this, &TO_WB::openPopUpHere);
    connect(WebBrowser1, &QWebEngineView::loadStarted, stopKey_,
            [this] { stopKey_->setEnabled(true); });
    connect(WebBrowser1, &QWebEngineView::loadFinished, stopKey_,
            [this] { stopKey_->setEnabled(false); });
    connect(WebBrowser1, &QWebEngineView::loadFinished, this, &TO_WB::recordPage);
    // The view takes the place of the stretch under the bar.
    delete layout_->takeAt(1);
    layout_->insertWidget(1, WebBrowser1, 1);
    return WebBrowser1;
}

void TO_WB::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    Browser();
}

std::string TO_WB::HomeAddress() const {
    UserSettings* settings = settings_ ? settings_() : nullptr;
    return ComposeHomeAddress(settings ? settings->HomeSearchPage() : std::string());
}

void TO_WB::ShowHomeAddress() {
    Edit_url->setText(toQ(HomeAddress()));
}

void TO_WB::GoHome() {
    ShowHomeAddress();
    SB_goClick();
}

bool TO_WB::NavigateBack() {
    if (!WebBrowser1)
        return false;
    if (WebBrowser1->history()->canGoBack()) {
        WebBrowser1->back();
        return true;
    }
    WebBrowser1->reload();
    return false;
}

bool TO_WB::NavigateForward() {
    if (!WebBrowser1 || !WebBrowser1->history()->canGoForward())
        return false;
    WebBrowser1->forward();
    return true;
}

void TO_WB::StopNavigation() {
    if (WebBrowser1)
        WebBrowser1->stop();
}

void TO_WB::RefreshPage() {
    if (WebBrowser1)
        WebBrowser1->reload();
}

void TO_WB::goBack() {
    NavigateBack();
}

void TO_WB::goForward() {
    NavigateForward();
}

void TO_WB::selectAddress() {
    Edit_url->setFocus(Qt::ShortcutFocusReason);
    Edit_url->selectAll();
}

std::string TO_WB::CurrentUrl() const {
    if (!WebBrowser1)
        return {};
    return WebBrowser1->url().toString(QUrl::FullyEncoded).toStdString();
}

void TO_WB::SB_goClick() {
    QWebEngineView* view = Browser();
    const QString wanted = Edit_url->text();
    if (GoReloads(CurrentUrl(), wanted.toStdString())) {
        view->reload();
        return;
    }
    const std::string typed = wanted.toStdString();
    if (TrimBlanks(typed).empty())
        return;
    if (!LooksLikeAddress(typed)) {
        // Words: searched for with the home search page.
        view->load(QUrl(toQ(SearchAddress(HomeAddress(), typed)), QUrl::StrictMode));
        return;
    }
    // An address without a scheme is taken as the browser's address bar would take it.
    const QUrl address = QUrl::fromUserInput(wanted);
    if (address.isValid())
        view->load(address);
}

bool TO_WB::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Edit_url && event->type() == QEvent::KeyPress)
        return Edit_urlKeyDown(static_cast<QKeyEvent*>(event));
    return QWidget::eventFilter(watched, event);
}

bool TO_WB::Edit_urlKeyDown(QKeyEvent* key) {
    if (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter)
        return false;
    SB_goClick();
    return true;
}

void TO_WB::WebBrowser1NavigateComplete2() {
    const std::string location = CurrentUrl();
    if (ReloadsAfterHome(Edit_url->text().toStdString(), location, HomeAddress()))
        WebBrowser1->reload();
    Edit_url->setText(toQ(location));
}

void TO_WB::openPopUpHere(QWebEngineNewWindowRequest& request) {
    // The frame has one view: a page that asks for a window of its own opens here instead.
    WebBrowser1->load(request.requestedUrl());
}
