#pragma once

#include <QStringList>

#include <cstdio>

// zeltool's subcommands. Each returns the process exit status; errors go to
// `err` as one line.
namespace zeltool {

int view(const QStringList& args, std::FILE* out, std::FILE* err);
int text(const QStringList& args, std::FILE* out, std::FILE* err);
int read(const QStringList& args, std::FILE* out, std::FILE* err);
int port(const QStringList& args, std::FILE* out, std::FILE* err);
int xlsx(const QStringList& args, std::FILE* out, std::FILE* err);
// Values of the survey as CSV, Res2DInv or pyGIMLi/BERT files.
int exportSurvey(const QStringList& args, std::FILE* out, std::FILE* err);
// An electrode table of a Wenner, Wenner-Schlumberger or dipole-dipole sequence.
int sequence(const QStringList& args, std::FILE* out, std::FILE* err);
// The profile graph or the pseudosection as PNG or PDF, drawn without a display.
int plot(const QStringList& args, std::FILE* out, std::FILE* err);
int check(const QStringList& args, std::FILE* out, std::FILE* err);
int protocol(const QStringList& args, std::FILE* out, std::FILE* err);
// `in` answers the two questions unless --yes is given.
int firmware(const QStringList& args, std::FILE* in, std::FILE* out, std::FILE* err);

int run(const QStringList& args, std::FILE* out, std::FILE* err, std::FILE* in = stdin);

} // namespace zeltool
