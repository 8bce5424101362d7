#pragma once

namespace zel {

// On Unix the application object puts the C library's locale in the
// environment's: under ru_RU or de_DE printf() would write "0,7" where a
// file needs "0.7" (the workbook writer prints its numbers so). Called right
// after the application object is made, it puts the numeric category back
// to "C"; QLocale's formatting of what the user reads is unaffected.
void keepFullStopInNumbers();

} // namespace zel
