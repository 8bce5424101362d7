#pragma once

#include <QByteArray>

#include <cstdio>

// Everything written to a temporary stream; closes it.
inline QByteArray readAllAndClose(std::FILE* f)
{
    std::rewind(f);
    QByteArray bytes;
    char buf[4096];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0)
        bytes.append(buf, qsizetype(n));
    std::fclose(f);
    return bytes;
}
