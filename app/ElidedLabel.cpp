#include "ElidedLabel.h"

#include <QResizeEvent>

namespace {
// What the label asks for at least: a few words' width.
constexpr int kLeastWidth = 120;
} // namespace

TElidedLabel::TElidedLabel(QWidget* parent) : QLabel(parent)
{
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    setTextFormat(Qt::PlainText);
}

void TElidedLabel::setText(const QString& text)
{
    m_text = text;
    elide();
}

QSize TElidedLabel::minimumSizeHint() const
{
    return {kLeastWidth, fontMetrics().height() + contentsMargins().top() + contentsMargins().bottom()};
}

QSize TElidedLabel::sizeHint() const
{
    return {fontMetrics().horizontalAdvance(m_text) + contentsMargins().left() + contentsMargins().right(), minimumSizeHint().height()};
}

void TElidedLabel::resizeEvent(QResizeEvent* event)
{
    QLabel::resizeEvent(event);
    elide();
}

void TElidedLabel::elide()
{
    const int room = contentsRect().width();
    const QString shown = fontMetrics().elidedText(QString(m_text).replace(QLatin1Char('\n'), QLatin1Char(' ')), Qt::ElideMiddle, room);
    QLabel::setText(shown);
    setToolTip(shown == m_text ? QString() : m_text);
}
