// Draws the program's images as files, to be committed beside the code:
//   zel-emblem IMAGES ICONS
// writes IMAGES/emblem.png and IMAGES/tool<n>.png (the window's resources)
// and ICONS/hicolor/<n>x<n>/apps/zel-terravox.png (the desktop's icon).
#include "Painting.h"

#include <QDir>
#include <QGuiApplication>

#include <cstdio>

int main(int argc, char* argv[])
{
    QGuiApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: zel-emblem IMAGES ICONS\n");
        return 2;
    }
    const QString images = QString::fromLocal8Bit(argv[1]);
    const QString icons = QString::fromLocal8Bit(argv[2]);
    bool ok = QDir().mkpath(images) && paintEmblem().save(images + QStringLiteral("/emblem.png"));
    for (int i = 0; i < kPaintedToolImages; ++i)
        ok = paintToolImage(i).save(QStringLiteral("%1/tool%2.png").arg(images).arg(i)) && ok;
    const QImage image = paintEmblem().convertToFormat(QImage::Format_ARGB32);
    for (int size : {48, 64, 128, 256}) {
        const QString dir = QStringLiteral("%1/hicolor/%2x%2/apps").arg(icons).arg(size);
        const QImage scaled = image.scaled(size, size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        ok = QDir().mkpath(dir) && scaled.save(dir + QStringLiteral("/zel-terravox.png")) && ok;
    }
    return ok ? 0 : 1;
}
