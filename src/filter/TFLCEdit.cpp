#include "filter/TFLCEdit.h"

#include "dialogs/DialogUtil.h"
#include "filter/diagram/CloudShapes.h"

#include <QApplication>
#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QToolButton>

#include <algorithm>

// ---------------------------------------------------------------- radius field

TRadiusSpinEdit::TRadiusSpinEdit(QWidget* parent) : QSpinBox(parent) {
    setRange(EditorRadiusMin, EditorRadiusMax);
    // The value changes when the typing is done (Enter, leaving the field) or with a step, and
    // it is always within the range.
    setKeyboardTracking(false);
}

QValidator::State TRadiusSpinEdit::validate(QString& input, int&) const {
    const QString t = input.trimmed();
    if (t.isEmpty() || t == "-" || t == "+")
        return QValidator::Intermediate;
    bool number = false;
    const int v = t.toInt(&number);
    if (!number)
        return QValidator::Invalid;
    return v >= minimum() && v <= maximum() ? QValidator::Acceptable : QValidator::Intermediate;
}

void TRadiusSpinEdit::fixup(QString& input) const {
    input = QString::number(LimitRadius(RadiusFromFieldText(FromQ(input))));
}

// ---------------------------------------------------------------- previews

TCirclePreview::TCirclePreview(QWidget* parent) : QWidget(parent) {}

void TCirclePreview::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(Qt::white);
    p.drawEllipse(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5));
}

TLabelPreview::TLabelPreview(QWidget* parent) : QLabel(parent) {
    setCursor(Qt::PointingHandCursor);
    setAttribute(Qt::WA_TranslucentBackground);
    QPalette pal = palette();
    pal.setColor(QPalette::WindowText, QColor(0xFF, 0, 0));
    setPalette(pal);
}

void TLabelPreview::mousePressEvent(QMouseEvent* event) {
    pressed_ = event->button() == Qt::LeftButton;
    pressPos_ = event->position().toPoint();
    dragging_ = false;
}

void TLabelPreview::mouseMoveEvent(QMouseEvent* event) {
    // Only the left button, nothing else held.
    if (!pressed_ || event->buttons() != Qt::LeftButton || dragging_)
        return;
    if ((event->position().toPoint() - pressPos_).manhattanLength() >=
        QApplication::startDragDistance()) {
        dragging_ = true;
        setCursor(Qt::ClosedHandCursor);
    }
}

void TLabelPreview::mouseReleaseEvent(QMouseEvent* event) {
    const bool wasDragging = dragging_;
    pressed_ = dragging_ = false;
    setCursor(Qt::PointingHandCursor);
    if (wasDragging && OnEndDrag)
        OnEndDrag(event->globalPosition().toPoint());
}

// ---------------------------------------------------------------- editor

TFLCEdit::TFLCEdit(QWidget* parent) : QDialog(parent) {
    setObjectName("FLCEdit");
    setWindowTitle("Selected condition");
    UseFixedDialogBorder(this);
    setFixedSize(400, 430);

    GB_view = new QGroupBox("View", this);
    GB_view->setObjectName("GB_view");
    GB_view->setGeometry(8, 6, 384, 300);

    Label3 = new QLabel("Label text:", GB_view);
    Label3->setObjectName("Label3");
    Label3->setGeometry(12, 26, 70, 21);
    Edit1 = new QLineEdit(GB_view);
    Edit1->setObjectName("Edit1");
    Edit1->setGeometry(86, 24, 286, 24);

    Label1 = new QLabel("Radius:", GB_view);
    Label1->setObjectName("Label1");
    Label1->setGeometry(12, 58, 70, 21);
    SE1 = new TRadiusSpinEdit(GB_view);
    SE1->setObjectName("SE1");
    SE1->setGeometry(86, 56, 70, 24);
    SE1->setValue(EditorRadiusMin);

    // Room for the largest circle, 200 pixels across.
    Shape1 = new TCirclePreview(GB_view);
    Shape1->setObjectName("Shape1");
    Shape1->setGeometry(12, 90, 85, 85);

    LabelC = new TLabelPreview(GB_view);
    LabelC->setObjectName("LabelC");
    LabelC->raise();
    LabelC->OnEndDrag = [this](const QPoint& globalPos) { LabelCEndDrag(globalPos); };

    Label2 = new QLabel("Tune label pos.", GB_view);
    Label2->setObjectName("Label2");
    Label2->setGeometry(250, 96, 120, 20);
    Bevel1 = MakeBevel(GB_view, QRect(250, 118, 108, 108));
    Bevel1->setObjectName("Bevel1");
    auto arrow = [this](const char* name, Qt::ArrowType type, int x, int y) {
        auto* b = new QToolButton(Bevel1);
        b->setObjectName(name);
        b->setArrowType(type);
        b->setAutoRaise(true);
        b->setGeometry(x, y, 30, 30);
        connect(b, &QToolButton::clicked, this, &TFLCEdit::moveLabel);
        return b;
    };
    SBup = arrow("SBup", Qt::UpArrow, 39, 6);
    SBl = arrow("SBl", Qt::LeftArrow, 6, 39);
    SBdn = arrow("SBdn", Qt::DownArrow, 39, 72);
    SBr = arrow("SBr", Qt::RightArrow, 72, 39);

    GB_body = new QGroupBox("Condition body", this);
    GB_body->setObjectName("GB_body");
    GB_body->setGeometry(8, 312, 384, 78);
    CB_edit = new QCheckBox("Edit condition by hand", GB_body);
    CB_edit->setObjectName("CB_edit");
    CB_edit->setGeometry(12, 20, 300, 20);
    Edit_body = new QLineEdit(GB_body);
    Edit_body->setObjectName("Edit_body");
    Edit_body->setGeometry(12, 44, 360, 24);

    btnHelp = new QPushButton("Help", this);
    btnHelp->setObjectName("btnHelp");
    btnHelp->setGeometry(8, 398, 75, 25);
    btnHelp->setAutoDefault(false);
    OKBtn = new QPushButton("Close", this);
    OKBtn->setObjectName("OKBtn");
    OKBtn->setGeometry(317, 398, 75, 25);
    OKBtn->setDefault(true);

    connect(Edit1, &QLineEdit::textChanged, this, &TFLCEdit::Edit1Change);
    // A typed number reaches the circle only once it is final and brought into range: a
    // number on its way (150 typed, limited to 100 later) would move the circle in the diagram.
    connect(SE1, &QSpinBox::valueChanged, this, &TFLCEdit::SE1Change);
    connect(CB_edit, &QCheckBox::clicked, this, &TFLCEdit::CB_editClick);
    connect(btnHelp, &QPushButton::clicked, this, &TFLCEdit::btnHelpClick);
    connect(OKBtn, &QPushButton::clicked, this, &TFLCEdit::OKBtnClick);
    CB_editClick();
    CenterOnScreen(this);
}

