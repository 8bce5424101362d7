#include "Images.h"
#include "texts/Texts.h"
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
    // A data file named on the command line (a .zel file opened from the desktop) is loaded as by Load File.
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() > 1)
        form.OpenDataFile(arguments.at(1));
    return app.exec();
}
