// The survey menu: the geometry of the line, the files for inversion
// programs and the plot windows, all of the current reading.
#include "SurveyCommands.h"

#include "CommandHost.h"
#include "DataCheckWindow.h"
#include "InversionDialog.h"
#include "PlotWindows.h"
#include "SoundingWindow.h"
#include "LinesWindow.h"
#include "SectionWindow.h"

#include "data/RawDump.h"
#include "data/TextTable.h"
#include "document/Document.h"
#include "section/Recipe.h"
#include "survey/Exports.h"

#include <QDir>
#include <QThread>
#include <QFileInfo>
#include <QLocale>
#include <QSettings>

#include <algorithm>
#include <set>
#include <type_traits>

TSurveyCommands::TSurveyCommands(TCommandHost& host, QObject* parent) : QObject(parent), m_host(host)
{
    m_exportDialog.save = true;  // an export asks before it replaces a file
}

zel::SurveyGeometry TSurveyCommands::geometry(QString* problem)
{
    QSettings& ini = m_host.userSettings();
    std::vector<zel::SurveySettingProblem> problems;
    const zel::SurveyGeometry defaults = zel::readSurveyGeometry(ini, &problems);
    QStringList texts;
    for (const zel::SurveySettingProblem& p : problems)
        texts << zel::texts::surveySettingProblem(QDir::toNativeSeparators(ini.fileName()), p.key, p.value, p.range);
    if (!texts.isEmpty()) {
        texts << zel::texts::surveyDefaultUsed();
        m_host.showStatus(texts.join(QStringLiteral("; ")));
        if (problem)
            *problem = texts.join(QLatin1Char('\n'));
    }
    // The settings file is read again at each command: what was written there
    // by hand since takes effect.
    m_host.document().setDefaultGeometry(defaults);
    return m_host.document().geometry();
}

void TSurveyCommands::editGeometry()
{
    zel::Document& doc = m_host.document();
    SurveyDialogInput input;
    input.geometry = geometry(&input.problem);
    input.profiles = zel::profilesOf(doc.records());
    input.current = currentProfile(input.profiles);
    const QString folder = doc.path().isEmpty() ? QDir::currentPath() : QFileInfo(doc.path()).absolutePath();
    input.askTopographyFile = [this, folder] {
        FileDialogOptions o;
        o.filter = tr("Рельеф (*.txt *.csv *.dat)|*.txt;*.csv;*.dat|Все файлы|*.*");
        o.fileName = folder;
        return m_host.dialogs().openFileName(m_host.dialogParent(), o);
    };
    if (const auto chosen = m_host.dialogs().editSurveyGeometry(m_host.dialogParent(), input)) {
        zel::writeSurveyGeometry(m_host.userSettings(), *chosen);
        m_host.saveSettings();
        // The pictures, the check and the section follow the document.
        doc.setGeometry(*chosen);
    }
}

std::optional<zel::Profile> TSurveyCommands::currentProfile(const std::vector<zel::Profile>& profiles) const
{
    // The profile the pseudosection shows, else the one inverted last.
    auto has = [&](const zel::Profile& p) { return std::find(profiles.begin(), profiles.end(), p) != profiles.end(); };
    if (m_pseudosection && m_pseudosection->isVisible() && has(m_pseudosection->section().profile))
        return m_pseudosection->section().profile;
    if (m_invertedProfile && has(*m_invertedProfile))
        return m_invertedProfile;
    return std::nullopt;
}

bool TSurveyCommands::inversionRunning() const { return m_host.document().busy(); }

void TSurveyCommands::stopInversion() { m_host.document().stopJobs(); }

QString TSurveyCommands::askNewFile(QWidget* parent, const QString& filter, const QString& ext, const QString& name)
{
    // Beside the reading the pictures and models are of; without one, where
    // the last was written.
    const QString& reading = m_host.document().path();
    const QString folder = !reading.isEmpty() ? QFileInfo(reading).absolutePath()
        : !m_lastFolder.isEmpty()             ? m_lastFolder
                                              : QDir::currentPath();
    QString path = m_host.dialogs().saveFileName(parent, newFileOptions(filter, ext, QDir(folder).filePath(name)));
    if (!path.isEmpty())
        m_lastFolder = QFileInfo(path).absolutePath();
    return path;
}

