#include "HtmlHlp.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QWidget>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

const QString kHelpFile = QStringLiteral("ZEL-TERRAVOX.chm");
const QString kEnglishHelpFile = QStringLiteral("ZEL-TERRAVOX-en.chm");

QString helpTopicText(const QString& helpFile, int topic)
{
    return QString::asprintf("%s::/H%2.2d.htm", qPrintable(helpFile), topic);
}

THtmlHelpLoader::THtmlHelpLoader(Loader loader)
    : m_loader(std::move(loader))
{
}

THtmlHelpLoader::~THtmlHelpLoader()
{
    if (m_entry) {
        m_entry.reset();
        m_libraryName.clear();
    }
}

void THtmlHelpLoader::tryLoad()
{
    if (m_loadTried)
        return;
    m_loadTried = true;
    try {
        if (m_loader)
            m_entry = m_loader();
    } catch (...) {
        m_entry.reset();
    }
}

std::uintptr_t THtmlHelpLoader::HtmlHelp(QWidget* owner, const QString& text, std::uint32_t command,
                                         std::uint32_t data)
{
    if (command == kCloseAll && !m_loadTried)
        return 0;
    tryLoad();
    return m_entry ? (*m_entry)(owner, text, command, data) : 0;
}

QString THtmlHelpLoader::findHelpFile(const QString& bareName)
{
    for (const QString& dir : {QDir::currentPath(), QCoreApplication::applicationDirPath()}) {
        const QFileInfo file(QDir(dir).filePath(bareName));
        if (file.isFile())
            return file.absoluteFilePath();
    }
    return {};
}

#ifdef Q_OS_WIN

THtmlHelpLoader::Loader THtmlHelpLoader::defaultLoader()
{
    // The system's HTML help control and its entry point; the help file is
    // named by its bare name and looked for as findHelpFile() does.
    return []() -> std::optional<EntryPoint> {
        const HMODULE library = LoadLibraryW(L"HHCTRL.OCX");
        if (!library)
            return std::nullopt;
        using HtmlHelpW = HWND(WINAPI*)(HWND, LPCWSTR, UINT, DWORD_PTR);
        const auto entry = reinterpret_cast<HtmlHelpW>(reinterpret_cast<void*>(GetProcAddress(library, "HtmlHelpW")));
        if (!entry)
            return std::nullopt;
        return EntryPoint([entry](QWidget* owner, const QString& text, std::uint32_t command, std::uint32_t data) {
            QString target = text;
            if (command == kDisplayTopic) {
                const QString file = findHelpFile(text.section(QStringLiteral("::"), 0, 0));
                if (file.isEmpty())
                    return std::uintptr_t(0);
                target = QDir::toNativeSeparators(file) + QStringLiteral("::") + text.section(QStringLiteral("::"), 1);
            }
            const HWND window = owner ? reinterpret_cast<HWND>(owner->winId()) : nullptr;
            return reinterpret_cast<std::uintptr_t>(
                entry(window, target.isEmpty() ? nullptr : reinterpret_cast<LPCWSTR>(target.utf16()), command, data));
        });
    };
}

#else

THtmlHelpLoader::Loader THtmlHelpLoader::defaultLoader()
{
    return []() -> std::optional<EntryPoint> {
        QString viewer;
        for (const char* name : {"xchm", "kchmviewer"}) {
            viewer = QStandardPaths::findExecutable(QLatin1String(name));
            if (!viewer.isEmpty())
                break;
        }
        if (viewer.isEmpty())
            return std::nullopt;
        return EntryPoint([viewer](QWidget*, const QString& text, std::uint32_t command, std::uint32_t) -> std::uintptr_t {
            if (command != kDisplayTopic)
                return 0;
            const QString file = findHelpFile(text.section(QStringLiteral("::"), 0, 0));
            if (file.isEmpty())
                return 0;
            const QString topic = text.section(QStringLiteral("::"), 1);
            QStringList args;
            if (viewer.endsWith(QLatin1String("kchmviewer")))
                args << QStringLiteral("-showPage") << topic.mid(1) << file;
            else
                args << file + QLatin1Char(':') + topic;
            qint64 pid = 0;
            return QProcess::startDetached(viewer, args, QString(), &pid) ? std::uintptr_t(pid) : 0;
        });
    };
}

#endif
