#include "filter/TF_lr_filter.h"

#include "dialogs/DialogUtil.h"
#include "dialogs/TDmsg.h"
#include "dialogs/TFsure.h"
#include "filter/TFLCEdit.h"
#include "filter/TOadvCloud.h"
#include "filter/core/ConditionTemplates.h"
#include "filter/diagram/ConditionsFile.h"
#include "tree/LocalText.h"
#include "tree/TQelPigger.h"
#include "tree/TreeFile.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontInfo>
#include <QFontMetrics>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// The settings key of the folder that the conditions file dialogs start in.
constexpr const char* kConditionsFolder = "CONDITIONS_FOLDER";
constexpr const char* kConditionsFilter = "Quarrylog conditions (*.qrc)";

QLabel* boldLabel(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    QFont f = label->font();
    f.setBold(true);
    label->setFont(f);
    return label;
}

QFrame* panel(const char* name, QWidget* parent) {
    auto* p = new QFrame(parent);
    p->setObjectName(name);
    p->setFrameStyle(QFrame::NoFrame);
    return p;
}

} // namespace

TF_lr_filter::TF_lr_filter(QWidget* parent) : QDialog(parent) {
    setObjectName("F_lr_filter");
    setWindowTitle("Filter");
    setFont(DialogFont());

    // ---- right panel: the buttons and the state box
    Panel_right = panel("Panel_right", this);
    auto* right = new QVBoxLayout(Panel_right);
    right->setContentsMargins(4, 8, 4, 4);
    auto button = [this](const char* name, const QString& caption) {
        auto* b = new QPushButton(caption, Panel_right);
        b->setObjectName(name);
        b->setAutoDefault(false);
        return b;
    };
    btnApply = button("btnApply", "Filter &on");
    btn_no_filter = button("btn_no_filter", "Filter o&ff");
    btn_close = button("btn_close", "&Cancel");
    btn_close->hide();
    btnSaveConditions = button("btnSaveConditions", "&Save conditions...");
    btnLoadConditions = button("btnLoadConditions", "&Load conditions...");
    right->addWidget(btnApply);
    right->addWidget(btn_no_filter);
    right->addWidget(btn_close);
    right->addSpacing(16);
    right->addWidget(btnSaveConditions);
    right->addWidget(btnLoadConditions);
    right->addStretch(1);

    Panel1 = panel("Panel1", Panel_right);
    Shape2 = new QFrame(Panel1);
    Shape2->setObjectName("Shape2");
    Shape2->setAutoFillBackground(true);
    QPalette shadow = Shape2->palette();
    shadow.setColor(QPalette::Window, QColor(0x80, 0x80, 0x80));
    Shape2->setPalette(shadow);
    Shape1 = new QFrame(Panel1);
    Shape1->setObjectName("Shape1");
    Shape1->setFrameStyle(QFrame::Box | QFrame::Plain);
    Shape1->setAutoFillBackground(true);
    QPalette white = Shape1->palette();
    white.setColor(QPalette::Window, Qt::white);
    white.setColor(QPalette::WindowText, Qt::black);
    Shape1->setPalette(white);
    // The box is white whatever the palette, so its captions are dark on it.
    Label3 = new QLabel("Current state:", Panel1);
    Label3->setObjectName("Label3");
    Label3->setPalette(white);
    Label_onoff = new QLabel("Off", Panel1);
    Label_onoff->setObjectName("Label_onoff");
    right->addWidget(Panel1);

    // ---- main panel: the pages above the diagram
    Panel_main = panel("Panel_main", this);
    auto* mainColumn = new QVBoxLayout(Panel_main);
    mainColumn->setContentsMargins(0, 0, 0, 0);
    mainColumn->setSpacing(0);
    Panel_top = panel("Panel_top", Panel_main);
    auto* top = new QHBoxLayout(Panel_top);
    top->setContentsMargins(4, 4, 4, 2);
    PageControl1 = new QTabWidget(Panel_top);
    PageControl1->setObjectName("PageControl1");
    // Every page's tab stays in view: the window grows with the font rather than scroll them.
    PageControl1->setUsesScrollButtons(false);
    TabSheet_kw = new QWidget();
    TabSheet_kw->setObjectName("TabSheet_kw");
    auto* kwRow = new QHBoxLayout(TabSheet_kw);
    kwRow->setContentsMargins(6, 4, 6, 4);
    Label1 = boldLabel("Keyword:", TabSheet_kw);
    Label1->setObjectName("Label1");
    Edit_kw = new QLineEdit(TabSheet_kw);
    Edit_kw->setObjectName("Edit_kw");
    Edit_kw->installEventFilter(this);
    Label1->setBuddy(Edit_kw);
    kwRow->addWidget(Label1);
    kwRow->addWidget(Edit_kw, 1);
    PageControl1->addTab(TabSheet_kw, "Keyword condition");
    top->addWidget(PageControl1, 1);

    Panel4 = panel("Panel4", Panel_top);
    auto* addRemove = new QVBoxLayout(Panel4);
    addRemove->setContentsMargins(2, 18, 0, 0);
    addRemove->setSpacing(2);
    auto flat = [this](const char* name, const QString& caption, const QString& icon) {
        auto* b = new QToolButton(Panel4);
        b->setObjectName(name);
        b->setText(caption);
        b->setIcon(QIcon::fromTheme(icon));
        b->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        b->setAutoRaise(true);
        b->setMinimumWidth(76);
        return b;
    };
    SB_add_condition = flat("SB_add_condition", "&Add", "list-add");
    SB_del_cond = flat("SB_del_cond", "&Remove", "list-remove");
    addRemove->addWidget(SB_add_condition);
    addRemove->addWidget(SB_del_cond);
    addRemove->addStretch(1);
    top->addWidget(Panel4);
    mainColumn->addWidget(Panel_top);

    OClouds1 = new TOadvCloud(Panel_main);
    mainColumn->addWidget(OClouds1, 1);

    auto* whole = new QHBoxLayout(this);
    whole->setContentsMargins(0, 0, 0, 0);
    whole->setSpacing(0);
    whole->addWidget(Panel_main, 1);
    whole->addWidget(Panel_right);

    SaveConditionsDialog = new QFileDialog(this, "Save conditions");
    SaveConditionsDialog->setObjectName("SaveConditionsDialog");
    SaveConditionsDialog->setAcceptMode(QFileDialog::AcceptSave);
    SaveConditionsDialog->setFileMode(QFileDialog::AnyFile);
    SaveConditionsDialog->setDefaultSuffix("qrc");
    OpenConditionsDialog = new QFileDialog(this, "Load conditions");
    OpenConditionsDialog->setObjectName("OpenConditionsDialog");
    OpenConditionsDialog->setAcceptMode(QFileDialog::AcceptOpen);
    OpenConditionsDialog->setFileMode(QFileDialog::ExistingFile);
    for (QFileDialog* d : {SaveConditionsDialog, OpenConditionsDialog}) {
        d->setNameFilter(kConditionsFilter);
        d->setViewMode(QFileDialog::Detail);
        // Replacing a file is asked through the program's own question.
        d->setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::DontConfirmOverwrite);
        d->resize(760, 480);
    }

    connect(btnApply, &QPushButton::clicked, this, &TF_lr_filter::btnApplyClick);
    connect(btn_no_filter, &QPushButton::clicked, this, &TF_lr_filter::btn_no_filterClick);
    connect(btn_close, &QPushButton::clicked, this, &TF_lr_filter::btn_closeClick);
    connect(btnSaveConditions, &QPushButton::clicked, this, &TF_lr_filter::btnSaveConditionsClick);
    connect(btnLoadConditions, &QPushButton::clicked, this, &TF_lr_filter::btnLoadConditionsClick);
    connect(SB_add_condition, &QToolButton::clicked, this, [this] { AddCondition(); });
    connect(SB_del_cond, &QToolButton::clicked, this, &TF_lr_filter::SB_del_condClick);
    connect(PageControl1, &QTabWidget::currentChanged, this, &TF_lr_filter::CallActionsEnabling);
    connect(Edit_kw, &QLineEdit::textChanged, this, &TF_lr_filter::CallActionsEnabling);

    arrangeForFont();
    built_ = true;
    resize(593, 375);
    layout()->activate();
    CenterOnScreen(this);
    FormCreate();
}

