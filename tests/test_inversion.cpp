// The inversion's forward response against analytic solutions: a
// homogeneous half-space, two layers by the image series, reciprocity, and
// its sensitivities against finite differences.
#include "inversion/Depth.h"
#include "inversion/Forward.h"
#include "inversion/Inversion.h"
#include "inversion/Bessel.h"
#include "inversion/Files.h"
#include "section/Input.h"
#include "data/ZelError.h"

#include "Analytic.h"
#include "Capture.h"

#include "data/DataFile.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>
#include <atomic>
#include <functional>
#include <numbers>
#include <random>
#include <tuple>

using zel::inv::Configuration;
using zeltest::geometricFactor;
using zeltest::twoLayerRhoa;

namespace {

constexpr double pi = std::numbers::pi;


// Electrodes 0 … count − 1 at `spacing`; configurations by electrode number.
struct Line {
    std::vector<double> x;
    std::vector<Configuration> data;
    void add(int a, int b, int m, int n)
    {
        const int last = int(x.size()) - 1;
        if (std::min({a, b, m, n}) < 0 || std::max({a, b, m, n}) > last)
            return;
        data.push_back({{a, b, m, n}, geometricFactor(x[std::size_t(a)], x[std::size_t(b)], x[std::size_t(m)], x[std::size_t(n)])});
    }
};

Line line(int count, double spacing)
{
    Line l;
    for (int i = 0; i < count; ++i)
        l.x.push_back(i * spacing);
    return l;
}


std::vector<double> layered(const zel::inv::Mesh& mesh, double rho1, double rho2, double h)
{
    std::vector<double> rho(std::size_t(mesh.cellCount()));
    for (int c = 0; c < mesh.cellCount(); ++c)
        rho[std::size_t(c)] = -mesh.cellCentre(c).z < h ? rho1 : rho2;
    return rho;
}

} // namespace

// A 100 ohm·m half-space under 64 electrodes at 2 m: dipole-dipole a = 1–4,
// n = 1–6, Wenner a = 1–10 and Wenner–Schlumberger all give 100 ohm·m.
TEST(InversionForward, HomogeneousHalfSpace)
{
    Line l = line(64, 2);
    for (int a = 1; a <= 4; ++a)
        for (int n = 1; n <= 6; ++n)
            for (int i = 0; i < 64; ++i)
                l.add(i, i + a, i + a + n * a, i + 2 * a + n * a);
    for (int a = 1; a <= 10; ++a)
        for (int i = 0; i < 64; ++i)
            l.add(i, i + 3 * a, i + a, i + 2 * a);
    for (int n = 1; n <= 6; ++n)
        for (int i = 0; i < 64; ++i)
            l.add(i, i + 2 * n + 1, i + n, i + n + 1);
    zel::inv::MeshOptions o;
    o.parameterDepth = 20;
    const zel::inv::Mesh mesh = zel::inv::makeMesh(l.x, {}, o);
    zel::inv::ForwardModel forward(mesh, l.data);
    forward.solve(std::vector<double>(std::size_t(mesh.cellCount()), 100.0));
    double worst = 0;
    for (const double rhoa : forward.apparentResistivity())
        worst = std::max(worst, std::abs(rhoa / 100 - 1));
    EXPECT_LT(worst, 0.005) << l.data.size() << " configurations";
}

// Two layers, 100 over 10 and 100 over 1,000 ohm·m with h = 4 m: Wenner
// a = 1–20 m and Schlumberger within 1 % of the image series; the reciprocal
// configuration (A B and M N swapped) gives the same within 0.1 %.
TEST(InversionForward, TwoLayersAgainstTheImageSeriesAndReciprocity)
{
    for (const double rho2 : {10.0, 1000.0}) {
        Line l = line(64, 1);
        for (int a = 1; a <= 20; ++a) {
            const int i = 32 - (3 * a + 1) / 2;
            l.add(i, i + 3 * a, i + a, i + 2 * a);
        }
        for (int s = 1; s <= 30; s += 3)
            l.add(31 - s, 32 + s, 31, 32);
        const std::size_t direct = l.data.size();
        for (std::size_t d = 0; d < direct; ++d) {
            const auto& c = l.data[d].abmn;
            l.add(c[2], c[3], c[0], c[1]);
        }
        zel::inv::MeshOptions o;
        o.parameterDepth = 12;
        o.levels = {4.0};
        const zel::inv::Mesh mesh = zel::inv::makeMesh(l.x, {}, o);
        zel::inv::ForwardModel forward(mesh, l.data);
        forward.solve(layered(mesh, 100, rho2, 4));
        const auto& rhoa = forward.apparentResistivity();
        for (std::size_t d = 0; d < direct; ++d) {
            const auto& c = l.data[d].abmn;
            const double expected = twoLayerRhoa(100, rho2, 4, l.x[std::size_t(c[0])], l.x[std::size_t(c[1])],
                                                 l.x[std::size_t(c[2])], l.x[std::size_t(c[3])]);
            EXPECT_NEAR(rhoa[d] / expected, 1, 0.01) << "rho2 " << rho2 << " A" << c[0] << " B" << c[1] << " M" << c[2]
                                                     << " N" << c[3] << ": " << rhoa[d] << " vs " << expected;
            EXPECT_NEAR(rhoa[direct + d] / rhoa[d], 1, 0.001) << "reciprocal of " << d;
        }
    }
}

