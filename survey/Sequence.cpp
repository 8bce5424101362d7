#include "Sequence.h"

#include "data/ZelError.h"

#include <algorithm>

namespace zel {

namespace {

constexpr int kMaxEntries = 32765;  // the upload's word count is 16 bits
constexpr int kCurrentLow = kFirstCurrentElectrode, kCurrentHigh = kLastCurrentElectrode,
              kPotentialLow = kFirstPotentialElectrode, kPotentialHigh = kLastPotentialElectrode;
constexpr int kSpan = kCurrentHigh - kCurrentLow;

void require(bool ok, const char* name, int value, const QString& rule)
{
    if (!ok)
        throw ZelError(ErrorId::SequenceParameter, {QLatin1String(name), QString::number(value), rule});
}

// The electrode of a table farthest outside its range, and by how much.
struct Excess {
    const char* name = nullptr;
    int value = 0;
    int low = 0;
    int high = 0;
    int by = 0;

    void take(const char* electrode, int v, int lowest, int highest)
    {
        const int outside = v < lowest ? lowest - v : v > highest ? v - highest : 0;
        if (outside > by)
            *this = {electrode, v, lowest, highest, outside};
    }
};

} // namespace

QString arrayName(ArrayKind array)
{
    switch (array) {
    case ArrayKind::Wenner: return QStringLiteral("wenner");
    case ArrayKind::Schlumberger: return QStringLiteral("schlumberger");
    case ArrayKind::DipoleDipole: break;
    }
    return QStringLiteral("dipole-dipole");
}

bool arrayOfName(const QString& name, ArrayKind& array)
{
    for (const ArrayKind a : {ArrayKind::Wenner, ArrayKind::Schlumberger, ArrayKind::DipoleDipole})
        if (arrayName(a) == name) {
            array = a;
            return true;
        }
    return false;
}

std::vector<TableEntry> electrodeSequence(const SequenceOptions& o)
{
    require(o.electrodes >= 4, "electrodes", o.electrodes, QStringLiteral(">= 4"));
    // The station numbers its electrodes from -255 to 255: no spacing or
    // level beyond that span, and no first number outside it, can give an
    // entry. Refused before any loop, so that no sum can overflow.
    const QString withinSpan = QStringLiteral("<= %1").arg(kSpan);
    require(o.first >= kCurrentLow && o.first <= kCurrentHigh, "first", o.first,
            QStringLiteral("%1 … %2").arg(kCurrentLow).arg(kCurrentHigh));
    require(o.aMin >= 1, "a-min", o.aMin, QStringLiteral(">= 1"));
    require(o.aMin <= kSpan, "a-min", o.aMin, withinSpan);
    require(o.aMax >= o.aMin, "a-max", o.aMax, QStringLiteral(">= a-min"));
    require(o.aMax <= kSpan, "a-max", o.aMax, withinSpan);
    require(o.nMax >= 1, "n-max", o.nMax, QStringLiteral(">= 1"));
    require(o.nMax <= kSpan, "n-max", o.nMax, withinSpan);
    require(o.channels == 1 || o.channels == 4, "channels", o.channels, QStringLiteral("1 or 4"));
    if (o.channels == 4 && o.array != ArrayKind::DipoleDipole)
        throw ZelError(ErrorId::SequenceSingleChannel, {arrayName(o.array)});
    // Four channels measure four dipoles beside M, N: swapped, they would not be the reciprocals.
    require(!o.reciprocals || o.channels == 1, "channels", o.channels, QStringLiteral("1 with reciprocals"));
    // A line longer than any electrode number can reach is refused by the
    // electrode check below; this keeps the loops short.
    require(o.electrodes <= 1024, "electrodes", o.electrodes, QStringLiteral("<= 1024"));

    // The count first, from the array's span: a table the station cannot
    // take is refused, saying by how much, before anything is made.
    const int step = o.channels == 4 ? 4 : 1;
    long long total = 0;
    for (int a = o.aMin; a <= o.aMax && a < o.electrodes; ++a) {
        if (o.array == ArrayKind::Wenner) {
            total += std::max(0, o.electrodes - 3 * a);
            continue;
        }
        for (int n = 1; n <= o.nMax && n * a < o.electrodes; n += step) {
            const int span = o.array == ArrayKind::Schlumberger ? (2 * n + 1) * a : (n + 2 + (step == 4 ? 3 : 0)) * a;
            total += std::max(0, o.electrodes - span);
        }
    }
    if (total > kMaxEntries)
        throw ZelError(ErrorId::SequenceTooLong,
                       {QString::number(total), QString::number(kMaxEntries), QString::number(total - kMaxEntries)});

    const int last = o.first + o.electrodes - 1;
    std::vector<TableEntry> entries;
    entries.reserve(std::size_t(total));
    auto add = [&](const TableEntry& e) { entries.push_back(e); };
    for (int a = o.aMin; a <= o.aMax && a < o.electrodes; ++a) {
        if (o.array == ArrayKind::Wenner) {
            for (int i = o.first; i + 3 * a <= last; ++i)
                add({i, i + 3 * a, i + a, i + 2 * a});
            continue;
        }
        for (int n = 1; n <= o.nMax && n * a < o.electrodes; n += step) {
            for (int i = o.first;; ++i) {
                TableEntry e;
                if (o.array == ArrayKind::Schlumberger) {
                    e = {i, i + (2 * n + 1) * a, i + n * a, i + (n + 1) * a};
                    if (e.b > last)
                        break;
                } else {
                    e = {i, i + a, i + (n + 1) * a, i + (n + 2) * a};
                    // With four channels the fourth dipole ends 3a further on.
                    if (e.n + (o.channels == 4 ? 3 * a : 0) > last)
                        break;
                }
                add(e);
            }
        }
    }
    if (entries.empty())
        throw ZelError(ErrorId::SequenceEmpty, {QString::number(o.electrodes)});
    // The refusal names the largest excess: moving the line by it fits every entry.
    Excess worst;
    for (const TableEntry& e : entries) {
        worst.take("A", e.a, kCurrentLow, kCurrentHigh);
        worst.take("B", e.b, kCurrentLow, kCurrentHigh);
        worst.take("M", e.m, kPotentialLow, kPotentialHigh);
        worst.take("N", e.n + (o.channels == 4 ? 3 * (e.n - e.m) : 0), kPotentialLow, kPotentialHigh);
    }
    if (worst.by > 0)
        throw ZelError(ErrorId::SequenceElectrodeRange,
                       {QLatin1String(worst.name), QString::number(worst.value), QString::number(worst.low),
                        QString::number(worst.high), QString::number(worst.by)});
    if (o.reciprocals) {
        const std::size_t normal = entries.size();
        for (std::size_t i = 0; i < normal; ++i) {
            const TableEntry e = entries[i];
            if (e.a >= kPotentialLow && e.a <= kPotentialHigh && e.b >= kPotentialLow && e.b <= kPotentialHigh)
                entries.push_back({e.m, e.n, e.a, e.b});
        }
        // The count limit holds for the whole table.
        if (const auto count = qsizetype(entries.size()); count > kMaxEntries)
            throw ZelError(ErrorId::SequenceTooLong,
                           {QString::number(count), QString::number(kMaxEntries), QString::number(count - kMaxEntries)});
    }
    return entries;
}

QByteArray electrodeTableText(const std::vector<TableEntry>& entries)
{
    QByteArray text;
    text.reserve(qsizetype(entries.size()) * 16);
    for (const TableEntry& e : entries)
        text += QByteArray::number(e.a) + ' ' + QByteArray::number(e.b) + ' ' + QByteArray::number(e.m) + ' '
            + QByteArray::number(e.n) + "\r\n";
    return text;
}

} // namespace zel
