// Small pieces shared by the fixed-layout dialogs.
#pragma once

#include <QRect>
#include <QString>
#include <string>

#include "tree/LocalText.h"

class QFileDialog;
class QFrame;
class QLabel;
class QLineEdit;
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