// The sensitivities by the adjoint method against finite differences of a
// 1 % change of one cell, in a model that is not homogeneous: within 2 % for
// every datum whose sensitivity to the cell is above 1 % of its largest.
TEST(InversionForward, JacobianAgainstFiniteDifferences)
{
    Line l = line(16, 1);
    for (int a = 1; a <= 2; ++a)
        for (int n = 1; n <= 4; ++n)
            for (int i = 0; i < 16; ++i)
                l.add(i, i + a, i + a + n * a, i + 2 * a + n * a);
    const zel::inv::Mesh mesh = zel::inv::makeMesh(l.x, {}, {});
    std::vector<double> rho(std::size_t(mesh.cellCount()), 100.0);
    for (int c = 0; c < mesh.cellCount(); ++c) {
        const auto p = mesh.cellCentre(c);
        if (p.x > 4 && p.x < 8 && p.z < -0.5 && p.z > -2)
            rho[std::size_t(c)] = 20;
        if (p.x > 9 && p.x < 12 && p.z < -0.3)
            rho[std::size_t(c)] = 400;
    }
    zel::inv::ForwardModel forward(mesh, l.data);
    forward.solve(rho);
    const std::vector<double> base = forward.apparentResistivity();
    const Eigen::MatrixXd J = forward.jacobian().cast<double>();
    const Eigen::VectorXd largest = J.cwiseAbs().rowwise().maxCoeff();
    int compared = 0;
    for (int p = 0; p < mesh.parameterCount(); p += 11) {
        // Central differences of ±1 %.
        std::vector<double> changed = rho;
        changed[std::size_t(mesh.cellOfParameter[std::size_t(p)])] *= 1.01;
        forward.solve(changed);
        const std::vector<double> up = forward.apparentResistivity();
        changed[std::size_t(mesh.cellOfParameter[std::size_t(p)])] = rho[std::size_t(mesh.cellOfParameter[std::size_t(p)])] * 0.99;
        forward.solve(changed);
        const std::vector<double>& down = forward.apparentResistivity();
        for (std::size_t d = 0; d < base.size(); ++d) {
            if (std::abs(J(Eigen::Index(d), p)) < 0.01 * largest(Eigen::Index(d)))
                continue;
            const double difference = (std::log(up[d]) - std::log(down[d])) / (std::log(1.01) - std::log(0.99));
            EXPECT_NEAR(difference / J(Eigen::Index(d), p), 1, 0.02) << "datum " << d << " parameter " << p << " share " << J(Eigen::Index(d), p) / largest(Eigen::Index(d));
            ++compared;
        }
    }
    EXPECT_GT(compared, 100);

    // Stopped, a solve and the sensitivities throw; the last whole
    // solve's response stays, and its fields are no longer taken for whole.
    const std::vector<double> last = forward.apparentResistivity();
    std::atomic<bool> stop{true};
    forward.setCancel(&stop);
    EXPECT_THROW(forward.solve(rho), zel::inv::Stopped);
    EXPECT_EQ(forward.apparentResistivity(), last);
    EXPECT_THROW(forward.jacobian(), std::logic_error);
}

namespace {

// Dipole-dipole a = 1–3, n = 1–6 over electrodes at 1 m, as data of a
// section: the apparent resistivities of `rho(x, z)` from the forward
// response on a finer mesh, with relative noise of `noise` (fixed seed).
std::vector<zel::inv::Measurement> synthetic(int electrodes, const std::function<double(double, double)>& rho,
                                             double noise)
{
    Line l = line(electrodes, 1);
    for (int a = 1; a <= 3; ++a)
        for (int n = 1; n <= 6; ++n)
            for (int i = 0; i < electrodes; ++i)
                l.add(i, i + a, i + a + n * a, i + 2 * a + n * a);
    zel::inv::MeshOptions fine;
    fine.cellsPerSpacing = 4;
    fine.firstLayer = 0.125;
    fine.parameterDepth = 8;
    const zel::inv::Mesh mesh = zel::inv::makeMesh(l.x, {}, fine);
    std::vector<double> cells(std::size_t(mesh.cellCount()));
    for (int c = 0; c < mesh.cellCount(); ++c)
        cells[std::size_t(c)] = rho(mesh.cellCentre(c).x, mesh.cellCentre(c).z);
    zel::inv::ForwardModel forward(mesh, l.data);
    forward.solve(cells, false);
    std::mt19937 random(7);
    std::normal_distribution<double> gauss(0, noise);
    std::vector<zel::inv::Measurement> data;
    for (std::size_t d = 0; d < l.data.size(); ++d) {
        const auto& c = l.data[d].abmn;
        zel::inv::Measurement m;
        m.x = {l.x[std::size_t(c[0])], l.x[std::size_t(c[1])], l.x[std::size_t(c[2])], l.x[std::size_t(c[3])]};
        m.k = l.data[d].k;
        m.rhoa = forward.apparentResistivity()[d] * (1 + gauss(random));
        m.error = std::max(noise, 0.01);
        const int a = c[1] - c[0], n = (c[2] - c[1]) / a;
        m.depth = 0.416 * a * (n + 1);  // dipole-dipole's median depth, roughly
        data.push_back(m);
    }
    return data;
}

} // namespace

