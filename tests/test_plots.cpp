// The plots as a user sees them: rendered offscreen, looked at pixel by pixel.
#include "FakeDialogs.h"
#include "TestDumps.h"
#include "WindowInDir.h"

#include "texts/Texts.h"
#include "app/PlotWindows.h"
#include "app/SoundingWindow.h"
#include "app/SurveyCommands.h"
#include "app/ZelMain.h"
#include "data/DataFile.h"
#include "zeltool/Commands.h"
#include "inversion/Files.h"
#include "plots/Sheet.h"
#include "section/Input.h"
#include "sim/StationModel.h"
#include "survey/Checks.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QDir>
#include <QSettings>
#include <QImage>

#include <qcustomplot.h>

#include <gtest/gtest.h>

#include <cstdio>

namespace {

// A Wenner profile, a = 1 m: electrodes i, i+1, i+2, i+3; apparent
// resistivity 10 ohm·m on the left half, 1000 on the right, and one negative
// value far to the right.
std::vector<zel::MeasurementRecord> twoHalves()
{
    std::vector<zel::MeasurementRecord> records;
    for (int i = 0; i < 21; ++i) {
        const int a = i == 20 ? 40 : i;
        // 10 mA: u = rhoa · 10 / 2π mV; channels 2 to 4 out of range.
        records.push_back(zeltest::Record()
                              .mode(11)
                              .profile(1, 1)
                              .station(i)
                              .electrodes(a, a + 3, a + 1, a + 2)
                              .current(5)
                              .u(1, i == 20 ? -15915 : 15915, i < 10 ? 3 : 1)
                              .u(2, 0, 9)
                              .u(3, 0, 9)
                              .u(4, 0, 9));
    }
    return records;
}

QRgb pixelAt(const QImage& image, const QCustomPlot& plot, double x, double y)
{
    return image.pixel(int(plot.xAxis->coordToPixel(x)), int(plot.yAxis->coordToPixel(y)));
}

bool near(QRgb a, QColor b)
{
    return std::abs(qRed(a) - b.red()) + std::abs(qGreen(a) - b.green()) + std::abs(qBlue(a) - b.blue()) < 60;
}

// The simulator's two-block section line inverted for at most `iterations`.
zel::inv::InversionResult blocksSection(int iterations)
{
    const auto records = zel::sim::sectionRecords(32);
    const zel::SurveyGeometry geometry;
    const auto values = zel::surveyValues(records, geometry);
    const auto checks = zel::checkValues(records, values, geometry.thresholds);
    const auto data = zel::measurementsOf(zel::inversionData(records, values, checks, {1, 1}, {}), 3, 2);
    zel::inv::InversionOptions options;
    options.maxIterations = iterations;
    return zel::inv::invert(data, options);
}

} // namespace

TEST(Plots, PseudosectionShowsLowColourLeftHighRightAndNegativeHollow)
{
    const zel::SurveyGeometry geometry{1.0, 0.0, zel::ChannelGeometry::FirstOnly};
    const zel::Pseudosection s = zel::pseudosection(twoHalves(), geometry, {1, 1});
    ASSERT_EQ(s.points.size(), 20u);
    ASSERT_EQ(s.negative.size(), 1u);
    QCustomPlot plot;
    zel::drawPseudosection(plot, s);
    const QImage image = plot.toPixmap(900, 600).toImage();

    const double depth = s.points.front().depth;  // 0.519 m for a = 1 m
    EXPECT_NEAR(depth, 0.519, 0.002);
    EXPECT_TRUE(near(pixelAt(image, plot, s.points.front().x, depth), zel::resistivityColour(10, 10, 1000)));
    EXPECT_TRUE(near(pixelAt(image, plot, s.points.back().x, depth), zel::resistivityColour(1000, 10, 1000)));
    // The negative value: a grey ring around a white middle.
    const auto& negative = s.negative.front();
    EXPECT_EQ(pixelAt(image, plot, negative.x, negative.depth), qRgb(255, 255, 255));
    const int centreX = int(plot.xAxis->coordToPixel(negative.x));
    const int centreY = int(plot.yAxis->coordToPixel(negative.depth));
    bool ring = false;
    for (int dx = 2; dx <= 5; ++dx)
        ring = ring || qGray(image.pixel(centreX + dx, centreY)) < 215;
    EXPECT_TRUE(ring);
    // Every point and every electrode lies within the axes; depth runs downward.
    for (const auto& p : s.points) {
        EXPECT_TRUE(plot.xAxis->range().contains(p.x));
        EXPECT_TRUE(plot.yAxis->range().contains(p.depth));
    }
    EXPECT_TRUE(plot.xAxis->range().contains(s.electrodes.front()) && plot.xAxis->range().contains(s.electrodes.back()));
    EXPECT_TRUE(plot.yAxis->rangeReversed());
}