TF_lr_filter::~TF_lr_filter() {
    // The diagram goes before this body's fields; it must not call back into them.
    OClouds1->SetOnSelect(nullptr);
    OClouds1->SetOnEdit(nullptr);
}

QFont TF_lr_filter::DialogFont() {
    QFont f = QApplication::font();
    const qreal points =
        f.pointSizeF() > 0 ? f.pointSizeF() : QFontInfo(f).pixelSize() * 72.0 / 96.0;
    f.setPixelSize(std::max(11, qRound(11 * points / 9)));
    return f;
}

void TF_lr_filter::arrangeForFont() {
    const QFont f = DialogFont();
    setFont(f);
    // The bold captions and the state are fonts of their own: they follow the size.
    for (QLabel* label : findChildren<QLabel*>()) {
        if (label == Label_onoff || !label->font().bold())
            continue;
        QFont bold = f;
        bold.setBold(true);
        label->setFont(bold);
    }
    QFont big = f;
    big.setBold(true);
    big.setPixelSize(std::max(16, qRound(16 * f.pixelSize() / 11.0)));
    Label_onoff->setFont(big);

    // The state box: 79 x 58 at the designed font, as large as its captions need.
    const QFontMetrics metrics(f);
    const int boxWidth = std::max({79, metrics.horizontalAdvance("Current state:") + 12,
                                   QFontMetrics(big).horizontalAdvance("Off") + 12});
    const int captionHeight = std::max(16, metrics.height() + 2);
    const int stateY = 6 + captionHeight + 4;
    const int stateHeight = std::max(24, QFontMetrics(big).height() + 4);
    const int boxHeight = stateY + stateHeight + 8;
    Panel1->setFixedSize(boxWidth + 8, boxHeight + 8);
    Shape2->setGeometry(6, 6, boxWidth, boxHeight);
    Shape1->setGeometry(2, 2, boxWidth, boxHeight);
    Label3->setGeometry(7, 6, boxWidth - 6, captionHeight);
    Label_onoff->setGeometry(7, stateY, boxWidth - 6, stateHeight);
    fitRightPanel();

    // 76 pixels wide, or as wide as their captions need.
    for (QToolButton* b : {SB_add_condition, SB_del_cond}) {
        b->setMinimumWidth(76);
        b->setMinimumWidth(std::max(76, b->sizeHint().width()));
    }
    // 71 pixels at the designed font, or what the pages and the buttons beside them need.
    Panel_top->setFixedHeight(
        std::max({71, PageControl1->sizeHint().height() + 10, Panel4->sizeHint().height() + 6}));
    // The window's layout keeps it at least as large as this needs.
}

