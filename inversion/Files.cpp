#include "Files.h"

#include "Chargeability.h"

#include "survey/Exports.h"

#include <QList>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <iterator>
#include <numbers>
#include <optional>

namespace zel::inv {

namespace {

const QByteArray kCrLf = "\r\n";

// The lines of a text, with CR LF, LF or CR ends and no byte order mark.
QList<QByteArray> linesOf(QByteArray text)
{
    if (text.startsWith("\xEF\xBB\xBF"))
        text.remove(0, 3);
    text.replace("\r\n", "\n").replace('\r', '\n');
    return text.split('\n');
}

QList<QByteArray> fieldsOf(const QByteArray& line)
{
    QList<QByteArray> fields;
    for (const QByteArray& f : line.simplified().split(' '))
        if (!f.isEmpty())
            fields << f;
    return fields;
}

bool numberOf(const QByteArray& text, double& value)
{
    bool ok = false;
    value = text.toDouble(&ok);
    return ok && std::isfinite(value);
}

double factorOf(const std::array<double, 4>& x, const std::array<double, 4>& z)
{
    auto r = [&](int i, int j) { return std::hypot(x[std::size_t(i)] - x[std::size_t(j)], z[std::size_t(i)] - z[std::size_t(j)]); };
    const double sum = 1 / r(0, 2) - 1 / r(1, 2) - 1 / r(0, 3) + 1 / r(1, 3);
    return sum == 0 || !std::isfinite(sum) ? 0 : 2 * std::numbers::pi / sum;
}

void append(QByteArray& out, double value) { out += plainDecimal(value); }

// Positions a line on the earth can have, m.
constexpr double kFarthest = 1e7;
constexpr double kHighest = 1e4;

} // namespace

OhmData parseOhm(const QByteArray& text, double defaultErrorPercent, double minErrorPercent)
{
    const QList<QByteArray> lines = linesOf(text);
    qsizetype at = 0;
    // The next line that is not blank; a comment line only when `tokens` is asked for.
    auto next = [&](bool tokens, QByteArray& line) {
        while (at < lines.size()) {
            QByteArray l = lines[at].trimmed();
            if (l.contains('\0'))
                throw FileRefused("a NUL byte", int(at + 1));
            ++at;
            if (l.isEmpty())
                continue;
            if (l.startsWith('#')) {
                if (tokens) {
                    line = l.mid(1);
                    return true;
                }
                continue;
            }
            if (tokens) {
                --at;  // no token line: the line is data
                return false;
            }
            line = l;
            return true;
        }
        return false;
    };
    auto count = [&](const char* what) {
        QByteArray line;
        if (!next(false, line))
            throw FileRefused(std::string("no ") + what + " count", int(at));
        const QByteArray number = line.left(line.indexOf('#') < 0 ? line.size() : line.indexOf('#')).trimmed();
        bool ok = false;
        const int n = number.toInt(&ok);
        if (!ok || n < 0 || n > 10'000'000)
            throw FileRefused(std::string("not a ") + what + " count", int(at));
        return n;
    };
    // The columns a token line names, by their name without a unit.
    auto columnsOf = [](const QByteArray& tokens) {
        std::map<QByteArray, std::pair<int, QByteArray>> columns;
        int i = 0;
        for (const QByteArray& t : fieldsOf(tokens)) {
            const qsizetype slash = t.indexOf('/');
            columns[(slash < 0 ? t : t.left(slash)).toLower()] = {i++, slash < 0 ? QByteArray() : t.mid(slash + 1).toLower()};
        }
        return columns;
    };

    OhmData out;
    std::vector<int> electrodeLine;  // the line of each electrode's position
    const int electrodes = count("electrode");
    QByteArray tokens;
    auto positions = next(true, tokens) ? columnsOf(tokens) : std::map<QByteArray, std::pair<int, QByteArray>>{};
    for (int e = 0; e < electrodes; ++e) {
        QByteArray line;
        if (!next(false, line))
            throw FileRefused("fewer electrode positions than the count", int(at));
        const QList<QByteArray> f = fieldsOf(line);
        std::vector<double> v;
        for (const QByteArray& field : f) {
            double x = 0;
            if (!numberOf(field, x))
                throw FileRefused("not a number: " + field.toStdString(), int(at));
            v.push_back(x);
        }
        auto column = [&](const char* name, int fallback) {
            const auto found = positions.find(name);
            const int i = found != positions.end() ? found->second.first : fallback;
            return i >= 0 && i < int(v.size()) ? v[std::size_t(i)] : 0.0;
        };
        if (v.empty())
            throw FileRefused("an electrode without a position", int(at));
        out.electrodeX.push_back(column("x", 0));
        // x z, or x y z with y = 0.
        out.electrodeZ.push_back(column("z", v.size() >= 3 ? 2 : 1));
        if (std::abs(out.electrodeX.back()) > kFarthest || std::abs(out.electrodeZ.back()) > kHighest)
            throw FileRefused("electrode " + std::to_string(e + 1) + " beyond the earth's positions (x within ±"
                                  + std::to_string(int(kFarthest / 1000)) + " km, z within ±" + std::to_string(int(kHighest))
                                  + " m)",
                              int(at));
        electrodeLine.push_back(int(at));
    }
    // Two electrodes at one place on the line are a mistake of the file:
    // the data could not tell them apart. Listed out of order, they are
    // taken in order of x.
    std::vector<int> byX(out.electrodeX.size());
    for (std::size_t e = 0; e < byX.size(); ++e)
        byX[e] = int(e);
    std::stable_sort(byX.begin(), byX.end(), [&](int a, int b) { return out.electrodeX[std::size_t(a)] < out.electrodeX[std::size_t(b)]; });
    // Electrodes a few millimetres apart are one place too: the spacing is
    // the median distance of neighbours.
    std::vector<double> gaps;
    for (std::size_t i = 1; i < byX.size(); ++i)
        gaps.push_back(out.electrodeX[std::size_t(byX[i])] - out.electrodeX[std::size_t(byX[i - 1])]);
    std::vector<double> sortedGaps = gaps;
    std::sort(sortedGaps.begin(), sortedGaps.end());
    const double spacing = sortedGaps.empty() ? 0 : sortedGaps[sortedGaps.size() / 2];
    for (std::size_t i = 1; i < byX.size(); ++i) {
        const int a = std::min(byX[i - 1], byX[i]), b = std::max(byX[i - 1], byX[i]);
        if (onePlace(gaps[i - 1], spacing))
            throw FileRefused("electrodes " + std::to_string(a + 1) + " and " + std::to_string(b + 1) + " at one position, x = "
                                  + plainDecimal(out.electrodeX[std::size_t(a)], 7, false).toStdString() + " m"
                                  + (gaps[i - 1] > kSamePosition ? " and " + plainDecimal(out.electrodeX[std::size_t(b)], 7, false).toStdString()
                                                                     + " m (closer than a tenth of the spacing, "
                                                                     + plainDecimal(spacing, 7, false).toStdString() + " m)"
                                                                 : std::string()),
                              electrodeLine[std::size_t(b)]);
    }
    const int data = count("data");
    auto columns = next(true, tokens) ? columnsOf(tokens) : columnsOf("a b m n rhoa");
    for (const char* needed : {"a", "b", "m", "n"})
        if (!columns.count(needed))
            throw FileRefused(std::string("no column ") + needed, int(at));
    if (!columns.count("rhoa") && !columns.count("r"))
        throw FileRefused("neither rhoa nor r", int(at));
    for (int d = 0; d < data; ++d) {
        QByteArray line;
        if (!next(false, line))
            throw FileRefused("fewer data than the count", int(at));
        const QList<QByteArray> f = fieldsOf(line);
        auto value = [&](const char* name, double& into) {
            const auto found = columns.find(name);
            if (found == columns.end())
                return false;
            if (found->second.first >= f.size() || !numberOf(f[found->second.first], into))
                throw FileRefused(std::string("no number in the column ") + name, int(at));
            return true;
        };
        std::array<double, 4> index{};
        const char* names[4] = {"a", "b", "m", "n"};
        for (int i = 0; i < 4; ++i)
            value(names[i], index[std::size_t(i)]);
        if (std::find(index.begin(), index.end(), 0.0) != index.end()) {
            ++out.poles;
            continue;
        }
        Measurement m;
        std::array<double, 4> z{};
        for (int i = 0; i < 4; ++i) {
            const double e = index[std::size_t(i)];
            if (e != std::floor(e) || e < 1 || e > electrodes)
                throw FileRefused("an electrode number out of range", int(at));
            m.x[std::size_t(i)] = out.electrodeX[std::size_t(e) - 1];
            z[std::size_t(i)] = out.electrodeZ[std::size_t(e) - 1];
        }
        double k = 0, r = 0, rhoa = 0, err = 0, u = 0;
        if (!value("k", k))
            k = factorOf(m.x, z);
        if (!value("rhoa", rhoa)) {
            value("r", r);
            rhoa = k * r;
        }
        m.k = k;
        m.rhoa = rhoa;
        if (value("err", err) && !(err >= 0 && err <= 1))
            throw FileRefused("an error of " + plainDecimal(err).toStdString()
                                  + ": err is a fraction of the value, 0.03 for 3 %, from 0 to 1",
                              int(at));
        m.error = std::max(columns.count("err") ? err * 100 : defaultErrorPercent, minErrorPercent) / 100;
        if (value("u", u))
            m.voltage = std::abs(u) * (columns["u"].second == "mv" ? 1 : 1000);
        if (const std::optional<double> depth = medianDepth(m.x))
            m.depth = *depth;
        out.data.push_back(m);
    }
    return out;
}

namespace {

// The electrodes' heights, in the mesh's order of electrodes: the ground's
// surface lies between them.
std::vector<double> electrodeHeights(const Mesh& mesh)
{
    std::vector<double> heights;
    heights.reserve(mesh.electrodeNodes.size());
    for (const int node : mesh.electrodeNodes)
        heights.push_back(mesh.nodes[std::size_t(node)].z);
    return heights;
}

// The start of a model's table: a model that does not explain the data
// says so before its columns; the DOI index is a column when computed.
QByteArray modelHeader(const InversionResult& r, const QByteArray& columns, char separator)
{
    QByteArray out = r.misfits() ? "# " + QByteArray::fromStdString(r.verdict()) + kCrLf : QByteArray();
    const bool doi = r.doi.size() == r.resistivity.size();
    const bool charge = r.chargeability.size() == r.resistivity.size();
    return out + columns + separator + "coverage" + (doi ? separator + QByteArray("doi") : QByteArray())
        + (charge ? separator + QByteArray("chargeability") + separator + "pfe_pct" : QByteArray()) + kCrLf;
}

// A row of a model's table: where, ρ of parameter cell p, its coverage and
// its DOI index when computed.
void appendModelRow(QByteArray& out, std::initializer_list<double> where, const InversionResult& r, int p, char separator)
{
    for (const double v : where) {
        append(out, v);
        out += separator;
    }
    append(out, r.resistivity[std::size_t(p)]);
    out += separator;
    append(out, r.coverage[std::size_t(p)]);
    if (r.doi.size() == r.resistivity.size()) {
        out += separator;
        append(out, r.doi[std::size_t(p)]);
    }
    if (r.chargeability.size() == r.resistivity.size()) {
        const double m = r.chargeability[std::size_t(p)];
        out += separator;
        append(out, m);
        out += separator;
        append(out, effectOfCharge(m));
    }
    out += kCrLf;
}

} // namespace

QByteArray modelCsv(const InversionResult& r)
{
    QByteArray out = modelHeader(r, "x_m,z_m,rho_ohmm", ',');
    for (int p = 0; p < r.mesh.parameterCount(); ++p) {
        const Point c = r.mesh.cellCentre(r.mesh.cellOfParameter[std::size_t(p)]);
        appendModelRow(out, {c.x, c.z}, r, p, ',');
    }
    return out;
}

QByteArray responseCsv(const InversionResult& r)
{
    QByteArray out = "a_m,b_m,m_m,n_m,rhoa_ohmm,model_rhoa_ohmm,misfit_pct" + kCrLf;
    for (std::size_t d = 0; d < r.data.size(); ++d) {
        const Measurement& m = r.data[d];
        for (const double x : m.x) {
            append(out, x);
            out += ',';
        }
        append(out, m.rhoa);
        out += ',';
        append(out, r.response[d]);
        out += ',';
        append(out, r.misfitPercent(d));
        out += kCrLf;
    }
    return out;
}

namespace {

// A piece's cells after its points: each cell's corners (numbered among the
// points), its VTK type, and the model's values per cell (resistivity,
// coverage and, when computed, the DOI index); the piece closed.
template <std::size_t Corners>
void appendVtuCells(QByteArray& out, const std::vector<std::array<int, Corners>>& cells, int type, const Fit& r,
                    const std::vector<double>& doi, const std::vector<double>& chargeability = {})
{
    std::vector<double> effects;
    effects.reserve(chargeability.size());
    for (const double m : chargeability)
        effects.push_back(effectOfCharge(m));
    const std::vector<double>& pfe = effects;
    out += "</DataArray>\n</Points>\n<Cells>\n<DataArray type=\"Int32\" Name=\"connectivity\" format=\"ascii\">\n";
    for (const auto& c : cells)
        for (std::size_t k = 0; k < Corners; ++k)
            out += QByteArray::number(c[k]) + (k + 1 == Corners ? '\n' : ' ');
    out += "</DataArray>\n<DataArray type=\"Int32\" Name=\"offsets\" format=\"ascii\">\n";
    for (std::size_t c = 0; c < cells.size(); ++c)
        out += QByteArray::number(qsizetype(Corners) * qsizetype(c + 1)) + '\n';
    out += "</DataArray>\n<DataArray type=\"UInt8\" Name=\"types\" format=\"ascii\">\n";
    for (std::size_t c = 0; c < cells.size(); ++c)
        out += QByteArray::number(type) + '\n';
    out += "</DataArray>\n</Cells>\n<CellData Scalars=\"resistivity\">\n";
    for (const auto& [name, values] : {std::pair{"resistivity", &r.resistivity}, std::pair{"coverage", &r.coverage}, std::pair{"doi", &doi},
                                       std::pair{"chargeability", &chargeability}, std::pair{"pfe_pct", &pfe}}) {
        if (values->size() != r.resistivity.size())
            continue;  // no DOI index or chargeability computed
        out += QByteArray("<DataArray type=\"Float64\" Name=\"") + name + "\" format=\"ascii\">\n";
        for (const double v : *values) {
            append(out, v);
            out += '\n';
        }
        out += "</DataArray>\n";
    }
    out += "</CellData>\n</Piece>\n";
}

// One section as a piece of a VTK unstructured grid: its parameter cells as
// quadrilaterals, its points at (x, z, 0), or placed in 3D at (x, y, z).
void appendVtuPiece(QByteArray& out, const InversionResult& r, std::optional<double> y)
{
    const Mesh& mesh = r.mesh;
    // The nodes of the parameter cells, numbered anew.
    std::map<int, int> pointOf;
    std::vector<std::array<int, 4>> cells;
    for (const int c : mesh.cellOfParameter) {
        const int i = c / mesh.cellRows(), j = c % mesh.cellRows();
        const std::array<int, 4> corners{mesh.node(i, j), mesh.node(i, j + 1), mesh.node(i + 1, j + 1), mesh.node(i + 1, j)};
        std::array<int, 4> cell{};
        for (std::size_t k = 0; k < 4; ++k)
            cell[k] = pointOf.try_emplace(corners[k], int(pointOf.size())).first->second;
        cells.push_back(cell);
    }
    std::vector<int> nodeOfPoint(pointOf.size());
    for (const auto& [node, point] : pointOf)
        nodeOfPoint[std::size_t(point)] = node;

    out += "<Piece NumberOfPoints=\"" + QByteArray::number(qsizetype(nodeOfPoint.size())) + "\" NumberOfCells=\""
        + QByteArray::number(qsizetype(cells.size())) + "\">\n";
    out += "<Points>\n<DataArray type=\"Float64\" NumberOfComponents=\"3\" format=\"ascii\">\n";
    for (const int node : nodeOfPoint) {
        const Point& p = mesh.nodes[std::size_t(node)];
        append(out, p.x);
        out += ' ';
        if (y) {
            append(out, *y);
            out += ' ';
            append(out, p.z);
            out += '\n';
        } else {
            append(out, p.z);
            out += " 0\n";
        }
    }
    appendVtuCells(out, cells, 9, r, r.doi, r.chargeability);  // VTK_QUAD
}

const QByteArray kVtuHead = "<VTKFile type=\"UnstructuredGrid\" version=\"0.1\" byte_order=\"LittleEndian\">\n"
                            "<UnstructuredGrid>\n";
const QByteArray kVtuTail = "</UnstructuredGrid>\n</VTKFile>\n";

} // namespace

QByteArray modelVtu(const InversionResult& r)
{
    QByteArray out = "<?xml version=\"1.0\"?>\n";
    if (r.misfits())
        out += "<!-- " + QByteArray::fromStdString(r.verdict()) + " -->\n";
    out += kVtuHead;
    appendVtuPiece(out, r, std::nullopt);
    return out + kVtuTail;
}

QByteArray linesVtu(const std::vector<std::pair<const InversionResult*, double>>& lines)
{
    QByteArray out = "<?xml version=\"1.0\"?>\n" + kVtuHead;
    for (const auto& [result, y] : lines)
        appendVtuPiece(out, *result, y);
    return out + kVtuTail;
}

ModelCells parseModelCsv(const QByteArray& text)
{
    ModelCells m;
    // A line ends with LF, CR LF or CR alone: each counts once.
    const QList<QByteArray> lines = QByteArray(text).replace("\r\n", "\n").replace('\r', '\n').split('\n');
    bool header = false;
    for (qsizetype n = 0; n < lines.size(); ++n) {
        const QByteArray line = lines[n].trimmed();
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        const QList<QByteArray> fields = line.split(',');
        if (!header && !fields.isEmpty() && !fields[0].isEmpty() && !std::isdigit(static_cast<unsigned char>(fields[0].back()))) {
            header = true;  // the column names
            continue;
        }
        bool ok[3] = {false, false, false};
        if (fields.size() < 3)
            throw FileRefused("x, z and rho are needed, separated by commas", int(n + 1));
        const double x = fields[0].trimmed().toDouble(&ok[0]), z = fields[1].trimmed().toDouble(&ok[1]),
                     rho = fields[2].trimmed().toDouble(&ok[2]);
        if (!ok[0] || !ok[1] || !ok[2] || !std::isfinite(x) || !std::isfinite(z))
            throw FileRefused("not a number", int(n + 1));
        if (!(rho > 0) || !std::isfinite(rho))
            throw FileRefused("a resistivity of " + fields[2].trimmed().toStdString() + " ohm·m: it must be above 0", int(n + 1));
        m.centres.push_back({x, z});
        m.rho.push_back(rho);
    }
    if (m.rho.empty())
        throw FileRefused("no cell in the model", 0);
    return m;
}

double ModelCells::at(const Point& p) const
{
    double best = 1e300, rhoNear = rho.front();
    for (std::size_t i = 0; i < centres.size(); ++i) {
        const double d = std::hypot(centres[i].x - p.x, centres[i].z - p.z);
        if (d < best)
            best = d, rhoNear = rho[i];
    }
    return rhoNear;
}

QByteArray modelXyz(const InversionResult& r, double y)
{
    QByteArray out = modelHeader(r, "x_m y_m elevation_m depth_m rho_ohmm", ' ');
    const std::vector<double> heights = electrodeHeights(r.mesh);
    for (int p = 0; p < r.mesh.parameterCount(); ++p) {
        const Point c = r.mesh.cellCentre(r.mesh.cellOfParameter[std::size_t(p)]);
        appendModelRow(out, {c.x, y, c.z, surfaceAt(r.mesh.electrodeX, heights, c.x) - c.z}, r, p, ' ');
    }
    return out;
}

double defaultGridSpacing(const InversionResult& r)
{
    std::vector<double> x = r.mesh.electrodeX;
    std::sort(x.begin(), x.end());
    double closest = x.size() > 1 ? x.back() - x.front() : 1;
    for (std::size_t i = 1; i < x.size(); ++i)
        closest = std::min(closest, x[i] - x[i - 1]);
    return closest > 0 ? closest / 2 : 1;
}

QByteArray modelGridCsv(const InversionResult& r, double spacing, const std::atomic<bool>* cancel)
{
    const Mesh& mesh = r.mesh;
    QByteArray out = modelHeader(r, "x_m,z_m,depth_m,rho_ohmm", ',');
    if (mesh.parameterCount() == 0 || !(spacing > 0))
        return out;
    double left = 1e300, right = -1e300, top = -1e300, bottom = 1e300;
    for (const int c : mesh.cellOfParameter)
        for (const Point& corner : mesh.cellCorners(c)) {
            left = std::min(left, corner.x);
            right = std::max(right, corner.x);
            top = std::max(top, corner.z);
            bottom = std::min(bottom, corner.z);
        }
    // Points on whole multiples of the spacing from the line's first
    // electrode and its highest point, so that grids of one line match.
    const double wide = std::floor((right - left) / spacing + 1e-9), deep = std::floor((top - bottom) / spacing + 1e-9);
    if ((wide + 1) * (deep + 1) > double(kMostGridPoints)) {
        const double least = std::sqrt((right - left) * (top - bottom) / double(kMostGridPoints)) * 1.01;
        char text[200];
        std::snprintf(text, sizeof text,
                      "a grid every %g m would hold %.0f points (about %.0f MB): a grid spacing of %.2g m at least fits",
                      spacing, (wide + 1) * (deep + 1), (wide + 1) * (deep + 1) * 60 / 1e6, least);
        throw InversionRefused(text);
    }
    const long columns = std::lround(wide);
    const long rows = std::lround(deep);
    const std::vector<double> heights = electrodeHeights(mesh);
    for (long i = 0; i <= columns; ++i) {
        if (cancel && *cancel)
            throw InversionStopped();
        const double x = left + double(i) * spacing;
        const double surface = surfaceAt(mesh.electrodeX, heights, x);
        for (long j = 0; j <= rows; ++j) {
            const double z = top - double(j) * spacing;
            if (z > surface + 1e-9)
                continue;  // above the ground
            const int cell = mesh.cellAt({x, z});
            const int p = cell >= 0 ? mesh.parameterOfCell[std::size_t(cell)] : -1;
            if (p < 0)
                continue;
            appendModelRow(out, {x, z, surface - z}, r, p, ',');
        }
    }
    return out;
}

QString resultBaseName(const QString& target)
{
    QString base = target;
    for (const char* ending : {".csv", ".vtu", ".xyz"})
        if (base.endsWith(QLatin1String(ending), Qt::CaseInsensitive))
            base.chop(4);
    return base;
}

QList<std::pair<QString, QByteArray>> resultFiles(const InversionResult& result, const QString& target, double gridSpacing,
                                                  double y, const std::atomic<bool>* cancel)
{
    const QString base = resultBaseName(target);
    return {{base + QStringLiteral("-model.csv"), modelCsv(result)},
            {base + QStringLiteral("-response.csv"), responseCsv(result)},
            {base + QStringLiteral(".vtu"), modelVtu(result)},
            {base + QStringLiteral(".xyz"), modelXyz(result, y)},
            {base + QStringLiteral("-grid.csv"),
             modelGridCsv(result, gridSpacing > 0 ? gridSpacing : defaultGridSpacing(result), cancel)}};
}

QList<std::pair<QString, QByteArray>> timeLapseFiles(const TimeLapseResult& r, const QString& target, double gridSpacing,
                                                     const std::atomic<bool>* cancel)
{
    QList<std::pair<QString, QByteArray>> files = resultFiles(r.later, target, gridSpacing, 0, cancel);
    QByteArray cells = "x_m,z_m,rho_base_ohmm,rho_ohmm,change_pct" + kCrLf;
    for (int p = 0; p < r.later.mesh.parameterCount(); ++p) {
        const Point c = r.later.mesh.cellCentre(r.later.mesh.cellOfParameter[std::size_t(p)]);
        for (const double v : {c.x, c.z, r.base.resistivity[std::size_t(p)], r.later.resistivity[std::size_t(p)]}) {
            append(cells, v);
            cells += ',';
        }
        append(cells, r.change[std::size_t(p)]);
        cells += kCrLf;
    }
    QByteArray apparent = "a_m,b_m,m_m,n_m,rhoa_base_ohmm,rhoa_ohmm,change_pct" + kCrLf;
    for (std::size_t d = 0; d < r.base.data.size() && d < r.apparentChange.size(); ++d) {
        const Measurement& m = r.base.data[d];
        for (const double x : m.x) {
            append(apparent, x);
            apparent += ',';
        }
        append(apparent, m.rhoa);
        apparent += ',';
        append(apparent, m.rhoa * (1 + r.apparentChange[d] / 100));
        apparent += ',';
        append(apparent, r.apparentChange[d]);
        apparent += kCrLf;
    }
    const QString base = resultBaseName(target);
    files.append({base + QStringLiteral("-change.csv"), cells});
    files.append({base + QStringLiteral("-apparent-change.csv"), apparent});
    return files;
}

} // namespace zel::inv