// A 10 ohm·m and a 1,000 ohm·m block in 100 ohm·m under 32 electrodes,
// dipole-dipole with 3 % noise: the fit reaches χ² ≤ 1.5 within 10
// iterations and each block's cells come out on its side of 100 ohm·m; data
// of a half-space give a model within 3 % of it where the coverage is high.
TEST(Inversion, BlocksComeOutOnTheirSideAndAHalfSpaceStaysFlat)
{
    auto blocks = [](double x, double z) {
        if (z < -1 && z > -3 && x > 7 && x < 11)
            return 10.0;
        if (z < -1 && z > -3 && x > 19 && x < 23)
            return 1000.0;
        return 100.0;
    };
    zel::inv::InversionOptions options;
    options.maxIterations = 10;
    std::vector<zel::inv::IterationReport> heard;
    const auto result = zel::inv::invert(synthetic(32, blocks, 0.03), options,
                                         [&](const zel::inv::IterationReport& r) { heard.push_back(r); });
    ASSERT_FALSE(result.iterations.empty());
    EXPECT_EQ(heard.size(), result.iterations.size());
    EXPECT_FALSE(result.cancelled);
    EXPECT_LE(result.iterations.back().chi2, 1.5) << result.iterations.size() - 1 << " iterations";
    const zel::inv::Mesh& mesh = result.mesh;
    for (int p = 0; p < mesh.parameterCount(); ++p) {
        const auto c = mesh.cellCentre(mesh.cellOfParameter[std::size_t(p)]);
        const double rho = result.resistivity[std::size_t(p)];
        if (c.z < -1.4 && c.z > -2.6 && c.x > 8 && c.x < 10) {
            EXPECT_LT(rho, 100) << c.x << " " << c.z;
        }
        if (c.z < -1.4 && c.z > -2.6 && c.x > 20 && c.x < 22) {
            EXPECT_GT(rho, 100) << c.x << " " << c.z;
        }
    }

    // The depth of investigation: the blocks above it, the bottom of the
    // parameter region below it, by the DOI index and by the sensitivity.
    auto doiResult = result;
    doiResult.doi = zel::inv::doiIndex(result, options);
    ASSERT_EQ(doiResult.doi.size(), result.resistivity.size());
    std::vector<double> inBlocks, bottom;
    const double deepest = mesh.cellCentre(mesh.cellOfParameter.back()).z;
    for (int p = 0; p < mesh.parameterCount(); ++p) {
        const auto c = mesh.cellCentre(mesh.cellOfParameter[std::size_t(p)]);
        if (c.z < -1.4 && c.z > -2.6 && ((c.x > 8 && c.x < 10) || (c.x > 20 && c.x < 22)))
            inBlocks.push_back(std::abs(doiResult.doi[std::size_t(p)]));
        if (std::abs(c.z - deepest) < 1e-9 && c.x > 4 && c.x < 27)
            bottom.push_back(std::abs(doiResult.doi[std::size_t(p)]));
    }
    auto median = [](std::vector<double> v) {
        std::sort(v.begin(), v.end());
        return v[v.size() / 2];
    };
    EXPECT_LT(median(inBlocks), zel::inv::kDoiThreshold);
    EXPECT_GT(median(bottom), zel::inv::kDoiThreshold);
    for (const auto& depths : {zel::inv::doiDepths(mesh, doiResult.doi, zel::inv::kDoiThreshold),
                               zel::inv::sensitivityDepths(mesh, zel::inv::relativeSensitivity(result), zel::inv::kSensitivityThreshold)}) {
        ASSERT_FALSE(depths.empty());
        const auto middle = depths[depths.size() / 2];
        EXPECT_GT(middle.depth, 3) << middle.x;
        EXPECT_LT(middle.depth, -deepest) << middle.x;
    }

    const auto flat = zel::inv::invert(synthetic(32, [](double, double) { return 100.0; }, 0.0), options);
    const double best = *std::max_element(flat.coverage.begin(), flat.coverage.end());
    for (int p = 0; p < flat.mesh.parameterCount(); ++p)
        if (flat.coverage[std::size_t(p)] > best - 1) {
            EXPECT_NEAR(flat.resistivity[std::size_t(p)], 100, 3) << p;
        }
    // Over a half-space the index grows with depth: below the threshold
    // under the electrodes, several times that at the bottom.
    const std::vector<double> index = zel::inv::doiIndex(flat, options);
    std::vector<double> top, base;
    for (int p = 0; p < flat.mesh.parameterCount(); ++p) {
        const auto c = flat.mesh.cellCentre(flat.mesh.cellOfParameter[std::size_t(p)]);
        if (c.x > 4 && c.x < 27)
            (c.z > -1 ? top : std::abs(c.z - deepest) < 1e-9 ? base : inBlocks).push_back(std::abs(index[std::size_t(p)]));
    }
    EXPECT_LT(median(top), zel::inv::kDoiThreshold);
    EXPECT_GT(median(base), 3 * median(top)) << median(top);
}

