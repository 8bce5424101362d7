#include "Cp1251.h"

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <QTextCodec>
#endif

namespace zel {

#ifdef Q_OS_WIN

// The system's own code page 1251 tables: present on every Windows.
namespace {
constexpr UINT kCp1251 = 1251;
}

bool cp1251Available() { return IsValidCodePage(kCp1251) != 0; }

QString fromCp1251(const QByteArray& bytes)
{
    if (bytes.isEmpty())
        return {};
    const int n = MultiByteToWideChar(kCp1251, 0, bytes.constData(), int(bytes.size()), nullptr, 0);
    std::wstring wide(std::size_t(n), L'\0');
    MultiByteToWideChar(kCp1251, 0, bytes.constData(), int(bytes.size()), wide.data(), n);
    return QString::fromStdWString(wide);
}

QByteArray toCp1251(const QString& text)
{
    if (text.isEmpty())
        return {};
    const std::wstring wide = text.toStdWString();
    const int n = WideCharToMultiByte(kCp1251, 0, wide.data(), int(wide.size()), nullptr, 0, nullptr, nullptr);
    QByteArray bytes(n, '\0');
    WideCharToMultiByte(kCp1251, 0, wide.data(), int(wide.size()), bytes.data(), n, nullptr, nullptr);
    return bytes;
}

#else

namespace {

QTextCodec* codec()
{
    static QTextCodec* const c = QTextCodec::codecForName("Windows-1251");
    return c;
}

// Text in another code page would be garbage in every file and every list
// line: without the codec the program must not go on.
QTextCodec& requiredCodec()
{
    QTextCodec* c = codec();
    if (!c)
        qFatal("The Windows-1251 text codec is missing (Qt Core5Compat without its codecs)");
    return *c;
}

} // namespace

bool cp1251Available() { return codec() != nullptr; }

QString fromCp1251(const QByteArray& bytes) { return requiredCodec().toUnicode(bytes); }

QByteArray toCp1251(const QString& text) { return requiredCodec().fromUnicode(text); }

#endif

} // namespace zel
