#include "ToolBar.h"

#include <QMouseEvent>

void TToolBar::mouseReleaseEvent(QMouseEvent* event)
{
    emit mouseUp(event->button(), event->modifiers());
    QWidget::mouseReleaseEvent(event);
}