// The .ohm file as this program and pyGIMLi write it, and topography files.
TEST(InversionFiles, OhmAndTopographyFilesAreRead)
{
    const auto ours = zel::inv::parseOhm("4# Number of electrodes\r\n# x z\r\n0.0 0.0\r\n1.0 0.0\r\n2.0 0.0\r\n3.0 0.0\r\n"
                                         "1# Number of data\r\n# a b m n r u/mV i/mA k rhoa err\r\n"
                                         "1 4 2 3 1.5915 15.915 10.0 18.8496 30.0 0.05\r\n0\r\n",
                                         3, 2);
    ASSERT_EQ(ours.data.size(), 1u);
    EXPECT_EQ(ours.data[0].x, (std::array<double, 4>{0, 3, 1, 2}));
    EXPECT_DOUBLE_EQ(ours.data[0].rhoa, 30);
    EXPECT_DOUBLE_EQ(ours.data[0].error, 0.05);
    EXPECT_DOUBLE_EQ(ours.data[0].voltage, 15.915);
    // pyGIMLi: x y z, its own column order, u in volts, a pole left out, an error below the least.
    const auto theirs = zel::inv::parseOhm("4\n# x y z\n0 0 0\n1 0 0\n2 0 -0.5\n3 0 0\n2\n# a b m n err rhoa k u\n"
                                           "1 4 2 3 0.01 25 18.85 0.1\n1 0 2 3 0.03 25 18.85 0.1\n",
                                           3, 2);
    ASSERT_EQ(theirs.data.size(), 1u);
    EXPECT_EQ(theirs.poles, 1);
    EXPECT_DOUBLE_EQ(theirs.electrodeZ[2], -0.5);
    EXPECT_DOUBLE_EQ(theirs.data[0].voltage, 100);
    EXPECT_DOUBLE_EQ(theirs.data[0].error, 0.02);
    // r alone: k from the positions (Wenner, a = 1 m: 2π m); no error: the default.
    const auto resistance = zel::inv::parseOhm("4\n0\n1\n2\n3\n1\n# a b m n r\n1 4 2 3 2\n", 3, 2);
    ASSERT_EQ(resistance.data.size(), 1u);
    EXPECT_NEAR(resistance.data[0].rhoa, 4 * pi, 1e-9);
    EXPECT_DOUBLE_EQ(resistance.data[0].error, 0.03);
    for (const auto& [bad, line] : {std::pair{QByteArray("4\n0\n1\n2\n3\n1\n# a b m n r\n1 5 2 3 2\n"), 8},
                                    {QByteArray("4\n0\n1\n2\n"), 5}, {QByteArray("4\n0\n1\n2\n3\n1\n# a b m rhoa\n1 2 3 4\n"), 7}}) {
        try {
            zel::inv::parseOhm(bad, 3, 2);
            ADD_FAILURE() << bad.toStdString();
        } catch (const zel::inv::FileRefused& e) {
            EXPECT_EQ(e.line(), line) << bad.toStdString() << ": " << e.what();
        }
    }

    const std::vector<double> x = {0, 2, 4, 6};
    auto levels = [&](const QByteArray& text, const std::vector<int>& numbers = {}) {
        return zel::elevationsAt(zel::parseTopography(text, "t"), x, numbers);
    };
    EXPECT_EQ(levels("electrode z\n0 10\n3 7\n", {0, 1, 2, 3}), (std::vector<double>{10, 9, 8, 7}));
    EXPECT_EQ(levels("# levels\r2;100,5\r4\t98,5 # a comment\r"), (std::vector<double>{100.5, 100.5, 98.5, 98.5}));
    EXPECT_EQ(levels("\xEF\xBB\xBFx z\r\n0 1\r\n6 4\r\n"), (std::vector<double>{1, 2, 3, 4}));
    for (const auto& [bad, line] : {std::pair{QByteArray("0 1\n2\n"), 2}, {QByteArray("0 1 2\n"), 1}, {QByteArray("0 1\n\0 2\n", 8), 2}}) {
        try {
            levels(bad);
            ADD_FAILURE() << bad.toStdString();
        } catch (const zel::ZelError& e) {
            EXPECT_EQ(e.args(), (QStringList{"t", QString::number(line)}));
        }
    }
    EXPECT_THROW(levels("# nothing\n"), zel::ZelError);
    const zel::Topography t = zel::parseTopography("electrode z\n3 7\n0 10\n", "t");
    EXPECT_EQ(zel::parseTopography(zel::topographyText(t), "t"), t);
}

