// The condition diagram frame: circles and pins on a scrollable paint box, edited with the
// mouse or the keyboard (the keys: filter/diagram/DiagramKeyboard.h), repainted every 500 ms
// while active.
#pragma once

#include "filter/CloudImageCanvas.h"
#include "filter/diagram/CloudDiagram.h"

#include <QFrame>
#include <QPushButton>
#include <QWidget>

#include <functional>

class QAction;
class QKeyEvent;
class QMenu;
class QScrollArea;
class QTimer;
class TOclouds;
class TQELpin;

// The paint box: shows the back buffer and passes the mouse to the frame.
class TCloudPaintBox : public QWidget {
public:
    explicit TCloudPaintBox(TOclouds* owner);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    TOclouds* owner_;
};

// The diagram's keyboard focus: a button beneath the panel that takes the keys, and that a
// screen reader knows as the diagram, with its circles and pins as children.
class TCloudKeyTarget : public QPushButton {
    Q_OBJECT
public:
    explicit TCloudKeyTarget(TOclouds* owner);
    TOclouds* Owner() const { return owner_; }

private:
    TOclouds* owner_;
};

class TOclouds : public QFrame, public TCloudDiagram {
    Q_OBJECT
public:
    explicit TOclouds(QWidget* parent = nullptr);
    ~TOclouds() override;

    void Start() override;
    void Stop() override;
    // Opens the condition editor on the selected circle through the handler set by the host.
    void EditSelected() override;
    void SetOnEdit(std::function<void(TQELlc*)> handler) { onEdit_ = std::move(handler); }

    // Gives btnTarget the keyboard focus on behalf of the diagram.
    void FocusDiagram();
    // Erases the back buffer, paints the diagram into it and shows it.
    void Refresh();

    const TCloudImageCanvas& BackBuffer() const { return canvas_; }

    // The shape the keyboard is on, counting the circles and then the pins: the selected
    // circle, or the pin chosen by the arrow keys; -1 for none.
    int CurrentShape() const;
    // The pin chosen by the arrow keys while no circle is selected; none otherwise.
    TQELpin* CurrentPin() const;
    // Where shape index (circles, then pins) lies, in paint-box pixels.
    QRect ShapeRect(int index) const;

    QFrame* Panel1;
    QScrollArea* SB1;
    TCloudPaintBox* PB1;
    QPushButton* btnTarget;
    QTimer* Timer1;
    QMenu* PM1;
    QAction* N_Clear;
    QAction* N1;
    QAction* N_Edit;
    QAction* N_Delete;

    void RefreshPaintBox() override;

protected:
    void PaintBoxResized() override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private slots:
    void Timer1Timer();
    void btnTargetClick();
    void N_ClearClick();
    void N_EditClick();
    void N_DeleteClick();

private:
    friend class TCloudPaintBox;
    void PB1Paint(const QRect& exposed);
    void PB1MouseDown(QMouseEvent* event);
    void PB1MouseMove(QMouseEvent* event);
    void PB1MouseUp(QMouseEvent* event);
    void PB1DblClick(QMouseEvent* event);
    void PicClick();
    void PM1Popup(const QPoint& globalPos);
    void SBKeyDown(int key);
    void repaintBuffer();
    void SB1Resize();
    // The part of the paint box that the scroll box shows, in paint-box pixels.
    QRect visibleArea() const;
    // The part of the paint box that the back buffer holds.
    QRect bufferArea() const;
    // The paint box covers the scroll box's viewport and reaches as far as the shapes do.
    void fitPaintBox();
    void showFocusBevel(bool shown);
    // One key of the diagram (see DiagramKeyboard.h); false when the key is not one of them.
    bool diagramKey(const QKeyEvent* event);
    // Makes shape index the current one and tells the screen reader.
    void chooseShape(int index);
    // After an edit by key: repaint, keep the current shape in view, tell the screen reader.
    void afterKeyEdit();
    void announceCurrent();
    // The colour the diagram is drawn on: the palette's base when it is light, else white, so
    // that the designed colours keep their contrast on a dark palette.
    QColor surfaceColour() const;

    TCloudImageCanvas canvas_;
    std::function<void(TQELlc*)> onEdit_;
    TQELpin* keyPin_ = nullptr;
};
