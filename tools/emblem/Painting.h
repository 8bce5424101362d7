#pragma once

#include <QImage>

// The program's images as they were first drawn: the toolbar's eleven
// 16 x 16 images and the monochrome 145 x 145 emblem. The program itself
// carries them as image files; this draws those files again.
constexpr int kPaintedToolImages = 11;
QImage paintToolImage(int index);
QImage paintEmblem();