// zeltool invert on a .ohm file of a synthetic section on a slope at GPS
// heights: an iteration a line, a summary, the files whole (the XYZ a row a
// cell, the grid at the spacing asked, both below the ground); too few
// electrodes are refused and nothing is written.
TEST(InversionFiles, ZeltoolInvertWritesTheModelTheResponseAndTheSection)
{
    QTemporaryDir dir;
    const auto data = synthetic(24, [](double x, double z) { return x > 8 && x < 14 && z < -1 ? 20.0 : 100.0; }, 0.02);
    QByteArray ohm = "24# Number of electrodes\n# x z\n";
    for (int e = 0; e < 24; ++e)
        ohm += QByteArray::number(e) + ' ' + QByteArray::number(250 + 0.2 * e) + '\n';
    ohm += QByteArray::number(qsizetype(data.size())) + "# Number of data\n# a b m n rhoa err\n";
    for (const auto& m : data)
        ohm += QByteArray::number(m.x[0] + 1) + ' ' + QByteArray::number(m.x[1] + 1) + ' ' + QByteArray::number(m.x[2] + 1)
            + ' ' + QByteArray::number(m.x[3] + 1) + ' ' + QByteArray::number(m.rhoa, 'g', 10) + " 0.02\n";
    const QString in = dir.filePath("line.ohm");
    zel::writeWholeFile(in, ohm);
    const Captured c = run({"invert", "--max-iterations", "4", "--doi", "--grid-spacing", "0,5", in, dir.filePath("section")});
    ASSERT_EQ(c.status, 0) << c.err.toStdString();
    const QList<QByteArray> lines = c.out.split('\n');
    EXPECT_TRUE(lines.value(0).startsWith("iteration 0: chi² ")) << c.out.toStdString();
    EXPECT_TRUE(c.out.contains(QByteArray::number(qsizetype(data.size())) + " data")) << c.out.toStdString();
    const QList<QByteArray> model = zel::readWholeFile(dir.filePath("section-model.csv")).split('\n');
    EXPECT_EQ(model.value(0), "x_m,z_m,rho_ohmm,coverage,doi\r");
    EXPECT_TRUE(c.out.contains("doi 2 of 2, iteration 1: chi² ")) << c.out.toStdString();
    EXPECT_TRUE(c.out.contains("depth of investigation (DOI index 0.1): ")) << c.out.toStdString();
    EXPECT_TRUE(c.out.contains("depth of sensitivity (1 % of the largest): ")) << c.out.toStdString();
    const QList<QByteArray> response = zel::readWholeFile(dir.filePath("section-response.csv")).split('\n');
    EXPECT_EQ(response.size(), qsizetype(data.size()) + 2);  // the header and the empty line after the last CR LF
    EXPECT_TRUE(zel::readWholeFile(dir.filePath("section.vtu")).contains("<VTKFile type=\"UnstructuredGrid\""));
    const QList<QByteArray> xyz = zel::readWholeFile(dir.filePath("section.xyz")).split('\n');
    EXPECT_EQ(xyz.value(0), "x_m y_m elevation_m depth_m rho_ohmm coverage doi\r");
    EXPECT_EQ(xyz.size(), model.size());
    const QList<QByteArray> grid = zel::readWholeFile(dir.filePath("section-grid.csv")).split('\n');
    EXPECT_EQ(grid.value(0), "x_m,z_m,depth_m,rho_ohmm,coverage,doi\r");
    EXPECT_GT(grid.size(), 23 * 2 * 4);  // at least 4 m deep every 0.5 m along the line
    for (qsizetype i = 1; i < grid.size() - 1; ++i) {
        const QList<QByteArray> f = grid[i].trimmed().split(',');
        ASSERT_EQ(f.size(), 6) << i;
        const double x = f[0].toDouble(), z = f[1].toDouble(), depth = f[2].toDouble();
        EXPECT_NEAR(std::remainder(x, 0.5), 0, 1e-9) << grid[i].toStdString();
        EXPECT_NEAR(depth, 250 + 0.2 * x - z, 1e-6) << grid[i].toStdString();
        EXPECT_GE(depth, -1e-9) << grid[i].toStdString();
    }

    zel::writeWholeFile(in, "3\n0\n1\n2\n1\n# a b m n rhoa\n1 2 3 3 10\n");
    const Captured refused = run({"invert", in, dir.filePath("none")});
    EXPECT_EQ(refused.status, 1);
    EXPECT_TRUE(refused.err.contains("fewer than 4 electrodes")) << refused.err.toStdString();
    EXPECT_FALSE(QFile::exists(dir.filePath("none-model.csv")));
}

