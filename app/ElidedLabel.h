#pragma once

#include <QLabel>

// A one-line label for texts of any length (a progress line, the files just
// written): shortened in the middle to its width, the whole text in its
// tooltip; it never asks its window to be wider than the screen.
class TElidedLabel : public QLabel {
    Q_OBJECT
public:
    explicit TElidedLabel(QWidget* parent = nullptr);
    void setText(const QString& text);
    // The text whole, as given.
    QString text() const { return m_text; }
    QSize minimumSizeHint() const override;
    QSize sizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void elide();
    QString m_text;
};
