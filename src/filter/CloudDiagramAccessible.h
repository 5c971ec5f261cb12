// The condition diagram as a screen reader sees it: the diagram's key target is a list named
// "Condition diagram" whose children are the circles (in their order) and then the pins, each
// with its name, description, place on the screen and whether it is selected; the texts come
// from filter/diagram/DiagramSpeech.h.
#pragma once

class QWidget;

// Registers the interfaces with Qt's accessibility (once; later calls do nothing).
void InstallDiagramAccessibility();
// Tells the screen reader that the keyboard is on shape index (circles, then pins): focus and
// selection move to it. Nothing for -1.
void NotifyCurrentShape(QWidget* keyTarget, int index);
// Tells the screen reader that shape index moved or changed its size (its value, the place).
void NotifyShapeChanged(QWidget* keyTarget, int index);
// Tells the screen reader that shapes came or went.
void NotifyDiagramChanged(QWidget* keyTarget);
