// Raw records and a survey geometry through the survey values and all three
// export files, and the electrode sequence generator through its
// parameters. Besides crashes and sanitizer reports: no file holds an
// exponent, "nan" or "inf", and no value reaches an inversion file without
// a geometric factor or with a potential electrode beyond 0-127.
#include "data/Record.h"
#include "data/ZelError.h"
#include "survey/Exports.h"
#include "survey/Sequence.h"
#include "survey/Spacings.h"

#include <cstddef>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

template <class T>
T take(const std::uint8_t*& data, std::size_t& size)
{
    T v{};
    if (size >= sizeof v) {
        std::memcpy(&v, data, sizeof v);
        data += sizeof v;
        size -= sizeof v;
    }
    return v;
}

void expectPlain(const QByteArray& file)
{
    if (file.contains("e+") || file.contains("e-") || file.contains("nan") || file.contains("inf"))
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    zel::SequenceOptions o;
    o.array = zel::ArrayKind(take<std::uint8_t>(data, size) % 3);
    for (int* field : {&o.electrodes, &o.first, &o.aMin, &o.aMax, &o.nMax, &o.channels})
        *field = take<std::int32_t>(data, size);
    try {
        (void)zel::electrodeTableText(zel::electrodeSequence(o));
    } catch (const zel::ZelError&) {
    }

    zel::SurveyGeometry g;
    g.spacing = zel::kMinSpacing + double(take<std::uint32_t>(data, size) % 10'000'000) / 1000;
    g.x0 = double(take<std::int32_t>(data, size)) / 1000;
    g.channels = take<std::uint8_t>(data, size) % 2 ? zel::ChannelGeometry::FirstOnly : zel::ChannelGeometry::Consecutive;
    std::vector<zel::MeasurementRecord> records;
    for (; size >= 32; data += 32, size -= 32)
        records.push_back(zel::decodeRawRecord(data));

    const std::vector<zel::ChannelValue> values = zel::surveyValues(records, g);
    const std::vector<zel::ValueCheck> checks = zel::checkValues(records, values, g.thresholds);
    for (const zel::ValueCheck& c : checks)
        if (c.errorPercent && !(std::isfinite(*c.errorPercent) && *c.errorPercent >= 0))
            std::abort();
    expectPlain(zel::csvFile(records, values, checks));
    // An exclusions file of whatever bytes: taken whole or refused whole.
    const zel::ExclusionsRead read = zel::parseExclusions(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)),
                                                          int(records.size()));
    if (read.badLine != 0 && !read.exclusions.empty())
        std::abort();
    // The same bytes as a soundings' spacing sheet: refused, or written out
    // and read back as the same sheets.
    try {
        const zel::SpacingSheets sheets =
            zel::parseSpacings(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)), QStringLiteral("fuzz"));
        if (zel::parseSpacings(zel::spacingsText(sheets), QStringLiteral("again")) != sheets)
            std::abort();
    } catch (const zel::ZelError&) {
    }
    for (const zel::Profile& p : zel::profilesOf(records)) {
        expectPlain(zel::ohmFile(zel::inversionData(records, values, checks, p, {read.exclusions, false}), 3, 2));
        const std::vector<zel::ChannelValue> invertible = zel::invertibleValues(records, values, p);
        for (const zel::ChannelValue& v : invertible)
            if (!v.k || !v.rhoa || *v.u == 0 || v.electrodes->number[2] < 0 || v.electrodes->number[3] > 127
                || v.electrodes->number[2] > 127 || v.electrodes->number[3] < 0)
                std::abort();
        if (invertible.empty())
            continue;
        expectPlain(zel::res2dinvFile(p, zel::asData(invertible)));
        expectPlain(zel::ohmFile(zel::asData(invertible), 3, 2));
    }
    return 0;
}
