// The 3D forward response against analytic solutions: a half-space, a
// vertical contact by its image, reciprocity, and its sensitivities against
// finite differences.
#include "inversion/Forward.h"
#include "inversion/Mesh.h"
#include "inversion/VolumeForward.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

using zel::inv::Configuration;
using zel::inv::Point3;

namespace {

constexpr double pi = std::numbers::pi;

double distance(const Point3& a, const Point3& b) { return std::hypot(a.x - b.x, a.y - b.y, a.z - b.z); }

// Three lines 4 m apart, 13 electrodes 2 m apart on each; electrode
// l * 13 + i at (2 i, 4 (l − 1)).
struct Survey {
    std::vector<Point3> electrodes;
    zel::inv::Volume volume;

    Survey()
    {
        for (int l = 0; l < 3; ++l)
            for (int i = 0; i < 13; ++i)
                electrodes.push_back({2.0 * i, 4.0 * (l - 1), 0});
        zel::inv::VolumeOptions options;
        options.parameterDepth = 8;
        volume = zel::inv::makeVolume(electrodes, options);
    }
    double k(const std::array<int, 4>& q) const
    {
        const auto& e = electrodes;
        auto r = [&](int a, int b) { return distance(e[std::size_t(a)], e[std::size_t(b)]); };
        return 2 * pi / (1 / r(q[0], q[2]) - 1 / r(q[1], q[2]) - 1 / r(q[0], q[3]) + 1 / r(q[1], q[3]));
    }
    // Dipole-dipole of spacing 2 m along the middle line, n = 1 … 6.
    std::vector<Configuration> dipoleDipole() const
    {
        std::vector<Configuration> data;
        for (int n = 1; n <= 6; ++n)
            for (int a = 13; a + n + 2 <= 25; ++a) {
                const std::array<int, 4> q{a + 1, a, a + n + 1, a + n + 2};
                data.push_back({q, k(q)});
            }
        return data;
    }
};

} // namespace

TEST(VolumeForward, HalfSpaceAndAVerticalContactAgainstTheirImages)
{
    const Survey s;
    const auto& v = s.volume;
    {
        zel::inv::VolumeForward forward(v, s.dipoleDipole());
        forward.solve(std::vector<double>(std::size_t(v.cellCount()), 100));
        for (const double rhoa : forward.apparentResistivity())
            EXPECT_NEAR(rhoa, 100, 1.0);
    }
    // A vertical contact across the lines at x = 9 m: 100 ohm·m before it, 20
    // beyond. A source at 4 m on the middle line; potentials at every other
    // electrode within 2 m ... 12 m of it.
    const double contact = 9, rho1 = 100, rho2 = 20, k = (rho2 - rho1) / (rho2 + rho1);
    std::vector<double> model(std::size_t(v.cellCount()));
    for (int c = 0; c < v.cellCount(); ++c)
        model[std::size_t(c)] = v.cellCentre(c).x < contact ? rho1 : rho2;
    const int source = 13 + 2;
    std::vector<Configuration> pairs;
    for (int e = 0; e < int(s.electrodes.size()); ++e)
        if (e != source)
            pairs.push_back({{source, source, e, e}, 1});
    zel::inv::VolumeForward forward(v, pairs);
    forward.solve(model);
    const Point3& a = s.electrodes[std::size_t(source)];
    const Point3 image{2 * contact - a.x, a.y, a.z};
    int compared = 0;
    for (int e = 0; e < int(s.electrodes.size()); ++e) {
        const Point3& p = s.electrodes[std::size_t(e)];
        const double r = distance(a, p);
        if (e == source || r > 12.5)
            continue;
        const double expected = p.x < contact ? rho1 / (2 * pi) * (1 / r + k / distance(image, p)) : rho2 * (1 - k) / (2 * pi * r);
        EXPECT_NEAR(forward.potential(source, e) / expected, 1, 0.02) << "electrode at " << p.x << ", " << p.y;
        ++compared;
    }
    EXPECT_GT(compared, 12);
}

