// Small pieces shared by the fixed-layout dialogs.
#pragma once

#include <QRect>
#include <QString>
#include <string>

#include "tree/LocalText.h"

class QColor;
class QFileDialog;
class QFont;
class QFrame;
class QLabel;
class QLineEdit;
class QPalette;
class QSize;
class QWidget;

// A sunken framed box, as the dialogs draw around their text.
QFrame* MakeBevel(QWidget* parent, const QRect& geometry);
// A word-wrapping label that shows its text literally (never as markup), inside a frameless
// area at geometry that scrolls when a text is larger than the screen allows.
QLabel* MakeMessageLabel(QWidget* parent, const QRect& geometry);
// Puts text into a label made by MakeMessageLabel and gives its area room for the whole text:
// wider for a word that does not fit the width, taller for more lines. The area never gets
// smaller than designedLabel nor, with its window (designedWindow), larger than the screen.
// Gives how much the area grew beyond designedLabel.
QSize FitMessageText(QLabel* label, const QString& text, const QSize& designedLabel,
                     const QSize& designedWindow);
// The border of a dialog with a fixed size: a title and a close button, nothing to minimise or
// maximise.
void UseFixedDialogBorder(QWidget* dialog);
// A password field that shows "*" for every character.
void ShowStarsFor(QLineEdit* passwordField);
// Shows a file dialog modally, as QDialog::exec does, with an empty name field (so that what
// is typed is not appended to a name left from the last time), and closes the name field's
// completion list with the dialog.
int ExecFileDialog(QFileDialog* dialog);
// Centres a top-level window on the screen it is on (or the primary screen).
void CenterOnScreen(QWidget* window);
// The designed size of a control with a caption, or more where the caption needs more room in
// the control's font (the mnemonic's '&' takes none).
QSize RoomForCaption(const QWidget* control, const QString& caption, const QSize& designed);
// Fixes a window that has a layout at its designed size, larger in the measure of a larger
// desktop font (as DesignedFont), and larger still where its controls need more room: every
// control at least its least size, every wrapped text all of its lines.
void FixSizeForFont(QWidget* window, const QSize& designed);
// How much larger than the designed desktop font (13 pixels) the font is; never below 1.
qreal DesignedScale(const QFont& font);
// A font of the designed pixel size at the designed desktop font, larger in the same measure
// with a larger desktop font.
QFont DesignedFont(const QFont& base, int pixels, bool bold);
// The designed red of a text on the window's background where that is light; a light red where
// it is dark, so that the text stays readable.
QColor WarningColour(const QPalette& palette, const QColor& designed);
// Paints a label's text in WarningColour of its palette.
void PaintWarning(QLabel* label, const QColor& designed);
