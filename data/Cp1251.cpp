#include "Cp1251.h"

#include <QTextCodec>

namespace zel {

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

} // namespace zel
