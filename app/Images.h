#pragma once

#include <QIcon>
#include <QPixmap>

// The toolbar's image list: eleven 16 x 16 images, drawn by the program so
// that they look the same on every desktop.
// 0 read data, 1 view, 2 save protocol, 3 spare, 4 load file, 5 save as text,
// 6 spare, 7 save file, 8 EEPROM, 9 TERRAVOX, 10 ZEL-SOLO.
constexpr int kToolImageCount = 11;
QIcon toolImage(int index);

// The program's emblem, monochrome, 145 x 145: window icon and About box.
QPixmap emblem();
QIcon emblemIcon();