void TFLCEdit::Edit(TQELlc* circle) {
    Current = circle;
    if (!Current)
        return;
    Edit1->setText(ToQ(Current->LabelText));
    Edit1Change();
    CB_edit->setChecked(false);
    CB_editClick();
    sizeShape();
    SE1->setValue(LimitRadius(Current->Radius));
    placeLabel();
    Edit_body->setText(ToQ(Current->Body));
    Edit_body->setCursorPosition(0);
    Edit1->setFocus();
    exec();
    // A number still being typed when the editor closes is taken as final.
    SE1->interpretText();
    Current->Body = FromQ(Edit_body->text());
    Current = nullptr;
}

void TFLCEdit::Edit1Change() {
    if (!Current)
        return;
    if (const auto label = LabelFromTyped(FromQ(Edit1->text())))
        Current->SetLabelText(*label);
    else
        Edit1->setText(ToQ(Current->LabelText));
    placeLabel();
}

void TFLCEdit::SE1Change() {
    if (!Current)
        return;
    Current->Radius = SE1->value();
    sizeShape();
    placeLabel();
}

void TFLCEdit::moveLabel() {
    if (!Current)
        return;
    QObject* button = sender();
    if (button == SBup)
        MoveLabel(*Current, LabelMove::Up);
    else if (button == SBl)
        MoveLabel(*Current, LabelMove::Left);
    else if (button == SBdn)
        MoveLabel(*Current, LabelMove::Down);
    else if (button == SBr)
        MoveLabel(*Current, LabelMove::Right);
    placeLabel();
}

void TFLCEdit::LabelCEndDrag(const QPoint& globalPos) {
    if (!Current)
        return;
    const QPoint p = Shape1->mapFromGlobal(globalPos);
    if (!Shape1->rect().contains(p))
        return;
    DropLabel(*Current, p.x(), p.y());
    placeLabel();
}

void TFLCEdit::CB_editClick() {
    const bool byHand = CB_edit->isChecked();
    Edit_body->setReadOnly(!byHand);
    QPalette pal = Edit_body->palette();
    pal.setColor(QPalette::Base, palette().color(byHand ? QPalette::Base : QPalette::Button));
    Edit_body->setPalette(pal);
}

void TFLCEdit::btnHelpClick() {
    if (OpenDoc)
        OpenDoc("FLCEdit");
}

void TFLCEdit::OKBtnClick() {
    if (Current) {
        if (const auto label = LabelFromTyped(FromQ(Edit1->text())))
            Current->SetLabelText(*label);
    }
    accept();
}

void TFLCEdit::sizeShape() {
    const int side = static_cast<int>(std::clamp<std::int64_t>(2LL * Current->Radius, 0, 10000));
    Shape1->resize(side, side);
}

void TFLCEdit::placeLabel() {
    if (!Current)
        return;
    LabelC->setText(ToQ(Current->LabelText));
    LabelC->adjustSize();
    const std::int64_t left = std::int64_t(Shape1->x()) + Current->Radius + Current->LabelDX;
    const std::int64_t top = std::int64_t(Shape1->y()) + Current->Radius + Current->LabelDY;
    LabelC->move(static_cast<int>(std::clamp<std::int64_t>(left, -100000, 100000)),
                 static_cast<int>(std::clamp<std::int64_t>(top, -100000, 100000)));
    LabelC->raise();
}

TFLCEdit* FLCEdit() {
    static TFLCEdit* instance = nullptr;
    if (!instance)
        instance = new TFLCEdit();
    return instance;
}
