#include "Depth.h"

#include "Memory.h"
#include "Parallel.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <mutex>

namespace zel::inv {

std::vector<double> doiIndex(const InversionResult& result, const InversionOptions& options,
                             const std::function<void(const DoiRun&)>& progress, const std::atomic<bool>* cancel,
                             double low, double high)
{
    if (result.mesh.parameterCount() == 0 || !(low > 0) || !(high > 0) || low == high)
        return {};
    // The two runs reach kDoiRegionFactor times as deep as the section:
    // the index is to rise to 1 where the data see nothing, and within the
    // section's own region it never gets there (on a half-space it stays
    // near 0.05 at the section's bottom).
    const Mesh& mesh = result.mesh;
    int lowestRow = 0;
    for (const int c : mesh.cellOfParameter)
        lowestRow = std::max(lowestRow, c % mesh.cellRows());
    InversionOptions deeper = options;
    deeper.mesh.parameterDepth = kDoiRegionFactor * mesh.depths[std::size_t(lowestRow) + 1];
    const Mesh deepMesh = makeMesh(electrodesOf(result.data), options.elevations, deeper.mesh);
    const int wanted = threadCount(options.threads);
    // Side by side when there are cores for both and memory for two.
    const std::size_t available = options.memory > 0 ? options.memory : availableMemory();
    const bool together = wanted >= 2 && 2 * memoryNeeded(deepMesh, result.data, std::max(1, wanted / 2), options.factor) < available;
    InversionOptions each = deeper;
    each.threads = together ? std::max(1, wanted / 2) : wanted;
    if (together)
        each.memory = available / 2;
    std::mutex heard;
    std::array<InversionResult, 2> runs;
    const std::array<double, 2> references{low * result.background, high * result.background};
    try {
        parallelFor(2, together ? 2 : 1, [&](std::size_t i) {
            InversionOptions o = each;
            o.reference = references[i];
            runs[i] = invert(result.data, o, [&](const IterationReport& r) {
                if (progress) {
                    const std::lock_guard lock(heard);
                    progress({int(i) + 1, r});
                }
            }, cancel);
        });
    } catch (const InversionStopped&) {
        return {};
    }
    const Mesh& deep = runs[0].mesh;
    if ((cancel && cancel->load()) || runs[0].resistivity.size() != std::size_t(deep.parameterCount())
        || runs[1].resistivity.size() != runs[0].resistivity.size())
        return {};
    std::vector<double> raw(runs[0].resistivity.size());
    const double span = std::log(references[0]) - std::log(references[1]);
    for (std::size_t p = 0; p < raw.size(); ++p)
        raw[p] = (std::log(runs[0].resistivity[p]) - std::log(runs[1].resistivity[p])) / span;
    // Each cell's index averaged with its neighbours': the two runs fit the
    // same noise each its own way, and the contour is to follow what they
    // share, not cell-sized specks.
    const int columns = int(deep.columns.size()) - 1;
    std::vector<double> smooth(raw.size());
    for (std::size_t p = 0; p < raw.size(); ++p) {
        const int c = deep.cellOfParameter[p];
        const int i = c / deep.cellRows(), j = c % deep.cellRows();
        double sum = 0;
        int count = 0;
        for (int di = -1; di <= 1; ++di)
            for (int dj = -1; dj <= 1; ++dj) {
                if (i + di < 0 || i + di >= columns || j + dj < 0 || j + dj >= deep.cellRows())
                    continue;
                if (const int q = deep.parameterOfCell[std::size_t(deep.cell(i + di, j + dj))]; q >= 0) {
                    sum += raw[std::size_t(q)];
                    ++count;
                }
            }
        smooth[p] = sum / count;
    }
    // Scaled by the deeper region's largest: how far down the region
    // reaches, and how strongly the reference term pulls, change R's size,
    // not where the data stop seeing. Below 0 the two runs crossed where the
    // data fix the model: that is an index of 0, and written so.
    double largest = 0;
    for (const double v : smooth)
        largest = std::max(largest, std::abs(v));
    // Each cell of the section takes the index of the deeper run's cell at
    // its centre: the rows above the section's bottom are the same.
    std::vector<double> index(result.resistivity.size(), 0.0);
    for (std::size_t p = 0; p < index.size(); ++p) {
        const int cell = deep.cellAt(mesh.cellCentre(mesh.cellOfParameter[p]));
        const int q = cell < 0 ? -1 : deep.parameterOfCell[std::size_t(cell)];
        if (q >= 0 && largest > 0)
            index[p] = std::max(0.0, smooth[std::size_t(q)] / largest);
    }
    return index;
}

std::vector<double> relativeSensitivity(const InversionResult& result)
{
    const Mesh& mesh = result.mesh;
    std::vector<double> s(result.coverage.size());
    for (std::size_t p = 0; p < s.size(); ++p)
        s[p] = std::pow(10.0, result.coverage[p]) / mesh.cellArea(mesh.cellOfParameter[p]);
    const double largest = s.empty() ? 0 : *std::max_element(s.begin(), s.end());
    for (double& v : s)
        v = largest > 0 ? v / largest : 0;
    return s;
}

namespace {

// Per column of parameter cells, bottom up: the top of the lowest run of
// cells where `below` holds (the part the data do not see), or the
// column's full depth when its lowest cell is seen.
template <typename Below>
std::vector<ColumnDepth> columnDepths(const Mesh& mesh, Below below)
{
    std::vector<ColumnDepth> out;
    const int columns = int(mesh.columns.size()) - 1;
    for (int i = 0; i < columns; ++i) {
        if (mesh.parameterOfCell[std::size_t(mesh.cell(i, 0))] < 0)
            continue;
        int j = 0;
        while (j < mesh.cellRows() && mesh.parameterOfCell[std::size_t(mesh.cell(i, j))] >= 0)
            ++j;
        while (j > 0 && below(std::size_t(mesh.parameterOfCell[std::size_t(mesh.cell(i, j - 1))])))
            --j;
        const double z = (mesh.nodes[std::size_t(mesh.node(i, j))].z + mesh.nodes[std::size_t(mesh.node(i + 1, j))].z) / 2;
        out.push_back({(mesh.columns[std::size_t(i)] + mesh.columns[std::size_t(i) + 1]) / 2, mesh.depths[std::size_t(j)], z});
    }
    return out;
}

} // namespace

std::vector<ColumnDepth> doiDepths(const Mesh& mesh, const std::vector<double>& index, double threshold)
{
    if (index.size() != std::size_t(mesh.parameterCount()))
        return {};
    return columnDepths(mesh, [&](std::size_t p) { return std::abs(index[p]) >= threshold; });
}

std::vector<ColumnDepth> sensitivityDepths(const Mesh& mesh, const std::vector<double>& sensitivity, double threshold)
{
    if (sensitivity.size() != std::size_t(mesh.parameterCount()))
        return {};
    return columnDepths(mesh, [&](std::size_t p) { return sensitivity[p] < threshold; });
}

} // namespace zel::inv
