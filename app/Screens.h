#pragma once

#include <QByteArray>
#include <QMargins>
#include <QRect>
#include <QSize>

class QWidget;

// A window frame's title bar and borders, as most desktops draw them.
inline const QMargins kTypicalFrame{4, 30, 4, 4};

// The window's geometry `wanted` (without its frame) moved, and shrunk where
// it must, so that the window with its frame lies within `available` (the
// screen less its taskbar).
QRect fitIntoScreen(const QRect& wanted, const QRect& available, const QMargins& frame = kTypicalFrame);

// Sizes a window to `wanted` and places it inside the screen it is on (the
// primary one before it is shown; in its middle when not placed yet), frame
// and all.
void fitToScreen(QWidget& window, QSize wanted);

// A place and size kept by saveGeometry, taken only when the window's title
// bar lands on a screen there; else the window is fitted to `wanted`. False
// when not taken.
bool restorePlace(QWidget& window, const QByteArray& kept, QSize wanted);