// The colour scale spans the values kept: the ends of the profile left out,
// the 1000 ohm·m half's points become the top of the scale's range, and a
// scale of what is kept follows each change of the exclusions.
TEST(Plots, PseudosectionColoursSpanTheValuesKept)
{
    const zel::SurveyGeometry geometry{1.0, 0.0, zel::ChannelGeometry::FirstOnly};
    auto rangeWith = [&](const zel::Exclusions& excluded) {
        QCustomPlot plot;
        zel::drawPseudosection(plot, zel::pseudosection(twoHalves(), geometry, {1, 1}, excluded));
        for (int i = 0; i < plot.plotLayout()->elementCount(); ++i)
            if (auto* bar = qobject_cast<QCPColorScale*>(plot.plotLayout()->elementAt(i)))
                return std::pair(bar->dataRange().lower, bar->dataRange().upper);
        return std::pair(0.0, 0.0);
    };
    const auto all = rangeWith({});
    EXPECT_NEAR(all.first, 10, 1e-3);
    EXPECT_NEAR(all.second, 1000, 0.1);
    zel::Exclusions leftHalf;
    for (int index = 1; index <= 10; ++index)
        leftHalf.insert({index, 1});
    const auto kept = rangeWith(leftHalf);
    EXPECT_NEAR(kept.first, 1000 / 1.5, 0.1);  // one value left: a span around it
    EXPECT_NEAR(kept.second, 1000 * 1.5, 0.1);
    leftHalf.erase({1, 1});
    EXPECT_NEAR(rangeWith(leftHalf).first, 10, 1e-3);
}

TEST(Plots, LogarithmicProfileLeavesOutWhatIsNotPositiveAndSaysSo)
{
    zel::texts::useLanguage(zel::texts::Language::English);  // whatever an earlier test chose
    std::vector<zel::MeasurementRecord> records(4);
    for (int i = 0; i < 4; ++i) {
        records[std::size_t(i)].Station = std::int16_t(i + 1);
        records[std::size_t(i)].U[0] = std::int16_t(i < 2 ? -5 : 50);
        records[std::size_t(i)].Range[1] = records[std::size_t(i)].Range[2] = records[std::size_t(i)].Range[3] = 9;
    }
    const zel::ProfileGraph graph = zel::profileGraph(records, zel::ProfileValue::U, true, false);
    EXPECT_EQ(graph.leftOut, 2);
    ASSERT_EQ(graph.curves.size(), 1u);
    EXPECT_EQ(graph.curves.at(0).legend, "L0 F0 ch1");
    QCustomPlot plot;
    zel::drawProfileGraph(plot, graph, {zel::ProfileValue::U, true, false});
    bool said = false;
    for (int i = 0; i < plot.plotLayout()->elementCount(); ++i)
        if (auto* text = qobject_cast<QCPTextElement*>(plot.plotLayout()->elementAt(i)))
            said = said || text->text().startsWith("2 value");
    EXPECT_TRUE(said);
    EXPECT_EQ(plot.yAxis->scaleType(), QCPAxis::stLogarithmic);
    EXPECT_TRUE(plot.xAxis->range().contains(3) && plot.xAxis->range().contains(4));

    // After a linear view of large negative values the logarithmic axis
    // still finds the positive ones.
    for (auto& r : records)
        r.U[0] = -30000;
    zel::drawProfileGraph(plot, zel::profileGraph(records, zel::ProfileValue::U, false, false),
                          {zel::ProfileValue::U, false, false});
    records[3].U[0] = 50;
    zel::drawProfileGraph(plot, zel::profileGraph(records, zel::ProfileValue::U, true, false),
                          {zel::ProfileValue::U, true, false});
    EXPECT_GT(plot.yAxis->range().lower, 0);
    EXPECT_TRUE(plot.yAxis->range().contains(50)) << plot.yAxis->range().lower << " " << plot.yAxis->range().upper;
}

