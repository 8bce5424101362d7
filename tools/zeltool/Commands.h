#pragma once

#include <QStringList>

#include <cstdio>

namespace zeltool {

// Runs the zeltool command of `args` (its name first): the exit status, 0
// when it did what was asked, 1 when it failed (one line on `err`), 2 for a
// wrong call (what was wrong and the command's usage on `err`). `in`
// answers the questions of a command that asks.
// True when the command of `args` (its name first) draws with widgets and
// so needs an application with a platform (offscreen) to run in.
bool draws(const QStringList& args);

int run(const QStringList& args, std::FILE* out, std::FILE* err, std::FILE* in = stdin);

} // namespace zeltool
