// The survey menu: the geometry of the line, the files for inversion
// programs and the plot windows, all of the current reading.
#include "ZelMain.h"

#include "DataCheckWindow.h"
#include "PlotWindows.h"

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
    const zel::SurveyGeometry geometry = zel::readSurveyGeometry(*Ini, &problems);
    QStringList texts;
    for (const zel::SurveySettingProblem& p : problems)
        texts << zel::texts::surveySettingProblem(QDir::toNativeSeparators(Ini->fileName()), p.key, p.value, p.range);
    if (!texts.isEmpty()) {
        texts << zel::texts::surveyDefaultUsed();
        StatusBar1->showMessage(texts.join(QStringLiteral("; ")));
        if (problem)
            *problem = texts.join(QLatin1Char('\n'));
    }
    return geometry;
}

void TForm1::SurveyGeometry1Click()
{
    QString problem;
    const zel::SurveyGeometry stored = surveyGeometry(&problem);
    if (const auto chosen = m_dialogs->editSurveyGeometry(this, stored, problem)) {
        zel::writeSurveyGeometry(*Ini, *chosen);
        saveSettings();
        // The pictures and the check follow the new geometry and thresholds
        // (the check follows new data by itself).
        refreshPlots();
        if (DataCheckWindow)
            DataCheckWindow->refresh();
    }
}

void TForm1::DataCheck1Click()
{
    if (!DataCheckWindow)
        DataCheckWindow = new TDataCheckWindow(*Doc, [this] { return surveyGeometry(); }, this);
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
            FileDialogOptions o;
            o.filter = QStringLiteral("PNG (*.png)|*.png|PDF (*.pdf)|*.pdf");
            o.defaultExt = QStringLiteral("png");
            o.overwritePrompt = true;
            o.fileName = QDir::current().filePath(fileNameOfStamp(QStringLiteral("Plot"), Data().header.time, "png"));
            // The dialog belongs to the plot window, which stays in front.
            return m_dialogs->saveFileName(w, o);
        });
    }
    if constexpr (std::is_same_v<Window, TPseudosectionWindow>) {
        if (!window->property("followsExclusions").toBool()) {
            window->setProperty("followsExclusions", true);
            // A click on a point leaves it out, or takes it back.
            connect(window, &TPseudosectionWindow::valueClicked, this, [this](zel::ValueKey value) {
                Doc->setExcluded(value, Doc->exclusions().count(value) == 0);
            });
            connect(Doc, &zel::Document::exclusionsChanged, window,
                    [this, window] { window->setExclusions(Doc->exclusions()); });
        }
        window->setExclusions(Doc->exclusions());
    }
    window->setRecords(Doc->records(), surveyGeometry());
    window->show();
    window->raise();
}

void TForm1::refreshPlots()
{
    // Open plots follow the current data.
    const std::vector<zel::MeasurementRecord> records = Doc->records();
    for (TPlotWindow* window : std::initializer_list<TPlotWindow*>{ProfileWindow, PseudosectionWindow})
        if (window && window->isVisible())
            window->setRecords(records, surveyGeometry());
}

void TForm1::ExportCsv1Click() { ExportSurvey(zel::SurveyFormat::Csv); }

void TForm1::ExportRes2DInv1Click() { ExportSurvey(zel::SurveyFormat::Res2DInv); }

void TForm1::ExportOhm1Click() { ExportSurvey(zel::SurveyFormat::Ohm); }

void TForm1::ExportSurvey(zel::SurveyFormat format)
{
    if (refuseDuringDialogue() || !Doc->decoded())
        return;
    guarded([&] {
        const std::vector<zel::MeasurementRecord> records = Doc->records();
        const zel::SurveyGeometry geometry = surveyGeometry();
        // The inversion formats need positions: say so before a file is asked for.
        if (format != zel::SurveyFormat::Csv
            && std::none_of(records.begin(), records.end(), [](const auto& r) { return zel::carriesElectrodes(r.Mode); })) {
            m_dialogs->showMessage(this, MessageKind::Information, kApplicationTitle,
                                   zel::texts::errorText(zel::ZelError(zel::ErrorId::NoPositions)) + QLatin1Char('.'));
            return;
        }
        static const struct {
            const char* filter;
            const char* ext;
        } kinds[] = {{"CSV (*.csv)|*.csv", "csv"}, {"Res2DInv (*.dat)|*.dat", "dat"}, {"pyGIMLi/BERT (*.ohm)|*.ohm", "ohm"}};
        const auto& kind = kinds[int(format)];
        const QString dir = SaveDialog3.FileName().isEmpty() ? QDir::currentPath()
                                                             : QFileInfo(SaveDialog3.FileName()).absolutePath();
        SaveDialog3.options.filter = QLatin1String(kind.filter);
        SaveDialog3.options.defaultExt = QLatin1String(kind.ext);
        SaveDialog3.options.overwritePrompt = true;
        SaveDialog3.FileName() = QDir(dir).filePath(fileNameOfStamp(QStringLiteral("Survey"), Data().header.time, kind.ext));
        if (!SaveDialog3.Execute(*m_dialogs, this))
            return;
        QStringList written =
            zel::writeExportFiles(zel::surveyExport(format, records, geometry, std::nullopt, SaveDialog3.FileName(), {Doc->exclusions(), false}));
        for (QString& path : written)
            path = QDir::toNativeSeparators(path);
        // One file per profile: the user is told which.
        if (written.size() > 1)
            m_dialogs->showMessage(this, MessageKind::Information, kApplicationTitle, zel::texts::filesWritten(written));
        else if (!written.isEmpty())
            StatusBar1->showMessage(zel::texts::fileWritten(written.first()));
    });
}
