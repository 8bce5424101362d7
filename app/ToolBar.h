#pragma once

#include <QWidget>

// The free area of the toolbar reports a released mouse button.
class TToolBar : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;
signals:
    void mouseUp(Qt::MouseButton button, Qt::KeyboardModifiers modifiers);

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};