bool TF_lr_filter::event(QEvent* event) {
    const bool done = QDialog::event(event);
    if (event->type() == QEvent::ApplicationFontChange && built_)
        arrangeForFont();
    return done;
}

void TF_lr_filter::fitRightPanel() {
    // 95 pixels wide, or as wide as the captions need in the system's font.
    int rightWidth = 95;
    for (QWidget* w : std::initializer_list<QWidget*>{btnApply, btn_no_filter, btnSaveConditions,
                                                      btnLoadConditions, Panel1}) {
        w->ensurePolished();
        rightWidth = std::max(rightWidth, w->sizeHint().width() + 8);
    }
    Panel_right->setFixedWidth(rightWidth);
}

void TF_lr_filter::showEvent(QShowEvent* event) {
    fitRightPanel();
    QDialog::showEvent(event);
}

void TF_lr_filter::FormCreate() {
    SetFilterOn(false);
    placement_ = TCirclePlacement();
    OClouds1->Stop();
    OClouds1->SetOnSelect([this] { CallActionsEnabling(); });
    OClouds1->SetOnEdit([this](TQELlc* circle) {
        FLCEdit()->Edit(circle);
        OClouds1->Refresh();
    });
    OClouds1->Start();
}

void TF_lr_filter::CallActionsEnabling() {
    UpdateActions();
}

void TF_lr_filter::SetFilterOn(bool value) {
    filterOn_ = value;
    Label_onoff->setText(value ? "On" : "Off");
    QPalette pal = Label_onoff->palette();
    pal.setColor(QPalette::WindowText, value ? QColor(0xFF, 0, 0) : QColor(0x80, 0x80, 0x80));
    Label_onoff->setPalette(pal);
}

