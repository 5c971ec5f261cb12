// Small pieces shared by the fixed-layout dialogs.
#pragma once

#include <QRect>
#include <QString>
#include <string>

#include "tree/LocalText.h"

class QFrame;
class QLabel;
class QWidget;

// A sunken framed box, as the dialogs draw around their text.
QFrame* MakeBevel(QWidget* parent, const QRect& geometry);
// A fixed-size, word-wrapping label that shows its text literally (never as markup).
QLabel* MakeMessageLabel(QWidget* parent, const QRect& geometry);
// Centres a top-level window on the screen it is on (or the primary screen).
void CenterOnScreen(QWidget* window);
