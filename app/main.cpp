#include "Images.h"
#include "texts/Texts.h"
#include "UserDialogs.h"
#include "ZelMain.h"

#include "data/Cp1251.h"
#include "data/NumericLocale.h"
#include "data/ReadingArchive.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#if defined(Q_OS_WIN)
#include <windows.h>

#include <algorithm>

namespace {

// A window program has no console: Qt's messages go to the debugger and to
// "zel-terravox.log" beside the readings folder, begun anew once it passes 1 MB.
QString g_logFile;

void logMessage(QtMsgType type, const QMessageLogContext&, const QString& text)
{
    static const char* const kinds[] = {"debug", "warning", "critical", "fatal", "info"};
    const QString line = QStringLiteral("%1 %2: %3\r\n")
                             .arg(QDateTime::currentDateTime().toString(Qt::ISODate),
                                  QLatin1String(kinds[std::min<int>(type, 4)]), text);
    OutputDebugStringW(reinterpret_cast<const wchar_t*>(line.utf16()));
    QFile log(g_logFile);
    if (log.open(QIODevice::Append))
        log.write(line.toUtf8());
}

void logToFile()
{
    const QString folder = QFileInfo(zel::ReadingArchive::defaultFolder()).absolutePath();
    QDir().mkpath(folder);
    g_logFile = QDir(folder).filePath(QStringLiteral("zel-terravox.log"));
    if (QFileInfo(g_logFile).size() > 1024 * 1024)
        QFile::remove(g_logFile);
    qInstallMessageHandler(logMessage);
}

} // namespace
#endif

int main(int argc, char* argv[])
{
#if defined(Q_OS_WIN)
    logToFile();  // before the application, whose start may already say something
#endif
    QApplication app(argc, argv);
    zel::keepFullStopInNumbers();
    QApplication::setApplicationName(QStringLiteral("zel-terravox"));
    QApplication::setApplicationVersion(QStringLiteral(ZEL_VERSION_TEXT));
    QApplication::setWindowIcon(emblemIcon());
    // Under a Russian locale the toolkit's own buttons and dialogs speak Russian too.
    zel::texts::installQtTranslations(QLocale());
    if (!zel::cp1251Available()) {
        QtUserDialogs().showMessage(nullptr, MessageKind::Error, zel::texts::kApplicationTitle,
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