TSectionWindow& TSurveyCommands::section()
{
    if (!m_section) {
        m_section = new TSectionWindow(m_host.document(), m_host.dialogs(), m_host.dialogParent());
        m_section->setAskFile([this](QWidget* parent, TSectionWindow::Saved saved) {
            const bool picture = saved == TSectionWindow::Saved::Picture;
            const QString ext = picture ? QStringLiteral("png") : QStringLiteral("csv");
            // A comparison's change is named apart from the section's model beside it.
            QString name = saved == TSectionWindow::Saved::Change ? QStringLiteral("Change") : QStringLiteral("Section");
            if (m_invertedProfile)
                name += m_invertedProfile->wholeLine() ? QStringLiteral("_L%1").arg(m_invertedProfile->line)
                                                       : QStringLiteral("_L%1_F%2").arg(m_invertedProfile->line).arg(m_invertedProfile->file);
            return askNewFile(parent, picture ? kPictureFilter : QStringLiteral("CSV (*.csv)|*.csv"), ext, name + QLatin1Char('.') + ext);
        });
        // A misfit point clicked: its value in the data check, to be left out there.
        connect(m_section, &TSectionWindow::valueChosen, this, [this](zel::ValueKey value) {
            showDataCheck();
            m_dataCheck->selectValue(value);
        });
    }
    return *m_section;
}

void TSurveyCommands::invertAllLines()
{
    zel::Document& doc = m_host.document();
    if (m_host.refuseDuringDialogue() || !doc.decoded())
        return;
    if (zel::surveyLines(doc.records()).empty()) {
        m_host.dialogs().showMessage(m_host.dialogParent(), MessageKind::Information, kApplicationTitle,
                                     zel::withFullStop(zel::texts::errorText(zel::ZelError(zel::ErrorId::NoPositions))));
        return;
    }
    if (!m_lines) {
        m_lines = new TLinesWindow(m_host.document().allLines(), m_host.document().volume(), m_host.dialogParent());
        m_lines->setAskFile([this](QWidget* parent) {
            return askNewFile(parent, QStringLiteral("CSV (*.csv)|*.csv"), QStringLiteral("csv"), QStringLiteral("Survey.csv"));
        });
        connect(m_lines, &TLinesWindow::invertAsked, this, &TSurveyCommands::invertAllLines);
    }
    m_lines->show();
    m_lines->raise();
    if (m_lines->running())
        return;
    // One job at a time: each takes every core but one and checks the free
    // memory for itself alone.
    if (doc.busy()) {
        m_host.showStatus(zel::texts::inversionRunning(), 5000);
        return;
    }
    // The options of the last Invert..., one line after the other, each on every core but one.
    m_lines->invert(doc.records(), geometry(), doc.exclusions(), zel::readInversionChoice(m_host.userSettings()),
                    zel::windowThreads());
}

void TSurveyCommands::invert()
{
    zel::Document& doc = m_host.document();
    if (m_host.refuseDuringDialogue() || !doc.decoded())
        return;
    if (inversionRunning()) {
        if (doc.section().running()) {
            section().show();
            section().raise();
        }
        m_host.showStatus(zel::texts::inversionRunning(), 5000);
        return;
    }
    const std::vector<zel::Profile> profiles = zel::profileChoices(zel::pseudosectionProfiles(doc.records()));
    if (profiles.empty()) {
        m_host.dialogs().showMessage(m_host.dialogParent(), MessageKind::Information, kApplicationTitle,
                                     zel::withFullStop(zel::texts::errorText(zel::ZelError(zel::ErrorId::NoPositions))));
        return;
    }
    geometry();
    InversionChoice choice = zel::readInversionChoice(m_host.userSettings());
    choice.profile = currentProfile(profiles).value_or(profiles.front());
    std::set<int> read;
    for (const zel::MeasurementRecord& r : doc.records())
        read.insert(r.FreqIndex);
    const std::optional<InversionChoice> chosen
        = m_host.dialogs().askInversion(m_host.dialogParent(), choice, profiles, std::vector<int>(read.begin(), read.end()));
    if (!chosen)
        return;
    zel::writeInversionChoice(m_host.userSettings(), *chosen);
    m_invertedProfile = chosen->profile;
    section().invert(*chosen);
}

void TSurveyCommands::showDataCheck()
{
    geometry();
    if (!m_dataCheck)
        m_dataCheck = new TDataCheckWindow(m_host.document(), m_host.dialogParent());
    m_dataCheck->show();
    m_dataCheck->raise();
}

void TSurveyCommands::showProfileGraph() { showPlotWindow(m_profile); }

void TSurveyCommands::showPseudosection() { showPlotWindow(m_pseudosection); }

