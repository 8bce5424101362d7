// Writes the program's emblem as the application icon of the hicolor theme:
// zel-emblem DIR makes DIR/hicolor/<n>x<n>/apps/zel-terravox.png.
#include "app/Images.h"

#include <QDir>
#include <QGuiApplication>

int main(int argc, char* argv[])
{
    QGuiApplication app(argc, argv);
    if (argc != 2)
        return 2;
    const QImage image = emblem().toImage().convertToFormat(QImage::Format_ARGB32);
    for (int size : {48, 64, 128, 256}) {
        const QString dir = QStringLiteral("%1/hicolor/%2x%2/apps").arg(QString::fromLocal8Bit(argv[1])).arg(size);
        if (!QDir().mkpath(dir))
            return 1;
        const QImage scaled = image.scaled(size, size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        if (!scaled.save(dir + QStringLiteral("/zel-terravox.png")))
            return 1;
    }
    return 0;
}
