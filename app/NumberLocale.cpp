#include "NumberLocale.h"

#include "texts/Texts.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>

namespace {

class NumberLocaleFilter : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        const QEvent::Type type = event->type();
        if ((type == QEvent::Show || type == QEvent::LanguageChange) && watched->isWidgetType()) {
            auto* window = static_cast<QWidget*>(watched);
            if (window->isWindow()) {
                // After the change of language is through: the translators
                // are installed one by one.
                QMetaObject::invokeMethod(window, [window] {
                    const QLocale numbers = zel::texts::numberLocale();
                    if (window->locale() != numbers)
                        window->setLocale(numbers);
                }, type == QEvent::Show ? Qt::DirectConnection : Qt::QueuedConnection);
            }
        }
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

void followProgramLanguage()
{
    static NumberLocaleFilter* filter = nullptr;
    if (filter || !qApp)
        return;
    filter = new NumberLocaleFilter(qApp);
    qApp->installEventFilter(filter);
}