// The plot windows follow the current data; zeltool draws the same picture
// and refuses a profile that is not in the data.
TEST(Plots, WindowsFollowTheDataAndZeltoolDrawsOrRefuses)
{
    WindowInDir place;
    FakeDialogs dialogs;
    TForm1 form(&dialogs, QStringList());
    const QString file = place.dir.filePath("halves.zel");
    zel::writeWholeFile(file, zeltest::dump(twoHalves()));
    dialogs.fileAnswers << file;
    form.ToolButton1Click();
    form.Pseudosection1->trigger();
    ASSERT_NE(form.survey().pseudosectionWindow(), nullptr);
    EXPECT_EQ(form.survey().pseudosectionWindow()->ProfileBox->currentText(), "L1 F1");
    EXPECT_EQ(form.survey().pseudosectionWindow()->section().points.size(), 21u - 1u + 0u);  // consecutive dipoles, channel 1 only
    dialogs.fileAnswers << zeltest::dataFile("sample.zel");
    form.ToolButton1Click();  // another reading: the open window is drawn anew
    EXPECT_NE(form.survey().pseudosectionWindow()->section().values.size(), 21u);

    // The profile graph of a memory with no plain measurement says why it is empty.
    QCustomPlot empty;
    zel::drawProfileGraph(empty, zel::profileGraph(twoHalves(), zel::ProfileValue::U, false, false, std::nullopt), {});
    bool explained = false;
    for (int i = 0; i < empty.plotLayout()->elementCount(); ++i)
        if (auto* text = qobject_cast<QCPTextElement*>(empty.plotLayout()->elementAt(i)))
            explained = explained || text->text().contains("pseudosection") || text->text().contains("псевдоразрез");
    EXPECT_TRUE(explained);

    std::FILE* out = std::tmpfile();
    std::FILE* err = std::tmpfile();
    const QString png = place.dir.filePath("p.png");
    EXPECT_EQ(zeltool::run({"plot", "--kind", "pseudosection", "--width", "400", "--height", "300", file, png}, out, err), 0);
    EXPECT_EQ(QImage(png).size(), QSize(400, 300));
    const QString none = place.dir.filePath("none.png");
    EXPECT_NE(zeltool::run({"plot", "--kind", "pseudosection", "--line", "7", "--file", "7", file, none}, out, err), 0);
    EXPECT_NE(zeltool::run({"plot", "--kind", "profile", "--width", "wide", file, none}, out, err), 0);
    // Nothing to draw is refused: no plain measurement here for the profile graph.
    EXPECT_EQ(zeltool::run({"plot", "--kind", "profile", "--line", "1", "--file", "1", file, none}, out, err), 1);
    EXPECT_FALSE(QFile::exists(none));
    // A memory whose first profiles have nothing for the profile graph: the
    // first that has is drawn; one with nothing at all says where to look.
    std::vector<zel::MeasurementRecord> many = twoHalves();
    for (int line = 2; line <= 12; ++line)
        many.push_back(zeltest::Record().mode(0).profile(line, 1).station(1).current(5).u(1, 100, 2));
    const QString manyFile = place.dir.filePath("many.zel");
    zel::writeWholeFile(manyFile, zeltest::dump(many));
    std::FILE* said = std::tmpfile();
    EXPECT_EQ(zeltool::run({"plot", "--kind", "profile", manyFile, png}, out, said), 0);
    std::rewind(said);
    char line[256] = {};
    EXPECT_TRUE(std::fgets(line, sizeof line, said) && QByteArray(line).startsWith("zeltool: drawing L2 F1, the first of 11")) << line;
    std::fclose(said);
    said = std::tmpfile();
    EXPECT_EQ(zeltool::run({"plot", "--kind", "profile", file, none}, out, said), 1);
    std::rewind(said);
    EXPECT_TRUE(std::fgets(line, sizeof line, said) && QByteArray(line).contains("the pseudosection shows this memory")) << line;
    std::fclose(said);
    // The caption names the profile and the geometry drawn, in the window and in zeltool's picture.
    auto caption = [](QCustomPlot& plot) {
        for (int i = 0; i < plot.plotLayout()->elementCount(); ++i)
            if (auto* text = qobject_cast<QCPTextElement*>(plot.plotLayout()->elementAt(i)))
                if (text->text().startsWith("Линия"))
                    return text->text();
        return QString();
    };
    EXPECT_EQ(caption(*form.survey().pseudosectionWindow()->Plot), "Линия 1, файл 1: шаг электродов 1 м, электрод 0 при x = 0 м");
    EXPECT_EQ(zeltool::run({"plot", "--kind", "pseudosection", "--spacing", "2.5", "--x0", "-10", file, png}, out, err), 0);
    std::fclose(out);
    std::fclose(err);
}

