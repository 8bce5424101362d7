#include "Ground.h"

#include "data/Interpolate.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <sstream>

namespace zel::inv {

namespace {

// A number of the model file as the user wrote it, for its messages.
std::string number(double v)
{
    std::ostringstream text;
    text << v;
    return text.str();
}

} // namespace

// A property of the part of the ground at x and depth: the first block that
// holds the point, else the deepest layer above it, else the background.
template <typename Property>
double propertyAt(const Ground& g, double x, double depth, Property blockOrLayer, double background)
{
    for (const GroundBlock& b : g.blocks)
        if (x > b.x0 && x < b.x1 && depth > b.top && depth < b.bottom)
            return blockOrLayer(b);
    double value = background;
    for (const GroundLayer& l : g.layers)
        if (depth > l.top)
            value = blockOrLayer(l);
    return value;
}

double Ground::rhoAt(double x, double depth) const
{
    return propertyAt(*this, x, depth, [](const auto& part) { return part.rho; }, background);
}

double Ground::pfeAt(double x, double depth) const
{
    return propertyAt(*this, x, depth, [](const auto& part) { return part.pfe; }, backgroundPfe);
}

bool Ground::chargeable() const
{
    return backgroundPfe > 0 || std::any_of(layers.begin(), layers.end(), [](const GroundLayer& l) { return l.pfe > 0; })
        || std::any_of(blocks.begin(), blocks.end(), [](const GroundBlock& b) { return b.pfe > 0; });
}

std::vector<double> Ground::levels() const
{
    std::vector<double> out;
    for (const GroundLayer& l : layers)
        out.push_back(l.top);
    for (const GroundBlock& b : blocks)
        out.insert(out.end(), {b.top, b.bottom});
    return out;
}

std::vector<double> Ground::verticals() const
{
    std::vector<double> out;
    for (const GroundBlock& b : blocks)
        out.insert(out.end(), {b.x0, b.x1});
    return out;
}

std::vector<double> Ground::electrodeX() const
{
    std::vector<double> x;
    x.reserve(std::size_t(std::max(electrodes, 0)));
    for (int e = 0; e < electrodes; ++e)
        x.push_back(e * spacing);
    return x;
}

std::vector<double> Ground::electrodeZ() const
{
    std::vector<double> z;
    z.reserve(std::size_t(std::max(electrodes, 0)));
    for (int e = 0; e < electrodes; ++e)
        z.push_back(interpolateClamped(elevations, double(e)));
    return z;
}

Ground parseGround(const std::string& text)
{
    Ground g;
    bool said = false;
    std::istringstream lines(text);
    std::string row;
    for (int n = 1; std::getline(lines, row); ++n) {
        if (const std::size_t hash = row.find('#'); hash != std::string::npos)
            row.resize(hash);
        std::replace(row.begin(), row.end(), ',', '.');
        std::replace(row.begin(), row.end(), '\r', ' ');
        std::istringstream words(row);
        std::string key, word;
        if (!(words >> key))
            continue;
        std::transform(key.begin(), key.end(), key.begin(), [](unsigned char c) { return char(std::tolower(c)); });
        std::vector<double> v;
        while (words >> word) {
            char* end = nullptr;
            v.push_back(std::strtod(word.c_str(), &end));
            if (end != word.c_str() + word.size() || !std::isfinite(v.back()))
                throw FileRefused("\"" + word + "\" is not a number", n);
        }
        auto need = [&](std::size_t count) {
            if (v.size() != count)
                throw FileRefused(key + " takes " + std::to_string(count) + " numbers", n);
        };
        // A key whose last number, the frequency effect, may be left out.
        auto needWithEffect = [&](std::size_t count) {
            if (v.size() != count && v.size() != count + 1)
                throw FileRefused(key + " takes " + std::to_string(count) + " numbers and a frequency effect, %, if any", n);
        };
        auto effect = [&](std::size_t at) {
            const double pfe = at < v.size() ? v[at] : 0;
            if (!(pfe >= 0 && pfe <= 100))
                throw FileRefused("a frequency effect of " + number(pfe) + " %: from 0 to 100 % is needed", n);
            return pfe;
        };
        auto resistivity = [&](double rho) {
            if (!(rho > 0))
                throw FileRefused("a resistivity of " + number(rho) + " ohm·m: it must be above 0", n);
            return rho;
        };
        // A whole number within its range, else the line is refused: a
        // value taken silently as another would model another line.
        auto whole = [&](double value, int low, int high) {
            if (value != std::floor(value) || value < low || value > high)
                throw FileRefused(key + " " + number(value) + ": a whole number from " + std::to_string(low) + " to "
                                      + std::to_string(high) + " is needed",
                                  n);
            return int(value);
        };
        if (key == "electrodes") {
            need(1);
            g.electrodes = whole(v[0], 4, 1024);
        } else if (key == "spacing") {
            need(1);
            if (!(v[0] >= kLeastSpacing))
                throw FileRefused("a spacing of " + number(v[0]) + " m: it must be " + number(kLeastSpacing) + " m at least", n);
            g.spacing = v[0];
        } else if (key == "background") {
            needWithEffect(1);
            g.background = resistivity(v[0]);
            g.backgroundPfe = effect(1);
        } else if (key == "layer") {
            needWithEffect(2);
            g.layers.push_back({v[0], resistivity(v[1]), effect(2)});
        } else if (key == "frequencies") {
            need(2);
            if (!(v[0] > 0) || !(v[1] > v[0]))
                throw FileRefused("frequencies " + number(v[0]) + " " + number(v[1]) + ": a low and a higher one, Hz", n);
            g.frequencies = {v[0], v[1]};
        } else if (key == "block") {
            needWithEffect(5);
            if (!(v[0] < v[1]) || !(v[2] < v[3]) || v[2] < 0)
                throw FileRefused("block " + number(v[0]) + " " + number(v[1]) + " " + number(v[2]) + " " + number(v[3])
                                      + ": x from before x to, and depth from (0 or more) above depth to, are needed",
                                  n);
            g.blocks.push_back({v[0], v[1], v[2], v[3], resistivity(v[4]), effect(5)});
        } else if (key == "elevation") {
            need(2);
            g.elevations.emplace_back(v[0], v[1]);
        } else if (key == "table") {
            need(2);
            g.aMax = whole(v[0], 1, 8);
            g.nMax = whole(v[1], 1, 16);
        } else if (key == "sounding") {
            if (!v.empty())
                need(2);
            g.soundings = v.empty() ? 1 : whole(v[0], 1, 255);
            g.soundingStep = v.empty() ? 0 : v[1];
            if (g.soundings > 1 && !(g.soundingStep >= kLeastSpacing))
                throw FileRefused("sounding " + number(v[0]) + " " + number(v[1]) + ": soundings lie "
                                      + number(kLeastSpacing) + " m apart at least", n);
        } else if (key == "plain") {
            need(0);
            g.plainSoundings = true;
        } else if (key == "wenner") {
            need(0);
            g.wennerSoundings = true;
        } else if (key == "spreads") {
            need(2);
            g.spreadElectrodes = whole(v[0], 4, 128);
            g.spreadStep = whole(v[1], 1, g.spreadElectrodes);
        } else if (key == "line") {
            if (v.empty() || v.size() > 2)
                throw FileRefused("line takes a number and a y", n);
            g.line = whole(v[0], -128, 127);
            g.y = v.size() > 1 ? v[1] : 0;
        } else {
            throw FileRefused("unknown \"" + key + "\"", n);
        }
        said = true;
    }
    // An empty file is no model: a half-space taken from nothing would be
    // measured as if the crew had asked for it.
    if (!said)
        throw FileRefused("no model: not one line of keys (electrodes, spacing, background, layer, block, …)", 1);
    std::sort(g.layers.begin(), g.layers.end(), [](const GroundLayer& a, const GroundLayer& b) { return a.top < b.top; });
    std::sort(g.elevations.begin(), g.elevations.end());
    if (g.plainSoundings && g.soundings == 0)
        throw FileRefused("plain: the key reads soundings as plain measurements, and no sounding is asked for", 0);
    if (g.wennerSoundings && (g.soundings == 0 || g.plainSoundings))
        throw FileRefused("wenner: the key reads soundings with positions as the Wenner array, and no such sounding is asked for", 0);
    return g;
}

std::vector<double> forwardResponse(const std::vector<double>& x, const std::vector<double>& z,
                                    const std::vector<Configuration>& configurations,
                                    const std::function<double(double x, double depth)>& rhoAt,
                                    const std::vector<double>& levels, const std::vector<double>& verticals, double depth)
{
    const bool flat = std::all_of(z.begin(), z.end(), [](double v) { return v == 0; });
    const std::vector<double> elevations = flat ? std::vector<double>{} : z;
    MeshOptions fine;
    fine.cellsPerSpacing = 3;
    fine.firstLayer = 0.15;
    fine.levels = levels;
    fine.verticals = verticals;
    double deepest = depth;
    for (const double level : levels)
        deepest = std::max(deepest, 1.5 * level);
    const auto [low, high] = std::minmax_element(x.begin(), x.end());
    fine.parameterDepth = std::max(deepest, (*high - *low) / 4);
    const Mesh mesh = makeMesh(x, elevations, fine);
    std::vector<double> rho(std::size_t(mesh.cellCount()));
    for (int c = 0; c < mesh.cellCount(); ++c) {
        const Point p = mesh.cellCentre(c);
        rho[std::size_t(c)] = rhoAt(p.x, surfaceAt(x, elevations, p.x) - p.z);
    }
    ForwardModel forward(mesh, configurations);
    forward.solve(rho, false);
    return forward.apparentResistivity();
}

} // namespace zel::inv
