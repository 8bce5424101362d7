#include "HelpWindow.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QStyle>
#include <QTextBrowser>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

QUrl topicUrl(int topic) { return QUrl(QStringLiteral("qrc:/help/") + QString::asprintf("H%2.2d.htm", topic)); }

} // namespace

THelpWindow::THelpWindow(QWidget* parent)
    : QWidget(parent, Qt::Window)
    , m_browser(new QTextBrowser(this))
{
    setObjectName(QStringLiteral("HelpWindow"));
    // The help keeps the program's name as its title, whatever the topic.
    setWindowTitle(QStringLiteral("ZEL-TERRAVOX"));
    resize(720, 560);

    auto button = [this](const char* name, const QString& text, QStyle::StandardPixmap icon) {
        auto* b = new QToolButton(this);
        b->setObjectName(QLatin1String(name));
        b->setText(text);
        b->setIcon(style()->standardIcon(icon));
        b->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        b->setAutoRaise(true);
        return b;
    };
    BackButton = button("BackButton", tr("Назад"), QStyle::SP_ArrowBack);
    ForwardButton = button("ForwardButton", tr("Вперёд"), QStyle::SP_ArrowForward);
    ContentsButton = button("ContentsButton", tr("Содержание"), QStyle::SP_DirHomeIcon);
    BackButton->setEnabled(false);
    ForwardButton->setEnabled(false);

    auto* buttons = new QHBoxLayout;
    buttons->setContentsMargins(4, 2, 4, 2);
    buttons->addWidget(BackButton);
    buttons->addWidget(ForwardButton);
    buttons->addWidget(ContentsButton);
    buttons->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addLayout(buttons);
    layout->addWidget(m_browser);

    m_browser->setSearchPaths({QStringLiteral(":/help")});
    m_browser->setOpenExternalLinks(true);
    connect(BackButton, &QToolButton::clicked, m_browser, &QTextBrowser::backward);
    connect(ForwardButton, &QToolButton::clicked, m_browser, &QTextBrowser::forward);
    connect(ContentsButton, &QToolButton::clicked, this, [this] { showTopic(1); });
    connect(m_browser, &QTextBrowser::backwardAvailable, BackButton, &QToolButton::setEnabled);
    connect(m_browser, &QTextBrowser::forwardAvailable, ForwardButton, &QToolButton::setEnabled);
}

void THelpWindow::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape)
        close();
    else
        QWidget::keyPressEvent(event);
}

void THelpWindow::showTopic(int topic)
{
    m_browser->setSource(topicUrl(topic));
    show();
    raise();
    activateWindow();
}
