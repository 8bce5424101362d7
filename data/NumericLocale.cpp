#include "NumericLocale.h"

#include <clocale>

namespace zel {

void keepFullStopInNumbers() { std::setlocale(LC_NUMERIC, "C"); }

} // namespace zel
