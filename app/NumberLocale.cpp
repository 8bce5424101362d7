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
            // The change of language arrives once every translator is in:
            // the program's language is settled by then.
            if (window->isWindow()) {
                const QLocale numbers = zel::texts::numberLocale();
                if (window->locale() != numbers)
                    window->setLocale(numbers);
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
