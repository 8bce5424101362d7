#pragma once

#include <QString>

namespace zel {

// Roman numeral of a non-negative integer in subtractive notation (2007 -> MMVII).
// 0 gives an empty text; digits beyond the thousands add nothing.
QString IntToRoman(int number);

} // namespace zel
