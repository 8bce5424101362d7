#include "Images.h"

QIcon toolImage(int index) { return QIcon(QStringLiteral(":/images/tool%1.png").arg(index)); }

QPixmap emblem() { return QPixmap(QStringLiteral(":/images/emblem.png")); }

QIcon emblemIcon() { return QIcon(emblem()); }