bool TF_lr_filter::Execute(TQelPigger* records) {
    applied_ = false;
    placement_.Reset();
    UpdateActions();
    if (!records)
        return false;
    exec();
    SetFilterOn(applied_);
    return filterOn_;
}

void TF_lr_filter::UpdateActions() {
    btnApply->setEnabled(OClouds1->CanApply());
    SB_del_cond->setEnabled(OClouds1->Selected() != nullptr);
    if (PageControl1->currentWidget() == TabSheet_kw)
        SB_add_condition->setEnabled(KeywordCanBeAdded(FromQ(Edit_kw->text())));
}

bool TF_lr_filter::Matches(const TQelPigger* record) {
    return matcher_.Matches(record);
}

void TF_lr_filter::AddContextCondition() {
    const std::string keyword = FromQ(Edit_kw->text());
    placement_.AddConditionCircle(*OClouds1, ContextConditionLabel(keyword),
                                  ContextConditionBody(keyword));
    OClouds1->FocusDiagram();
    Edit_kw->clear();
}

void TF_lr_filter::btnApplyClick() {
    matcher_.ExprText = OClouds1->ExpressionText();
    applied_ = true;
    accept();
}

void TF_lr_filter::btn_no_filterClick() {
    reject();
}

void TF_lr_filter::btn_closeClick() {
    reject();
}

void TF_lr_filter::SB_del_condClick() {
    OClouds1->DeleteSelected();
}

bool TF_lr_filter::eventFilter(QObject* watched, QEvent* event) {
    // Enter in the keyword field adds the condition, as the button beside it does.
    if (watched == Edit_kw && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            AddCondition();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TF_lr_filter::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Cancel)) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

// ---------------------------------------------------------------- conditions files

int TF_lr_filter::runConditionsDialog(QFileDialog* dialog) {
    UserSettings* settings = Settings ? Settings() : nullptr;
    if (conditionsFolder_.isEmpty() && settings)
        conditionsFolder_ = ToQ(settings->Store().Get(kConditionsFolder));
    if (!conditionsFolder_.isEmpty() && QFileInfo(conditionsFolder_).isDir())
        dialog->setDirectory(conditionsFolder_);
    const int result = ExecFileDialog(dialog);
    if (result == QDialog::Accepted && !dialog->selectedFiles().isEmpty()) {
        conditionsFolder_ = QFileInfo(dialog->selectedFiles().first()).absolutePath();
        // Asked again: the settings may have gone while the file dialog was shown.
        settings = Settings ? Settings() : nullptr;
        if (settings)
            settings->Store().Set(kConditionsFolder, FromQ(conditionsFolder_));
    }
    return result;
}

void TF_lr_filter::btnSaveConditionsClick() {
    if (runConditionsDialog(SaveConditionsDialog) != QDialog::Accepted ||
        SaveConditionsDialog->selectedFiles().isEmpty())
        return;
    const QString file = SaveConditionsDialog->selectedFiles().first();
    if (QFileInfo::exists(file) &&
        !AskUser("The file \"" + file + "\" already exists.\nReplace it?"))
        return;
    try {
        SaveConditionsFile(*OClouds1, QFile::encodeName(file).toStdString());
    } catch (const std::exception& e) {
        ShowMessage("The conditions could not be saved.\n" + ToQ(e.what()));
    }
}

void TF_lr_filter::btnLoadConditionsClick() {
    if (runConditionsDialog(OpenConditionsDialog) != QDialog::Accepted ||
        OpenConditionsDialog->selectedFiles().isEmpty())
        return;
    const QString file = OpenConditionsDialog->selectedFiles().first();
    // The file is read in full before anything is asked or changed.
    TConditions conditions;
    try {
        conditions = ReadConditionsFile(FromQPath(file));
    } catch (const std::exception& e) {
        ShowMessage("The conditions could not be loaded from \"" + file + "\".\n" +
                    ToQPath(DescribeConditionsError(e, {})));
        return;
    }
    if ((OClouds1->CircleCount() > 0 || OClouds1->PinCount() > 0) &&
        !AskUser("Replace the current conditions with those of the file?"))
        return;
    ApplyConditions(*OClouds1, conditions);
    UpdateActions();
}
