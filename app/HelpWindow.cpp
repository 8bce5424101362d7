#include "HelpWindow.h"

#include "Screens.h"

#include "texts/Texts.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QStyle>
#include <QTextBrowser>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

// The topics in the language of the interface: the English set in a folder of its own.
QUrl topicUrl(int topic)
{
    const bool english = zel::texts::currentLanguage() == zel::texts::Language::English;
    return QUrl(QStringLiteral("qrc:/help/") + (english ? QStringLiteral("en/") : QString())
                + QString::asprintf("H%2.2d.htm", topic));
}

int topicOf(const QUrl& url)
{
    const QString name = url.fileName();
    return name.size() == 7 && name.startsWith(QLatin1Char('H')) ? name.mid(1, 2).toInt() : 1;
}

} // namespace

THelpWindow::THelpWindow(QWidget* parent)
    : QWidget(parent, Qt::Window)
    , m_browser(new QTextBrowser(this))
{
    setObjectName(QStringLiteral("HelpWindow"));
    // The help keeps the program's name as its title, whatever the topic.
    setWindowTitle(QStringLiteral("ZEL-TERRAVOX"));
    fitToScreen(*this, QSize(720, 560));

    auto button = [this](const char* name, const QString& text, QStyle::StandardPixmap icon) {
        auto* b = new QToolButton(this);
        b->setObjectName(QLatin1String(name));
        b->setText(text);
        b->setIcon(style()->standardIcon(icon));
        b->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        b->setAutoRaise(true);
        return b;
    };
    BackButton = button("BackButton", QString(), QStyle::SP_ArrowBack);
    ForwardButton = button("ForwardButton", QString(), QStyle::SP_ArrowForward);
    ContentsButton = button("ContentsButton", QString(), QStyle::SP_DirHomeIcon);
    retranslate();
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

void THelpWindow::retranslate()
{
    BackButton->setText(tr("Назад"));
    ForwardButton->setText(tr("Вперёд"));
    ContentsButton->setText(tr("Содержание"));
}

void THelpWindow::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange) {
        retranslate();
        // The topic shown stays, in the other language; the way back starts anew.
        if (!m_browser->source().isEmpty()) {
            m_browser->setSource(topicUrl(topicOf(m_browser->source())));
            m_browser->clearHistory();
        }
    }
    QWidget::changeEvent(event);
}

void THelpWindow::showTopic(int topic)
{
    m_browser->setSource(topicUrl(topic));
    show();
    raise();
    activateWindow();
}
