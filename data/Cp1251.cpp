#include "Cp1251.h"

#include <QTextCodec>

namespace zel {

namespace {

QTextCodec* codec()
{
    static QTextCodec* const c = QTextCodec::codecForName("Windows-1251");
    return c;
}

} // namespace

QString fromCp1251(const QByteArray& bytes)
{
    return codec() ? codec()->toUnicode(bytes) : QString::fromLatin1(bytes);
}

QByteArray toCp1251(const QString& text)
{
    return codec() ? codec()->fromUnicode(text) : text.toLatin1();
}

} // namespace zel
