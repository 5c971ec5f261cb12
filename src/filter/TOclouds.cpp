#include "filter/TOclouds.h"

#include "dialogs/TFsure.h"
#include "filter/CloudDiagramAccessible.h"
#include "filter/diagram/DiagramKeyboard.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace {

int widgetExtent(std::int32_t v) {
    return static_cast<int>(std::clamp<std::int32_t>(v, 0, QWIDGETSIZE_MAX));
}

// Up to this many pixels the back buffer holds the whole paint box, so that a region is filled
// from its pin wherever the pin lies; a larger paint box is buffered as far as it is in view.
constexpr qint64 kWholeBufferPixels = qint64{4096} * 4096;

// Panel1's border: the focus bevel is drawn in its outer pixel.
constexpr int kPanelBorder = 3;

} // namespace

// ---------------------------------------------------------------- paint box

TCloudPaintBox::TCloudPaintBox(TOclouds* owner) : QWidget(nullptr), owner_(owner) {
    setObjectName("PB1");
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TCloudPaintBox::paintEvent(QPaintEvent* event) {
    owner_->PB1Paint(event->rect());
}

void TCloudPaintBox::mousePressEvent(QMouseEvent* event) {
    owner_->PB1MouseDown(event);
}

void TCloudPaintBox::mouseMoveEvent(QMouseEvent* event) {
    owner_->PB1MouseMove(event);
}

void TCloudPaintBox::mouseReleaseEvent(QMouseEvent* event) {
    owner_->PB1MouseUp(event);
}

void TCloudPaintBox::mouseDoubleClickEvent(QMouseEvent* event) {
    // As with the system's own double-click: the double-click, then a press.
    owner_->PB1DblClick(event);
    owner_->PB1MouseDown(event);
}

void TCloudPaintBox::contextMenuEvent(QContextMenuEvent* event) {
    owner_->PM1Popup(event->globalPos());
}

// ---------------------------------------------------------------- key target

TCloudKeyTarget::TCloudKeyTarget(TOclouds* owner) : QPushButton("btnTarget", owner), owner_(owner) {
    setObjectName("btnTarget");
}

// ---------------------------------------------------------------- frame

TOclouds::TOclouds(QWidget* parent) : QFrame(parent) {
    setObjectName("OClouds");
    InstallDiagramAccessibility();
    // The focus target lies beneath the panel, which covers it.
    btnTarget = new TCloudKeyTarget(this);
    btnTarget->setGeometry(8, 8, 75, 25);
    btnTarget->installEventFilter(this);
    connect(btnTarget, &QPushButton::clicked, this, &TOclouds::btnTargetClick);

    Panel1 = new QFrame(this);
    Panel1->setObjectName("Panel1");
    Panel1->setFrameStyle(QFrame::NoFrame);
    auto* frameLayout = new QVBoxLayout(this);
    frameLayout->setContentsMargins(0, 0, 0, 0);
    frameLayout->addWidget(Panel1);
    Panel1->raise();

    SB1 = new QScrollArea(Panel1);
    SB1->setObjectName("SB1");
    SB1->setFrameShape(QFrame::NoFrame);
    // Tab goes to the diagram's key target, which scrolls the shape it is on into view; the
    // scroll box takes the focus only from a click.
    SB1->setFocusPolicy(Qt::ClickFocus);
    SB1->setWidgetResizable(false);
    SB1->viewport()->setBackgroundRole(QPalette::Base);
    SB1->viewport()->setAutoFillBackground(true);
    SB1->viewport()->installEventFilter(this);
    auto* panelLayout = new QVBoxLayout(Panel1);
    panelLayout->setContentsMargins(kPanelBorder, kPanelBorder, kPanelBorder, kPanelBorder);
    panelLayout->addWidget(SB1);

    PB1 = new TCloudPaintBox(this);
    SB1->setWidget(PB1);
    PB1->resize(0, 0);

    Timer1 = new QTimer(this);
    Timer1->setObjectName("Timer1");
    Timer1->setInterval(500);
    connect(Timer1, &QTimer::timeout, this, &TOclouds::Timer1Timer);

    PM1 = new QMenu(this);
    PM1->setObjectName("PM1");
    N_Clear = PM1->addAction("Clear");
    N_Clear->setObjectName("N_Clear");
    N1 = PM1->addSeparator();
    N1->setObjectName("N1");
    N_Edit = PM1->addAction("Edit selected condition");
    N_Edit->setObjectName("N_Edit");
    N_Delete = PM1->addAction("Delete selected condition");
    N_Delete->setObjectName("N_Delete");
    connect(N_Clear, &QAction::triggered, this, &TOclouds::N_ClearClick);
    connect(N_Edit, &QAction::triggered, this, &TOclouds::N_EditClick);
    connect(N_Delete, &QAction::triggered, this, &TOclouds::N_DeleteClick);

    canvas_.OnDrawn = [this] { PB1->update(); };
    SetCanvas(&canvas_);
}

TOclouds::~TOclouds() {
    Timer1->stop();
    btnTarget->removeEventFilter(this);
    SB1->viewport()->removeEventFilter(this);
    canvas_.OnDrawn = nullptr;
}

void TOclouds::Start() {
    TCloudDiagram::Start();
    fitPaintBox();
    Timer1->start();
}

void TOclouds::Stop() {
    Timer1->stop();
    TCloudDiagram::Stop();
    Refresh();
}

void TOclouds::changeEvent(QEvent* event) {
    QFrame::changeEvent(event);
    // The focus target holds its caption, beneath the panel as it is.
    if (event->type() == QEvent::FontChange)
        btnTarget->resize(btnTarget->sizeHint().expandedTo(QSize(75, 25)));
}

void TOclouds::showEvent(QShowEvent* event) {
    QFrame::showEvent(event);
    // What changed while hidden was not painted.
    Refresh();
}

void TOclouds::EditSelected() {
    if (Selected() && onEdit_)
        onEdit_(Selected());
}

void TOclouds::FocusDiagram() {
    btnTarget->setFocus(Qt::OtherFocusReason);
}

void TOclouds::fitPaintBox() {
    const QSize view = SB1->viewport()->size();
    const QFontMetrics metrics(PB1->font());
    FitPaintBox(view.width(), view.height(), [&metrics](const std::string& text) {
        const QString s = QString::fromLocal8Bit(text.data(), static_cast<qsizetype>(text.size()));
        return TSize{metrics.horizontalAdvance(s), metrics.height()};
    });
}

void TOclouds::showFocusBevel(bool shown) {
    // The bevel takes its pixel from the border, so the scroll box and the drawing keep their
    // place whichever widget has the focus. The margin changes first: the frame's change lays
    // the panel out at once.
    const int margin = kPanelBorder - (shown ? 1 : 0);
    Panel1->layout()->setContentsMargins(margin, margin, margin, margin);
    Panel1->setLineWidth(1);
    Panel1->setFrameStyle(shown ? QFrame::Panel | QFrame::Sunken : QFrame::NoFrame);
}

void TOclouds::PaintBoxResized() {
    PB1->resize(widgetExtent(PaintWidth()), widgetExtent(PaintHeight()));
}

QRect TOclouds::visibleArea() const {
    const QPoint topLeft = PB1->mapFrom(SB1->viewport(), QPoint(0, 0));
    return QRect(topLeft, SB1->viewport()->size()) & PB1->rect();
}

QRect TOclouds::bufferArea() const {
    const QRect whole = PB1->rect();
    if (qint64{whole.width()} * whole.height() <= kWholeBufferPixels)
        return whole;
    return visibleArea();
}

void TOclouds::Refresh() {
    fitPaintBox();
    // A paint box that is not on screen is not painted.
    if (!PB1->isVisible())
        return;
    repaintBuffer();
    PB1->update();
}

QColor TOclouds::surfaceColour() const {
    const QColor base = PB1->palette().color(QPalette::Base);
    return base.lightnessF() >= 0.75 ? base : QColor(Qt::white);
}

void TOclouds::repaintBuffer() {
    canvas_.Font = PB1->font();
    // Drawing into the buffer schedules one update of the paint box at the end.
    auto onDrawn = std::move(canvas_.OnDrawn);
    canvas_.OnDrawn = nullptr;
    canvas_.Erase(bufferArea(), surfaceColour(), PB1->devicePixelRatioF());
    Paint();
    canvas_.OnDrawn = std::move(onDrawn);
}

void TOclouds::RefreshPaintBox() {
    Refresh();
}

void TOclouds::Timer1Timer() {
    Refresh();
}

void TOclouds::PB1Paint(const QRect& exposed) {
    if (canvas_.Area() != bufferArea() || canvas_.Image().isNull() ||
        canvas_.Ratio() != std::max<qreal>(1.0, PB1->devicePixelRatioF()))
        repaintBuffer();
    QPainter p(PB1);
    // What the buffer does not cover (hidden behind the scroll box's edges) is background.
    for (const QRect& r : QRegion(exposed).subtracted(QRegion(canvas_.Area())))
        p.fillRect(r, surfaceColour());
    // Only the exposed part of the buffer: it may hold the whole paint box.
    const QRect shown = exposed & canvas_.Area();
    if (!canvas_.Image().isNull() && !shown.isEmpty()) {
        const qreal ratio = canvas_.Ratio();
        const QRectF source(QPointF(shown.topLeft() - canvas_.Origin()) * ratio,
                            QSizeF(shown.size()) * ratio);
        p.drawImage(QRectF(shown), canvas_.Image(), source);
    }
    // The pin that the keyboard is on, while the diagram has the keyboard.
    if (CurrentPin() && btnTarget->hasFocus()) {
        QPen dotted(palette().color(QPalette::Highlight));
        dotted.setStyle(Qt::DotLine);
        p.setPen(dotted);
        p.setBrush(Qt::NoBrush);
        p.drawRect(ShapeRect(CurrentShape()).adjusted(-2, -2, 1, 1));
    }
}

// ---------------------------------------------------------------- mouse and keyboard

void TOclouds::PB1MouseDown(QMouseEvent* event) {
    keyPin_ = nullptr;
    const QPoint pos = event->position().toPoint();
    MouseDown(pos.x(), pos.y(), event->button() == Qt::LeftButton);
}

void TOclouds::PB1MouseMove(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    const Qt::KeyboardModifiers mods = event->modifiers() & ~Qt::KeypadModifier;
    const bool leftOnly = event->buttons() == Qt::LeftButton && mods == Qt::NoModifier;
    MouseMove(pos.x(), pos.y(), leftOnly, mods.testFlag(Qt::ShiftModifier));
}

void TOclouds::PB1MouseUp(QMouseEvent* event) {
    MouseUp();
    if (event->button() == Qt::LeftButton && PB1->rect().contains(event->position().toPoint()))
        PicClick();
}

void TOclouds::PB1DblClick(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        DoubleClick();
}

void TOclouds::SB1Resize() {
    fitPaintBox();
}

void TOclouds::PicClick() {
    FocusDiagram();
}

void TOclouds::PM1Popup(const QPoint& globalPos) {
    N_Edit->setEnabled(Selected() != nullptr);
    N_Delete->setEnabled(Selected() != nullptr);
    N_Clear->setEnabled(true);
    PM1->exec(globalPos);
}

int TOclouds::CurrentShape() const {
    for (int i = 0; i < CircleCount(); ++i)
        if (GetCircle(i) == Selected())
            return i;
    for (int i = 0; i < PinCount(); ++i)
        if (GetPin(i) == CurrentPin())
            return CircleCount() + i;
    return -1;
}

TQELpin* TOclouds::CurrentPin() const {
    if (!keyPin_ || Selected())
        return nullptr;
    for (int i = 0; i < PinCount(); ++i)
        if (GetPin(i) == keyPin_)
            return keyPin_;
    return nullptr;
}

QRect TOclouds::ShapeRect(int index) const {
    if (const TQELlc* c = GetCircle(index))
        return QRect(c->X - c->Radius, c->Y - c->Radius, 2 * c->Radius + 1, 2 * c->Radius + 1);
    if (const TQELpin* pin = GetPin(index - CircleCount()))
        return QRect(pin->X - 3, pin->Y - 6, 9, 9); // the square a click takes it in
    return QRect();
}

bool TOclouds::diagramKey(const QKeyEvent* event) {
    const DiagramKeyAction action = DiagramKeyActionFor(event->key(), event->modifiers());
    const int shapes = CircleCount() + PinCount();
    switch (action) {
    case DiagramKeyAction::Next:
    case DiagramKeyAction::Previous:
        chooseShape(NextShapeIndex(CurrentShape(), shapes, action == DiagramKeyAction::Next));
        return true;
    case DiagramKeyAction::MoveLeft:
    case DiagramKeyAction::MoveRight:
    case DiagramKeyAction::MoveUp:
    case DiagramKeyAction::MoveDown: {
        const std::int32_t dx = action == DiagramKeyAction::MoveLeft    ? -DiagramKeyStep
                                : action == DiagramKeyAction::MoveRight ? DiagramKeyStep
                                                                        : 0;
        const std::int32_t dy = action == DiagramKeyAction::MoveUp     ? -DiagramKeyStep
                                : action == DiagramKeyAction::MoveDown ? DiagramKeyStep
                                                                       : 0;
        if (KeyMoveSelected(*this, dx, dy)) {
            afterKeyEdit();
            NotifyShapeChanged(btnTarget, CurrentShape());
        }
        return true;
    }
    case DiagramKeyAction::Grow:
    case DiagramKeyAction::Shrink:
        if (KeyResizeSelected(*this, action == DiagramKeyAction::Grow ? DiagramKeyStep
                                                                      : -DiagramKeyStep)) {
            afterKeyEdit();
            NotifyShapeChanged(btnTarget, CurrentShape());
        }
        return true;
    case DiagramKeyAction::AddPin:
        if (KeyAddPin(*this)) {
            afterKeyEdit();
            NotifyDiagramChanged(btnTarget);
        }
        return true;
    case DiagramKeyAction::Delete:
        // A chosen pin goes as a double-click on it takes it; a circle as the menu deletes it.
        if (TQELpin* pin = CurrentPin()) {
            keyPin_ = nullptr;
            KeyRemovePin(*this, pin);
            Refresh();
            NotifyDiagramChanged(btnTarget);
            return true;
        }
        if (Selected()) {
            const int before = CircleCount();
            N_DeleteClick();
            if (CircleCount() != before)
                NotifyDiagramChanged(btnTarget);
        }
        return true;
    case DiagramKeyAction::Edit:
    case DiagramKeyAction::None:
        break;
    }
    return false;
}

void TOclouds::chooseShape(int index) {
    if (index < 0)
        return;
    if (TQELlc* circle = GetCircle(index)) {
        keyPin_ = nullptr;
        Select(circle);
    } else {
        Select(nullptr);
        keyPin_ = GetPin(index - CircleCount());
    }
    afterKeyEdit();
}

void TOclouds::afterKeyEdit() {
    Refresh();
    const QRect shape = ShapeRect(CurrentShape());
    if (!shape.isEmpty())
        SB1->ensureVisible(shape.center().x(), shape.center().y(), shape.width() / 2 + 5,
                           shape.height() / 2 + 5);
    announceCurrent();
}

void TOclouds::announceCurrent() {
    NotifyCurrentShape(btnTarget, CurrentShape());
}

void TOclouds::SBKeyDown(int key) {
    // The Delete key does what the menu item does, which needs a selected circle.
    if (key == Qt::Key_Delete && Selected())
        N_DeleteClick();
}

bool TOclouds::eventFilter(QObject* watched, QEvent* event) {
    if (watched == btnTarget) {
        switch (event->type()) {
        case QEvent::FocusIn:
            showFocusBevel(true);
            break;
        case QEvent::FocusOut:
            showFocusBevel(false);
            break;
        case QEvent::KeyPress: {
            const auto* keyEvent = static_cast<QKeyEvent*>(event);
            const int key = keyEvent->key();
            // Enter presses the button as Space does (and only once inside a dialog).
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                btnTarget->click();
                return true;
            }
            if (diagramKey(keyEvent))
                return true;
            SBKeyDown(key);
            break;
        }
        default:
            break;
        }
    } else if (watched == SB1->viewport()) {
        switch (event->type()) {
        case QEvent::MouseButtonRelease:
            if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
                PicClick();
            break;
        case QEvent::ContextMenu:
            PM1Popup(static_cast<QContextMenuEvent*>(event)->globalPos());
            return true;
        case QEvent::Resize:
            SB1Resize();
            break;
        default:
            break;
        }
    }
    return QFrame::eventFilter(watched, event);
}

void TOclouds::btnTargetClick() {
    EditSelected();
}

void TOclouds::N_ClearClick() {
    if (AskUser("Clear all conditions?")) {
        Stop();
        Start();
    }
}

void TOclouds::N_EditClick() {
    EditSelected();
}

void TOclouds::N_DeleteClick() {
    if (AskUser("Delete current condition?"))
        DeleteSelected();
}
