#include "StationModel.h"

#include "data/Interpolate.h"
#include "inversion/Ground.h"
#include "inversion/Sounding.h"
#include "survey/Sequence.h"
#include "survey/Values.h"

#include <QList>
#include <QtEndian>

#include "data/Bytes.h"
#include "protocol/Dialogue.h"

#include <algorithm>
#include <functional>
#include <random>
#include <stdexcept>

namespace zel::sim {

StationModel::StationModel(QByteArray header, QByteArray records, Faults faults)
    : m_header(std::move(header))
    , m_records(std::move(records))
    , m_faults(std::move(faults))
{
}

QByteArray StationModel::dataAnswer(std::uint16_t count) const
{
    QByteArray answer = m_records.left(qsizetype(count) * kRawRecordSize);
    answer.resize(qsizetype(count) * kRawRecordSize, '\0');
    std::uint16_t sum =
        checksumAddUint16Be({reinterpret_cast<const std::uint8_t*>(answer.constData()), std::size_t(answer.size())});
    if (m_faults.checksumOffByOne)
        ++sum;
    answer.append(char(sum >> 8)).append(char(sum & 0xFF));
    return answer;
}

std::vector<Segment> StationModel::feed(const QByteArray& fromProgram)
{
    m_received += fromProgram;
    m_pending += fromProgram;
    std::vector<Segment> out;
    while (!m_pending.isEmpty()) {
        if (!m_faults.hangUpOn.isEmpty()
            && (m_faults.hangUpOn == "wake" ? m_pending.at(0) == kWakeUp : m_pending.startsWith(m_faults.hangUpOn))) {
            m_pending.clear();
            out.push_back({{}, 0, true});
            break;
        }
        if (m_pending.at(0) == kWakeUp) {
            m_pending.remove(0, 1);
            ++m_wakeUps;
            if (m_faults.silent)
                continue;
            QByteArray answer;
            if (m_wakeUps <= m_faults.wrongLinkAnswers)
                answer = QByteArray("\x12\x34", 2);
            else
                answer = kLinkCodes[std::clamp(m_faults.linkCode, 1, 5) - 1];
            if (m_faults.junkAroundLink)
                answer = QByteArray("\xFF\x00\x07", 3) + answer + QByteArray("\x55", 1);
            if (!m_faults.linkAnswer.isEmpty())
                answer = m_faults.linkAnswer;
            out.push_back({answer});
            continue;
        }
        if (m_pending.at(0) != '$') {
            m_pending.remove(0, 1);  // the link code echo, or noise
            continue;
        }
        if (m_pending.size() < 3)
            break;
        const QByteArray command = m_pending.left(3);
        if (command == "$OK") {
            m_pending.remove(0, 3);
            if (m_faults.silent)
                continue;
            QByteArray h = m_header;
            if (m_faults.shortHeader >= 0)
                h = h.left(m_faults.shortHeader);
            out.push_back({h});
        } else if (command == "$UD") {
            if (m_pending.size() < 7)
                break;
            // The request's top bit is always set, so it carries the low 15
            // bits of the count: a memory of more than 32,767 measurements is
            // sent whole when those bits match its own count.
            const auto* p = reinterpret_cast<const std::uint8_t*>(m_pending.constData());
            auto count = std::uint16_t(((p[5] & 0x7F) << 8) | p[6]);
            const auto own = std::uint16_t(m_records.size() / kRawRecordSize);
            if (count == (own & 0x7FFF))
                count = own;
            m_pending.remove(0, 7);
            if (m_faults.silent)
                continue;
            QByteArray answer = dataAnswer(count) + QByteArray(m_faults.extraAfterData, '\x55');
            bool hangUp = false;
            if (m_faults.hangUpAfterByte >= 0 && m_faults.hangUpAfterByte < answer.size()) {
                answer.truncate(m_faults.hangUpAfterByte);
                hangUp = true;
            }
            if (m_faults.pauseAfterByte >= 0 && m_faults.pauseAfterByte < answer.size()) {
                out.push_back({answer.left(m_faults.pauseAfterByte)});
                out.push_back({answer.mid(m_faults.pauseAfterByte), m_faults.pauseMs, hangUp});
            } else {
                out.push_back({answer, 0, hangUp});
            }
        } else if (command == "$DP" || command == "$DD") {
            if (m_pending.size() < 7)
                break;
            const auto* p = reinterpret_cast<const std::uint8_t*>(m_pending.constData());
            const qsizetype total = 7 + 2 * qsizetype(qFromBigEndian<quint16>(p + 5));
            if (m_pending.size() < total)
                break;
            const QByteArray payload = m_pending.mid(7, total - 7);
            m_pending.remove(0, total);
            (command == "$DP" ? m_lastTable : m_lastFirmware) = payload;
            for (auto& segment : answerUpload(payload))
                out.push_back(std::move(segment));
        } else if (command == "$A5" || command == "$CL") {
            if (m_pending.size() < 5)
                break;
            const QByteArray five = m_pending.left(5);
            m_pending.remove(0, five == "$A5EB" || five == "$CLEA" ? 5 : 1);
            if (five == "$A5EB") {
                m_storedTable = m_lastTable;
                ++m_tablesStored;
            } else if (five == "$CLEA") {
                m_storedFirmware = m_lastFirmware;
                ++m_firmwareCommits;
            }
        } else if (command == "$GB") {
            m_pending.remove(0, 3);
            ++m_dialoguesEnded;
            if (m_faults.junkAfterEnd > 0)
                out.push_back({QByteArray(m_faults.junkAfterEnd, '\x07'), 20});
        } else {
            m_pending.remove(0, 1);
        }
    }
    return out;
}

std::vector<Segment> StationModel::answerUpload(const QByteArray& payload)
{
    ++m_uploadFrames;
    if (m_faults.uploadSilent)
        return {};
    std::uint16_t sum =
        checksumAddUint16Be({reinterpret_cast<const std::uint8_t*>(payload.constData()), std::size_t(payload.size())});
    if (m_uploadFrames <= m_faults.wrongUploadAnswers)
        sum = std::uint16_t(sum ^ 0x5555);
    QByteArray answer;
    answer.append(char(sum >> 8));
    if (!m_faults.uploadOneByte)
        answer.append(char(sum & 0xFF));
    return {Segment{answer, m_faults.uploadAnswerDelayMs}};
}

QByteArray tableAsText(const QByteArray& stored)
{
    auto position = [](std::uint16_t word) {
        const int magnitude = word & 0xFF;
        return (word & 0x100) ? -magnitude : magnitude;
    };
    QByteArray text;
    const auto* p = reinterpret_cast<const std::uint8_t*>(stored.constData());
    for (qsizetype i = 8; i + 4 <= stored.size(); i += 4) {
        const std::uint16_t w1 = qFromBigEndian<quint16>(p + i);
        const std::uint16_t w2 = qFromBigEndian<quint16>(p + i + 2);
        text += QByteArray::number(position(w1)) + ' ' + QByteArray::number(position(w2)) + ' '
            + QByteArray::number(w1 >> 9) + ' ' + QByteArray::number(w2 >> 9) + "\r\n";
    }
    return text;
}

std::vector<MeasurementRecord> generateRecords(int count, std::uint32_t seed)
{
    std::mt19937 rng(seed);
    auto pick = [&](int lo, int hi) { return int(std::uniform_int_distribution<int>(lo, hi)(rng)); };
    std::vector<MeasurementRecord> records;
    records.reserve(std::size_t(count));
    int station = 1;
    for (int i = 0; i < count; ++i) {
        MeasurementRecord r;
        r.FileNo = std::uint8_t(1 + i / 500);
        r.LineNo = std::int8_t(1 + (i / 50) % 100);
        r.Mode = std::uint8_t(i % 16);
        r.ValueKind = std::uint8_t((i / 16) % 4);
        r.Station = std::int16_t(i % 37 == 0 ? 0 : station++);
        r.FreqIndex = std::uint8_t(pick(0, 10));
        r.Current = std::uint16_t(r.Mode == 15 ? pick(1, 600) : pick(0, 16));
        for (int c = 0; c < 4; ++c) {
            r.Range[c] = std::uint8_t(pick(0, 9) == 9 ? 7 : pick(0, 4));
            r.U[c] = std::int16_t(pick(-30000, 30000));
        }
        if (carriesElectrodes(r.Mode)) {
            r.ElectrodeA = pick(-255, 255);
            r.ElectrodeB = pick(-255, 255);
            r.ElectrodeM = std::uint8_t(pick(0, 127));
            r.ElectrodeN = std::uint8_t(pick(0, 127));
        }
        r.Aux1 = std::uint16_t(pick(0, 65535));
        r.Aux2 = std::uint16_t(pick(0, 65535));
        r.Year = std::uint16_t(2020 + pick(0, 6));
        r.Month = std::uint8_t(pick(1, 12));
        r.Day = std::uint8_t(pick(1, 28));
        r.Hour = std::uint8_t(pick(0, 23));
        r.Minute = std::uint8_t(pick(0, 59));
        r.Second = std::uint8_t(pick(0, 59));
        records.push_back(r);
    }
    return records;
}

namespace {

// Records of the table's entries measured over a model: four channels a
// record (dipoles M + k·d, N + k·d), 100 mA, the voltages from the forward
// response of the model's resistivity at each cell. A channel whose dipole
// leaves the line has no reading.
std::vector<MeasurementRecord> recordsOverModel(const std::vector<TableEntry>& entries, const std::vector<double>& x,
                                                const std::vector<double>& z,
                                                const std::function<double(double x, double depth)>& rhoAt,
                                                const std::vector<double>& levels, const std::vector<double>& verticals)
{
    constexpr int kCurrentIndex = 8;  // 100 mA
    constexpr double kMilliamps = 100;
    const int electrodes = int(x.size());
    struct Planned {
        MeasurementRecord record;
        std::array<int, 4> datum{};  // index into the configurations of each channel, -1 for none
    };
    std::vector<inv::Configuration> configurations;
    std::vector<Planned> planned;
    planned.reserve(entries.size());
    for (const TableEntry& e : entries) {
        Planned p;
        MeasurementRecord& r = p.record;
        r.LineNo = 1;
        r.FileNo = 1;
        r.Mode = 10;
        r.ValueKind = 0;
        r.Station = std::int16_t(planned.size() + 1);
        r.Current = kCurrentIndex;
        r.ElectrodeA = std::int16_t(e.a);
        r.ElectrodeB = std::int16_t(e.b);
        r.ElectrodeM = std::uint8_t(e.m);
        r.ElectrodeN = std::uint8_t(e.n);
        r.Year = 2026;
        r.Month = 12;
        r.Day = 7;
        r.Hour = 10;
        const int d = e.n - e.m;
        for (int ch = 0; ch < 4; ++ch) {
            const int m = e.m + ch * d, n = e.n + ch * d;
            p.datum[std::size_t(ch)] = -1;
            if (e.a < 0 || e.b < 0 || m < 0 || n < 0 || std::max({e.a, e.b, m, n}) >= electrodes)
                continue;
            const std::array<int, 4> at{e.a, e.b, m, n};
            std::array<double, 4> ax{}, az{};
            for (std::size_t j = 0; j < 4; ++j)
                ax[j] = x[std::size_t(at[j])], az[j] = z[std::size_t(at[j])];
            const std::optional<double> k = geometricFactor(ax, az);
            if (!k)
                continue;
            p.datum[std::size_t(ch)] = int(configurations.size());
            configurations.push_back({at, *k});
        }
        planned.push_back(p);
    }
    const std::vector<double> rhoa = inv::forwardResponse(x, z, configurations, rhoAt, levels, verticals);
    std::vector<MeasurementRecord> records;
    records.reserve(planned.size());
    for (Planned& p : planned) {
        for (int ch = 0; ch < 4; ++ch) {
            const int d = p.datum[std::size_t(ch)];
            if (d < 0) {
                p.record.Range[ch] = 7;  // no reading on this channel
                continue;
            }
            // U = ρa / k for 1 A, in mV at the current; written with the most digits the word holds.
            const double milliVolts = rhoa[std::size_t(d)] / configurations[std::size_t(d)].k * kMilliamps;
            int range = 0;
            while (range < 4 && std::abs(milliVolts) * std::pow(10.0, range + 1) <= 30000)
                ++range;
            p.record.Range[ch] = std::uint8_t(range);
            p.record.U[ch] = std::int16_t(std::lround(milliVolts * std::pow(10.0, range)));
        }
        records.push_back(p.record);
    }
    return records;
}

} // namespace

std::vector<MeasurementRecord> sectionRecords(int electrodes)
{
    std::vector<double> x(std::size_t(std::max(electrodes, 0)));
    for (std::size_t e = 0; e < x.size(); ++e)
        x[e] = double(e);
    std::vector<TableEntry> entries;
    for (int a = 1; a <= 2; ++a)
        for (const int n0 : {1, 5})
            for (int i = 0; i + a + n0 * a + a < electrodes; ++i)
                entries.push_back({i, i + a, i + a + n0 * a, i + a + n0 * a + a});
    inv::Ground ground;
    ground.blocks = {{10, 14, 1.5, 4, 10}, {20, 24, 1.5, 4, 1000}};
    return recordsOverModel(entries, x, std::vector<double>(x.size(), 0.0), [&](double at, double depth) {
        return ground.rhoAt(at, depth);
    }, ground.levels(), ground.verticals());
}

SyntheticLine parseSyntheticLine(const QByteArray& text)
{
    try {
        SyntheticLine line = inv::parseGround(text.toStdString());
        // The station's potential electrodes are numbered 0-127: a longer
        // line is measured as spreads, each within them.
        if (line.electrodes < 8 || (line.spreadElectrodes == 0 && line.electrodes > 128))
            throw std::runtime_error("electrodes " + std::to_string(line.electrodes)
                                     + ": 8 to 128 for one spread (the station's electrodes 0-127); "
                                       "a longer line takes \"spreads ELECTRODES STEP\"");
        for (const double hz : line.frequencies)
            if (hz > 0 && !frequencyIndexOf(hz))
                throw std::runtime_error("frequencies: " + QString::number(hz).toStdString()
                                         + " Hz is not one of the station's (1.22, 2.44, 4.88, 9.76, 19.5, 50, 100, 625, 1250, 2500)");
        if (line.spreadElectrodes > line.electrodes)
            throw std::runtime_error("spreads of " + std::to_string(line.spreadElectrodes) + " electrodes on a line of "
                                     + std::to_string(line.electrodes));
        return line;
    } catch (const inv::FileRefused& e) {
        throw std::runtime_error("line " + std::to_string(e.line()) + ": " + e.what());
    }
}

std::optional<std::pair<int, int>> readingFrequencies(const SyntheticLine& line)
{
    if (line.frequencies[0] > 0)
        return std::pair(*frequencyIndexOf(line.frequencies[0]), *frequencyIndexOf(line.frequencies[1]));
    if (line.chargeable())
        return std::pair(kChargeableLow, kChargeableHigh);
    return std::nullopt;
}

namespace {

// The ground beneath x as a layered earth: a layer between each two depths
// where a layer or a block over x begins or ends, neighbours of one
// resistivity merged. A sounding there sees this column alone.
inv::LayeredEarth columnEarth(const SyntheticLine& line, double x)
{
    std::vector<double> depths;
    for (const inv::GroundLayer& l : line.layers)
        if (l.top > 0)
            depths.push_back(l.top);
    for (const inv::GroundBlock& b : line.blocks)
        if (b.x0 <= x && x < b.x1) {
            if (b.top > 0)
                depths.push_back(b.top);
            depths.push_back(b.bottom);
        }
    std::sort(depths.begin(), depths.end());
    depths.erase(std::unique(depths.begin(), depths.end()), depths.end());
    inv::LayeredEarth earth{{line.rhoAt(x, depths.empty() ? 1 : depths.front() / 2)}, {}};
    double top = 0;
    for (std::size_t i = 0; i < depths.size(); ++i) {
        const double below = i + 1 < depths.size() ? (depths[i] + depths[i + 1]) / 2 : depths[i] + 1;
        const double rho = line.rhoAt(x, below);
        if (rho == earth.rho.back())
            continue;
        earth.thickness.push_back(depths[i] - top);
        earth.rho.push_back(rho);
        top = depths[i];
    }
    return earth;
}

// Each sounding's centre, m: about the line's middle (between electrodes
// electrodes/2 and electrodes/2 + 1), `soundingStep` apart.
// The middle of the line's spread, m from its first electrode: halfway
// between electrodes electrodes/2 and electrodes/2 + 1 (whole electrodes).
double spreadMiddle(const SyntheticLine& line)
{
    const int below = line.electrodes / 2;
    return (below + 0.5) * line.spacing;
}

double soundingCentre(const SyntheticLine& line, int file)
{
    return spreadMiddle(line) + (file - (line.soundings + 1) / 2.0) * line.soundingStep;
}

// A record of channel 1 alone reading `milliVolts` at 100 mA, at the
// finest range that holds it.
MeasurementRecord soundingReading(const SyntheticLine& line, int file, double milliVolts)
{
    MeasurementRecord r;
    r.LineNo = std::int8_t(line.line);
    r.FileNo = std::uint8_t(file);
    r.Current = 8;  // 100 mA
    r.Year = 2026, r.Month = 12, r.Day = 7, r.Hour = 10;
    int range = 0;
    while (range < 4 && std::abs(milliVolts) * std::pow(10.0, range + 1) <= 30000)
        ++range;
    r.Range[0] = std::uint8_t(range);
    r.Range[1] = r.Range[2] = r.Range[3] = 7;
    r.U[0] = std::int16_t(std::lround(milliVolts * std::pow(10.0, range)));
    return r;
}

// The crew's usual sheet: AB/2 1.5–15 m at MN/2 0.5 m, then 10–120 m at
// MN/2 2 m (the segments overlap at 10–15 m), a station each.
SpacingSheet usualSheet()
{
    SpacingSheet sheet;
    int station = 1;
    for (const double ab2 : {1.5, 2.0, 2.5, 3.0, 4.0, 5.0, 6.0, 8.0, 10.0, 12.0, 15.0})
        sheet.stations[station++] = {ab2, 0.5};
    for (const double ab2 : {10.0, 12.0, 15.0, 20.0, 25.0, 30.0, 40.0, 50.0, 65.0, 80.0, 100.0, 120.0})
        sheet.stations[station++] = {ab2, 2.0};
    return sheet;
}

// Soundings over the ground's column beneath each centre (the
// layered earth's own response), a file each: plain measurements of the
// usual sheet, or readings with positions whose M and N lie one spacing
// apart about the file's middle electrode (and from A and B ten spacings
// out on, also three apart), A and B moved outward 1, 2, 3, 5, 7 …
// spacings beyond them while the station's numbers reach (A from −255, B
// to 255), or Wenner arrays about the same centre. Each file's X0 places
// its centre.
std::vector<MeasurementRecord> soundingRecords(const SyntheticLine& line)
{
    std::vector<MeasurementRecord> records;
    const int centre = line.electrodes / 2;  // M of the short segment; N is centre + 1
    for (int file = 1; file <= line.soundings; ++file) {
        const double at = soundingCentre(line, file);
        const inv::LayeredEarth earth = columnEarth(line, at);
        // The station's reading of the quadripole at x (m from the centre or along the line).
        auto reading = [&](const std::array<double, 4>& x) {
            return soundingReading(line, file, inv::soundingRhoa(earth, x) / *geometricFactor(x) * 100);
        };
        if (line.plainSoundings) {
            for (const auto& [station, s] : usualSheet().stations) {
                MeasurementRecord r = reading({-s.ab2, s.ab2, -s.mn2, s.mn2});
                r.Station = std::int16_t(station);
                records.push_back(r);
            }
            continue;
        }
        // A reading with the electrodes' numbers, the next station.
        int station = 1;
        auto positioned = [&](int a, int b, int m, int n) {
            MeasurementRecord r = reading({a * line.spacing, b * line.spacing, m * line.spacing, n * line.spacing});
            r.Mode = 10;
            r.ElectrodeA = std::int16_t(a), r.ElectrodeB = std::int16_t(b);
            r.ElectrodeM = std::uint8_t(m), r.ElectrodeN = std::uint8_t(n);
            r.Station = std::int16_t(station++);
            records.push_back(r);
        };
        if (line.wennerSoundings) {
            // A M N B equally spaced about the centre: a = 2j + 1 spacings.
            for (int j = 0;; j += std::max(1, j / 2)) {  // a grows about geometrically
                const int m = centre - j, n = centre + 1 + j, a = centre - 3 * j - 1, b = centre + 3 * j + 2;
                if (a < -255 || b > 255 || m < 0 || n > 127)
                    break;
                positioned(a, b, m, n);
            }
            continue;
        }
        for (const int mn : {1, 3}) {
            const int m = mn == 1 ? centre : centre - 1, n = m + mn;
            for (const int k : {1, 2, 3, 4, 5, 7, 10, 14, 20, 28, 40, 56, 80, 110, 150, 200}) {
                if (mn == 1 ? k > 14 : k < 10)
                    continue;  // the two segments overlap at 10–14 spacings
                if (m - k < -255 || n + k > 255)
                    break;
                positioned(m - k, n + k, m, n);
            }
        }
    }
    return records;
}

} // namespace

std::vector<MeasurementRecord> syntheticRecords(const SyntheticLine& line)
{
    if (line.soundings > 0)
        return soundingRecords(line);
    SequenceOptions table;
    table.array = ArrayKind::DipoleDipole;
    table.first = 0;
    table.aMin = 1;
    table.aMax = line.aMax;
    table.nMax = line.nMax;
    table.channels = 4;
    const std::vector<double> x = line.electrodeX(), z = line.electrodeZ();
    std::vector<MeasurementRecord> records;
    for (const auto& [file, first] : syntheticSpreads(line)) {
        const int count = line.spreadElectrodes > 0 ? line.spreadElectrodes : line.electrodes;
        table.electrodes = count;
        const int from = first;  // a lambda takes no structured binding
        auto over = [&](const std::function<double(double, double)>& rhoAt) {
            return recordsOverModel(electrodeSequence(table), {x.begin() + from, x.begin() + from + count},
                                    {z.begin() + from, z.begin() + from + count}, rhoAt, line.levels(), line.verticals());
        };
        std::vector<MeasurementRecord> spread = over([&](double at, double depth) { return line.rhoAt(at, depth); });
        if (const std::optional<std::pair<int, int>> pair = readingFrequencies(line)) {
            // Each quadripole read at the low frequency, then at once at the high.
            const std::vector<MeasurementRecord> high = over([&](double at, double depth) { return line.highRhoAt(at, depth); });
            std::vector<MeasurementRecord> both;
            both.reserve(2 * spread.size());
            for (std::size_t i = 0; i < spread.size(); ++i) {
                both.push_back(spread[i]);
                both.back().FreqIndex = std::uint8_t(pair->first);
                both.push_back(high[i]);
                both.back().FreqIndex = std::uint8_t(pair->second);
            }
            spread = std::move(both);
        }
        for (MeasurementRecord& r : spread) {
            r.LineNo = std::int8_t(line.line);
            r.FileNo = std::uint8_t(file);
            r.Station = std::int16_t(records.size() + 1);
            records.push_back(r);
        }
    }
    return records;
}

std::vector<std::pair<int, int>> syntheticSpreads(const SyntheticLine& line)
{
    if (line.spreadElectrodes <= 0 || line.spreadElectrodes >= line.electrodes)
        return {{1, 0}};
    std::vector<std::pair<int, int>> spreads;
    for (int first = 0; first + line.spreadElectrodes <= line.electrodes && spreads.size() < 255; first += line.spreadStep)
        spreads.emplace_back(int(spreads.size()) + 1, first);
    return spreads;
}

LineGeometries syntheticGeometry(const SyntheticLine& line)
{
    LineGeometries lines;
    if (line.soundings > 0) {
        // Soundings with positions: each file's X0 puts its middle electrodes
        // about its centre.
        if ((line.soundings < 2 || line.plainSoundings) && line.y == 0)
            return lines;
        for (int file = 1; file <= line.soundings; ++file) {
            LineGeometry& g = lines[Profile{line.line, file}];
            g.spacing = line.spacing;
            if (!line.plainSoundings)
                g.x0 = soundingCentre(line, file) - spreadMiddle(line);
            if (line.y != 0)
                g.y = line.y;
        }
        return lines;
    }
    const auto spreads = syntheticSpreads(line);
    if (spreads.size() < 2 && line.y == 0)
        return lines;
    for (const auto& [file, first] : spreads) {
        LineGeometry& g = lines[Profile{line.line, file}];
        g.spacing = line.spacing;
        g.x0 = first * line.spacing;
        if (line.y != 0)
            g.y = line.y;
    }
    return lines;
}

SyntheticSurvey syntheticSurvey(const std::vector<SyntheticLine>& lines)
{
    SyntheticSurvey survey;
    for (const SyntheticLine& line : lines) {
        for (const MeasurementRecord& r : syntheticRecords(line)) {
            survey.records.push_back(r);
            // Plain soundings keep the stations of their sheet.
            if (!line.plainSoundings)
                survey.records.back().Station = std::int16_t(survey.records.size());
        }
        survey.lines.merge(syntheticGeometry(line));
    }
    return survey;
}

SpacingSheets syntheticSpacings(const SyntheticLine& line)
{
    SpacingSheets sheets;
    if (!line.plainSoundings)
        return sheets;
    for (int file = 1; file <= line.soundings; ++file) {
        SpacingSheet& sheet = sheets.profiles[Profile{line.line, file}];
        sheet = usualSheet();
        sheet.centre = soundingCentre(line, file);
    }
    return sheets;
}

QByteArray rawRecords(const std::vector<MeasurementRecord>& records)
{
    QByteArray raw(qsizetype(records.size()) * kRawRecordSize, '\0');
    for (std::size_t i = 0; i < records.size(); ++i)
        encodeRawRecord(records[i], reinterpret_cast<std::uint8_t*>(raw.data()) + i * kRawRecordSize);
    return raw;
}

QByteArray withChecksum(const QByteArray& records)
{
    const std::uint16_t sum =
        checksumAddUint16Be({reinterpret_cast<const std::uint8_t*>(records.constData()), std::size_t(records.size())});
    QByteArray out = records;
    out.append(char(sum >> 8)).append(char(sum & 0xFF));
    return out;
}

QByteArray makeHeader(int count, const QByteArray& yearAndTwo, const QByteArray& version)
{
    QByteArray h = "ZEL-" + yearAndTwo + version;
    h.append(char((count >> 8) & 0xFF)).append(char(count & 0xFF)).append("\r\n");
    return h;
}

} // namespace zel::sim
