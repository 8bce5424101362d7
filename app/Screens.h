#pragma once

#include <QByteArray>
#include <QMargins>
#include <QRect>
#include <QSize>

class QWidget;

// Room a window's frame takes around its contents: the title bar above and
// the borders, as the usual desktops draw them.
inline const QMargins kWindowFrame(8, 32, 8, 8);

// Where a window of `wanted` contents goes on a screen area `available`
// (the screen less its taskbar): no larger than the area leaves with its
// frame, at `at` when it fits there, else moved in from the edges it
// crosses.
QRect placeWithin(const QRect& available, QSize wanted, QPoint at);

// Sizes a window to `wanted` and places it inside the screen it is on (the
// primary one before it is shown), frame and all.
void fitToScreen(QWidget& window, QSize wanted);

// A place and size kept by saveGeometry, taken only when the window lands on
// a screen there; else the window is fitted to `wanted`. False when not taken.
bool restorePlace(QWidget& window, const QByteArray& kept, QSize wanted);
