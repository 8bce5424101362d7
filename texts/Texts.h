#pragma once

#include "data/Messages.h"
#include "data/ZelError.h"
#include "survey/Checks.h"
#include "survey/Geometry.h"

#include <QLocale>
#include <QSettings>
#include <QString>
#include <QStringList>

#include <cstddef>
#include <optional>

// The texts the program shows for what its core reports. The Russian texts
// are the station program's own and stay exactly as they are; each goes
// through translate() so that a translation can follow.
namespace zel::texts {

// Installs Qt's own translations for `locale` (the buttons and file dialogs
// of the toolkit); true when there was one to install.
bool installQtTranslations(const QLocale& locale);

// The language of what a person reads: the station program's own texts
// (Russian), or their English translation built into the program.
enum class Language { Russian, English };

// Puts the program's texts and Qt's own into `language` at once; every
// widget gets a LanguageChange event. False when the program's texts could
// not be put into it (a translation did not load).
bool useLanguage(Language language);
// Puts only the program's texts into `language`, Qt's own left as they are:
// at start without a stored choice, the Russian interface (the texts the
// program adds in English get their Russian, the station program's stay).
bool installProgramTranslations(Language language);
Language currentLanguage();

// The caption of the program's message boxes, as the task bar names it.
inline const QString kApplicationTitle = QStringLiteral("ZEL-TERRAVOXNew");
// The numbers of the language chosen: "1,5" in Russian, "1.5" in English
// (and before any translation is installed), no group separators.
QLocale numberLocale();

// The language kept in the settings file ([Interface] Language=ru|en);
// none when the user never chose one.
std::optional<Language> storedLanguage(QSettings& settings);
void storeLanguage(QSettings& settings, Language language);

// The language the environment asks for (LC_ALL, LC_MESSAGES, LANG):
// Russian for a Russian locale, English for any other.
Language languageOfEnvironment();

// A line of the main list.
QString lineText(const ReportLine& line);
QStringList lineTexts(const QList<ReportLine>& lines);

// The text of an error, as the error box shows it (before its full stop).
QString errorText(const ZelError& error);

// The serial component's dialogs.
QString comPromptText(const ComPrompt& prompt);

// The second paragraph of "There are no free ports COM".
QString noFreePortsHelp();

// The firmware upload's two questions. The module question breaks its line
// with `lineBreak` (the window: a CR, as the station program's box).
QString firmwareSure();
QString firmwareModule(const QString& module, const QString& lineBreak);

// What was wrong with a file that did not decode, naming it: a second
// paragraph for the box of a rejected header or a stream read error.
QString fileProblem(const QString& file, qint64 fileSize, const std::optional<ZelError>& error);

// The message box of a data file or reading whose header is not the station's.
QString headerRejected();

// What the status bar says after a failed dialogue: what to check, and the
// help topic that explains the line. Empty for a line that needs no advice.
struct Hint {
    QString text;
    int topic = 0;
};
Hint hintFor(LineId id);

// A workbook written that no spreadsheet application opened.
QString workbookNotOpened(const QString& path);
QString openFolder();

// The survey menu: its geometry command, and the files an export wrote.
QString surveyGeometryCommand();
QString dataCheckCommand();  // "Survey" → "Data check..."
// The data check's summary of one profile: its values, how many are
// flagged and each flag's count ("zero 1"), the median error estimate.
QString checkSummary(int line, int file, int values, int flagged, const QStringList& flagCounts,
                     std::optional<double> medianError);
// After a profile's summary when it was read at several frequencies: which.
QString atFrequency(double hertz);
// The data check's lines of a profile's frequency effects (at its lowest
// and highest frequency: how many quadripoles, their median and each
// flag's count, under the CSV's names when `plainNames`) and of records
// whose channels contradict consecutive dipoles (how many, the first ones);
// with `plainNames` each flagged effect a line too; none where there is
// nothing to say.
// `indices` are the profile's values (valuesByProfile).
QStringList polarisationReport(const std::vector<MeasurementRecord>& records, const std::vector<ChannelValue>& values,
                               const std::vector<ValueCheck>& checks, const std::vector<std::size_t>& indices,
                               const Profile& profile, bool plainNames);
// A profile's error model: from how many pairs, err = a ohm + b of |R|.
QString errorModelLine(int line, int file, int pairs, double a, double b);
// "Survey" → "Invert...".
QString invertCommand();
// "All lines": every line of the reading inverted, and a plan view.
QString allLinesCommand();
QString soundingCommand();  // "Survey" → the sounding window
// A station command, or another inversion, while an inversion runs.
QString inversionRunning();
// A line too large for the memory: what the inversion needs and what is
// free, bytes.
QString inversionNeedsMemory(std::size_t needed, std::size_t available);
// The same for one 3D model of every line of a survey.
QString surveyNeedsMemory(std::size_t needed, std::size_t available);
// Why the inversion refused a line (its own English words, as zeltool says
// them), in the program's language where the reason is one of its fixed ones.
QString inversionRefusal(const char* reason);
// What a line's topography leaves to be assumed, as a sentence.
QString topographyGap(const TopographyGap& gap);
// Closing the program while an inversion runs.
QString stopInversionAndClose();
QString filesWritten(const QStringList& paths);
// The status bar after a command wrote one file, and after Load File.
QString fileWritten(const QString& path);
// The files of an inversion's model written, named.
QString modelFilesWritten(const QStringList& paths);
QString fileLoaded(const QString& path, int measurements);

// The plot windows.
QString profileGraphTitle();
QString pseudosectionTitle();
QString logarithmicAxis();
QString allRecords();
QString allProfiles();  // the profile chooser's entry for every profile at once
QString saveImage();

// The electrode table generator: its title, field labels (array, electrodes,
// first number, channels), the count of entries, and the question before an upload.
QString sequenceTitle();
QString sequenceField(int field);
QString sequenceCount(qsizetype entries);
// A generator field whose text is not a number within its range.
QString sequenceValueNeeded(const QString& field, int low, int high);
// What came of the generator's Save.
QString sequenceSaved(const QString& path);
QString sequenceUploadQuestion(qsizetype entries);

// A [Survey] value of the settings file `file` that cannot be used: its
// key, the text written, and the numbers needed (none: a channel geometry).
QString surveySettingProblem(const QString& file, const QString& key, const QString& value,
                             std::optional<std::pair<double, double>> range);
// What the window does meanwhile.
QString surveyDefaultUsed();
// The default electrode spacing placed the electrodes of a reading that has no spacing of its own.
QString defaultSpacingUsed(double spacing);

// Kept readings: the status bar after keeping one, the menu entries.
QString readingKept(const QString& path);
QString readingNotKept(const QString& reason);
// zeltool's words for it: no window, no Save File.
QString readingNotKeptByTool(const QString& reason);
QString recentReadings();
QString openReadingsFolder();
// The readings folder when nothing on the desktop opens folders.
QString folderNotOpened(const QString& path);
QString noReadingsYet();

// The status bar while the data answer arrives and while a long frame leaves.
QString receivedProgress(qint64 arrived, qint64 expected);
// The link beside a hint that opens its help topic.
QString helpLink();
QString sentProgress(qint64 sent, qint64 total);
// The status bar when a command is refused because a dialogue runs.
QString dialogueRunning();
// The settings file that cannot be written.
QString settingsNotWritten(const QString& file);
// An exclusions file that does not match its data: the line that does not.
QString exclusionsBadLine(const QString& file, int line);
// The button that stops a running dialogue, and the question when the window
// is closed during one.
QString stopCommand();
QString stopAndClose();

} // namespace zel::texts