// A memory of many profiles full of marks: the profile window shows one
// profile (no "all" entry), the legend and the mark numbers stay readable.
TEST(Plots, ProfileGraphOfManyProfilesShowsOneWithReadableLegendAndMarks)
{
    std::vector<zel::MeasurementRecord> records(2000);
    for (std::size_t i = 0; i < records.size(); ++i) {
        auto& r = records[i];
        r.LineNo = std::uint8_t(1 + i / 100);  // 20 profiles of 100 stations
        r.FileNo = 1;
        r.Station = std::int16_t(i % 100);
        r.Mode = std::uint8_t(1 + i % 8);  // a mark at every station
        for (int ch = 0; ch < 4; ++ch)
            r.U[ch] = std::int16_t(10 + ch);
    }
    QSettings settings(QDir::temp().filePath("zel-plots-test.ini"), QSettings::IniFormat);
    FakeDialogs dialogs;
    TProfileWindow window(settings, dialogs, nullptr);
    window.resize(900, 600);
    window.show();
    window.setRecords(records, {});
    EXPECT_EQ(window.ProfileBox->count(), 20);
    EXPECT_EQ(window.ProfileBox->currentText(), "L1 F1");
    window.Plot->replot(QCustomPlot::rpImmediateRefresh);
    std::vector<double> labels;
    for (int i = 0; i < window.Plot->itemCount(); ++i)
        if (auto* t = qobject_cast<QCPItemText*>(window.Plot->item(i)))
            labels.push_back(window.Plot->xAxis->coordToPixel(t->position->coords().x()));
    std::sort(labels.begin(), labels.end());
    ASSERT_GT(labels.size(), 5u);
    EXPECT_LT(labels.size(), 100u);
    for (std::size_t i = 1; i < labels.size(); ++i)
        EXPECT_GE(labels[i] - labels[i - 1], 16);
    window.Plot->xAxis->scaleRange(0.1);  // zoomed in, every mark of the view has its number
    window.Plot->replot(QCustomPlot::rpImmediateRefresh);
    int inView = 0;
    for (int i = 0; i < window.Plot->itemCount(); ++i)
        inView += qobject_cast<QCPItemText*>(window.Plot->item(i)) != nullptr;
    EXPECT_GE(inView, 9);

    // Eight profiles at most are offered all at once; the profile shown stays
    // chosen, and the legend of all names twelve of the 32 curves.
    records.resize(800);
    window.setRecords(records, {});
    EXPECT_EQ(window.ProfileBox->itemText(0), "Все профили");
    EXPECT_EQ(window.ProfileBox->currentText(), "L1 F1");
    window.ProfileBox->setCurrentIndex(0);
    EXPECT_EQ(window.Plot->legend->itemCount(), 12);
}

