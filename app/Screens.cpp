#include "Screens.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>

QRect fitIntoScreen(const QRect& wanted, const QRect& available, const QMargins& frame)
{
    const QRect room = available.marginsRemoved(frame);
    QRect fitted(wanted.topLeft(), wanted.size().boundedTo(room.size()));
    fitted.moveLeft(std::clamp(fitted.left(), room.left(), room.right() - fitted.width() + 1));
    fitted.moveTop(std::clamp(fitted.top(), room.top(), room.bottom() - fitted.height() + 1));
    return fitted;
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
    window.setGeometry(fitIntoScreen(QRect(at, wanted.expandedTo(window.minimumSize())), available));
}

bool restorePlace(QWidget& window, const QByteArray& kept, QSize wanted)
{
    if (!kept.isEmpty() && window.restoreGeometry(kept)) {
        // The place holds only while a screen shows the window's title bar
        // whole; a monitor unplugged since leaves it nowhere.
        const QRect title(window.geometry().topLeft() - QPoint(0, kTypicalFrame.top()), QSize(window.width(), kTypicalFrame.top()));
        const QScreen* screen = QGuiApplication::screenAt(title.center());
        if (screen && screen->availableGeometry().contains(title.topLeft()) && screen->availableGeometry().contains(title.topRight())) {
            fitToScreen(window, window.size());
            return true;
        }
    }
    fitToScreen(window, wanted);
    return false;
}
