#pragma once

#include "Ground.h"
#include "Inversion.h"
#include "TimeLapse.h"
#include "VolumeInversion.h"


#include <QByteArray>
#include <QList>
#include "data/Electrodes.h"

#include <QString>

#include <atomic>
#include <stdexcept>
#include <utility>
#include <vector>

namespace zel::inv {

using zel::kSamePosition;

// The unified data format (.ohm) as this program and pyGIMLi write it: the
// electrode count, their positions (x, x z or x y z), the data count and a
// token line naming the columns (a b m n and rhoa, or r with k, or r alone
// with k from the positions; err, u, i optional). Data with an electrode 0
// (a pole) are left out. Errors missing: `defaultErrorPercent`; every error
// at least `minErrorPercent`. Elevations of the electrodes come with them.
struct OhmData {
    std::vector<Measurement> data;
    std::vector<double> electrodeX;   // in the file's order
    std::vector<double> electrodeZ;
    int poles = 0;                    // data with an electrode 0, left out
};
OhmData parseOhm(const QByteArray& text, double defaultErrorPercent, double minErrorPercent);

// The files of a result: the model (one row a parameter cell:
// x_m,z_m,rho_ohmm,coverage, and doi when the index was computed), the response (a_m,b_m,m_m,n_m,rhoa_ohmm,
// model_rhoa_ohmm,misfit_pct), both CSV with CR LF, and the section as a VTK
// unstructured grid for ParaView; z is the height the electrodes were given.
// A model that does not explain the data says so in a first line "# …" of
// the model CSV and in a comment of the grid.
QByteArray modelCsv(const InversionResult& result);
QByteArray responseCsv(const InversionResult& result);
QByteArray modelVtu(const InversionResult& result);
// Sections of parallel lines in one VTK file, each a piece placed in 3D at
// its line's y (x along the lines, y across, z up).
QByteArray linesVtu(const std::vector<std::pair<const InversionResult*, double>>& lines);
// The three files of a result for a target name ("line3", or "line3.csv"):
// "<name>-model.csv", "<name>-response.csv" and "<name>.vtu"; the name
// without its ending for pictures beside them.
// A model CSV as modelCsv() writes it (or any CSV whose first three
// columns are x, z and ρ, with a header line), read back for a forward
// response: its cells' centres and resistivities. Throws FileRefused for a
// line that is not numbers, a ρ not above 0, no cell at all.
struct ModelCells {
    std::vector<Point> centres;
    std::vector<double> rho;
    // The resistivity of the cell whose centre is nearest to p.
    double at(const Point& p) const;
};
ModelCells parseModelCsv(const QByteArray& text);

// The model for contouring programs. XYZ: a row a parameter cell, its
// centre's x, the line's y, its elevation and depth below the surface, ρ,
// coverage and, when computed, the DOI index, separated by spaces after a
// header line. Grid: the section sampled every `spacing` metres along the
// line and down from its highest electrode, the points below the surface
// inside the parameter region only (x_m,z_m,depth_m,rho_ohmm,coverage and
// doi), CSV with CR LF; ρ is the value of the cell a point lies in.
QByteArray modelXyz(const InversionResult& result, double y = 0);
// The grid is refused (InversionRefused, with its size and the least
// spacing that fits) beyond kMostGridPoints points; `cancel` ends it
// (InversionStopped) between its columns.
constexpr long long kMostGridPoints = 4'000'000;
QByteArray modelGridCsv(const InversionResult& result, double spacing, const std::atomic<bool>* cancel = nullptr);
// The grid's spacing when none is asked: half the closest electrodes' distance.
double defaultGridSpacing(const InversionResult& result);

// The files of a result for a target name: the three above and
// "<name>.xyz" and "<name>-grid.csv" (`gridSpacing` 0: the default; the
// XYZ at the line's `y`).
QList<std::pair<QString, QByteArray>> resultFiles(const InversionResult& result, const QString& target,
                                                  double gridSpacing = 0, double y = 0,
                                                  const std::atomic<bool>* cancel = nullptr);
QString resultBaseName(const QString& target);

// The files of a survey's volume for a target name: "<name>.vtu" (its
// parameter cells as hexahedra following the ground, with resistivity,
// coverage and the DOI index when computed), "<name>-model.csv"
// (x_m,y_m,z_m,depth_m,rho_ohmm,coverage and doi, a row a parameter cell at
// its centre), "<name>-response.csv" (each datum's
// four electrodes in plan, its apparent resistivity, the model's and the
// misfit) and "<name>.xyz" (the model's rows separated by spaces).
QList<std::pair<QString, QByteArray>> volumeFiles(const VolumeResult& result, const QString& target);

// A time-lapse result's files: the later model's files as resultFiles()
// writes them, "<name>-change.csv" (x_m,z_m,rho_base_ohmm,rho_ohmm,
// change_pct a parameter cell) and "<name>-apparent-change.csv" (a_m,b_m,
// m_m,n_m,rhoa_base_ohmm,rhoa_ohmm,change_pct a common quadripole).
QList<std::pair<QString, QByteArray>> timeLapseFiles(const TimeLapseResult& result, const QString& target,
                                                     double gridSpacing = 0, const std::atomic<bool>* cancel = nullptr);

} // namespace zel::inv
