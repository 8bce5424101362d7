#include "Commands.h"

#include "texts/Texts.h"

#include "data/Cp1251.h"
#include "data/NumericLocale.h"

#include <QApplication>
#include <QCoreApplication>

#include <memory>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

int main(int argc, char* argv[])
{
    // A command that draws does it with widgets, without a display: the
    // offscreen platform. The command table says which commands draw.
    std::unique_ptr<QCoreApplication> app;
    QStringList given;
    for (int i = 1; i < argc; ++i)
        given += QString::fromLocal8Bit(argv[i]);
    if (zeltool::draws(given)) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        app = std::make_unique<QApplication>(argc, argv);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    zel::keepFullStopInNumbers();
#ifdef Q_OS_WIN
    // Messages and tables are written as UTF-8: the console shows them so.
    SetConsoleOutputCP(CP_UTF8);
#endif
    if (!zel::cp1251Available()) {
        std::fputs("zeltool: the Windows-1251 text codec is missing: install Qt's Core5Compat.\n", stderr);
        return 1;
    }
    // The messages in English unless the environment asks for Russian; the
    // data written never depend on it.
    zel::texts::installProgramTranslations(zel::texts::languageOfEnvironment());
    QStringList args = QCoreApplication::arguments();
    args.removeFirst();
    return zeltool::run(args, stdout, stderr);
}
