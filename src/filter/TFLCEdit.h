// The condition editor, "Selected condition": label, radius, label position and, by hand, the
// body of one circle of the condition diagram. Changes reach the circle as they are made.
#pragma once

#include "filter/core/ConditionEditorRules.h"

#include <QDialog>
#include <QLabel>
#include <QSpinBox>
#include <QWidget>

#include <functional>

class QCheckBox;
class QFrame;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QToolButton;
class TQELlc;

// The radius field: while typing, any number is shown as it stands; when the typing is done, a
// number outside the range is brought into it.
class TRadiusSpinEdit : public QSpinBox {
    Q_OBJECT
public:
    explicit TRadiusSpinEdit(QWidget* parent = nullptr);

protected:
    QValidator::State validate(QString& input, int& pos) const override;
    void fixup(QString& input) const override;
};

// The circle preview.
class TCirclePreview : public QWidget {
    Q_OBJECT
public:
    explicit TCirclePreview(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};

// The label preview: dragged with the left button and dropped on the circle preview.
class TLabelPreview : public QLabel {
    Q_OBJECT
public:
    explicit TLabelPreview(QWidget* parent = nullptr);

    // Called with the release point in global coordinates when a drag ends.
    std::function<void(const QPoint& globalPos)> OnEndDrag;
    bool Dragging() const { return dragging_; }

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QPoint pressPos_;
    bool pressed_ = false;
    bool dragging_ = false;
};

class TFLCEdit : public QDialog {
    Q_OBJECT
public:
    explicit TFLCEdit(QWidget* parent = nullptr);

    // Shows the editor modally for circle; nothing without a circle. When it closes, however
    // it closes, the body field becomes the circle's body.
    void Edit(TQELlc* circle);

    // Opens a help page by topic; the editor's page is "FLCEdit".
    std::function<void(const QString& topic)> OpenDoc;

    TQELlc* Current = nullptr;

    QGroupBox* GB_view;
    QLabel* Label3;
    QLineEdit* Edit1;
    QLabel* Label1;
    TRadiusSpinEdit* SE1;
    TCirclePreview* Shape1;
    TLabelPreview* LabelC;
    QFrame* Bevel1;
    QLabel* Label2;
    QToolButton* SBup;
    QToolButton* SBl;
    QToolButton* SBdn;
    QToolButton* SBr;
    QGroupBox* GB_body;
    QCheckBox* CB_edit;
    QLineEdit* Edit_body;
    QPushButton* btnHelp;
    QPushButton* OKBtn = nullptr;

public slots:
    void Edit1Change();
    void SE1Change();
    void moveLabel();
    void CB_editClick();
    void btnHelpClick();
    void OKBtnClick();

protected:
    void changeEvent(QEvent* event) override;

private:
    // Places the controls and sizes the window for the font.
    void arrange();
    void placeLabel();
    void sizeShape();
    void LabelCEndDrag(const QPoint& globalPos);
};

// The program's one condition editor, created on first use.
TFLCEdit* FLCEdit();
