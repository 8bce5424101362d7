// zeltool's command table: each command's name, usage and handler, the
// usage printed from it, and the errors of a command turned into its exit
// status.
#include "Commands.h"

#include <new>
#include <exception>

#include "Tool.h"

#include "texts/Texts.h"

#include "data/ZelError.h"

namespace zeltool {

namespace {

struct Command {
    const char* name;
    const char* usage;  // its line(s) of the usage, after "zeltool "
    int (*handler)(const Call& call);
    // It draws with widgets (a plot, a section, plan views): it runs in an
    // offscreen application.
    bool draws = false;
};

constexpr const char* kThresholds =
    "THRESHOLDS: [--min-voltage MV] [--spike-factor F] [--max-error P] [--default-error P] [--min-error P]";

const Command kCommands[] = {
    {"view", "view FILE.zel", view},
    {"text", "text FILE.zel OUT.txt", text},
    {"read", "read --port DEVICE|COMn [--baud N] OUT.zel", read},
    {"port", "port [--number N] DEVICE [NOTE]", port},
    {"xlsx", "xlsx --layout zel-solo|terravox FILE.zel OUT.xlsx", xlsx},
    {"export",
     "export --format csv|res2dinv|ohm [--spacing S] [--x0 X] [--channels consecutive|first]\n"
     "       [--line L [--file F]] [--exclude FILE | --ignore-exclusions] [--drop-flagged] [THRESHOLDS]\n"
     "       [--frequency HZ] FILE.zel OUT",
     exportSurvey},
    {"check", "check [--spacing S] [--x0 X] [--channels consecutive|first] [--line L [--file F]]\n"
              "      [THRESHOLDS] FILE.zel",
     check},
    {"sequence",
     "sequence --array wenner|schlumberger|dipole-dipole --electrodes COUNT [--first F]\n"
     "         [--a-min A] [--a-max A] [--n-max N] [--channels 1|4] [--reciprocals] OUT.txt",
     sequence},
    {"plot",
     "plot --kind profile|pseudosection [--value u|r|rhoa|pfe|metal] [--log] [--line L [--file F]]\n"
     "     [--spacing S] [--x0 X] [--channels consecutive|first]\n"
     "     [--width W --height H] FILE.zel OUT.png|OUT.pdf",
     plot, true},
    {"invert",
     "invert [--line L [--file F]] [--spacing S] [--x0 X] [--channels consecutive|first]\n"
     "       [--exclude FILE | --ignore-exclusions] [--drop-flagged] [THRESHOLDS] [--topography FILE]\n"
     "       [--lambda L] [--max-iterations N] [--robust] [--vertical-ratio R] [--doi] [--doi-threshold T]\n"
     "       [--grid-spacing S] [--frequency HZ | --ip [--frequencies LOW,HIGH]] [--png] [--pdf]\n"
     "       [--base FILE [--base-file F]] FILE.zel|FILE.ohm OUT\n"
     "invert --all [OPTIONS] FILE.zel OUTDIR\n"
     "invert --3d [OPTIONS] FILE.zel OUT",
     invert, true},
    {"sounding",
     "sounding [--line L [--file F]] [--spacing S] [--x0 X] [--channels consecutive|first] [THRESHOLDS]\n"
     "         [--spacings FILE] [--png] [--pdf] FILE.zel OUT\n"
     "sounding --all [OPTIONS] FILE.zel OUTDIR",
     sounding, true},
    {"forward",
     "forward [--noise P] [--channels 1|4] [--spacing S --x0 X --topography FILE]\n"
     "        MODEL.txt|MODEL.csv TABLE.txt OUT.ohm",
     forward},
    {"protocol", "protocol --port DEVICE|COMn [--baud N] TABLE.txt", protocol},
    {"firmware", "firmware --port DEVICE|COMn [--baud N] [--yes] FILE.bin", firmware},
};

// A command's usage lines, "usage: " before the first and the rest lined up under it.
QString usageOf(const Command& c, bool first)
{
    const QString lead = first ? QStringLiteral("usage: zeltool ") : QStringLiteral("       zeltool ");
    QString text = lead + QString::fromLatin1(c.usage);
    text.replace(QLatin1Char('\n'), QLatin1Char('\n') + QString(lead.size(), QLatin1Char(' ')));
    return text;
}

// The usage of one command, or of every one; "zeltool help COMMAND" names
// a command's options too.
void printUsage(std::FILE* err, const Command* only)
{
    bool first = true;
    bool thresholds = false;
    for (const Command& c : kCommands) {
        if (only && only != &c)
            continue;
        printLine(err, usageOf(c, first));
        first = false;
        thresholds = thresholds || QByteArray(c.usage).contains("THRESHOLDS");
    }
    if (thresholds)
        printLine(err, QStringLiteral("         ") + QString::fromLatin1(kThresholds));
    if (!only)
        printLine(err, QStringLiteral("       zeltool help COMMAND   (its options)"));
}

void printOptions(std::FILE* out, const QList<QCommandLineOption>& options)
{
    for (const QCommandLineOption& o : options) {
        QString names = QStringLiteral("--") + o.names().join(QStringLiteral(", --"));
        if (!o.valueName().isEmpty())
            names += QLatin1Char(' ') + o.valueName();
        QString description = o.description();
        if (!o.defaultValues().isEmpty())
            description += QStringLiteral(" (%1)").arg(o.defaultValues().join(QStringLiteral(", ")));
        printLine(out, QStringLiteral("  %1  %2").arg(names, -28).arg(description));
    }
}

const Command* commandOf(const QString& name)
{
    for (const Command& c : kCommands)
        if (name == QLatin1String(c.name))
            return &c;
    return nullptr;
}

} // namespace

bool draws(const QStringList& args)
{
    if (args.isEmpty())
        return false;
    const bool help = args.at(0) == QLatin1String("help") || args.at(0) == QLatin1String("--help");
    const Command* command = commandOf(args.value(help ? 1 : 0));
    return command && command->draws && !help;
}

int run(const QStringList& args, std::FILE* out, std::FILE* err, std::FILE* in)
{
    if (args.isEmpty()) {
        printUsage(err, nullptr);
        return 2;
    }
    // "zeltool help COMMAND" is "zeltool COMMAND --help".
    const bool help = args.at(0) == QLatin1String("help") || args.at(0) == QLatin1String("--help");
    if (help && args.size() < 2) {
        printUsage(out, nullptr);
        return 0;
    }
    const Command* command = commandOf(args.at(help ? 1 : 0));
    if (!command) {
        printLine(err, QStringLiteral("zeltool: unknown command \"%1\"").arg(args.at(help ? 1 : 0)));
        printUsage(err, nullptr);
        return 2;
    }
    const QStringList rest = help ? QStringList{QStringLiteral("--help")} : args.mid(1);
    try {
        return command->handler({rest, in, out, err});
    } catch (const HelpAsked& asked) {
        printUsage(out, command);
        printOptions(out, asked.options);
        return 0;
    } catch (const zel::ZelError& e) {
        printLine(err, QStringLiteral("zeltool: ") + zel::withFullStop(zel::texts::errorText(e)));
        return 1;
    } catch (const ToolError& e) {
        printLine(err, QStringLiteral("zeltool: ") + zel::withFullStop(e.text));
        return 1;
    } catch (const UsageError& e) {
        if (!e.text.isEmpty())
            printLine(err, QStringLiteral("zeltool: ") + e.text);
        printUsage(err, command);
        return 2;
    } catch (const std::bad_alloc&) {
        // What the command made is gone again; what it wrote was whole.
        std::fputs("zeltool: not enough memory for this command.\n", err);
        return 1;
    } catch (const std::exception& e) {
        // A fault of a computation (a system that could not be factorised):
        // said, with a failing status, never an abort.
        printLine(err, QStringLiteral("zeltool: ") + zel::withFullStop(QString::fromStdString(e.what())));
        return 1;
    }
}

} // namespace zeltool
