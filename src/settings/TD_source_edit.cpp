#include "settings/TD_source_edit.h"

#include "dialogs/DialogUtil.h"
#include "dialogs/TDmsg.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
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
                               QWidget* parent)
    : QDialog(parent), check_(std::move(check)) {
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
    SE_pages = spinBox("SE_pages", 1, SearchSource::MaxPages, this);
    SE_parallel = spinBox("SE_parallel", 1, SearchSource::MaxParallel, this);
    SE_interval = spinBox("SE_interval", 0, SearchSource::MaxIntervalMs, this);
    SE_interval->setSingleStep(100);

    OKBtn = new QPushButton("OK", this);
    OKBtn->setObjectName("OKBtn");
    OKBtn->setDefault(true);
    CancelBtn = new QPushButton("Cancel", this);
    CancelBtn->setObjectName("CancelBtn");
    connect(OKBtn, &QPushButton::clicked, this, &TD_source_edit::OKBtnClick);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
    connect(CB_kind, &QComboBox::currentIndexChanged, this, &TD_source_edit::CB_kindChange);

    auto* grid = new QGridLayout();
    grid->setHorizontalSpacing(10);
    int row = 0;
    const auto field = [&](const QString& text, QWidget* w, bool wide) {
        auto* label = new QLabel(text, this);
        label->setBuddy(w);
        grid->addWidget(label, row, 0);
        if (wide)
            grid->addWidget(w, row, 1, 1, 2);
        else
            grid->addWidget(w, row, 1, Qt::AlignLeft);
        ++row;
    };
    field("Name:", Edit_name, true);
    field("Kind:", CB_kind, false);
    field("Address:", Edit_address, true);
    grid->addWidget(Label_hint, row++, 1, 1, 2);
    field("Pages per keyword:", SE_pages, false);
    field("Keywords in flight:", SE_parallel, false);
    field("Interval (ms):", SE_interval, false);
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
    Label_hint->setText("For example: " + example + "\n" +
                        (kind() == SearchSource::OpenSearch
                             ? "{searchTerms}: the keyword; {startPage?} or {startIndex?}: the page"
                             : "The server's own address; the search is asked at ADDRESS/search"));
}

void TD_source_edit::OKBtnClick() {
    const std::string why = check_ ? check_(Source()) : CheckSource(Source());
    if (!why.empty()) {
        ShowMessage(ToQ(why));
        return;
    }
    accept();
}
