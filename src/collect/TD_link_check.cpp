#include "collect/TD_link_check.h"

#include "dialogs/DialogUtil.h"
#include "links/CheckMessages.h"
#include "report/ReportLayout.h"
#include "tree/TQelPigger.h"

#include <QDateTime>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

TD_link_check::TD_link_check(UserSettingsSource settings, QWidget* parent)
    : QDialog(parent), settings_(std::move(settings)) {
    setObjectName("D_link_check");
    setWindowTitle("Check links");
    setModal(true);
    setMinimumWidth(460);

    PB_progress = new QProgressBar(this);
    PB_progress->setObjectName("PB_progress");
    PB_progress->setAccessibleName("Addresses done");
    PB_progress->setTextVisible(true);
    L_counts = new QLabel(this);
    L_counts->setObjectName("L_counts");
    L_address = new QLabel(this);
    L_address->setObjectName("L_address");
    L_address->setTextFormat(Qt::PlainText);
    // A long address must not widen the window: it is cut at the label's end.
    L_address->setMinimumWidth(1);
    L_address->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    btnStop = new QPushButton("Stop", this);
    btnStop->setObjectName("btnStop");
    btnStop->setDefault(true);
    connect(btnStop, &QPushButton::clicked, this, &TD_link_check::btnStopClick);

    auto* buttons = new QHBoxLayout();
    buttons->addStretch(1);
    buttons->addWidget(btnStop);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(14, 14, 14, 10);
    layout->addWidget(PB_progress);
    layout->addWidget(L_counts);
    layout->addWidget(L_address);
    layout->addSpacing(6);
    layout->addLayout(buttons);
}

TD_link_check::~TD_link_check() = default;

QString TD_link_check::CountText(const LinkCheckRun::Counts& c) {
    return QString::fromStdString(CheckCountLine(c));
}

bool TD_link_check::Execute(TQelPigger* urls, const std::vector<TQelPigger*>& records, bool details,
                            DetailsScope scope) {
    urls_ = urls;
    details_ = details;
    setWindowTitle(details ? "Fill in titles and descriptions" : "Check links");
    scope_ = scope;
    changed_ = false;
    serials_.clear();
    addresses_.clear();
    for (TQelPigger* record : records) {
        serials_.push_back(record->Serial());
        addresses_.push_back(record->GetAttr(RecordFields::Url));
    }
    LinkCheckRun::Options options = Options;
    options.details = details;
    options.proxy = [source = settings_] {
        // May ask for the proxy login.
        UserSettings* settings = source ? source() : nullptr;
        return settings ? settings->ProxyForRequest() : ProxyValues{};
    };
    run_ = std::make_unique<LinkCheckRun>(addresses_, std::move(options));
    connect(run_.get(), &LinkCheckRun::checked, this, &TD_link_check::entered);
    connect(run_.get(), &LinkCheckRun::progressChanged, this, &TD_link_check::showProgress);
    connect(run_.get(), &LinkCheckRun::finished, this, &TD_link_check::ended);

    btnStop->setText("Stop");
    L_address->clear();
    PB_progress->setRange(0, std::max<int>(1, static_cast<int>(addresses_.size())));
    PB_progress->setValue(0);
    showProgress();
    CenterOnScreen(this);
    // Started from the window's own event loop, so that a run that ends at once is seen there.
    QMetaObject::invokeMethod(
        this, [this] { run_->Start(); }, Qt::QueuedConnection);
    exec();
    // The run's threads end before the records may change again.
    run_.reset();
    urls_ = nullptr;
    return changed_;
}

void TD_link_check::entered(int index, const ProbeResult& result) {
    if (index < 0 || static_cast<size_t>(index) >= serials_.size())
        return;
    L_address->setText(ToQ(addresses_[static_cast<size_t>(index)]));
    TQelPigger* record =
        urls_ ? urls_->FindChildBySerial(serials_[static_cast<size_t>(index)]) : nullptr;
    if (!record)
        return;
    if (EnterProbeResult(record, result, QDateTime::currentDateTimeUtc(), details_, scope_)) {
        changed_ = true;
        emit RecordChanged();
    }
}

void TD_link_check::showProgress() {
    const LinkCheckRun::Counts counts =
        run_ ? run_->Progress() : LinkCheckRun::Counts{static_cast<int>(addresses_.size())};
    PB_progress->setValue(std::min(counts.done, PB_progress->maximum()));
    L_counts->setText(CountText(counts));
}

void TD_link_check::ended() {
    showProgress();
    if (run_ && run_->Stopped())
        L_address->setText("Stopped.");
    else
        PB_progress->setValue(PB_progress->maximum());
    btnStop->setText("Close");
}

void TD_link_check::btnStopClick() {
    if (btnStop->text() == "Close" || !run_ || !run_->Running()) {
        accept();
        return;
    }
    run_->Stop();
    // Stopped at once, also when the run tells its end only later.
    showProgress();
    L_address->setText("Stopped.");
    btnStop->setText("Close");
}

void TD_link_check::reject() {
    if (run_ && run_->Running())
        run_->Stop();
    QDialog::reject();
}
