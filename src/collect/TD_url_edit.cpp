#include "collect/TD_url_edit.h"

#include "collect/Pictures.h"
#include "dialogs/DialogUtil.h"
#include "report/LinkState.h"
#include "report/RecordRows.h"
#include "tree/LineBreaks.h"
#include "tree/TQelPigger.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// The size the editor is designed in; a larger font makes it larger.
constexpr QSize DesignedSize(522, 361);

// A field's caption, read out as the field's name.
QLabel* boldLabel(const QString& text, QWidget* field, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    QFont f = label->font();
    f.setBold(true);
    label->setFont(f);
    label->setBuddy(field);
    return label;
}

} // namespace

TD_url_edit::TD_url_edit(QWidget* parent) : QDialog(parent) {
    setObjectName("D_url_edit");
    setWindowTitle("URL");
    UseFixedDialogBorder(this);

    auto* shape1 = new QFrame(this);
    shape1->setObjectName("Shape1");
    shape1->setFrameShape(QFrame::Box);
    shape1->setFixedSize(120, 120);
    Image1 = new QLabel(shape1);
    Image1->setObjectName("Image1");
    Image1->setPixmap(FoundPagePicture(110));
    Image1->setGeometry(5, 5, 110, 110);
    // The globe lies on the page's corner.
    Image2 = new QLabel(Image1);
    Image2->setObjectName("Image2");
    Image2->setPixmap(GlobeIcon(16));
    Image2->setGeometry(0, 0, 16, 16);

    Edit_url = new QLineEdit(this);
    Edit_url->setObjectName("Edit_url");
    Edit_title = new QLineEdit(this);
    Edit_title->setObjectName("Edit_title");
    Memo_dsc = new QPlainTextEdit(this);
    Memo_dsc->setObjectName("Memo_dsc");
    Memo_dsc->setMinimumSize(330, 120);
    Memo_dsc->setTabChangesFocus(true);

    btnOk = new QPushButton("Ok", this);
    btnOk->setObjectName("btnOk");
    btnOk->setDefault(true);
    btnCancel = new QPushButton("Cancel", this);
    btnCancel->setObjectName("btnCancel");
    connect(btnOk, &QPushButton::clicked, this, &TD_url_edit::btnOkClick);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* fields = new QVBoxLayout();
    fields->addWidget(boldLabel("URL:", Edit_url, this));
    fields->addWidget(Edit_url);
    fields->addSpacing(6);
    fields->addWidget(boldLabel("Title:", Edit_title, this));
    fields->addWidget(Edit_title);
    fields->addSpacing(6);
    fields->addWidget(boldLabel("Description:", Memo_dsc, this));
    fields->addWidget(Memo_dsc, 1);

    auto* left = new QVBoxLayout();
    left->addWidget(shape1);
    left->addStretch(1);

    auto* body = new QHBoxLayout();
    body->addLayout(left);
    body->addSpacing(12);
    body->addLayout(fields, 1);

    auto* bevel1 = new QFrame(this);
    bevel1->setObjectName("Bevel1");
    bevel1->setFrameShape(QFrame::HLine);
    bevel1->setFrameShadow(QFrame::Sunken);

    auto* buttons = new QHBoxLayout();
    buttons->addStretch(1);
    buttons->addWidget(btnOk);
    buttons->addWidget(btnCancel);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(14, 14, 14, 10);
    layout->addLayout(body, 1);
    layout->addWidget(bevel1);
    layout->addLayout(buttons);

    setTabOrder(Edit_url, Edit_title);
    setTabOrder(Edit_title, Memo_dsc);
    setTabOrder(Memo_dsc, btnOk);
    setTabOrder(btnOk, btnCancel);
    fitToFont();
}

void TD_url_edit::fitToFont() {
    // A fixed size, as designed, or as large as the controls need in a larger font.
    setFixedSize(DesignedSize.expandedTo(layout()->minimumSize()));
}

void TD_url_edit::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::FontChange && layout())
        fitToFont();
}

void TD_url_edit::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    Edit_title->setFocus();
}

bool TD_url_edit::Execute(TQelPigger* record) {
    record_ = record;
    Accepted = false;
    if (!record)
        return false;

    Edit_url->setText(ToQ(record->GetAttr(RecordFields::Url)));
    // A missing title or description is neither shown nor stored: its field stays disabled.
    const TQelPigger* title = record->FindChild(RecordFields::Title);
    Edit_title->setEnabled(title != nullptr);
    Edit_title->setText(title ? ToQ(title->Text) : QString());
    loadedTitle_ = Edit_title->text();
    const TQelPigger* dsc = record->FindChild(RecordFields::Description);
    Memo_dsc->setEnabled(dsc != nullptr);
    Memo_dsc->setPlainText(dsc ? WithLfBreaks(ToQ(dsc->Text)) : QString());
    loadedDescription_ = Memo_dsc->toPlainText();

    CenterOnScreen(this);
    exec();
    record_ = nullptr;
    if (!Accepted)
        return false;
    return true;
}

void TD_url_edit::btnOkClick() {
    Accepted = true;
    storeFields();
    accept();
}

void TD_url_edit::storeFields() {
    if (!record_)
        return;
    const std::string url(TrimBlanks(FromQ(Edit_url->text())));
    if (!url.empty())
        record_->SetAttr(RecordFields::Url, url);
    // Texts the user did not change keep their stored bytes.
    bool edited = false;
    if (TQelPigger* title = record_->FindChild(RecordFields::Title))
        if (Edit_title->text() != loadedTitle_) {
            title->Text = FromQ(Edit_title->text());
            edited = true;
        }
    if (TQelPigger* dsc = record_->FindChild(RecordFields::Description)) {
        const QString text = Memo_dsc->toPlainText();
        if (text != loadedDescription_) {
            dsc->Text = WithCrLfBreaks(FromQ(text));
            edited = true;
        } else {
            dsc->Text = WithCrLfBreaks(dsc->Text);
        }
    }
    // Filling in page details leaves the user's own texts alone from now on.
    if (edited)
        record_->SetAttr(LinkFields::Edited, "Y");
}

TD_url_edit* D_url_edit() {
    static TD_url_edit* instance = nullptr;
    if (!instance)
        instance = new TD_url_edit();
    return instance;
}
