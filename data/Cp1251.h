#pragma once

#include <QByteArray>
#include <QString>

namespace zel {

// Single-byte Windows-1251 text: the code page of the station's texts, of the
// list and of every text file the program writes.
QString fromCp1251(const QByteArray& bytes);
QByteArray toCp1251(const QString& text);

} // namespace zel