void TSurveyCommands::showSounding() { showPlotWindow(m_sounding); }

template <class Window>
void TSurveyCommands::showPlotWindow(Window*& window)
{
    zel::Document& doc = m_host.document();
    if (!window) {
        window = new Window(m_host.settings(), m_host.dialogs(), m_host.dialogParent());
        // A hover decodes the one record it shows.
        window->setTableLine([&doc](int record) {
            const QByteArray& decoded = doc.reading().decoded;
            if (record < 0 || record >= zel::recordsIn(decoded))
                return QString();
            return zel::TablTex(zel::recordAt(decoded, record), zel::DateTimeSeparators::of(QLocale()));
        });
        window->setAskImageFile([this, &doc, w = window] {
            // The dialog belongs to the plot window, which stays in front.
            return askNewFile(w, kPictureFilter, QStringLiteral("png"), doc.offeredName(QStringLiteral("Plot"), "png"));
        });
        if constexpr (std::is_same_v<Window, TPseudosectionWindow>) {
            // A value asked for is left out, or taken back; Ctrl+Z takes back the last change.
            connect(window, &TPseudosectionWindow::exclusionAsked, this,
                    [&doc](zel::ValueKey value) { doc.setExcluded(value, doc.exclusions().count(value) == 0); });
            connect(window, &TPseudosectionWindow::undoAsked, this, [&doc] { doc.undoExclusion(); });
            connect(&doc, &zel::Document::exclusionsChanged, window, [&doc, window] { window->setExclusions(doc.exclusions()); });
        }
        if constexpr (std::is_same_v<Window, TSoundingWindow>) {
            // The sheet is the document's: edited here, kept beside the data there.
            connect(window, &TSoundingWindow::spacingsEdited, this, [&doc](const zel::SpacingSheets& sheets) { doc.setSpacings(sheets); });
            connect(&doc, &zel::Document::spacingsChanged, window,
                    [&doc, window] { window->setSpacings(doc.spacings(), doc.spacingsRefusal()); });
        }
        geometry();
        window->follow(doc);
    } else {
        geometry();  // what was written into the settings file by hand since
    }
    window->show();
    window->raise();
}

void TSurveyCommands::exportSurvey(zel::SurveyFormat format)
{
    zel::Document& doc = m_host.document();
    if (m_host.refuseDuringDialogue() || !doc.decoded())
        return;
    m_host.guarded([&] {
        // What the export writes, or why there is nothing: said before a file is asked for.
        std::optional<zel::SurveyExportContents> contents;
        const zel::SurveyGeometry survey = geometry();
        try {
            contents = zel::surveyExportContents(format, doc.records(), survey, std::nullopt, {doc.exclusions(), false, std::nullopt});
        } catch (const zel::ZelError& e) {
            m_host.dialogs().showMessage(m_host.dialogParent(), MessageKind::Information, kApplicationTitle,
                                         zel::withFullStop(zel::texts::errorText(e)));
            return;
        }
        static const struct {
            const char* filter;
            const char* ext;
        } kinds[] = {{"CSV (*.csv)|*.csv", "csv"}, {"Res2DInv (*.dat)|*.dat", "dat"}, {"pyGIMLi/BERT (*.ohm)|*.ohm", "ohm"}};
        const auto& kind = kinds[int(format)];
        m_exportDialog.offerNew(QLatin1String(kind.filter), QLatin1String(kind.ext),
                                doc.offeredName(QStringLiteral("Survey"), kind.ext));
        if (!m_exportDialog.Execute(m_host.dialogs(), m_host.dialogParent()))
            return;
        QStringList written = zel::writeExportFiles(zel::exportFiles(*contents, m_exportDialog.FileName()));
        for (QString& path : written)
            path = QDir::toNativeSeparators(path);
        // One file per profile: the user is told which, and when the default
        // spacing placed the electrodes of a reading that has none of its own.
        const QString spacing = survey.defaultSpacingUsedBy(zel::profilesOf(doc.records()))
            ? zel::texts::defaultSpacingUsed(survey.spacing)
            : QString();
        if (written.size() > 1)
            m_host.dialogs().showMessage(m_host.dialogParent(), MessageKind::Information, kApplicationTitle,
                                         zel::texts::filesWritten(written) + (spacing.isEmpty() ? QString() : QStringLiteral("\n\n") + spacing));
        else if (!written.isEmpty())
            m_host.showStatus(zel::texts::fileWritten(written.first()) + (spacing.isEmpty() ? QString() : QStringLiteral("; ") + spacing));
    });
}
