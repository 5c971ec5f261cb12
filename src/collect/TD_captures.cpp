#include "collect/TD_captures.h"

#include "tree/LocalText.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPalette>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

QString utcText(const QDateTime& time) {
    return time.isValid() ? time.toUTC().toString("yyyy-MM-dd HH:mm:ss") + " UTC" : QString();
}

QTreeWidget* makeList(QWidget* parent, const char* name, const QStringList& headers) {
    auto* list = new QTreeWidget(parent);
    list->setObjectName(name);
    list->setColumnCount(int(headers.size()));
    list->setHeaderLabels(headers);
    list->setRootIsDecorated(false);
    list->setAllColumnsShowFocus(true);
    list->setUniformRowHeights(true);
    return list;
}

QHBoxLayout* buttonRow(const std::vector<QPushButton*>& buttons) {
    auto* row = new QHBoxLayout();
    row->addStretch();
    for (QPushButton* b : buttons)
        row->addWidget(b);
    return row;
}

} // namespace

TD_capture_details::TD_capture_details(const QString& address, std::vector<CaptureEntry> entries,
                                       std::vector<bool> present,
                                       std::function<void(const CaptureEntry&)> open,
                                       QWidget* parent)
    : QDialog(parent), entries_(std::move(entries)), present_(std::move(present)),
      open_(std::move(open)) {
    setObjectName("D_capture_details");
    setWindowTitle("Capture details");
    setSizeGripEnabled(true);
    resize(900, 420);

    Label1 = new QLabel(this);
    Label1->setObjectName("Label1");
    Label1->setTextFormat(Qt::PlainText);
    Label1->setWordWrap(true);
    Label1->setText(entries_.empty() ? "No capture was made of " + address + "."
                                     : "Captures of " + address + ", the newest first:");
    TV_captures = makeList(this, "TV_captures",
                           {"Time", "Outcome", "File", "Size", "SHA-256", "Address asked",
                            "Final address", "Title", "Reason"});
    for (const CaptureEntry& e : entries_) {
        auto* item = new QTreeWidgetItem(TV_captures);
        item->setText(0, utcText(e.time));
        item->setText(1, ToQ(CaptureOutcomeName(e.outcome)));
        item->setText(2, ToQ(e.file));
        item->setText(3, e.file.empty() ? QString() : QString::number(e.size));
        item->setText(4, ToQ(e.sha256));
        item->setText(5, ToQ(e.askedUrl));
        item->setText(6, ToQ(e.finalUrl));
        item->setText(7, ToQ(e.title));
        item->setText(8, ToQ(e.reason));
    }
    TV_captures->setColumnWidth(0, 160);
    TV_captures->setColumnWidth(4, 140);
    if (!entries_.empty())
        TV_captures->setCurrentItem(TV_captures->topLevelItem(0));
    TV_captures->setAccessibleName("Captures");
    TV_captures->setAccessibleDescription(Label1->text());

    btnOpen = new QPushButton("Open", this);
    btnOpen->setObjectName("btnOpen");
    btnClose = new QPushButton("Close", this);
    btnClose->setObjectName("btnClose");
    btnClose->setDefault(true);
    connect(btnClose, &QPushButton::clicked, this, &QDialog::accept);
    connect(btnOpen, &QPushButton::clicked, this, [this] {
        const int at = TV_captures->indexOfTopLevelItem(TV_captures->currentItem());
        if (at >= 0 && present_[size_t(at)] && open_)
            open_(entries_[size_t(at)]);
    });
    connect(TV_captures, &QTreeWidget::currentItemChanged, this, &TD_capture_details::updateOpen);
    updateOpen();

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addWidget(TV_captures, 1);
    layout->addLayout(buttonRow({btnOpen, btnClose}));
}

void TD_capture_details::updateOpen() {
    const int at = TV_captures->indexOfTopLevelItem(TV_captures->currentItem());
    btnOpen->setEnabled(at >= 0 && size_t(at) < present_.size() && present_[size_t(at)]);
}

TD_capture_verify::TD_capture_verify(const std::vector<CaptureCheck>& checks,
                                     const QString& summary, QWidget* parent)
    : QDialog(parent) {
    setObjectName("D_capture_verify");
    setWindowTitle("Verify captures");
    setSizeGripEnabled(true);
    resize(760, 420);

    TV_checks = makeList(this, "TV_checks", {"State", "File", "Address"});
    const QColor bad = QApplication::palette().color(QPalette::Base).lightness() < 128
                           ? QColor(255, 120, 120)
                           : QColor(190, 0, 0);
    for (const CaptureCheck& c : checks) {
        auto* item = new QTreeWidgetItem(TV_checks);
        item->setText(0, ToQ(CaptureStateName(c.state)));
        item->setText(1, ToQ(c.entry.file));
        item->setText(2, ToQ(c.entry.recordUrl.empty() ? c.entry.askedUrl : c.entry.recordUrl));
        if (c.state != CaptureState::Intact)
            for (int column = 0; column < 3; ++column)
                item->setForeground(column, bad);
    }
    TV_checks->setColumnWidth(0, 90);
    TV_checks->setColumnWidth(1, 130);
    TV_checks->setAccessibleName("Captures");
    L_summary = new QLabel(summary, this);
    L_summary->setObjectName("L_summary");
    L_summary->setTextFormat(Qt::PlainText);
    L_summary->setWordWrap(true);
    btnClose = new QPushButton("Close", this);
    btnClose->setObjectName("btnClose");
    btnClose->setDefault(true);
    connect(btnClose, &QPushButton::clicked, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(TV_checks, 1);
    layout->addWidget(L_summary);
    layout->addLayout(buttonRow({btnClose}));
}