// zeltool forward: two layers (100 over 10 ohm·m, h = 4 m) from a model
// file under a Wenner table of a = 1–20 m, within 0.5 % of the image
// series; a model CSV of 100 ohm·m gives 100 ohm·m; a model file's bad line
// is refused by its number and nothing is written.
TEST(InversionForward, ZeltoolForwardOfAModelFileAndAModelCsv)
{
    QTemporaryDir dir;
    QByteArray table;
    for (int a = 1; a <= 20; ++a) {
        const int i = 32 - (3 * a + 1) / 2;
        table += QByteArray::number(i) + ' ' + QByteArray::number(i + 3 * a) + ' ' + QByteArray::number(i + a) + ' '
            + QByteArray::number(i + 2 * a) + "\r\n";
    }
    zel::writeWholeFile(dir.filePath("wenner.txt"), table);
    zel::writeWholeFile(dir.filePath("two.txt"), "background 100\nlayer 4 10  # the second layer\n");
    Captured c = run({"forward", dir.filePath("two.txt"), dir.filePath("wenner.txt"), dir.filePath("two.ohm")});
    ASSERT_EQ(c.status, 0) << c.err.toStdString();
    const auto two = zel::inv::parseOhm(zel::readWholeFile(dir.filePath("two.ohm")), 3, 0);
    ASSERT_EQ(two.data.size(), 20u);
    for (const auto& m : two.data)
        EXPECT_NEAR(m.rhoa / twoLayerRhoa(100, 10, 4, m.x[0], m.x[1], m.x[2], m.x[3]), 1, 0.005) << m.x[2] - m.x[0];

    QByteArray csv = "x_m,z_m,rho_ohmm,coverage\r\n";
    for (int x = 0; x <= 70; ++x)
        for (int z = 0; z < 30; ++z)
            csv += QByteArray::number(x + 0.5) + ",-" + QByteArray::number(z + 0.5) + ",100,0\r\n";
    zel::writeWholeFile(dir.filePath("model.csv"), csv);
    c = run({"forward", "--noise", "2", dir.filePath("model.csv"), dir.filePath("wenner.txt"), dir.filePath("flat.ohm")});
    ASSERT_EQ(c.status, 0) << c.err.toStdString();
    const auto flat = zel::inv::parseOhm(zel::readWholeFile(dir.filePath("flat.ohm")), 3, 0);
    ASSERT_EQ(flat.data.size(), 20u);
    for (const auto& m : flat.data) {
        EXPECT_NEAR(m.rhoa, 100, 10);
        EXPECT_DOUBLE_EQ(m.error, 0.02);
    }

    zel::writeWholeFile(dir.filePath("bad.txt"), "background 100\nblock 1 2 3\n");
    c = run({"forward", dir.filePath("bad.txt"), dir.filePath("wenner.txt"), dir.filePath("bad.ohm")});
    EXPECT_EQ(c.status, 1);
    EXPECT_TRUE(c.err.contains("bad.txt, line 2: block takes 5 numbers")) << c.err.toStdString();
    EXPECT_FALSE(QFile::exists(dir.filePath("bad.ohm")));
}

// K0, K1 and K1/K0 against tabulated values (to 1e-13) and, where the
// standard library has them, against std::cyl_bessel_k over 1e-4 to 600.
TEST(InversionForward, BesselFunctions)
{
    const struct {
        double x, k0, k1;
    } table[] = {{0.1, 2.4270690247020166, 9.853844780870606},
                 {1, 0.42102443824070834, 0.6019072301972346},
                 {2, 0.11389387274953344, 0.13986588181652243},
                 {5, 0.0036910983340425942, 0.004044613445452164}};
    for (const auto& t : table) {
        EXPECT_NEAR(zel::inv::besselK0(t.x) / t.k0, 1, 1e-13) << t.x;
        EXPECT_NEAR(zel::inv::besselK1(t.x) / t.k1, 1, 1e-13) << t.x;
        EXPECT_NEAR(zel::inv::besselRatio(t.x) * t.k0 / t.k1, 1, 1e-13) << t.x;
    }
#if defined(__cpp_lib_math_special_functions) || defined(__STDCPP_MATH_SPEC_FUNCS__)
    for (int i = 0; i < 160; ++i) {
        const double x = 1e-4 * std::pow(1.1, i);  // to 600
        EXPECT_NEAR(zel::inv::besselK0(x) / std::cyl_bessel_k(0.0, x), 1, 1e-12) << x;
        EXPECT_NEAR(zel::inv::besselK1(x) / std::cyl_bessel_k(1.0, x), 1, 1e-12) << x;
    }
#endif
    EXPECT_EQ(zel::inv::besselK0(800), 0);
    EXPECT_NEAR(zel::inv::besselRatio(800), 1 + 1 / 1600.0 - 1 / (8 * 800.0 * 800.0), 1e-9);
}

