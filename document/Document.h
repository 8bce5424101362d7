#pragma once

#include "data/RawDump.h"
#include "data/Record.h"
#include "data/StationReading.h"
#include "survey/Checks.h"
#include "survey/Lines.h"
#include "survey/Spacings.h"
#include "section/AllLines.h"
#include "section/SurveyVolume.h"
#include "section/CompareJob.h"
#include "section/SectionJob.h"

#include <QObject>
#include <QString>

#include <array>
#include <vector>

namespace zel {

// Where the current reading came from.
enum class ReadingOrigin {
    None,     // nothing read or loaded yet
    Station,  // Read Data (its kept copy, when there is one, is the path)
    File,     // Load File, a kept reading, or a file named on the command line
};

// The current reading of the program: its raw dump and what was decoded of
// it, where it came from, and one signal whenever it is replaced. The window,
// its menus and its plot windows follow it.
class Document : public QObject {
    Q_OBJECT
public:
    explicit Document(QObject* parent = nullptr);

    const Reading& reading() const { return m_reading; }
    ReadingOrigin origin() const { return m_origin; }
    // The file it was loaded from, or the kept copy of a station reading;
    // empty when there is none.
    const QString& path() const { return m_path; }
    bool decoded() const { return m_reading.decodedWhole; }
    // A file name offered for what the reading gives: after the file it was
    // loaded from, "line3 ZEL-SOLO.xlsx"; else after its time stamp,
    // "ZEL-SOLO 07.12.2026 10-11-12.xlsx".
    QString offeredName(const QString& prefix, const char* extension) const;
    // The measurement records of the decoded data, decoded once; none
    // before decoding.
    const std::vector<MeasurementRecord>& records() const { return m_records; }

    void clear();
    // A data file's bytes, decoded as Load File does, with the exclusions
    // and the lines' geometry kept beside it (exclusionsRefused and
    // linesRefused say when one of them cannot be used; it is not applied).
    // The decoding's list lines and error are the caller's to show.
    DumpDecoding load(QByteArray rawDump, const QString& path);
    // What Read Data left, whole even when it failed: the raw dump as far as
    // it got, the count and time stamp once the header arrived, nothing
    // decoded yet. `kept` is its copy in the readings folder.
    void setStationReading(const StationReading& reading, const QString& kept);
    // Decodes the raw dump of the current reading.
    DumpDecoding decode();
    // The count and header texts as View and the workbook export read them
    // again from the decoded data; what is drawn does not change, so no signal.
    void setCountAndHeader(std::uint16_t count, const HeaderTexts& header);

    // The values the user left out of the inversion files, kept beside the
    // data file (or the kept copy of a reading) as "<file>.exclude".
    const Exclusions& exclusions() const { return m_exclusions; }
    // What of the files beside the loaded data could not be used (the
    // exclusions file's line that does not match, the lines file's error),
    // said; empty when everything beside it was taken.
    const QString& besideRefused() const { return m_besideRefused; }

    // Leaves a value out, or takes it back, and keeps the exclusions beside
    // the data file at once; exclusionsNotKept says when that failed.
    void setExcluded(const ValueKey& value, bool excluded);
    void setExclusions(Exclusions exclusions);
    // Takes back the last change of the exclusions (one value, or many at
    // once) since the reading was loaded; false when there is none.
    bool undoExclusion();
    // Keeps the exclusions beside `dataFile` (Save File of the data under a
    // new name); with none, an earlier exclusions file there goes.
    void saveExclusionsBeside(const QString& dataFile) const;
    // The data were saved as `dataFile`: their exclusions and lines'
    // geometry go beside it, and what the user changes from now on is kept
    // there. Throws ZelError when they cannot be written.
    void savedAs(const QString& dataFile);

    // The survey's geometry: the default (with the data check's thresholds)
    // and each profile's own (lines()).
    SurveyGeometry geometry() const;
    void setDefaultGeometry(SurveyGeometry geometry);
    // Both at once, as the geometry dialog gives them: the default without
    // its lines, and the lines as setLines takes them.
    void setGeometry(const SurveyGeometry& geometry);

    // The geometry each profile has of its own, kept beside the data file
    // (or the kept copy of a reading) as "<file>.survey" with the topography
    // files it names.
    const LineGeometries& lines() const { return m_lines; }
    // Sets the lines' geometry and keeps it beside the data file at once;
    // linesNotKept says when that failed.
    void setLines(LineGeometries lines);

    // The crew's spacing sheet of the plain soundings, kept beside the data
    // file (or the kept copy of a reading) as "<file>.spacings".
    const SpacingSheets& spacings() const { return m_spacings; }
    // Sets the sheet and keeps it beside the data file at once;
    // spacingsNotKept says when that failed.
    void setSpacings(SpacingSheets sheets);
    // Why the sheet beside the loaded data could not be used, said; empty
    // when it was taken or there is none.
    const QString& spacingsRefusal() const { return m_spacingsRefusal; }

    // The inversion of a profile of this reading: the one running and the
    // section it gave, marked stale when the data, their exclusions or the
    // geometry change after it.
    SectionJob& section() { return m_section; }
    const SectionJob& section() const { return m_section; }
    // Inverts a profile of the decoded data with the exclusions and geometry
    // of the moment; false (section().refused says why) when not started.
    bool invert(const InversionChoice& choice);
    // The comparison of a profile with an earlier reading, and every line
    // inverted: the two other jobs on this reading, stale as the section is.
    CompareJob& comparison() { return m_comparison; }
    LinesJob& allLines() { return m_allLines; }
    // Every line of the reading as one 3D model.
    VolumeJob& volume() { return m_volume; }
    // One of the jobs runs: each takes the cores and memory it finds free,
    // so no other starts, the station waits and closing asks first.
    bool busy() const;
    // Stops every job and waits for them.
    void stopJobs();

signals:
    void changed();
    void exclusionsChanged();
    // The default geometry, the thresholds or a profile's own geometry changed.
    void geometryChanged();
    void linesNotKept(const zel::ZelError& error);
    // The spacing sheet changed: loaded with the data, or set.
    void spacingsChanged();
    void spacingsNotKept(const zel::ZelError& error);
    // What lies beside a loaded data file cannot be used: the exclusions
    // file's first line that does not match the data (from 1), the lines
    // file's, a topography file's or the spacing sheet's error.
    void exclusionsRefused(int line);
    void linesRefused(const zel::ZelError& error);
    void spacingsRefused(const zel::ZelError& error);
    // The exclusions file could not be written: they hold for this run only.
    void exclusionsNotKept(const zel::ZelError& error);

private:
    void keepExclusions();
    void keepLines();
    void loadBeside();
    // The reading's jobs, for what holds for each of them.
    std::array<WorkerJob*, 4> jobs() { return {&m_section, &m_comparison, &m_allLines, &m_volume}; }
    std::array<const WorkerJob*, 4> jobs() const { return {&m_section, &m_comparison, &m_allLines, &m_volume}; }

    Reading m_reading;
    std::vector<MeasurementRecord> m_records;
    ReadingOrigin m_origin = ReadingOrigin::None;
    QString m_path;
    Exclusions m_exclusions;
    std::vector<Exclusions> m_excludedBefore;  // what each change replaced, the last one last
    LineGeometries m_lines;
    SpacingSheets m_spacings;
    QString m_spacingsRefusal;
    SurveyGeometry m_default;
    QString m_besideRefused;
    // Last: they stop, and their workers end, before what they read goes.
    SectionJob m_section;
    CompareJob m_comparison;
    LinesJob m_allLines;
    VolumeJob m_volume;
};

} // namespace zel
