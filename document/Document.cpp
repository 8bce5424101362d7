#include "Document.h"

#include "texts/Texts.h"

#include "survey/Values.h"

#include "data/Cp1251.h"
#include "data/DataFile.h"

#include <QFile>
#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <utility>

namespace zel {

Document::Document(QObject* parent) : QObject(parent)
{
    for (auto signal : {&Document::changed, &Document::exclusionsChanged, &Document::geometryChanged})
        for (WorkerJob* job : jobs())
            connect(this, signal, job, &WorkerJob::dataChanged);
}

bool Document::busy() const
{
    const auto all = jobs();
    return std::any_of(all.begin(), all.end(), [](const WorkerJob* job) { return job->running(); });
}

void Document::stopJobs()
{
    for (WorkerJob* job : jobs()) {
        job->stop();
        job->wait();
    }
}

bool Document::invert(const InversionChoice& choice)
{
    return m_section.start(m_records, geometry(), m_exclusions, choice);
}

QString Document::offeredName(const QString& prefix, const char* extension) const
{
    if (m_origin == ReadingOrigin::File && !m_path.isEmpty())
        return QFileInfo(m_path).completeBaseName() + QLatin1Char(' ') + prefix + QLatin1Char('.') + QLatin1String(extension);
    // What a file name cannot hold in the time stamp becomes a hyphen.
    QString time = fromCp1251(m_reading.header.time);
    for (QChar& c : time)
        if (!c.isLetterOrNumber() && c != QLatin1Char(' ') && c != QLatin1Char('.') && c != QLatin1Char('-'))
            c = QLatin1Char('-');
    return (prefix + QLatin1Char(' ') + time.trimmed()).trimmed() + QLatin1Char('.') + QLatin1String(extension);
}

void Document::clear()
{
    m_exclusions.clear();
    m_excludedBefore.clear();
    m_lines.clear();
    m_spacings = {};
    m_spacingsRefusal.clear();
    m_reading = {};
    m_records.clear();
    m_origin = ReadingOrigin::None;
    m_path.clear();
    emit changed();
}

DumpDecoding Document::load(QByteArray rawDump, const QString& path)
{
    m_exclusions.clear();
    m_excludedBefore.clear();
    m_lines.clear();
    m_spacings = {};
    m_spacingsRefusal.clear();
    m_reading = Reading{std::move(rawDump), {}, 0, {}, false};
    m_origin = ReadingOrigin::File;
    m_path = path;
    DumpDecoding d = decode();
    if (m_reading.decodedWhole)
        loadBeside();
    return d;
}

void Document::setStationReading(const StationReading& reading, const QString& kept)
{
    m_exclusions.clear();
    m_excludedBefore.clear();
    m_lines.clear();
    m_spacings = {};
    m_spacingsRefusal.clear();
    m_reading = {};
    m_records.clear();
    m_reading.rawDump = reading.rawDump;
    m_reading.count = reading.count.value_or(0);
    m_reading.header.time = reading.headerTime.value_or(QByteArray());
    m_origin = ReadingOrigin::Station;
    m_path = kept;
    emit changed();
}

DumpDecoding Document::decode()
{
    DumpDecoding d = decodeDump(m_reading.rawDump);
    // What the header gave stays where the decoding did not get that far.
    m_reading.decoded = std::move(d.decoded);
    m_reading.count = d.count.value_or(m_reading.count);
    m_reading.header = d.headers.value_or(m_reading.header);
    m_reading.decodedWhole = d.outcome == DumpDecoding::Outcome::Decoded;
    m_records = m_reading.decodedWhole ? recordsOf(m_reading.decoded) : std::vector<MeasurementRecord>();
    d.decoded = {};
    emit changed();
    return d;
}

void Document::setCountAndHeader(std::uint16_t count, const HeaderTexts& header)
{
    m_reading.count = count;
    m_reading.header = header;
}

void Document::loadBeside()
{
    // The values left out earlier and each profile's own geometry come back
    // with the data; a file that does not fit is said and not applied.
    m_exclusions.clear();
    m_excludedBefore.clear();
    m_lines.clear();
    m_spacings = {};
    m_spacingsRefusal.clear();
    m_besideRefused.clear();
    const QString file = exclusionsFileOf(m_path);
    if (QFileInfo::exists(file)) {
        const ExclusionsRead read = parseExclusions(readWholeFile(file), recordsIn(m_reading.decoded));
        if (read.badLine == 0)
            m_exclusions = read.exclusions;
        emit exclusionsChanged();
        if (read.badLine != 0) {
            m_besideRefused = texts::exclusionsBadLine(QDir::toNativeSeparators(file), read.badLine);
            emit exclusionsRefused(read.badLine);
        }
    }
    try {
        m_lines = readLinesBeside(m_path);
        emit geometryChanged();
    } catch (const ZelError& e) {
        if (m_besideRefused.isEmpty())
            m_besideRefused = texts::errorText(e);
        emit linesRefused(e);
    }
    try {
        m_spacings = readSpacingsBeside(m_path);
    } catch (const ZelError& e) {
        m_spacingsRefusal = withFullStop(texts::errorText(e));
        if (m_besideRefused.isEmpty())
            m_besideRefused = texts::errorText(e);
        emit spacingsRefused(e);
    }
    emit spacingsChanged();
}

void Document::setExcluded(const ValueKey& value, bool excluded)
{
    Exclusions e = m_exclusions;
    if (excluded)
        e.insert(value);
    else
        e.erase(value);
    setExclusions(std::move(e));
}

void Document::setExclusions(Exclusions exclusions)
{
    if (exclusions == m_exclusions)
        return;
    m_excludedBefore.push_back(std::exchange(m_exclusions, std::move(exclusions)));
    emit exclusionsChanged();
    keepExclusions();
}

bool Document::undoExclusion()
{
    if (m_excludedBefore.empty())
        return false;
    m_exclusions = std::move(m_excludedBefore.back());
    m_excludedBefore.pop_back();
    emit exclusionsChanged();
    keepExclusions();
    return true;
}

void Document::keepExclusions()
{
    // A reading with no file of its own (a copy that could not be kept) keeps
    // its exclusions for the run only.
    if (m_path.isEmpty())
        return;
    try {
        saveExclusionsBeside(m_path);
    } catch (const ZelError& e) {
        emit exclusionsNotKept(e);
    }
}

SurveyGeometry Document::geometry() const
{
    SurveyGeometry g = m_default;
    g.lines = m_lines;
    return g;
}

void Document::setDefaultGeometry(SurveyGeometry geometry)
{
    geometry.lines.clear();
    if (geometry == m_default)
        return;
    m_default = std::move(geometry);
    emit geometryChanged();
}

void Document::setGeometry(const SurveyGeometry& geometry)
{
    SurveyGeometry defaults = geometry;
    defaults.lines.clear();
    const bool changed = !(defaults == m_default) || geometry.lines != m_lines;
    m_default = std::move(defaults);
    if (geometry.lines != m_lines) {
        m_lines = geometry.lines;
        keepLines();
    }
    if (changed)
        emit geometryChanged();
}

void Document::setLines(LineGeometries lines)
{
    if (lines == m_lines)
        return;
    m_lines = std::move(lines);
    keepLines();
    emit geometryChanged();
}

void Document::keepLines()
{
    // A reading with no file of its own keeps them for the run only.
    if (m_path.isEmpty())
        return;
    try {
        m_lines = writeLinesBeside(m_path, m_lines);
    } catch (const ZelError& e) {
        emit linesNotKept(e);
    }
}

void Document::setSpacings(SpacingSheets sheets)
{
    if (sheets == m_spacings)
        return;
    m_spacings = std::move(sheets);
    m_spacingsRefusal.clear();
    // A reading with no file of its own keeps its sheet for the run only.
    if (!m_path.isEmpty()) {
        try {
            writeSpacingsBeside(m_path, m_spacings);
        } catch (const ZelError& e) {
            emit spacingsNotKept(e);
        }
    }
    emit spacingsChanged();
}

void Document::savedAs(const QString& dataFile)
{
    saveExclusionsBeside(dataFile);
    m_lines = writeLinesBeside(dataFile, m_lines);
    writeSpacingsBeside(dataFile, m_spacings);
    m_path = dataFile;
    m_origin = ReadingOrigin::File;
}

void Document::saveExclusionsBeside(const QString& dataFile) const
{
    const QString file = exclusionsFileOf(dataFile);
    if (m_exclusions.empty())
        QFile::remove(file);
    else
        writeWholeFile(file, exclusionsText(m_exclusions));
}

} // namespace zel
