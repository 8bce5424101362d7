// The survey menu: the geometry of the line, the files for inversion
// programs and the plot windows, all of the current reading.
#include "ZelMain.h"

#include "DataCheckWindow.h"
#include "PlotWindows.h"
#include "SectionWindow.h"

#include "data/DataFile.h"
#include "data/RawDump.h"
#include "data/TextTable.h"
#include "document/Document.h"
#include "survey/Exports.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStatusBar>

#include <algorithm>
#include <type_traits>

zel::SurveyGeometry TForm1::surveyGeometry(QString* problem)
{
    std::vector<zel::SurveySettingProblem> problems;
    const zel::SurveyGeometry defaults = zel::readSurveyGeometry(*Ini, &problems);
    QStringList texts;
    for (const zel::SurveySettingProblem& p : problems)
        texts << zel::texts::surveySettingProblem(QDir::toNativeSeparators(Ini->fileName()), p.key, p.value, p.range);
    if (!texts.isEmpty()) {
        texts << zel::texts::surveyDefaultUsed();
        StatusBar1->showMessage(texts.join(QStringLiteral("; ")));
        if (problem)
            *problem = texts.join(QLatin1Char('\n'));
    }
    // The settings file is read again at each command: what was written there
    // by hand since takes effect.
    Doc->setDefaultGeometry(defaults);
    return Doc->geometry();
}

void TForm1::SurveyGeometry1Click()
{
    SurveyDialogInput input;
    input.geometry = surveyGeometry(&input.problem);
    input.profiles = zel::profilesOf(Doc->records());
    input.current = currentProfile(input.profiles);
    const QString folder = Doc->path().isEmpty() ? QDir::currentPath() : QFileInfo(Doc->path()).absolutePath();
    input.askTopographyFile = [this, folder] {
        FileDialogOptions o;
        o.filter = tr("Рельеф (*.txt *.csv *.dat)|*.txt;*.csv;*.dat|Все файлы|*.*");
        o.fileName = folder;
        return m_dialogs->openFileName(this, o);
    };
    if (const auto chosen = m_dialogs->editSurveyGeometry(this, input)) {
        zel::writeSurveyGeometry(*Ini, *chosen);
        saveSettings();
        // The pictures, the check and the section follow the document.
        Doc->setGeometry(*chosen);
    }
}

std::optional<zel::Profile> TForm1::currentProfile(const std::vector<zel::Profile>& profiles) const
{
    // The profile the pseudosection shows, else the one inverted last.
    auto has = [&](const zel::Profile& p) { return std::find(profiles.begin(), profiles.end(), p) != profiles.end(); };
    if (PseudosectionWindow && PseudosectionWindow->isVisible() && has(PseudosectionWindow->section().profile))
        return PseudosectionWindow->section().profile;
    if (m_invertedProfile && has(*m_invertedProfile))
        return m_invertedProfile;
    return std::nullopt;
}

bool TForm1::inversionRunning() const { return SectionWindow && SectionWindow->running(); }

TSectionWindow& TForm1::sectionWindow()
{
    if (!SectionWindow) {
        SectionWindow = new TSectionWindow(*Doc, this);
        SectionWindow->setAskFile([this](QWidget* parent, bool picture) {
            const QString ext = picture ? QStringLiteral("png") : QStringLiteral("csv");
            const QString name = m_invertedProfile ? QStringLiteral("Section_L%1_F%2").arg(m_invertedProfile->line).arg(m_invertedProfile->file)
                                                   : QStringLiteral("Section");
            return m_dialogs->saveFileName(parent, newFileOptions(picture ? kPictureFilter : QStringLiteral("CSV (*.csv)|*.csv"), ext,
                                                                  QDir::current().filePath(name + QLatin1Char('.') + ext)));
        });
        // A misfit point clicked: its value in the data check, to be left out there.
        connect(SectionWindow, &TSectionWindow::valueChosen, this, [this](zel::ValueKey value) {
            DataCheck1Click();
            DataCheckWindow->selectValue(value);
        });
    }
    return *SectionWindow;
}

