// The inversion on ground as surveys bring it: heights above sea level,
// lines too large for the memory, input that is not a number, data that no
// model explains.
#include "inversion/Forward.h"
#include "inversion/Inversion.h"
#include "inversion/Parallel.h"

#include "inversion/Files.h"
#include "section/Input.h"
#include "data/DataFile.h"
#include "data/ZelError.h"

#include "Capture.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace {

constexpr double pi = std::numbers::pi;

// A line of `count` electrodes 1 m apart at heights `z`, dipole-dipole
// a = 1–2, n = 1–5, its apparent resistivities from the forward response of
// `rho(x, depth)`.
std::vector<zel::inv::Measurement> lineOver(int count, const std::vector<double>& z,
                                            double (*rho)(double x, double depth))
{
    std::vector<double> x(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        x[std::size_t(i)] = i;
    std::vector<zel::inv::Configuration> configurations;
    std::vector<zel::inv::Measurement> data;
    for (int a = 1; a <= 2; ++a)
        for (int n = 1; n <= 5; ++n)
            for (int i = 0; i + 2 * a + n * a < count; ++i) {
                const std::array<int, 4> e{i, i + a, i + a + n * a, i + 2 * a + n * a};
                auto r = [&](int p, int q) {
                    return std::hypot(x[std::size_t(e[std::size_t(p)])] - x[std::size_t(e[std::size_t(q)])],
                                      z[std::size_t(e[std::size_t(p)])] - z[std::size_t(e[std::size_t(q)])]);
                };
                const double k = 2 * pi / (1 / r(0, 2) - 1 / r(1, 2) - 1 / r(0, 3) + 1 / r(1, 3));
                configurations.push_back({e, k});
                zel::inv::Measurement m;
                for (std::size_t j = 0; j < 4; ++j)
                    m.x[j] = x[std::size_t(e[j])];
                m.k = k;
                m.depth = 0.416 * a * (n + 1);
                data.push_back(m);
            }
    zel::inv::MeshOptions fine;
    fine.cellsPerSpacing = 3;
    fine.parameterDepth = 8;
    const zel::inv::Mesh mesh = zel::inv::makeMesh(x, z, fine);
    std::vector<double> cells(std::size_t(mesh.cellCount()));
    for (int c = 0; c < mesh.cellCount(); ++c) {
        const zel::inv::Point p = mesh.cellCentre(c);
        cells[std::size_t(c)] = rho(p.x, zel::inv::surfaceAt(x, z, p.x) - p.z);
    }
    zel::inv::ForwardModel forward(mesh, configurations);
    forward.solve(cells, false);
    for (std::size_t d = 0; d < data.size(); ++d)
        data[d].rhoa = forward.apparentResistivity()[d];
    return data;
}

double largestRelativeDifference(const std::vector<double>& a, const std::vector<double>& b)
{
    if (a.size() != b.size())
        return HUGE_VAL;
    double largest = 0;
    for (std::size_t i = 0; i < a.size(); ++i)
        largest = std::max(largest, std::abs(a[i] - b[i]) / std::abs(b[i]));
    return largest;
}

double blockUnderTheSlope(double x, double depth)
{
    return x > 18 && x < 26 && depth > 1 && depth < 4 ? 20.0 : 100.0;
}

// Heights as a GPS gives them: rising 15 m along 48 m with a bump.
std::vector<double> heightsFrom(double base, int count)
{
    std::vector<double> z(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        z[std::size_t(i)] = base + 15.0 * i / (count - 1) + 1.5 * std::sin(i / 5.0);
    return z;
}

} // namespace

// The same 48-electrode line with its heights relative to its top, above sea
// level, on a mountain and below sea level: the same cells moved as a whole,
// the same resistivities and the same response.
TEST(InversionGround, HeightsAboveSeaLevelGiveTheSameSection)
{
    constexpr int kCount = 32;
    const std::vector<double> relative = [] {
        std::vector<double> z = heightsFrom(0, kCount);
        const double top = *std::max_element(z.begin(), z.end());
        for (double& v : z)
            v -= top;
        return z;
    }();
    const std::vector<zel::inv::Measurement> data = lineOver(kCount, relative, blockUnderTheSlope);
    zel::inv::InversionOptions options;
    options.maxIterations = 1;
    options.elevations = relative;
    const zel::inv::InversionResult base = zel::inv::invert(data, options);
    for (const double shift : {245.0, 1745.0, -200.0}) {
        options.elevations = relative;
        for (double& v : options.elevations)
            v += shift;
        const zel::inv::InversionResult moved = zel::inv::invert(data, options);
        ASSERT_EQ(moved.mesh.parameterCount(), base.mesh.parameterCount()) << shift;
        EXPECT_NEAR(moved.mesh.reference - base.mesh.reference, shift, 1e-9);
        for (int p = 0; p < base.mesh.parameterCount(); ++p) {
            const zel::inv::Point a = base.mesh.cellCentre(base.mesh.cellOfParameter[std::size_t(p)]);
            const zel::inv::Point b = moved.mesh.cellCentre(moved.mesh.cellOfParameter[std::size_t(p)]);
            ASSERT_NEAR(b.z - a.z, shift, 1e-6) << "cell " << p << " at " << shift;
            ASSERT_NEAR(moved.resistivity[std::size_t(p)] / base.resistivity[std::size_t(p)], 1, 1e-4) << p << " at " << shift;
        }
        for (std::size_t d = 0; d < base.response.size(); ++d)
            ASSERT_NEAR(moved.response[d] / base.response[d], 1, 1e-4) << d << " at " << shift;
    }
    // The block lies under the slope where it was put.
    int inBlock = 0;
    for (int p = 0; p < base.mesh.parameterCount(); ++p) {
        const zel::inv::Point c = base.mesh.cellCentre(base.mesh.cellOfParameter[std::size_t(p)]);
        const double depth = zel::inv::surfaceAt(base.mesh.electrodeX, relative, c.x) - c.z;
        if (c.x > 20 && c.x < 24 && depth > 1.5 && depth < 3) {
            ++inBlock;
            EXPECT_LT(base.resistivity[std::size_t(p)], 80) << c.x << " " << depth;
        }
    }
    EXPECT_GT(inBlock, 0);
}

// The rows follow the ground down to the bottom, and a ground steeper than
// the mesh can follow is refused rather than turned upside down.
TEST(InversionGround, MeshRowsStayInOrder)
{
    const std::vector<double> x = {0, 1, 2, 3, 4, 5};
    for (const double base : {0.0, 245.0, -200.0, 4000.0}) {
        const zel::inv::Mesh mesh = zel::inv::makeMesh(x, {base, base + 1, base + 3, base + 2, base, base - 1}, {});
        for (int c = 0; c < mesh.cellCount(); ++c)
            ASSERT_GT(mesh.cellArea(c), 0) << c;
        EXPECT_DOUBLE_EQ(mesh.nodes[std::size_t(mesh.electrodeNodes[2])].z, base + 3);
    }
    EXPECT_THROW(zel::inv::makeMesh(x, {0, -500, 0, -500, 0, -500}, {}), zel::inv::InversionRefused);
    EXPECT_THROW(zel::inv::makeMesh(x, {0, 0, std::nan(""), 0, 0, 0}, {}), zel::inv::InversionRefused);
}

// An exception in a worker, or in the caller while workers run, stops the
// others, joins them and comes back to the caller: nothing ends the program.
TEST(InversionGround, WorkersExceptionsReachTheCaller)
{
    for (const std::size_t throwing : {std::size_t(0), std::size_t(5), std::size_t(63)}) {
        std::atomic<int> ran{0};
        try {
            zel::inv::parallelFor(64, 4, [&](std::size_t i) {
                ++ran;
                if (i == throwing)
                    throw std::runtime_error("item " + std::to_string(i));
            });
            ADD_FAILURE() << "nothing thrown for item " << throwing;
        } catch (const std::runtime_error& e) {
            EXPECT_EQ(e.what(), "item " + std::to_string(throwing));
        }
        EXPECT_LE(ran.load(), 64);
    }
    std::atomic<int> ran{0};
    zel::inv::parallelFor(1000, 3, [&](std::size_t) { ++ran; });
    EXPECT_EQ(ran.load(), 1000);
}

// A line larger than the memory allowed is refused before it starts, with
// what it needs and what is free; memory that runs out all the same is the
// same refusal; one thread and several give the same model.
TEST(InversionGround, MemoryIsCountedBeforeTheRun)
{
    const std::vector<zel::inv::Measurement> data = lineOver(24, std::vector<double>(24, 0.0), blockUnderTheSlope);
    zel::inv::InversionOptions options;
    options.maxIterations = 1;
    options.memory = 1'000'000;
    try {
        zel::inv::invert(data, options);
        ADD_FAILURE() << "not refused";
    } catch (const zel::inv::MemoryRefused& e) {
        EXPECT_GT(e.needed(), e.available());
        EXPECT_EQ(e.available(), 1'000'000u);
        EXPECT_NE(std::string(e.what()).find("MB are free"), std::string::npos) << e.what();
    }
    options.memory = 0;
    EXPECT_THROW(zel::inv::invert(data, options, [](const zel::inv::IterationReport&) { throw std::bad_alloc(); }),
                 zel::inv::MemoryRefused);

    // The thread count changes only round-off: each thread's factorisation
    // sums its dense blocks in the order its buffers' alignment gives.
    options.threads = 1;
    const zel::inv::InversionResult one = zel::inv::invert(data, options);
    options.threads = 3;
    const zel::inv::InversionResult three = zel::inv::invert(data, options);
    EXPECT_EQ(one.iterations.size(), three.iterations.size());
    EXPECT_LT(largestRelativeDifference(one.resistivity, three.resistivity), 1e-9);
    EXPECT_LT(largestRelativeDifference(one.response, three.response), 1e-9);
}

namespace {

QByteArray ohmOf(const QByteArray& electrodes, const QByteArray& data, int count = 4, int rows = 1)
{
    return QByteArray::number(count) + "\n# x z\n" + electrodes + QByteArray::number(rows) + "\n# a b m n rhoa err\n" + data;
}

} // namespace

// A .ohm file with what is not a number, or not a place on the earth, or two
// electrodes at one place, is refused naming the line; electrodes listed out
// of order are taken by their x.
TEST(InversionGround, OhmFilesRefusedByLine)
{
    const QByteArray four = "0 0\n1 0\n2 0\n3 0\n";
    const QByteArray datum = "1 4 2 3 30 0.03\n";
    for (const auto& [text, line, words] : std::vector<std::tuple<QByteArray, int, std::string>>{
             {ohmOf("0 0\nnan 0\n2 0\n3 0\n", datum), 4, "not a number: nan"},
             {ohmOf("0 0\n1 inf\n2 0\n3 0\n", datum), 4, "not a number: inf"},
             {ohmOf("0 0\n1 0\n2e9 0\n3 0\n", datum), 5, "electrode 3 beyond"},
             {ohmOf("0 0\n1 0\n2 0\n3 -20000\n", datum), 6, "electrode 4 beyond"},
             {ohmOf("0 0\n1 0\n1.0004 0\n3 0\n", datum), 5, "electrodes 2 and 3 at one position, x = 1 m"},
             {ohmOf("0 0\n3 0\n2 0\n0 0\n", datum), 6, "electrodes 1 and 4 at one position, x = 0 m"},
             {ohmOf(four, "1 4 2 3 nan 0.03\n"), 9, "no number in the column rhoa"},
             {ohmOf(four, "1 4 2 3 30 -0.03\n"), 9, "an error of -0.03"},
             {ohmOf(four, "1 4 2 3 30 3\n"), 9, "0.03 for 3 %"},
         }) {
        try {
            zel::inv::parseOhm(text, 3, 2);
            ADD_FAILURE() << text.toStdString();
        } catch (const zel::inv::FileRefused& e) {
            EXPECT_EQ(e.line(), line) << text.toStdString() << e.what();
            EXPECT_NE(std::string(e.what()).find(words), std::string::npos) << e.what();
        }
    }
    const auto shuffled = zel::inv::parseOhm(ohmOf("3 0\n0 0\n2 0\n1 0\n", "2 1 4 3 30 0.03\n"), 3, 2);
    ASSERT_EQ(shuffled.data.size(), 1u);
    EXPECT_EQ(shuffled.data[0].x, (std::array<double, 4>{0, 3, 1, 2}));
    EXPECT_NEAR(shuffled.data[0].k, 2 * pi, 1e-12);

    // Topography files alike: what no ground has, and two heights at one place.
    for (const auto& [text, args] : std::vector<std::pair<QByteArray, QStringList>>{
             {"x z\n0 245.3\n1 nan\n", {"t", "3"}},
             {"x z\n0 245.3\n1 12000\n", {"t", "3", "z = 12000", "-10000", "10000"}},
             {"x z\n0 245.3\n2e9 240\n", {"t", "3", "x = 2e9", "-10000000", "10000000"}},
             {"electrode z\n1 245.3\n2 246\n1 244\n", {"t", "4", "N = 1"}},
         }) {
        try {
            zel::parseTopography(text, "t");
            ADD_FAILURE() << text.toStdString();
        } catch (const zel::ZelError& e) {
            EXPECT_EQ(e.args(), args) << text.toStdString();
        }
    }

    // zeltool says the file and its line, and ends with a status of its own.
    QTemporaryDir dir;
    const QString in = dir.filePath("line.ohm");
    zel::writeWholeFile(in, ohmOf("0 0\nnan 0\n2 0\n3 0\n", datum));
    const Captured c = run({"invert", in, dir.filePath("out")});
    EXPECT_EQ(c.status, 1);
    EXPECT_TRUE(c.err.contains("line.ohm, line 4: not a number: nan")) << c.err.toStdString();
}

// Apparent resistivities no ground has are left out and counted with the
// negative ones; a model that explains nothing is said so, and the model of
// the lowest χ² is the one kept.
TEST(InversionGround, AbsurdValuesLeftOutAndAMisfitSaid)
{
    std::vector<zel::inv::Measurement> data = lineOver(24, std::vector<double>(24, 0.0), blockUnderTheSlope);
    data[3].rhoa = 1e-300;
    data[7].rhoa = 5e9;
    data[9].rhoa = -4;
    zel::inv::InversionOptions options;
    options.maxIterations = 2;
    const zel::inv::InversionResult fair = zel::inv::invert(data, options);
    EXPECT_EQ(fair.leftOut, 3);
    EXPECT_EQ(fair.data.size(), data.size() - 3);
    EXPECT_FALSE(fair.misfits()) << fair.verdict();
    EXPECT_TRUE(fair.verdict().empty());

    // Every other datum ten times its neighbour, at 1 %: no ground does that.
    for (std::size_t d = 0; d < data.size(); ++d) {
        data[d].rhoa = d % 2 ? 1000.0 : 10.0;
        data[d].error = 0.01;
    }
    const zel::inv::InversionResult wild = zel::inv::invert(data, options);
    EXPECT_TRUE(wild.misfits());
    EXPECT_NE(wild.verdict().find("does not explain the data: chi² "), std::string::npos) << wild.verdict();
    for (const zel::inv::IterationReport& r : wild.iterations)
        EXPECT_GE(r.chi2, wild.kept().chi2);

    // zeltool writes the model all the same, says so on stderr and in the model file.
    QTemporaryDir dir;
    QByteArray rows;
    for (const zel::inv::Measurement& m : data)
        rows += QByteArray::number(m.x[0] + 1) + ' ' + QByteArray::number(m.x[1] + 1) + ' ' + QByteArray::number(m.x[2] + 1)
            + ' ' + QByteArray::number(m.x[3] + 1) + ' ' + QByteArray::number(m.rhoa) + " 0.01\n";
    QByteArray electrodes;
    for (int e = 0; e < 24; ++e)
        electrodes += QByteArray::number(e) + " 0\n";
    const QString in = dir.filePath("wild.ohm");
    zel::writeWholeFile(in, ohmOf(electrodes, rows, 24, int(data.size())));
    const Captured c = run({"invert", "--max-iterations", "2", in, dir.filePath("wild")});
    EXPECT_EQ(c.status, 0) << c.err.toStdString();
    EXPECT_TRUE(c.err.contains("zeltool: the model does not explain the data: chi² ")) << c.err.toStdString();
    EXPECT_TRUE(zel::readWholeFile(dir.filePath("wild-model.csv")).startsWith("# the model does not explain the data: chi² "));
}
