#include "Painting.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {

void drawSheet(QPainter& p, const QColor& fill)
{
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(fill);
    p.drawRect(2, 1, 11, 14);
}

void drawGrid(QPainter& p, const QColor& header)
{
    p.setPen(QPen(QColor(40, 40, 40), 1));
    p.setBrush(Qt::white);
    p.drawRect(1, 2, 14, 12);
    p.fillRect(2, 3, 13, 3, header);
    for (int x = 5; x < 15; x += 4)
        p.drawLine(x, 3, x, 13);
    for (int y = 6; y < 14; y += 3)
        p.drawLine(2, y, 14, y);
}

void drawArrowDown(QPainter& p, const QColor& c, int x, int y)
{
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawRect(x - 1, y, 3, 5);
    const QPointF tip[3] = {QPointF(x - 3.5, y + 5), QPointF(x + 4.5, y + 5), QPointF(x + 0.5, y + 9)};
    p.drawPolygon(tip, 3);
}

void drawFloppy(QPainter& p)
{
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(QColor(40, 70, 160));
    p.drawRect(1, 1, 14, 14);
    p.fillRect(4, 2, 8, 5, Qt::white);
    p.fillRect(4, 10, 8, 5, QColor(200, 200, 200));
}

QPixmap paintImage(int index)
{
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing, false);
    switch (index) {
    case 0:  // read data: the station and an arrow down to the computer
        p.setPen(QPen(Qt::black, 1));
        p.setBrush(QColor(230, 200, 60));
        p.drawRect(3, 0, 9, 5);
        drawArrowDown(p, QColor(0, 120, 0), 7, 5);
        p.setBrush(QColor(90, 90, 90));
        p.drawRect(1, 14, 14, 1);
        break;
    case 1:  // view: a sheet and a magnifier
        drawSheet(p, Qt::white);
        p.setPen(QPen(QColor(0, 0, 160), 2));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(5, 4, 6, 6);
        p.drawLine(10, 10, 14, 14);
        break;
    case 2:  // save protocol: electrodes A M N B on a line
        p.setPen(QPen(Qt::black, 1));
        p.drawLine(0, 9, 15, 9);
        p.setBrush(QColor(200, 0, 0));
        p.drawRect(1, 4, 2, 8);
        p.drawRect(13, 4, 2, 8);
        p.setBrush(QColor(0, 0, 200));
        p.drawRect(5, 6, 2, 6);
        p.drawRect(9, 6, 2, 6);
        break;
    case 4:  // load file: an open folder
        p.setPen(QPen(Qt::black, 1));
        p.setBrush(QColor(240, 200, 80));
        p.drawRect(1, 4, 13, 10);
        p.drawRect(1, 2, 5, 2);
        break;
    case 5:  // save as text: a sheet with lines of text
        drawSheet(p, Qt::white);
        p.setPen(QPen(Qt::black, 1));
        for (int y = 4; y < 14; y += 2)
            p.drawLine(4, y, 11, y);
        break;
    case 7:  // save file
        drawFloppy(p);
        break;
    case 8:  // EEPROM: a chip
        p.setPen(QPen(Qt::black, 1));
        p.setBrush(QColor(50, 50, 50));
        p.drawRect(3, 2, 9, 12);
        for (int y = 3; y < 14; y += 3) {
            p.drawLine(0, y, 2, y);
            p.drawLine(13, y, 15, y);
        }
        break;
    case 9:  // TERRAVOX workbook
        drawGrid(p, QColor(0, 140, 0));
        break;
    case 10:  // ZEL-SOLO workbook
        drawGrid(p, QColor(230, 200, 0));
        break;
    default:
        break;
    }
    return pm;
}

} // namespace

QImage paintToolImage(int index) { return paintImage(index).toImage(); }

QImage paintEmblem()
{
    // A monochrome emblem: the ground line with the electrodes A, M, N, B
    // and the current lines between A and B beneath it.
    QImage img(145, 145, QImage::Format_Mono);
    img.fill(1);
    QPainter p(&img);
    p.setPen(QPen(Qt::black, 5));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(5, 5, 135, 135);
    p.setPen(QPen(Qt::black, 4));
    p.drawLine(16, 62, 129, 62);
    for (int x : {30, 58, 87, 115})
        p.drawLine(x, 50, x, 74);
    p.setPen(QPen(Qt::black, 2, Qt::DashLine));
    for (int depth : {18, 32, 46})
        p.drawArc(QRectF(30, 62 - depth, 85, 2 * depth), 180 * 16, 180 * 16);
    p.setPen(QPen(Qt::black, 2));
    QFont font(QStringLiteral("Sans"), 13, QFont::Bold);
    p.setFont(font);
    p.drawText(QRect(20, 18, 105, 26), Qt::AlignCenter, QStringLiteral("ZEL"));
    p.end();
    return img;
}
