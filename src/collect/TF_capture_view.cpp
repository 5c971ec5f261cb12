#include "collect/TF_capture_view.h"

#include "capture/CaptureManifest.h"

#include <QFile>
#include <QLabel>
#include <QVBoxLayout>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <QWebEngineView>

namespace {

// Loads the capture and nothing else: a link, a form or a refresh inside it goes nowhere, and
// no window is opened for it.
class CapturePage : public QWebEnginePage {
public:
    CapturePage(QWebEngineProfile* profile, const QUrl& capture, QObject* parent)
        : QWebEnginePage(profile, parent), capture_(capture) {}

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override {
        if (!isMainFrame)
            return true; // the frames the capture holds
        return url == capture_ && type != NavigationTypeLinkClicked &&
               type != NavigationTypeFormSubmitted;
    }
    QWebEnginePage* createWindow(WebWindowType) override { return nullptr; }

private:
    QUrl capture_;
};

} // namespace

TF_capture_view::TF_capture_view(const QString& fileName, const QString& address,
                                 const QDateTime& when, const QString& sha256, QWidget* parent)
    : QWidget(parent, Qt::Window), fileName_(fileName) {
    setObjectName("TF_capture_view");
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle("Capture of " + address);
    resize(1000, 720);

    L_banner = new QLabel(this);
    L_banner->setObjectName("L_banner");
    L_banner->setTextFormat(Qt::PlainText);
    L_banner->setWordWrap(true);
    L_banner->setText("Capture of " + address + ", saved " +
                      when.toUTC().toString("yyyy-MM-dd HH:mm:ss") + " (UTC)");
    QFont bold = L_banner->font();
    bold.setBold(true);
    L_banner->setFont(bold);
    L_hash = new QLabel("SHA-256: " + sha256, this);
    L_hash->setObjectName("L_hash");
    L_hash->setTextFormat(Qt::PlainText);
    L_hash->setTextInteractionFlags(Qt::TextSelectableByMouse);
    L_changed = new QLabel("This file was changed after it was saved.", this);
    L_changed->setObjectName("L_changed");
    // The warning's red on a light ground of its own, readable on any palette.
    L_changed->setStyleSheet("color: red; background: white; font-weight: bold; padding: 1px 4px;");
    L_changed->setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Preferred);
    const std::optional<std::string> now = FileSha256(QFile::encodeName(fileName).toStdString());
    changed_ = !now || QString::fromStdString(*now) != sha256;
    L_changed->setVisible(changed_);

    auto* banner = new QWidget(this);
    banner->setObjectName("Banner");
    banner->setAutoFillBackground(true);
    banner->setBackgroundRole(QPalette::ToolTipBase);
    auto* lines = new QVBoxLayout(banner);
    lines->addWidget(L_banner);
    lines->addWidget(L_hash);
    lines->addWidget(L_changed);

    profile_ = new QWebEngineProfile(this);
    WV_page = new QWebEngineView(this);
    WV_page->setObjectName("WV_page");
    WV_page->setAccessibleName(windowTitle());
    const QUrl url = QUrl::fromLocalFile(fileName);
    auto* page = new CapturePage(profile_, url, WV_page);
    page->settings()->setAttribute(QWebEngineSettings::JavascriptEnabled, false);
    page->settings()->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, false);
    page->settings()->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, false);
    page->settings()->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, false);
    page->settings()->setAttribute(QWebEngineSettings::PluginsEnabled, false);
    WV_page->setPage(page);
    WV_page->setContextMenuPolicy(Qt::NoContextMenu);

    auto* box = new QVBoxLayout(this);
    box->setContentsMargins(0, 0, 0, 0);
    box->setSpacing(0);
    box->addWidget(banner);
    box->addWidget(WV_page, 1);
    page->load(url);
}

TF_capture_view::~TF_capture_view() {
    // The page goes before the profile it was made on.
    delete WV_page;
}