namespace zel::inv {

namespace {

// The corners of a parameter cell of a volume as VTK orders a hexahedron:
// its bottom face round, then its top face round.
std::array<int, 8> hexahedronOf(const Volume& v, int p)
{
    std::array<int, 3> low{v.nx(), v.ny(), v.nz()}, high{0, 0, 0};
    for (const int c : v.cellsOfParameter[std::size_t(p)]) {
        const auto index = v.cellIndex(c);
        for (std::size_t a = 0; a < 3; ++a) {
            low[a] = std::min(low[a], index[a]);
            high[a] = std::max(high[a], index[a] + 1);
        }
    }
    const int top = low[2], bottom = high[2];
    return {v.node(low[0], low[1], bottom), v.node(high[0], low[1], bottom), v.node(high[0], high[1], bottom),
            v.node(low[0], high[1], bottom), v.node(low[0], low[1], top),    v.node(high[0], low[1], top),
            v.node(high[0], high[1], top),   v.node(low[0], high[1], top)};
}

QByteArray volumeHeader(const VolumeResult& r, const QByteArray& columns)
{
    return (r.misfits() ? "# " + QByteArray::fromStdString(r.verdict()) + kCrLf : QByteArray()) + columns + kCrLf;
}

QByteArray volumeModel(const VolumeResult& r, char separator)
{
    const Volume& v = r.volume;
    const bool doi = r.doi.size() == r.resistivity.size();
    QByteArray out = volumeHeader(r, QByteArray(doi ? "x_m,y_m,z_m,depth_m,rho_ohmm,coverage,doi" : "x_m,y_m,z_m,depth_m,rho_ohmm,coverage").replace(',', separator));
    for (int p = 0; p < v.parameterCount(); ++p) {
        const Point3 c = v.parameterCentre(p);
        for (const double value : {c.x, c.y, c.z, v.parameterDepth(p), r.resistivity[std::size_t(p)]}) {
            append(out, value);
            out += separator;
        }
        append(out, r.coverage[std::size_t(p)]);
        if (doi) {
            out += separator;
            append(out, r.doi[std::size_t(p)]);
        }
        out += kCrLf;
    }
    return out;
}

} // namespace

QList<std::pair<QString, QByteArray>> volumeFiles(const VolumeResult& r, const QString& target)
{
    const QString base = resultBaseName(target);
    QByteArray response = volumeHeader(r, "a_x_m,a_y_m,b_x_m,b_y_m,m_x_m,m_y_m,n_x_m,n_y_m,rhoa_ohmm,model_rhoa_ohmm,misfit_pct");
    for (std::size_t d = 0; d < r.data.size(); ++d) {
        const SurveyMeasurement& m = r.data[d];
        for (const Point3& p : m.at) {
            append(response, p.x);
            response += ',';
            append(response, p.y);
            response += ',';
        }
        append(response, m.rhoa);
        response += ',';
        append(response, r.response[d]);
        response += ',';
        append(response, (r.response[d] - m.rhoa) / m.rhoa * 100);
        response += kCrLf;
    }

    const Volume& v = r.volume;
    std::map<int, int> pointOf;
    std::vector<std::array<int, 8>> cells;
    for (int p = 0; p < v.parameterCount(); ++p) {
        std::array<int, 8> cell = hexahedronOf(v, p);
        for (int& corner : cell)
            corner = pointOf.try_emplace(corner, int(pointOf.size())).first->second;
        cells.push_back(cell);
    }
    std::vector<int> nodeOfPoint(pointOf.size());
    for (const auto& [node, point] : pointOf)
        nodeOfPoint[std::size_t(point)] = node;
    QByteArray vtu = "<?xml version=\"1.0\"?>\n";
    if (r.misfits())
        vtu += "<!-- " + QByteArray::fromStdString(r.verdict()) + " -->\n";
    vtu += kVtuHead + "<Piece NumberOfPoints=\"" + QByteArray::number(qsizetype(nodeOfPoint.size())) + "\" NumberOfCells=\""
        + QByteArray::number(qsizetype(cells.size())) + "\">\n";
    vtu += "<Points>\n<DataArray type=\"Float64\" NumberOfComponents=\"3\" format=\"ascii\">\n";
    for (const int node : nodeOfPoint) {
        const Point3& p = v.nodes[std::size_t(node)];
        for (const double c : {p.x, p.y}) {
            append(vtu, c);
            vtu += ' ';
        }
        append(vtu, p.z);
        vtu += '\n';
    }
    appendVtuCells(vtu, cells, 12, r, r.doi);  // VTK_HEXAHEDRON
    vtu += kVtuTail;
    return {{base + QStringLiteral(".vtu"), vtu},
            {base + QStringLiteral("-model.csv"), volumeModel(r, ',')},
            {base + QStringLiteral("-response.csv"), response},
            {base + QStringLiteral(".xyz"), volumeModel(r, ' ')}};
}

} // namespace zel::inv