// The inverted section of the simulated station's line: the conductive block
// drawn blue, the resistive one red, the title as given.
// The values a colour scale (and a low panel's axis) marks: 1, 2, 5 in each
// decade of a logarithmic scale, fewer across many decades; round steps on
// a linear one; never more than asked and never fewer than two, so labels
// stay apart and contours have levels.
TEST(Plots, ScaleTicksAreRoundFewAndNeverAlone)
{
    const struct {
        zel::ColourScale scale;
        int count;
        std::vector<double> ticks;
    } cases[] = {
        {{12.25, 185.7, true}, 12, {20, 50, 100}},
        {{75, 150, true}, 12, {80, 90, 100, 110, 120, 130, 140, 150}},  // within a decade: round linear steps
        {{1, 1e6, true}, 5, {1, 100, 10000, 1e6}},
        {{0.325, 2.327, false}, 3, {1, 2}},           // a pseudo-depth: no single label
        {{-12, 12, false}, 9, {-10, -5, 0, 5, 10}},
        {{5, 500, false}, 6, {100, 200, 300, 400, 500}},
    };
    for (const auto& c : cases) {
        const std::vector<double> ticks = zel::scaleTicks(c.scale, c.count);
        ASSERT_EQ(ticks.size(), c.ticks.size()) << c.scale.low << "–" << c.scale.high;
        for (std::size_t i = 0; i < ticks.size(); ++i)
            EXPECT_NEAR(ticks[i], c.ticks[i], 1e-9 * std::abs(c.ticks[i])) << c.scale.low << "–" << c.scale.high;
    }
}

TEST(Plots, SectionShowsTheBlocksOfTheInversion)
{
    const zel::inv::InversionResult result = blocksSection(3);
    QCustomPlot plot;
    zel::drawSection(plot, result, "L1 F1");
    const QImage image = plot.toPixmap(900, 400).toImage();
    const QRgb conductive = pixelAt(image, plot, 12, -2.75);
    const QRgb resistive = pixelAt(image, plot, 22, -2.75);
    EXPECT_GT(qBlue(conductive), qRed(conductive) + 50);
    EXPECT_GT(qRed(resistive), qBlue(resistive) + 50);
    bool titled = false;
    for (int i = 0; i < plot.plotLayout()->elementCount(); ++i)
        if (auto* text = qobject_cast<QCPTextElement*>(plot.plotLayout()->elementAt(i)))
            titled = titled || text->text() == "L1 F1";
    EXPECT_TRUE(titled);

    // Contours follow the section smoothly, not the cells' edges, each
    // labelled with its value and drawn black on a white halo.
    zel::drawSection(plot, result, "L1 F1", zel::ColourScale{10, 200, true}, true);
    int segments = 0, square = 0, halos = 0;
    for (int i = 0; i < plot.plottableCount(); ++i)
        if (auto* curve = qobject_cast<QCPCurve*>(plot.plottable(i))) {
            halos += curve->pen().color() == Qt::white || curve->pen().color().lightness() > 240;
            for (auto p = curve->data()->constBegin(); p != curve->data()->constEnd() && p + 1 != curve->data()->constEnd(); ++p) {
                const double dx = (p + 1)->key - p->key, dz = (p + 1)->value - p->value;
                if (std::isnan(dx) || std::isnan(dz))
                    continue;
                ++segments;
                square += std::abs(dx) < 1e-6 || std::abs(dz) < 1e-6;
            }
        }
    ASSERT_GT(segments, 50);
    EXPECT_LT(square, segments / 10) << square << " of " << segments << " along the cells' edges";
    QStringList labels;
    for (int i = 0; i < plot.itemCount(); ++i)
        if (auto* text = qobject_cast<QCPItemText*>(plot.item(i)))
            labels << text->text();
    EXPECT_TRUE(labels.contains("20") && labels.contains("100")) << labels.join(' ').toStdString();
    EXPECT_GT(halos, 0);
}