TEST(VolumeForward, ReciprocityAndSensitivitiesAgainstFiniteDifferences)
{
    const Survey s;
    const auto& v = s.volume;
    std::vector<Configuration> data = s.dipoleDipole();
    // A conductive block buried beside the middle line in a 100 ohm·m
    // ground, so that the fields are not the half-space's.
    std::vector<double> model(std::size_t(v.cellCount()), 100);
    for (int c = 0; c < v.cellCount(); ++c) {
        const Point3 m = v.cellCentre(c);
        if (std::abs(m.x - 12) < 3 && std::abs(m.y - 2) < 2 && v.cellDepth(c) > 1.5 && v.cellDepth(c) < 5)
            model[std::size_t(c)] = 20;
    }
    // Every electrode of the middle line a source: reciprocity between any
    // two, beside the block (the cells' interpolation of the half-space's
    // potential leaves up to 0.4 % where a 5:1 contrast lies a cell from
    // the electrodes).
    data.push_back({{13, 25, 14, 24}, 1});
    for (int e = 15; e < 24; ++e)
        data.push_back({{e, 25, 13, 14}, 1});
    zel::inv::VolumeForward forward(v, data);
    forward.solve(model);
    for (int a = 13; a < 26; ++a)
        for (int b = a + 1; b < 26; ++b)
            EXPECT_NEAR(forward.potential(a, b) / forward.potential(b, a), 1, 5e-3) << a << " " << b;
    // Two layers, 100 ohm·m over 20 from the third node layer down (about
    // 2 m): the image series within 2 %, and reciprocity within 0.1 %.
    {
        const double h = v.depths[3];
        std::vector<double> layers(std::size_t(v.cellCount()));
        for (int c = 0; c < v.cellCount(); ++c)
            layers[std::size_t(c)] = v.cellDepth(c) < h ? 100 : 20;
        zel::inv::VolumeForward layered(v, data);
        layered.solve(layers, false);
        const double k = (20.0 - 100) / (20 + 100);
        for (int a = 13; a < 26; ++a)
            for (int b = a + 1; b < 26; ++b) {
                EXPECT_NEAR(layered.potential(a, b) / layered.potential(b, a), 1, 1e-3) << a << " " << b;
                const double r = distance(s.electrodes[std::size_t(a)], s.electrodes[std::size_t(b)]);
                double series = 1 / r;
                for (int n = 1; n < 200; ++n)
                    series += 2 * std::pow(k, n) / std::hypot(r, 2 * n * h);
                EXPECT_NEAR(layered.potential(a, b) / (100 / (2 * pi) * series), 1, 0.02) << a << " " << b;
            }
    }
    data.resize(data.size() - 10);
    const zel::inv::Sensitivities J = forward.jacobian();
    ASSERT_EQ(J.rows(), Eigen::Index(data.size() + 10));
    // The cells that matter most to the first datums, and some deeper.
    const double h = 1e-3;
    int compared = 0;
    for (const int p : {0, v.parameterCount() / 3, v.parameterCount() / 2, v.parameterCount() - 1})
        for (int near = 0; near < 3; ++near) {
            const int parameter = std::min(p + near, v.parameterCount() - 1);
            std::vector<double> up = model, down = model;
            for (const int cell : v.cellsOfParameter[std::size_t(parameter)]) {
                up[std::size_t(cell)] *= std::exp(h);
                down[std::size_t(cell)] *= std::exp(-h);
            }
            zel::inv::VolumeForward changed(v, data);
            changed.solve(up, false);
            const std::vector<double> high = changed.apparentResistivity();
            changed.solve(down, false);
            const std::vector<double> low = changed.apparentResistivity();
            for (std::size_t d = 0; d < data.size(); ++d) {
                const double fd = (std::log(high[d]) - std::log(low[d])) / (2 * h);
                const double adjoint = J(Eigen::Index(d), parameter);
                if (std::abs(fd) < 1e-4)
                    continue;
                EXPECT_NEAR(adjoint / fd, 1, 0.02) << "datum " << d << ", parameter " << parameter;
                ++compared;
            }
        }
    EXPECT_GT(compared, 20);
}

// A hill across the lines, 500 m above the sea: the volume's surface
// follows it, and the potentials of a homogeneous ground under it agree
// with the 2.5D forward's of the line over the same hill.
TEST(VolumeForward, AHillAgreesWithTheLinesOwnForward)
{
    std::vector<double> x, heights;
    std::vector<Point3> electrodes;
    for (int i = 0; i < 24; ++i) {
        x.push_back(i);
        heights.push_back(3 * std::exp(-std::pow((i - 12) / 4.0, 2)));
    }
    for (int l = 0; l < 3; ++l)
        for (int i = 0; i < 24; ++i)
            electrodes.push_back({x[std::size_t(i)], 2.0 * (l - 1), 500 + heights[std::size_t(i)]});
    zel::inv::VolumeOptions o;
    o.parameterDepth = 6;
    const zel::inv::Volume volume = zel::inv::makeVolume(electrodes, o);
    for (std::size_t e = 0; e < electrodes.size(); ++e)
        EXPECT_NEAR(volume.nodes[std::size_t(volume.electrodeNodes[e])].z, electrodes[e].z, 1e-9);
    std::vector<Configuration> line, middle;
    for (int n = 1; n <= 3; ++n)
        for (int i = 4; i + 2 + n <= 20; i += 2) {
            line.push_back({{i, i + 1, i + 1 + n, i + 2 + n}, 1.0});
            middle.push_back({{24 + i, 24 + i + 1, 24 + i + 1 + n, 24 + i + 2 + n}, 1.0});
        }
    zel::inv::VolumeForward inVolume(volume, middle);
    inVolume.solve(std::vector<double>(std::size_t(volume.cellCount()), 100.0));
    zel::inv::MeshOptions m;
    m.parameterDepth = 6;
    const zel::inv::Mesh mesh = zel::inv::makeMesh(x, heights, m);
    zel::inv::ForwardModel alone(mesh, line);
    alone.solve(std::vector<double>(std::size_t(mesh.cellCount()), 100.0));
    for (std::size_t d = 0; d < line.size(); ++d)
        EXPECT_NEAR(inVolume.apparentResistivity()[d] / alone.apparentResistivity()[d], 1, 0.02) << d;
}
