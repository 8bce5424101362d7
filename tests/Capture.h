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

#include "zeltool/Commands.h"

#include <QStringList>

// What a zeltool command wrote and its exit status.
struct Captured {
    int status = 0;
    QByteArray out;
    QByteArray err;
};

inline Captured run(const QStringList& args)
{
    std::FILE* out = std::tmpfile();
    std::FILE* err = std::tmpfile();
    Captured c;
    c.status = zeltool::run(args, out, err);
    c.out = readAllAndClose(out);
    c.err = readAllAndClose(err);
    return c;
}
