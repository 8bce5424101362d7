#include "Screens.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>

QRect placeWithin(const QRect& available, QSize wanted, QPoint at)
{
    const QRect inside = available.marginsRemoved(kWindowFrame);
    const QSize size = wanted.boundedTo(inside.size());
    QPoint corner = at;
    corner.setX(std::clamp(corner.x(), inside.left(), inside.right() + 1 - size.width()));
    corner.setY(std::clamp(corner.y(), inside.top(), inside.bottom() + 1 - size.height()));
    return {corner, size};
}

namespace {

const QScreen* screenOf(const QWidget& window)
{
    if (const QScreen* s = QGuiApplication::screenAt(window.geometry().center()))
        return s;
    return QGuiApplication::primaryScreen();
}

} // namespace

void fitToScreen(QWidget& window, QSize wanted)
{
    const QScreen* screen = screenOf(window);
    if (!screen) {
        window.resize(wanted);
        return;
    }
    const QRect available = screen->availableGeometry();
    // A window not placed yet goes to the middle of the screen.
    const QPoint at = window.isVisible() || window.testAttribute(Qt::WA_Moved)
        ? window.geometry().topLeft()
        : available.center() - QPoint(wanted.width() / 2, wanted.height() / 2);
    window.setGeometry(placeWithin(available, wanted.expandedTo(window.minimumSize()), at));
}

bool restorePlace(QWidget& window, const QByteArray& kept, QSize wanted)
{
    if (!kept.isEmpty() && window.restoreGeometry(kept)) {
        // The place holds only while a screen shows the window's title bar
        // whole; a monitor unplugged since leaves it nowhere.
        const QRect title(window.geometry().topLeft() - QPoint(0, kWindowFrame.top()), QSize(window.width(), kWindowFrame.top()));
        const QScreen* screen = QGuiApplication::screenAt(title.center());
        if (screen && screen->availableGeometry().contains(title.topLeft()) && screen->availableGeometry().contains(title.topRight())) {
            fitToScreen(window, window.size());
            return true;
        }
    }
    fitToScreen(window, wanted);
    return false;
}
