#pragma once

#include "data/Electrodes.h"

#include <QByteArray>
#include <QString>

#include <vector>

namespace zel {

enum class ArrayKind { Wenner, Schlumberger, DipoleDipole };

// What the electrode table generator is asked for.
struct SequenceOptions {
    ArrayKind array = ArrayKind::DipoleDipole;
    int electrodes = 32;  // on the line, numbered first ... first + electrodes - 1
    int first = 1;
    int aMin = 1;         // dipole length or spacing multiple
    int aMax = 1;
    int nMax = 6;         // level (not for Wenner)
    int channels = 1;     // 4: four consecutive dipoles per entry (dipole-dipole only)
    // After the entries, the reciprocal (M, N, A, B) of each entry (A, B, M,
    // N) whose A and B may be potential electrodes (0-127), in their order:
    // repeat measurements that give the data check its reciprocal errors.
    bool reciprocals = false;
};

// The entries of an array, in the order a, then n, then the first electrode
// ascending, each with all its electrodes on the line:
// Wenner A = i, M = i + a, N = i + 2a, B = i + 3a;
// Wenner-Schlumberger A = i, M = i + n·a, N = M + a, B = N + n·a;
// dipole-dipole A = i, B = i + a, M = B + n·a, N = M + a; with 4 channels one
// entry for n = 1, 5, 9, ... whose four dipoles (n ... n + 3) all lie on the line.
// Throws ZelError naming the limit and by how much: a value out of its range,
// four channels for an array that has one, no entry at all, more than 32,765
// entries, an electrode number outside A, B -255..255 or M, N 0..127.
std::vector<TableEntry> electrodeSequence(const SequenceOptions& options);

// The electrode table file: "A B M N" and CR LF per entry, as the station's
// Windows tools write it.
QByteArray electrodeTableText(const std::vector<TableEntry>& entries);

// "wenner", "schlumberger", "dipole-dipole", and back.
QString arrayName(ArrayKind array);
bool arrayOfName(const QString& name, ArrayKind& array);

} // namespace zel