// The sheet put in a report, at a screen's, a printer's and a poster's
// resolution: the fonts grow with the resolution and the layout with them,
// so no text touches the picture's edge or another text; the PDF is the
// same page.
TEST(Plots, SheetKeepsEveryTextInsideAndApartAtEachResolution)
{
    const auto records = zel::sim::sectionRecords(32);
    const zel::inv::InversionResult result = blocksSection(1);  // a fit that fails: the longest title
    zel::texts::useLanguage(zel::texts::Language::English);  // whatever an earlier test chose
    ASSERT_TRUE(result.misfits());
    // zeltool draws the window's sheet at the size asked.
    QTemporaryDir dir;
    const QString line = dir.filePath("line.zel");
    zel::writeWholeFile(line, zeltest::dump(records));
    std::FILE* out = std::tmpfile();
    std::FILE* err = std::tmpfile();
    EXPECT_EQ(zeltool::run({"invert", "--max-iterations", "1", "--sheet", "--width", "900", "--height", "700", "--dpi", "120",
                            "--pdf", "--png", line, dir.filePath("s")}, out, err), 0);
    std::fclose(out);
    std::fclose(err);
    const QImage drawn(dir.filePath("s.png"));
    EXPECT_EQ(drawn.size(), QSize(900, 700));
    EXPECT_NEAR(drawn.dotsPerMeterX() * 0.0254, 120, 0.5);
    EXPECT_TRUE(zel::readWholeFile(dir.filePath("s.pdf")).contains("/MediaBox [0 0 540.000000 420.000000]"));
    zel::SectionSheet sheet;
    sheet.result = &result;
    sheet.contours = true;
    // In both languages: the Russian titles are the longer.
    for (const auto language : {zel::texts::Language::English, zel::texts::Language::Russian})
    for (const zel::SheetSize size : {zel::SheetSize{800, 600, 100}, zel::SheetSize{1600, 1200, 150}, zel::SheetSize{2400, 1600, 300}}) {
        zel::texts::useLanguage(language);
        const bool english = language == zel::texts::Language::English;
        sheet.title = zel::sectionTitle("Line 1 File 1 (Wenner, 32 electrodes)", result, zel::plotLocale(english));
        const std::string at = std::to_string(size.width) + "x" + std::to_string(size.height) + "/" + std::to_string(size.dpi)
            + (english ? " English" : " Russian");
        std::vector<zel::SheetText> texts;
        const QImage image = QImage::fromData(zel::sheetPicture(sheet, size, false, zel::plotLocale(english), &texts));
        if (qEnvironmentVariableIsSet("SHEET_DUMP"))
            image.save(QString("/tmp/sheet-%1-%2.png").arg(size.dpi).arg(english ? "en" : "ru"));
        ASSERT_EQ(image.size(), QSize(size.width, size.height)) << at;
        EXPECT_NEAR(image.dotsPerMeterX() * 0.0254, size.dpi, 0.5) << at;
        for (int x = 0; x < image.width(); ++x)
            for (const int y : {0, image.height() - 1})
                ASSERT_EQ(image.pixel(x, y), qRgb(255, 255, 255)) << at << " x " << x;
        for (int y = 0; y < image.height(); ++y)
            for (const int x : {0, image.width() - 1})
                ASSERT_EQ(image.pixel(x, y), qRgb(255, 255, 255)) << at << " y " << y;
        QStringList drawn;
        const QRectF inside = QRectF(image.rect()).adjusted(1, 1, -1, -1);
        for (std::size_t i = 0; i < texts.size(); ++i) {
            drawn << texts[i].what;
            EXPECT_TRUE(inside.contains(texts[i].rect)) << at << " " << texts[i].what.toStdString();
            for (std::size_t j = i + 1; j < texts.size(); ++j)
                EXPECT_FALSE(texts[i].rect.adjusted(0.5, 0.5, -0.5, -0.5).intersects(texts[j].rect))
                    << at << " " << texts[i].what.toStdString() << " over " << texts[j].what.toStdString();
        }
        const QStringList titles = english ? QStringList{"Ohm·m", "%", "Elevation, m", "x, m", "Misfit (model − measured) / measured (%) by pseudo-depth (m)"}
                                           : QStringList{"Ом·м", "%", "Высота, м", "x, м"};
        for (const QString& title : titles)
            EXPECT_TRUE(drawn.contains(title)) << at << " " << title.toStdString();
        // The verdict is on the sheet whole, broken into lines.
        const QString verdict = english ? "does not explain the data" : "не объясняет данные";
        EXPECT_TRUE(std::any_of(texts.begin(), texts.end(), [&](const zel::SheetText& t) {
            return t.what.contains(QLatin1Char(10)) && QString(t.what).replace(QLatin1Char(10), QLatin1Char(32)).contains(verdict);
        })) << at;
        if (!english)
            continue;
        const QByteArray pdf = zel::sheetPicture(sheet, size, true, zel::plotLocale(false));
        EXPECT_TRUE(pdf.startsWith("%PDF")) << at;
        const QString box = QStringLiteral("/MediaBox [0 0 %1 %2]").arg(size.width * 72.0 / size.dpi, 0, 'f', 6).arg(size.height * 72.0 / size.dpi, 0, 'f', 6);
        EXPECT_TRUE(pdf.contains(box.toLatin1())) << at << " " << box.toStdString();
    }
}

