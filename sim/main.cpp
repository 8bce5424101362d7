// zel-station-sim: a simulated ZEL-TERRAVOX station on a pseudo-terminal.
//
// It prints the device path of its line, keeps a symbolic link to it when
// asked (--link), and answers the program's dialogue at the pace of the line
// speed the program chose (10 bits a byte). Fault switches reproduce what
// happens in the field: a silent station, wrong link codes, a short header,
// a pause or a hang-up in the middle of the data, a wrong checksum.

#include "StationModel.h"

#include "texts/Texts.h"

#include "data/DataFile.h"
#include "data/NumericLocale.h"
#include "data/RawDump.h"
#include "data/ZelError.h"
#include "serial/PseudoTerminal.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <deque>
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {

volatile std::sig_atomic_t g_stop = 0;
constexpr long long kChunkMs = 10;

void onSignal(int) { g_stop = 1; }

using Clock = std::chrono::steady_clock;

struct Outgoing {
    zel::sim::Segment segment;
    qsizetype sent = 0;
    bool started = false;
    Clock::time_point start;
};

struct Options {
    QString link;
    QString zel;
    int count = 100;
    int section = 0;  // electrodes of a dipole-dipole line; 0: generated measurements
    QStringList models;  // synthetic lines' model files, one line each
    std::uint32_t seed = 1;
    int baud = 115200;
    bool pace = true;
    bool pacedInput = false;
    bool once = false;
    QString tableOut;
    QString firmwareOut;
    QString memoryOut;
    bool memoryOnly = false;
    zel::sim::Faults faults;
};

// The model file being read, for its errors.
QString g_model;

Options parse(const QCoreApplication& app)
{
    QCommandLineParser p;
    p.setApplicationDescription(QStringLiteral("Simulated ZEL-TERRAVOX station on a pseudo-terminal."));
    p.addHelpOption();
    const QCommandLineOption link({"l", "link"}, "Keep a symbolic link to the line at <path>.", "path");
    const QCommandLineOption zel("zel", "Take the memory from a .zel data file.", "file");
    const QCommandLineOption count("count", "Generate <n> measurements (default 100).", "n", "100");
    const QCommandLineOption section("section", "A dipole-dipole line of <n> electrodes over two blocks instead.", "n");
    const QCommandLineOption model("model", "A dipole-dipole line over the synthetic model of <file> instead "
                                            "(electrodes, spacing, background, layer, block, elevation, table, "
                                            "spreads, line, frequencies, sounding [COUNT STEP], plain lines; a frequency effect, %, after a "
                                            "background's, layer's or block's resistivity has every quadripole "
                                            "read at two frequencies); given again, a line of each.", "file");
    const QCommandLineOption seed("seed", "Seed of the generated measurements (default 1).", "s", "1");
    const QCommandLineOption baud("baud", "Line speed when the line does not tell (default 115200).", "bit/s", "115200");
    const QCommandLineOption noPace("no-pace", "Send at once instead of at the line's pace.");
    const QCommandLineOption pacedInput("paced-input", "Take the program's bytes at the line's pace, as a UART does.");
    const QCommandLineOption once("once", "End after the first dialogue (after \"$GB\").");
    const QCommandLineOption silent("silent", "Never answer.");
    const QCommandLineOption linkCode("link-code", "Answer with link code <k> of the five (default 1).", "k", "1");
    const QCommandLineOption wrongLink("wrong-link", "The first <k> answers hold no link code.", "k", "0");
    const QCommandLineOption junk("junk", "Put bytes before and after the link code.");
    const QCommandLineOption shortHeader("short-header", "Send only <n> bytes of the header answer.", "n");
    const QCommandLineOption pauseAfter("pause-after", "Pause after byte <n> of the data answer.", "n");
    const QCommandLineOption pauseMs("pause-ms", "Length of that pause (default 1500).", "ms", "1500");
    const QCommandLineOption badChecksum("bad-checksum", "Send the data checksum off by one.");
    const QCommandLineOption hangUp("hangup-after", "Hang up the line after byte <n> of the data answer.", "n");
    const QCommandLineOption uploadWrong("upload-wrong", "Answer the first <k> upload frames with a wrong checksum.", "k", "0");
    const QCommandLineOption uploadOneByte("upload-one-byte", "Answer upload frames with one byte only.");
    const QCommandLineOption uploadSilent("upload-silent", "Do not answer upload frames.");
    const QCommandLineOption uploadDelay("upload-delay-ms", "Answer upload frames after <ms>.", "ms", "0");
    const QCommandLineOption tableOut("table-out", "Write the electrode table stored by \"$A5EB\" to <file> (A B M N lines).", "file");
    const QCommandLineOption hangUpOn("hangup-on", "Hang up instead of answering <what>: wake, header, table or firmware.", "what");
    const QCommandLineOption extraAfterData("extra-after-data", "Send <n> bytes nobody asked for after the data answer.", "n", "0");
    const QCommandLineOption junkAfterEnd("junk-after-end", "Send <n> bytes after \"$GB\".", "n", "0");
    const QCommandLineOption firmwareOut("firmware-out", "Write the firmware image committed by \"$CLEA\" to <file>.", "file");
    const QCommandLineOption memoryOut("memory-out", "Write the memory as a .zel data file to <file> at start.", "file");
    const QCommandLineOption memoryOnly("memory-only", "With --memory-out: write the memory and end, without a line.");
    p.addOptions({link, zel, count, seed, baud, noPace, pacedInput, once, silent, linkCode, wrongLink, junk, shortHeader,
                  pauseAfter, pauseMs, badChecksum, hangUp, uploadWrong, uploadOneByte, uploadSilent, tableOut,
                  firmwareOut, hangUpOn, extraAfterData, junkAfterEnd, memoryOut, memoryOnly, uploadDelay, section, model});
    p.process(app);

    Options o;
    o.link = p.value(link);
    o.zel = p.value(zel);
    o.count = std::clamp(p.value(count).toInt(), 0, 65535);
    if (p.isSet(section))
        o.section = std::clamp(p.value(section).toInt(), 8, 128);
    o.models = p.values(model);
    o.seed = p.value(seed).toUInt();
    o.baud = std::max(1, p.value(baud).toInt());
    o.pace = !p.isSet(noPace);
    o.pacedInput = p.isSet(pacedInput);
    o.once = p.isSet(once);
    o.faults.silent = p.isSet(silent);
    o.faults.linkCode = p.value(linkCode).toInt();
    o.faults.wrongLinkAnswers = p.value(wrongLink).toInt();
    o.faults.junkAroundLink = p.isSet(junk);
    if (p.isSet(shortHeader))
        o.faults.shortHeader = p.value(shortHeader).toInt();
    if (p.isSet(pauseAfter)) {
        o.faults.pauseAfterByte = p.value(pauseAfter).toLongLong();
        o.faults.pauseMs = p.value(pauseMs).toInt();
    }
    o.faults.checksumOffByOne = p.isSet(badChecksum);
    if (p.isSet(hangUp))
        o.faults.hangUpAfterByte = p.value(hangUp).toLongLong();
    o.faults.wrongUploadAnswers = p.value(uploadWrong).toInt();
    o.faults.uploadOneByte = p.isSet(uploadOneByte);
    o.faults.uploadSilent = p.isSet(uploadSilent);
    o.faults.uploadAnswerDelayMs = std::max(0, p.value(uploadDelay).toInt());
    const QString on = p.value(hangUpOn);
    o.faults.hangUpOn = on == QLatin1String("wake")     ? QByteArray("wake")
        : on == QLatin1String("header")                 ? QByteArray("$OK")
        : on == QLatin1String("table")                  ? QByteArray("$DP")
        : on == QLatin1String("firmware")               ? QByteArray("$DD")
                                                        : QByteArray();
    o.faults.extraAfterData = p.value(extraAfterData).toInt();
    o.faults.junkAfterEnd = p.value(junkAfterEnd).toInt();
    o.tableOut = p.value(tableOut);
    o.firmwareOut = p.value(firmwareOut);
    o.memoryOut = p.value(memoryOut);
    o.memoryOnly = p.isSet(memoryOnly);
    if (o.memoryOnly && o.memoryOut.isEmpty()) {
        std::fprintf(stderr, "zel-station-sim: --memory-only goes with --memory-out FILE\n");
        std::exit(2);
    }
    return o;
}

// The lines of the model files, read in their order.
std::vector<zel::sim::SyntheticLine> modelLines(const Options& o)
{
    std::vector<zel::sim::SyntheticLine> lines;
    for (const QString& model : o.models) {
        g_model = model;
        lines.push_back(zel::sim::parseSyntheticLine(zel::readWholeFile(model)));
    }
    return lines;
}

zel::sim::StationModel makeStation(const Options& o)
{
    if (o.zel.isEmpty() && !o.models.isEmpty()) {
        const std::vector<zel::MeasurementRecord> records = zel::sim::syntheticSurvey(modelLines(o)).records;
        return zel::sim::StationModel(zel::sim::makeHeader(int(records.size())), zel::sim::rawRecords(records), o.faults);
    }
    if (o.zel.isEmpty() && o.section > 0) {
        const std::vector<zel::MeasurementRecord> records = zel::sim::sectionRecords(o.section);
        return zel::sim::StationModel(zel::sim::makeHeader(int(records.size())), zel::sim::rawRecords(records), o.faults);
    }
    if (o.zel.isEmpty()) {
        return zel::sim::StationModel(zel::sim::makeHeader(o.count),
                                      zel::sim::rawRecords(zel::sim::generateRecords(o.count, o.seed)), o.faults);
    }
    const QByteArray dump = zel::readWholeFile(o.zel);
    zel::BlockReader reader(dump);
    const QByteArray header = reader.readBlock();
    reader.readBlock();  // the time stamp of the reading
    QByteArray records;
    try {
        records = reader.readBlock();
    } catch (const zel::StreamReadError&) {
        // a file of an empty memory has no record block
    }
    return zel::sim::StationModel(header, records, o.faults);
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    zel::keepFullStopInNumbers();
    QCoreApplication::setApplicationName(QStringLiteral("zel-station-sim"));
    // Messages as zeltool gives them: English unless the locale is Russian.
    zel::texts::installProgramTranslations(zel::texts::languageOfEnvironment());
    const Options options = parse(app);

    std::optional<zel::sim::StationModel> station;
    try {
        station.emplace(makeStation(options));
        if (!options.memoryOut.isEmpty()) {
            // What a reading of the whole memory keeps: the header answer, a
            // time stamp and the data answer with its checksum.
            const std::uint16_t count = qFromBigEndian<quint16>(station->header().constData() + 16);
            QByteArray dump;
            zel::appendBlock(dump, station->header());
            zel::appendBlock(dump, QByteArray("simulated"));
            if (count > 0)
                zel::appendBlock(dump, station->dataAnswer(count));
            zel::writeWholeFile(options.memoryOut, dump);
            // Where the lines' spreads lie, beside the memory as a crew keeps it.
            zel::LineGeometries lines;
            zel::SpacingSheets spacings;  // the crew's sheet of plain soundings
            for (const zel::sim::SyntheticLine& line : modelLines(options)) {
                lines.merge(zel::sim::syntheticGeometry(line));
                spacings.profiles.merge(zel::sim::syntheticSpacings(line).profiles);
            }
            if (!lines.empty())
                zel::writeLinesBeside(options.memoryOut, lines);
            if (!spacings.empty())
                zel::writeSpacingsBeside(options.memoryOut, spacings);
            if (options.memoryOnly)
                return 0;
        }
    } catch (const zel::ZelError& e) {
        std::fprintf(stderr, "zel-station-sim: %s\n", qPrintable(zel::withFullStop(zel::texts::errorText(e))));
        return 1;
    } catch (const std::runtime_error& e) {  // a model file that cannot be used
        std::fprintf(stderr, "zel-station-sim: %s: %s\n", qPrintable(g_model), e.what());
        return 1;
    }

    zel::PseudoTerminal line;
    if (!line.ok()) {
        std::fprintf(stderr, "zel-station-sim: cannot create a pseudo-terminal: %s\n", std::strerror(errno));
        return 1;
    }
    if (!options.link.isEmpty()) {
        if (QFileInfo(options.link).isSymLink())
            QFile::remove(options.link);
        if (!QFile::link(line.slavePath(), options.link)) {
            std::fprintf(stderr, "zel-station-sim: cannot create the link %s\n", qPrintable(options.link));
            return 1;
        }
    }
    std::printf("%s\n", qPrintable(line.slavePath()));
    std::fflush(stdout);

    struct sigaction sa {};
    sa.sa_handler = onSignal;
    ::sigaction(SIGTERM, &sa, nullptr);
    ::sigaction(SIGINT, &sa, nullptr);
    ::fcntl(line.master(), F_SETFL, ::fcntl(line.master(), F_GETFL) | O_NONBLOCK);

    std::deque<Outgoing> queue;
    Clock::time_point lastEnd = Clock::now();
    // With paced input, the moment by which the bytes taken so far have
    // come in over the line; bytes are taken only as fast as the line carries them.
    Clock::time_point inputFreeAt = Clock::now();
    bool inputPending = false;
    int status = 0;
    while (!g_stop) {
        const auto now = Clock::now();
        const int speed = line.lineSpeed() > 0 ? line.lineSpeed() : options.baud;
        const Clock::duration byteTime = options.pace ? Clock::duration(std::chrono::nanoseconds(10'000'000'000LL / speed))
                                                      : Clock::duration(0);

        // Send what is due of the first segment.
        int timeoutMs = -1;
        bool hungUp = false;
        while (!queue.empty()) {
            Outgoing& out = queue.front();
            if (!out.started) {
                out.start = std::max(now, lastEnd) + std::chrono::milliseconds(out.segment.delayMs);
                out.started = true;
            }
            const qsizetype size = out.segment.bytes.size();
            qsizetype due = size;
            if (byteTime.count() > 0)
                due = now < out.start ? 0 : std::min<qsizetype>(size, (now - out.start) / byteTime + 1);
            if (due > out.sent) {
                const ssize_t n = ::write(line.master(), out.segment.bytes.constData() + out.sent, size_t(due - out.sent));
                if (n > 0)
                    out.sent += n;
            }
            if (out.sent < size) {
                const Clock::time_point next = out.start + byteTime * (out.sent + 1);
                // Bytes go out in the chunks of about 10 ms that a UART's FIFO
                // and a USB adapter's latency timer make of a stream.
                timeoutMs = int(std::clamp<long long>(
                    std::chrono::duration_cast<std::chrono::milliseconds>(next - now).count(), kChunkMs, 50));
                break;
            }
            const Clock::time_point end = out.start + byteTime * size;
            lastEnd = std::max(now, end);
            if (out.segment.hangUp) {
                hungUp = true;
                break;
            }
            queue.pop_front();
        }
        if (hungUp) {
            std::fprintf(stderr, "zel-station-sim: hanging up the line\n");
            break;
        }
        if (options.once && queue.empty() && station->dialoguesEnded() > 0)
            break;

        std::size_t room = 65536;
        if (options.pacedInput && inputPending) {
            // What the line has carried since the last byte taken.
            const auto carried = byteTime.count() > 0 ? (now - inputFreeAt) / byteTime : 65536;
            room = std::size_t(std::clamp<long long>(carried, 0, 65536));
            if (room == 0)
                timeoutMs = int(kChunkMs);
        }
        pollfd pfd{line.master(), short(room > 0 ? POLLIN : 0), 0};
        const int ready = ::poll(&pfd, 1, timeoutMs < 0 ? 200 : timeoutMs);
        if (ready < 0 && errno != EINTR) {
            status = 1;
            break;
        }
        if (ready > 0 && (pfd.revents & POLLIN) && options.pacedInput && !inputPending) {
            // The first byte after a quiet line starts coming in now.
            inputPending = true;
            inputFreeAt = Clock::now();
            continue;
        }
        if (ready > 0 && (pfd.revents & POLLIN)) {
            char buf[65536];
            const ssize_t n = ::read(line.master(), buf, room);
            if (options.pacedInput && n > 0) {
                inputFreeAt += byteTime * n;
                int waiting = 0;
                inputPending = ::ioctl(line.master(), FIONREAD, &waiting) == 0 && waiting > 0;
            }
            if (n > 0) {
                const int tables = station->tablesStored();
                const int images = station->firmwareCommits();
                for (auto& segment : station->feed(QByteArray(buf, n))) {
                    Outgoing out;
                    out.segment = std::move(segment);
                    queue.push_back(std::move(out));
                }
                try {
                    if (station->tablesStored() != tables && !options.tableOut.isEmpty())
                        zel::writeWholeFile(options.tableOut, zel::sim::tableAsText(station->storedTable()));
                    if (station->firmwareCommits() != images && !options.firmwareOut.isEmpty())
                        zel::writeWholeFile(options.firmwareOut, station->storedFirmware());
                } catch (const zel::ZelError& e) {
                    std::fprintf(stderr, "zel-station-sim: %s\n", qPrintable(zel::texts::errorText(e)));
                }
            }
        }
    }
    line.hangUp();
    if (!options.link.isEmpty())
        QFile::remove(options.link);
    return status;
}
