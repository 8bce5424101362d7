#pragma once

#include <QByteArray>
#include <QString>

namespace zel {

// Single-byte Windows-1251 text: the code page of the station's texts, of the
// list and of every text file the program writes.
// Neither falls back to another code page: without the codec they end the
// program. Programs check cp1251Available() at start to say so plainly.
bool cp1251Available();
QString fromCp1251(const QByteArray& bytes);
QByteArray toCp1251(const QString& text);

} // namespace zel