// Topography: the mesh's surface follows the electrodes' elevations; on an
// inclined plane (20 %) a half-space gives its resistivity with geometric
// factors of the true distances; over a hill 4 m high the reciprocal of a
// dipole-dipole gives the same within 0.5 % for n = 1 and 1.5 % for n = 2 (a
// half-space's potential is the primary field there, and the secondary field
// of its flux through the hill carries the mesh's error into the smaller
// voltages of larger n).
TEST(InversionForward, Topography)
{
    std::vector<double> x, slope, hill;
    for (int i = 0; i < 48; ++i) {
        x.push_back(i);
        slope.push_back(-0.2 * i);
        hill.push_back(4 * std::exp(-std::pow((i - 24) / 6.0, 2)));
    }
    zel::inv::MeshOptions o;
    o.parameterDepth = 10;
    const zel::inv::Mesh inclined = zel::inv::makeMesh(x, slope, o);
    for (std::size_t e = 0; e < x.size(); ++e)
        EXPECT_DOUBLE_EQ(inclined.nodes[std::size_t(inclined.electrodeNodes[e])].z, slope[e]);
    auto distance = [&](const std::vector<double>& z, int a, int b) {
        return std::hypot(x[std::size_t(a)] - x[std::size_t(b)], z[std::size_t(a)] - z[std::size_t(b)]);
    };
    std::vector<Configuration> data;
    for (int a = 1; a <= 3; ++a)
        for (int i = 16; i + 3 * a <= 32; ++i) {
            const int A = i, B = i + 3 * a, M = i + a, N = i + 2 * a;
            const double sum = 1 / distance(slope, A, M) - 1 / distance(slope, B, M) - 1 / distance(slope, A, N)
                + 1 / distance(slope, B, N);
            data.push_back({{A, B, M, N}, 2 * pi / sum});
        }
    zel::inv::ForwardModel onSlope(inclined, data);
    onSlope.solve(std::vector<double>(std::size_t(inclined.cellCount()), 100.0));
    for (const double rhoa : onSlope.apparentResistivity())
        EXPECT_NEAR(rhoa, 100, 0.5);

    const zel::inv::Mesh overHill = zel::inv::makeMesh(x, hill, o);
    std::vector<Configuration> pairs;
    for (int n = 1; n <= 2; ++n)
        for (int i = 14; i + 2 + n <= 34; i += 2) {
            pairs.push_back({{i, i + 1, i + 1 + n, i + 2 + n}, 1.0});
            pairs.push_back({{i + 1 + n, i + 2 + n, i, i + 1}, 1.0});
        }
    zel::inv::ForwardModel onHill(overHill, pairs);
    onHill.solve(std::vector<double>(std::size_t(overHill.cellCount()), 100.0));
    const auto& u = onHill.apparentResistivity();
    for (std::size_t d = 0; d < pairs.size(); d += 2) {
        const int n = pairs[d].abmn[2] - pairs[d].abmn[1];
        EXPECT_NEAR(u[d + 1] / u[d], 1, n == 1 ? 0.005 : 0.015) << d;
    }
}

// The cancel flag, raised while the first iteration is reported, ends the
// inversion at its next step, saying so.
TEST(Inversion, CancelEndsItAtTheNextStep)
{
    std::atomic<bool> cancel{false};
    int heard = 0;
    const auto result = zel::inv::invert(synthetic(16, [](double, double) { return 50.0; }, 0.05), {},
                                         [&](const zel::inv::IterationReport&) {
                                             ++heard;
                                             cancel = true;
                                         },
                                         &cancel);
    EXPECT_TRUE(result.cancelled);
    EXPECT_EQ(heard, 1);

    // Stopped after an iteration: nothing more is solved, and the result is
    // whole, its response that of the model kept.
    cancel = false;
    const auto later = zel::inv::invert(synthetic(16, [](double, double) { return 50.0; }, 0.05), {},
                                        [&](const zel::inv::IterationReport& r) { cancel = r.number == 1; }, &cancel);
    EXPECT_TRUE(later.cancelled);
    ASSERT_EQ(later.iterations.size(), 2u);
    EXPECT_EQ(later.coverage.size(), later.resistivity.size());
    ASSERT_EQ(later.response.size(), later.data.size());
    for (std::size_t i = 0; i < later.response.size(); ++i)
        EXPECT_NEAR(later.response[i] / later.responses[later.best][i], 1, 1e-6) << i;

    // Stopped before the starting model's response: there is no model.
    cancel = true;
    EXPECT_THROW(zel::inv::invert(synthetic(16, [](double, double) { return 50.0; }, 0.05), {}, {}, &cancel),
                 zel::inv::InversionStopped);
}

