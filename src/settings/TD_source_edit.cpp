#include "settings/TD_source_edit.h"

#include "dialogs/DialogUtil.h"
#include "dialogs/TDmsg.h"
#include "search/SourceDiscovery.h"
#include "settings/core/SourceList.h"

#include <QApplication>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

// The kinds the user may choose, in the order the list shows them.
constexpr SearchSource::Kind kKinds[] = {SearchSource::OpenSearch, SearchSource::Searx};

QSpinBox* spinBox(const char* name, int low, int high, QWidget* parent) {
    auto* box = new QSpinBox(parent);
    box->setObjectName(name);
    box->setRange(low, high);
    box->setAccelerated(true);
    return box;
}

} // namespace

// Every widget pointer is set in the constructor body, before anything reads it.
// NOLINTNEXTLINE(cppcoreguidelines-pro-type-member-init)
TD_source_edit::TD_source_edit(const QString& caption, const SearchSource& source, Checker check,
                               std::function<ProxyValues()> proxy, QWidget* parent)
    : QDialog(parent), check_(std::move(check)), proxy_(std::move(proxy)) {
    setObjectName("D_source_edit");
    setWindowTitle(caption);
    UseFixedDialogBorder(this);

    Edit_name = new QLineEdit(this);
    Edit_name->setObjectName("Edit_name");
    CB_kind = new QComboBox(this);
    CB_kind->setObjectName("CB_kind");
    for (SearchSource::Kind k : kKinds)
        CB_kind->addItem(ToQ(SourceKindCaption(k)), static_cast<int>(k));
    Edit_address = new QLineEdit(this);
    Edit_address->setObjectName("Edit_address");
    Edit_address->setMinimumWidth(Edit_address->fontMetrics().horizontalAdvance(QString(64, 'n')));
    Label_hint = new QLabel(this);
    Label_hint->setObjectName("Label_hint");
    Label_hint->setTextFormat(Qt::PlainText);
    Label_hint->setForegroundRole(QPalette::PlaceholderText);
    SB_find = new QPushButton("&Find...", this);
    SB_find->setObjectName("SB_find");
    SB_find->setAutoDefault(false);
    SB_find->setToolTip("Make the source from a web page, an OpenSearch description or a "
                        "description file");
    connect(SB_find, &QPushButton::clicked, this, &TD_source_edit::SB_findClick);
    SE_pages = spinBox("SE_pages", 1, SearchSource::MaxPages, this);
    SE_parallel = spinBox("SE_parallel", 1, SearchSource::MaxParallel, this);
    SE_interval = spinBox("SE_interval", 0, SearchSource::MaxIntervalMs, this);
    SE_interval->setSingleStep(100);

    OKBtn = new QPushButton("&OK", this);
    OKBtn->setObjectName("OKBtn");
    OKBtn->setDefault(true);
    CancelBtn = new QPushButton("&Cancel", this);
    CancelBtn->setObjectName("CancelBtn");
    connect(OKBtn, &QPushButton::clicked, this, &TD_source_edit::OKBtnClick);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
    connect(CB_kind, &QComboBox::currentIndexChanged, this, &TD_source_edit::CB_kindChange);

    auto* grid = new QGridLayout();
    grid->setHorizontalSpacing(10);
    int row = 0;
    // A field of the whole width, of its own width at the left, or beside a button.
    enum Width { Whole, Own, BesideButton };
    const auto field = [&](const QString& text, QWidget* w, Width width) {
        auto* label = new QLabel(text, this);
        label->setBuddy(w);
        grid->addWidget(label, row, 0);
        if (width == Whole)
            grid->addWidget(w, row, 1, 1, 2);
        else if (width == Own)
            grid->addWidget(w, row, 1, Qt::AlignLeft);
        else
            grid->addWidget(w, row, 1);
        ++row;
    };
    field("&Name:", Edit_name, Whole);
    field("&Kind:", CB_kind, Own);
    field("&Address:", Edit_address, BesideButton);
    grid->addWidget(SB_find, row - 1, 2);
    grid->addWidget(Label_hint, row++, 1, 1, 2);
    field("&Pages per keyword:", SE_pages, Own);
    field("Keywords in f&light:", SE_parallel, Own);
    field("&Interval (ms):", SE_interval, Own);
    SE_interval->setToolTip("The least time between two requests to the same server");
    grid->setColumnStretch(1, 1);

    auto* buttons = new QHBoxLayout();
    buttons->addStretch(1);
    buttons->addWidget(OKBtn);
    buttons->addWidget(CancelBtn);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addSpacing(6);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    ShowSource(source);
}

