#include "filter/TFLCEdit.h"

#include "dialogs/DialogUtil.h"
#include "filter/diagram/CloudShapes.h"

#include <QApplication>
#include <QCheckBox>
#include <QEvent>
#include <QFontMetrics>
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

    GB_view = new QGroupBox("View", this);
    GB_view->setObjectName("GB_view");

    Label3 = new QLabel("&Label text:", GB_view);
    Label3->setObjectName("Label3");
    Edit1 = new QLineEdit(GB_view);
    Edit1->setObjectName("Edit1");
    Label3->setBuddy(Edit1);

    Label1 = new QLabel("&Radius:", GB_view);
    Label1->setObjectName("Label1");
    SE1 = new TRadiusSpinEdit(GB_view);
    SE1->setObjectName("SE1");
    SE1->setValue(EditorRadiusMin);
    Label1->setBuddy(SE1);

    Shape1 = new TCirclePreview(GB_view);
    Shape1->setObjectName("Shape1");
    Shape1->resize(85, 85);

    LabelC = new TLabelPreview(GB_view);
    LabelC->setObjectName("LabelC");
    LabelC->raise();
    LabelC->OnEndDrag = [this](const QPoint& globalPos) { LabelCEndDrag(globalPos); };

    Label2 = new QLabel("Tune label pos.", GB_view);
    Label2->setObjectName("Label2");
    Bevel1 = MakeBevel(GB_view, QRect(250, 118, 108, 108));
    Bevel1->setObjectName("Bevel1");
    auto arrow = [this](const char* name, Qt::ArrowType type, int x, int y, const QString& tip) {
        auto* b = new QToolButton(Bevel1);
        b->setObjectName(name);
        b->setArrowType(type);
        b->setAutoRaise(true);
        b->setGeometry(x, y, 30, 30);
        b->setToolTip(tip);
        b->setAccessibleName(tip);
        connect(b, &QToolButton::clicked, this, &TFLCEdit::moveLabel);
        return b;
    };
    SBup = arrow("SBup", Qt::UpArrow, 39, 6, "Move the label up");
    SBl = arrow("SBl", Qt::LeftArrow, 6, 39, "Move the label left");
    SBdn = arrow("SBdn", Qt::DownArrow, 39, 72, "Move the label down");
    SBr = arrow("SBr", Qt::RightArrow, 72, 39, "Move the label right");

    GB_body = new QGroupBox("Condition body", this);
    GB_body->setObjectName("GB_body");
    CB_edit = new QCheckBox("&Edit condition by hand", GB_body);
    CB_edit->setObjectName("CB_edit");
    Edit_body = new QLineEdit(GB_body);
    Edit_body->setObjectName("Edit_body");
    Edit_body->setAccessibleName("Condition body");

    btnHelp = new QPushButton("&Help", this);
    btnHelp->setObjectName("btnHelp");
    btnHelp->setAutoDefault(false);
    OKBtn = new QPushButton("&Close", this);
    OKBtn->setObjectName("OKBtn");
    OKBtn->setDefault(true);
    arrange();

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

void TFLCEdit::arrange() {
    // The designed places at the designed font (a 400 x 430 window), growing with the font:
    // the label column with its captions, the rows with the fields' height, the window with
    // what it holds.
    const QFontMetrics metrics(font());
    const auto textWidth = [](const QLabel* label) { return label->sizeHint().width(); };
    const int row = std::max({24, Edit1->sizeHint().height(), SE1->sizeHint().height()});
    const int top = std::max(20, metrics.height() + 6);
    const int labelWidth = std::max({70, textWidth(Label3), textWidth(Label1)});
    const int fieldX = 12 + labelWidth + 4;
    const int tuneWidth = std::max(120, textWidth(Label2));
    const int tuneHeight = std::max(20, Label2->sizeHint().height());
    const int checkWidth = std::max(300, CB_edit->sizeHint().width());
    const int checkHeight = std::max(20, CB_edit->sizeHint().height());
    const int boxWidth = std::max({384, 250 + tuneWidth + 8, fieldX + 200, 12 + checkWidth + 12});

    Label3->setGeometry(12, top + 6, labelWidth, std::max(21, row - 3));
    Edit1->setGeometry(fieldX, top + 4, boxWidth - 12 - fieldX, row);
    const int radiusY = top + 4 + row + 8;
    Label1->setGeometry(12, radiusY + 2, labelWidth, std::max(21, row - 3));
    SE1->setGeometry(fieldX, radiusY, std::max(70, SE1->sizeHint().width()), row);
    // Room for the largest circle, 200 pixels across.
    const int shapeY = radiusY + row + 10;
    Shape1->move(12, shapeY);
    Label2->setGeometry(250, shapeY + 6, tuneWidth, tuneHeight);
    Bevel1->move(250, Label2->geometry().bottom() + 3);
    GB_view->setGeometry(8, 6, boxWidth, std::max(300, shapeY + 200 + 10));

    CB_edit->setGeometry(12, top, checkWidth, checkHeight);
    Edit_body->setGeometry(12, top + checkHeight + 4, boxWidth - 24, row);
    const int bodyY = GB_view->geometry().bottom() + 1 + 6;
    GB_body->setGeometry(8, bodyY, boxWidth, Edit_body->geometry().bottom() + 1 + 10);

    const int buttonY = GB_body->geometry().bottom() + 1 + 8;
    const int buttonHeight =
        std::max({25, btnHelp->sizeHint().height(), OKBtn->sizeHint().height()});
    const int width = boxWidth + 16;
    const int okWidth = std::max(75, OKBtn->sizeHint().width());
    btnHelp->setGeometry(8, buttonY, std::max(75, btnHelp->sizeHint().width()), buttonHeight);
    OKBtn->setGeometry(width - 8 - okWidth, buttonY, okWidth, buttonHeight);
    setFixedSize(width, buttonY + buttonHeight + 7);
    placeLabel();
}

void TFLCEdit::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::FontChange && OKBtn)
        arrange();
    // The read-only body field takes its colour from the new palette.
    if (event->type() == QEvent::PaletteChange && OKBtn)
        CB_editClick();
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
