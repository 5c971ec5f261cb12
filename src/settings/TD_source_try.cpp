#include "settings/TD_source_try.h"

#include "dialogs/DialogUtil.h"
#include "dialogs/TDmsg.h"
#include "search/SearchMessages.h"
#include "search/SourceRun.h"
#include "tree/TextCase.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

// Every widget pointer is set in the constructor body, before anything reads it.
// NOLINTNEXTLINE(cppcoreguidelines-pro-type-member-init)
TD_source_try::TD_source_try(const SearchSource& source, std::function<ProxyValues()> proxy,
                             QWidget* parent)
    : QDialog(parent), source_(source) {
    setObjectName("D_source_try");
    setWindowTitle("Try " + ToQ(source.name));

    Label_what = new QLabel(this);
    Label_what->setObjectName("Label_what");
    Label_what->setTextFormat(Qt::PlainText);
    Memo_log = new QPlainTextEdit(this);
    Memo_log->setObjectName("Memo_log");
    Memo_log->setReadOnly(true);
    Memo_log->setAccessibleName("Log");
    Memo_log->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo_log->setFixedHeight(Memo_log->fontMetrics().lineSpacing() * 6 + 12);
    LV_results = new QTreeWidget(this);
    LV_results->setObjectName("LV_results");
    LV_results->setHeaderLabels({"Title", "Address"});
    LV_results->setAccessibleName("Results");
    LV_results->setRootIsDecorated(false);
    LV_results->setUniformRowHeights(true);
    LV_results->setColumnWidth(0, qRound(280 * DesignedScale(LV_results->font())));
    LV_results->header()->setSectionResizeMode(1, QHeaderView::Stretch);
    LV_results->setTextElideMode(Qt::ElideMiddle);
    Label_count = new QLabel(this);
    Label_count->setObjectName("Label_count");
    CloseBtn = new QPushButton("&Cancel", this);
    CloseBtn->setObjectName("CloseBtn");
    CloseBtn->setDefault(true);
    connect(CloseBtn, &QPushButton::clicked, this, &TD_source_try::CloseBtnClick);

    auto* buttons = new QHBoxLayout();
    buttons->addWidget(Label_count, 1);
    buttons->addWidget(CloseBtn);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label_what);
    layout->addWidget(Memo_log);
    layout->addWidget(LV_results, 1);
    layout->addLayout(buttons);
    resize(QSize(720, 440) * DesignedScale(font()));

    Run = new SourceRun(
        source_,
        SourceRun::Hooks{[this](const std::string& line) { Memo_log->appendPlainText(ToQ(line)); },
                         std::move(proxy),
                         [this](const std::string& title, const std::string&,
                                const std::string& url,
                                const std::string&) { return addResult(title, url); },
                         [] { ShowMessage(SearchMessages::NoKeywords); }},
        this);
    connect(Run, &SourceRun::finished, this, &TD_source_try::runEnded);
}

TD_source_try::~TD_source_try() = default;

void TD_source_try::Start(const std::string& keyword) {
    Label_what->setText("\"" + ToQ(keyword) + "\" with " + ToQ(SourceKindCaption(source_.kind)) +
                        ": " + ToQ(source_.address));
    CloseBtn->setText("&Cancel");
    Run->Start({keyword});
}

bool TD_source_try::Running() const {
    return Run->Running();
}

bool TD_source_try::addResult(const std::string& title, const std::string& url) {
    const bool added = seen_.insert(CaseKey(url)).second;
    if (added) {
        auto* item = new QTreeWidgetItem(LV_results, {ToQ(title), ToQ(url)});
        item->setToolTip(0, item->text(0));
        item->setToolTip(1, item->text(1));
    }
    const int n = LV_results->topLevelItemCount();
    Label_count->setText(n == 1 ? QString("1 result") : QString("%1 results").arg(n));
    return added;
}

void TD_source_try::runEnded() {
    CloseBtn->setText("&Close");
    if (LV_results->topLevelItemCount() == 0)
        Label_count->setText("No results");
}

void TD_source_try::CloseBtnClick() {
    // The first press ends a run under way; what came back stays in view.
    if (Run->Running()) {
        Run->Stop();
        return;
    }
    accept();
}

void TD_source_try::reject() {
    if (Run->Running()) {
        Run->Stop();
        return;
    }
    QDialog::reject();
}
