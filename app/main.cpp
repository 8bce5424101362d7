#include "Images.h"
#include "Texts.h"
#include "ZelMain.h"

#include "data/Cp1251.h"
#include "data/NumericLocale.h"

#include <QApplication>
#include <QMessageBox>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    zel::keepFullStopInNumbers();
    QApplication::setApplicationName(QStringLiteral("zel-terravox"));
    QApplication::setApplicationVersion(QStringLiteral(ZEL_VERSION_TEXT));
    QApplication::setWindowIcon(emblemIcon());
    // Under a Russian locale the toolkit's own buttons and dialogs speak Russian too.
    zel::texts::installQtTranslations(QLocale());
    if (!zel::cp1251Available()) {
        QMessageBox::critical(nullptr, kApplicationTitle,
                              QStringLiteral("The Windows-1251 text codec is missing: install Qt's Core5Compat."));
        return 1;
    }
    TForm1 form;
    form.show();
    return app.exec();
}
