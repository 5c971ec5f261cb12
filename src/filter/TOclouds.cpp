#include "filter/TOclouds.h"

#include "dialogs/TFsure.h"

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

// ---------------------------------------------------------------- frame

TOclouds::TOclouds(QWidget* parent) : QFrame(parent) {
    setObjectName("OClouds");
    // The focus target lies beneath the panel, which covers it.
    btnTarget = new QPushButton("btnTarget", this);
    btnTarget->setObjectName("btnTarget");
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

void TOclouds::repaintBuffer() {
    canvas_.Font = PB1->font();
    // Drawing into the buffer schedules one update of the paint box at the end.
    auto onDrawn = std::move(canvas_.OnDrawn);
    canvas_.OnDrawn = nullptr;
    canvas_.Erase(bufferArea(), PB1->palette().color(QPalette::Base));
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
    if (canvas_.Area() != bufferArea() || canvas_.Image().isNull())
        repaintBuffer();
    QPainter p(PB1);
    // What the buffer does not cover (hidden behind the scroll box's edges) is background.
    for (const QRect& r : QRegion(exposed).subtracted(QRegion(canvas_.Area())))
        p.fillRect(r, PB1->palette().color(QPalette::Base));
    // Only the exposed part of the buffer: it may hold the whole paint box.
    const QRect shown = exposed & canvas_.Area();
    if (!canvas_.Image().isNull() && !shown.isEmpty())
        p.drawImage(shown.topLeft(), canvas_.Image(), shown.translated(-canvas_.Origin()));
}

// ---------------------------------------------------------------- mouse and keyboard

void TOclouds::PB1MouseDown(QMouseEvent* event) {
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
            const int key = static_cast<QKeyEvent*>(event)->key();
            // Enter presses the button as Space does (and only once inside a dialog).
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                btnTarget->click();
                return true;
            }
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