// Both factorisations give one answer: the forward response of a layered
// line with topography, on one thread and on three (round-off apart), and
// the wanted rows of a block solved on a 3D grid's Laplacian with a mass
// term; a matrix that is not positive definite is said, not solved.
TEST(InversionForward, BothFactorisationsGiveOneAnswer)
{
    using zel::inv::FactorKind;
    Line l = line(32, 2);
    for (int n = 1; n <= 6; ++n)
        for (int i = 0; i < 32; ++i)
            l.add(i, i + 1, i + 1 + n, i + 2 + n);
    std::vector<double> z(32);
    for (std::size_t i = 0; i < z.size(); ++i)
        z[i] = 300 + 5 * std::sin(double(i) / 4);  // hundreds of metres up, a few of relief
    zel::inv::MeshOptions o;
    o.parameterDepth = 15;
    const zel::inv::Mesh mesh = zel::inv::makeMesh(l.x, z, o);
    const std::vector<double> rho = layered(mesh, 100, 10, 4);
    std::vector<std::vector<double>> responses;
    for (const auto& [kind, threads] : {std::pair{FactorKind::Simplicial, 1}, std::pair{FactorKind::Supernodal, 1},
                                        std::pair{FactorKind::Supernodal, 3}}) {
        zel::inv::ForwardModel forward(mesh, l.data, threads, kind);
        forward.solve(rho);
        responses.push_back(forward.apparentResistivity());
    }
    for (std::size_t r = 1; r < responses.size(); ++r)
        for (std::size_t d = 0; d < responses[0].size(); ++d)
            ASSERT_NEAR(responses[r][d] / responses[0][d], 1, 1e-9) << "run " << r << ", datum " << d;

    // A 12³ grid: 7-point Laplacian plus a little mass, both triangles stored.
    const int side = 12, n = side * side * side;
    auto at = [&](int i, int j, int k) { return (k * side + j) * side + i; };
    std::vector<Eigen::Triplet<double>> entries;
    for (int k = 0; k < side; ++k)
        for (int j = 0; j < side; ++j)
            for (int i = 0; i < side; ++i) {
                entries.emplace_back(at(i, j, k), at(i, j, k), 0.01);
                for (const auto& [di, dj, dk] : {std::array{1, 0, 0}, std::array{0, 1, 0}, std::array{0, 0, 1}})
                    if (i + di < side && j + dj < side && k + dk < side) {
                        const int p = at(i, j, k), q = at(i + di, j + dj, k + dk);
                        for (const auto& [r, c, v] : {std::tuple{p, p, 1.0}, std::tuple{q, q, 1.0}, std::tuple{p, q, -1.0},
                                                      std::tuple{q, p, -1.0}})
                            entries.emplace_back(r, c, v);
                    }
            }
    Eigen::SparseMatrix<double> A(n, n);
    A.setFromTriplets(entries.begin(), entries.end());
    std::vector<char> wanted(std::size_t(n), 0);
    for (int i = 0; i < side; ++i)
        wanted[std::size_t(at(i, i, 0))] = 1;  // a diagonal of the top face
    zel::inv::NodeBlock rhs = zel::inv::NodeBlock::Zero(n, zel::inv::kSourceBlock);
    for (Eigen::Index c = 0; c < zel::inv::kSourceBlock; ++c)
        rhs(at(int(c) % side, (int(c) * 5) % side, int(c) % 3), c) = 1;  // unit sources
    std::vector<zel::inv::NodeBlock> solved;
    for (const FactorKind kind : {FactorKind::Simplicial, FactorKind::Supernodal}) {
        zel::inv::Factor factor(kind);
        ASSERT_TRUE(factor.factorize(A));
        EXPECT_GT(factor.nonZeros(), std::size_t(A.nonZeros() / 2));
        EXPECT_GE(zel::inv::Factor::sizeOf(A, kind).values, factor.nonZeros() * 9 / 10);
        zel::inv::NodeBlock x = rhs;
        factor.solve(x, wanted);
        solved.push_back(x);
        x = rhs;
        factor.solve(x);
        EXPECT_LT((A * Eigen::MatrixXd(x) - Eigen::MatrixXd(rhs)).norm(), 1e-9);
    }
    for (int i = 0; i < n; ++i) {
        if (wanted[std::size_t(i)]) {
            EXPECT_LT((solved[0].row(i) - solved[1].row(i)).norm(), 1e-9 * solved[0].row(i).norm()) << i;
        }
    }
    Eigen::SparseMatrix<double> indefinite = A;
    indefinite.coeffRef(at(5, 5, 5), at(5, 5, 5)) = -50;
    for (const FactorKind kind : {FactorKind::Simplicial, FactorKind::Supernodal})
        EXPECT_FALSE(zel::inv::Factor(kind).factorize(indefinite));
}