// A sounding's measured points: a graph per MN segment (Schlumberger), one
// for MN growing with AB at one ratio (Wenner).
TEST(Plots, SoundingCurveDrawsSegmentsOrOneWennerCurve)
{
    for (const auto& [array, names] : {std::pair{"", QStringList{"Measured, MN/2 = 0.5 m", "Measured, MN/2 = 1.5 m"}},
                                       std::pair{"wenner\n", QStringList{"Measured, MN = AB/3"}}}) {
        const auto line = zel::sim::parseSyntheticLine(QByteArray("electrodes 128\nbackground 100\nlayer 5 10\nsounding\n") + array);
        const zel::SoundingResult r = zel::interpretSounding(zel::soundingInput(zel::sim::syntheticRecords(line), {}, {1, 1}, {}));
        QCustomPlot plot;
        plot.setLocale(QLocale::c());
        zel::drawSounding(plot, r.input.data, r.layered, r.smooth, QString());
        QStringList measured;
        for (int i = 0; i < plot.graphCount(); ++i)
            if (plot.graph(i)->name().startsWith("Measured"))
                measured << plot.graph(i)->name();
        EXPECT_EQ(measured, names);
    }
}

// The sounding window: plain soundings refused until the spacing sheet is
// given (then kept beside the data), a value typed held in the refit,
// layers added and removed, and the section of every sounding.
TEST(Plots, SoundingWindowFitsWhatTheCrewHolds)
{
    WindowInDir place;
    FakeDialogs dialogs;
    TForm1 form(&dialogs, QStringList());
    const zel::sim::SyntheticLine line =
        zel::sim::parseSyntheticLine("electrodes 128\nbackground 100\nlayer 5 10\nblock 60 70 3 12 1000\nsounding 3 20\nplain\n");
    const QString file = place.dir.filePath("ves.zel");
    zel::writeWholeFile(file, zeltest::dump(zel::sim::syntheticRecords(line)));
    zel::writeWholeFile(zel::spacingsFileOf(file), "1 1,5 0,5\n2 two 0,5\n");  // a sheet that cannot be used is said
    dialogs.fileAnswers << file;
    form.ToolButton1Click();
    ASSERT_FALSE(dialogs.messages.isEmpty());
    EXPECT_EQ(dialogs.messages.last().kind, MessageKind::Warning);
    form.Sounding1->trigger();
    TSoundingWindow& w = *form.survey().soundingWindow();
    EXPECT_FALSE(w.result());
    EXPECT_TRUE(w.StateLabel->text().contains("AB/2")) << w.StateLabel->text().toStdString();
    EXPECT_TRUE(w.StateLabel->text().contains(dialogs.messages.last().text)) << w.StateLabel->text().toStdString();

    dialogs.spacingAnswers << zel::sim::syntheticSpacings(line);
    w.SpacingsButton->click();
    EXPECT_EQ(zel::readSpacingsBeside(file), zel::sim::syntheticSpacings(line));
    ASSERT_TRUE(w.result());
    // Saved under another name, the data take their sheet along.
    const QString copy = place.dir.filePath("ves-copy.zel");
    dialogs.fileAnswers << copy;
    form.ToolButton8Click();
    EXPECT_EQ(zel::readSpacingsBeside(copy), zel::sim::syntheticSpacings(line));
    ASSERT_EQ(w.LayersTable->rowCount(), 2);
    EXPECT_NEAR(w.result()->layered.earth.thickness[0], 5, 0.25);

    // ρ of the lower layer typed as 20: held, the rest fitted around it.
    w.LayersTable->item(1, 0)->setText("20");
    EXPECT_EQ(w.LayersTable->item(1, 0)->checkState(), Qt::Checked);
    EXPECT_DOUBLE_EQ(w.result()->layered.earth.rho[1], 20);
    EXPECT_GT(w.result()->layered.rrms, 2);  // the curve says the value is wrong
    w.AddLayerButton->click();
    EXPECT_EQ(w.result()->layered.earth.rho.size(), 3u);
    w.LayersTable->setCurrentCell(2, 0);
    w.RemoveLayerButton->click();
    EXPECT_EQ(w.result()->layered.earth.rho.size(), 2u);
    w.FewestButton->click();
    EXPECT_NEAR(w.result()->layered.earth.rho[1], 10, 0.5);
    EXPECT_EQ(w.LayersTable->item(1, 0)->checkState(), Qt::Unchecked);

    w.SoundingBox->setCurrentIndex(1);  // over the block: its resistive layer
    EXPECT_EQ(w.result()->layered.earth.rho.size(), 3u);
    // AB/2 marked 1, 2, 5 in each decade, and anew when zoomed into one.
    w.Plot->replot();
    EXPECT_TRUE(w.Plot->xAxis->tickVectorLabels().contains("10")) << w.Plot->xAxis->tickVectorLabels().join(' ').toStdString();
    w.Plot->xAxis->setRange(1.2, 3.5);
    w.Plot->replot();
    EXPECT_EQ(w.Plot->xAxis->tickVectorLabels(), QList<QString>({"1,5", "2", "2,5", "3", "3,5"}));

    // The section runs on the worker: Stop leaves nothing half drawn, and
    // the tab shown again makes it whole.
    w.Tabs->setCurrentWidget(w.SectionPlot);
    ASSERT_TRUE(w.sectionRunning());
    w.StopButton->click();
    ASSERT_TRUE(waitUntil([&] { return !w.sectionRunning(); }));
    EXPECT_EQ(w.SectionPlot->plottableCount(), 0);
    EXPECT_TRUE(w.StopButton->isHidden());
    w.Tabs->setCurrentWidget(w.Plot);
    w.Tabs->setCurrentWidget(w.SectionPlot);
    ASSERT_TRUE(waitUntil([&] { return !w.sectionRunning(); }));
    EXPECT_GT(w.SectionPlot->plottableCount(), 0);
    EXPECT_EQ(w.SectionStateLabel->text(), "Разрез: зондирований 3.");
    if (const QByteArray pictures = qgetenv("ZEL_SCREENSHOTS"); !pictures.isEmpty())
        w.grab().save(QString::fromLocal8Bit(pictures) + "/sounding-window-ru.png");

    // Data changed while it runs: the run is stopped and begun again on
    // what is shown now; the program closed half way waits for the worker.
    dialogs.spacingAnswers << zel::SpacingSheets{};
    w.SpacingsButton->click();
    ASSERT_TRUE(waitUntil([&] { return !w.sectionRunning(); }));
    EXPECT_EQ(w.SectionPlot->plottableCount(), 0);
    EXPECT_TRUE(w.SectionStateLabel->text().startsWith("Разрез строится по двум"));
    dialogs.spacingAnswers << zel::sim::syntheticSpacings(line);
    w.SpacingsButton->click();
    ASSERT_TRUE(w.sectionRunning());  // the program closes with the run under way
}