QString TD_source_edit::AddressExample(SearchSource::Kind kind) {
    switch (kind) {
    case SearchSource::OpenSearch:
        return "https://example.org/search?q={searchTerms}&page={startPage?}";
    case SearchSource::Searx:
        return "http://127.0.0.1:8888";
    case SearchSource::Feed:
        break;
    }
    return {};
}

SearchSource::Kind TD_source_edit::kind() const {
    return static_cast<SearchSource::Kind>(CB_kind->currentData().toInt());
}

void TD_source_edit::ShowSource(const SearchSource& source) {
    Edit_name->setText(ToQ(source.name));
    const int at = CB_kind->findData(static_cast<int>(source.kind));
    CB_kind->setCurrentIndex(at >= 0 ? at : 0);
    Edit_address->setText(ToQ(source.address));
    SE_pages->setValue(source.pages);
    SE_parallel->setValue(source.parallel);
    SE_interval->setValue(source.intervalMs);
    indexOffset_ = source.indexOffset;
    pageOffset_ = source.pageOffset;
    CB_kindChange();
}

SearchSource TD_source_edit::Source() const {
    SearchSource s;
    s.name = FromQ(Edit_name->text().trimmed());
    s.kind = kind();
    s.address = FromQ(Edit_address->text().trimmed());
    s.pages = SE_pages->value();
    s.parallel = SE_parallel->value();
    s.intervalMs = SE_interval->value();
    s.indexOffset = indexOffset_;
    s.pageOffset = pageOffset_;
    return s;
}

void TD_source_edit::CB_kindChange() {
    const QString example = AddressExample(kind());
    Edit_address->setPlaceholderText(example);
    SB_find->setEnabled(kind() == SearchSource::OpenSearch);
    Label_hint->setText("For example: " + example + "\n" +
                        (kind() == SearchSource::OpenSearch
                             ? "{searchTerms}: the keyword; {startPage?} or {startIndex?}: the page"
                             : "The server's own address; the search is asked at ADDRESS/search"));
}

void TD_source_edit::SB_findClick() {
    if (kind() != SearchSource::OpenSearch)
        return;
    // An address that is no template may well be the page to look at.
    const QString typed = Edit_address->text().trimmed();
    bool ok = false;
    const QString given =
        QInputDialog::getText(this, "Find OpenSearch source",
                              "Address of a web page or of its OpenSearch description, or the "
                              "name of a description file:",
                              QLineEdit::Normal, typed.contains('{') ? QString() : typed, &ok)
            .trimmed();
    if (!ok || given.isEmpty())
        return;
    const ProxyValues proxy = proxy_ ? proxy_() : ProxyValues{};
    DiscoveredSources found;
    std::string error;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool discovered = DiscoverOpenSearch(FromQ(given), proxy, FindTimeoutMs, found, error);
    QApplication::restoreOverrideCursor();
    if (!discovered || found.sources.empty()) {
        ShowMessage(ToQ(error));
        return;
    }
    int chosen = PreferredDiscoveredSource(found.sources);
    if (found.sources.size() > 1) {
        QStringList offered;
        for (const SearchSource& s : found.sources)
            offered << ToQ(s.name) + " - " + ToQ(s.address);
        const QString pick = QInputDialog::getItem(
            this, "Find OpenSearch source",
            "The description offers several result formats; search with:", offered, chosen, false,
            &ok);
        if (!ok)
            return;
        chosen = static_cast<int>(offered.indexOf(pick));
    }
    const SearchSource& source = found.sources[static_cast<size_t>(chosen)];
    Edit_name->setText(ToQ(source.name));
    Edit_address->setText(ToQ(source.address));
    indexOffset_ = source.indexOffset;
    pageOffset_ = source.pageOffset;
}

void TD_source_edit::OKBtnClick() {
    const std::string why = check_ ? check_(Source()) : CheckSource(Source());
    if (!why.empty()) {
        ShowMessage(ToQ(why));
        return;
    }
    accept();
}