void TForm1::Invert1Click()
{
    if (refuseDuringDialogue() || !Doc->decoded())
        return;
    if (inversionRunning()) {
        sectionWindow().show();
        sectionWindow().raise();
        StatusBar1->showMessage(zel::texts::inversionRunning(), 5000);
        return;
    }
    const std::vector<zel::Profile> profiles = zel::pseudosectionProfiles(Doc->records());
    if (profiles.empty()) {
        m_dialogs->showMessage(this, MessageKind::Information, kApplicationTitle,
                               zel::texts::errorText(zel::ZelError(zel::ErrorId::NoPositions)) + QLatin1Char('.'));
        return;
    }
    surveyGeometry();
    InversionChoice choice = readInversionChoice(*Ini);
    choice.profile = currentProfile(profiles).value_or(profiles.front());
    const std::optional<InversionChoice> chosen = m_dialogs->askInversion(this, choice, profiles);
    if (!chosen)
        return;
    writeInversionChoice(*Ini, *chosen);
    m_invertedProfile = chosen->profile;
    sectionWindow().invert(*chosen);
}

void TForm1::DataCheck1Click()
{
    surveyGeometry();
    if (!DataCheckWindow)
        DataCheckWindow = new TDataCheckWindow(*Doc, this);
    DataCheckWindow->show();
    DataCheckWindow->raise();
}

void TForm1::ProfileGraph1Click() { showPlotWindow(ProfileWindow); }

void TForm1::Pseudosection1Click() { showPlotWindow(PseudosectionWindow); }

template <class Window>
void TForm1::showPlotWindow(Window*& window)
{
    if (!window) {
        window = new Window(*Ini, this);
        // A hover decodes the one record it shows.
        window->setTableLine([this](int record) {
            if (record < 0 || record >= zel::recordsIn(Data().decoded))
                return QString();
            return zel::TablTex(zel::recordAt(Data().decoded, record), zel::DateTimeSeparators::of(QLocale()));
        });
        window->setAskImageFile([this, w = window] {
            // The dialog belongs to the plot window, which stays in front.
            return m_dialogs->saveFileName(w, newFileOptions(kPictureFilter, QStringLiteral("png"),
                                                             QDir::current().filePath(fileNameOfStamp(QStringLiteral("Plot"), Data().header.time, "png"))));
        });
        if constexpr (std::is_same_v<Window, TPseudosectionWindow>) {
            // A click on a point leaves it out, or takes it back.
            connect(window, &TPseudosectionWindow::valueClicked, this, [this](zel::ValueKey value) {
                Doc->setExcluded(value, Doc->exclusions().count(value) == 0);
            });
            connect(Doc, &zel::Document::exclusionsChanged, window,
                    [this, window] { window->setExclusions(Doc->exclusions()); });
        }
        surveyGeometry();
        window->follow(*Doc);
    } else {
        surveyGeometry();  // what was written into the settings file by hand since
    }
    window->show();
    window->raise();
}

void TForm1::ExportCsv1Click() { ExportSurvey(zel::SurveyFormat::Csv); }

void TForm1::ExportRes2DInv1Click() { ExportSurvey(zel::SurveyFormat::Res2DInv); }

void TForm1::ExportOhm1Click() { ExportSurvey(zel::SurveyFormat::Ohm); }

void TForm1::ExportSurvey(zel::SurveyFormat format)
{
    if (refuseDuringDialogue() || !Doc->decoded())
        return;
    guarded([&] {
        // What the export writes, or why there is nothing: said before a file is asked for.
        std::optional<zel::SurveyExportContents> contents;
        try {
            contents = zel::surveyExportContents(format, Doc->records(), surveyGeometry(), std::nullopt, {Doc->exclusions(), false});
        } catch (const zel::ZelError& e) {
            m_dialogs->showMessage(this, MessageKind::Information, kApplicationTitle, zel::withFullStop(zel::texts::errorText(e)));
            return;
        }
        static const struct {
            const char* filter;
            const char* ext;
        } kinds[] = {{"CSV (*.csv)|*.csv", "csv"}, {"Res2DInv (*.dat)|*.dat", "dat"}, {"pyGIMLi/BERT (*.ohm)|*.ohm", "ohm"}};
        const auto& kind = kinds[int(format)];
        SaveDialog3.offerNew(QLatin1String(kind.filter), QLatin1String(kind.ext),
                             fileNameOfStamp(QStringLiteral("Survey"), Data().header.time, kind.ext));
        if (!SaveDialog3.Execute(*m_dialogs, this))
            return;
        QStringList written = zel::writeExportFiles(zel::exportFiles(*contents, SaveDialog3.FileName()));
        for (QString& path : written)
            path = QDir::toNativeSeparators(path);
        // One file per profile: the user is told which.
        if (written.size() > 1)
            m_dialogs->showMessage(this, MessageKind::Information, kApplicationTitle, zel::texts::filesWritten(written));
        else if (!written.isEmpty())
            StatusBar1->showMessage(zel::texts::fileWritten(written.first()));
    });
}
