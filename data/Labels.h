#pragma once

#include <QString>

namespace zel {

constexpr int kFreqLabelCount = 11;
constexpr int kCurrentLabelCount = 17;

// Frequency label of FreqIndex (4 characters, hertz), and current label of
// Current (5 characters). An index without a label gives a visible
// placeholder of the same width ("?" and the index), never text from outside
// the tables.
QString freqLabel(int index);
QString currentLabel(int index);

// The table's own label, or null for an index without one.
const char* freqLabelText(int index);
const char* currentLabelText(int index);

} // namespace zel
