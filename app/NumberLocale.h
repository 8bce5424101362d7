#pragma once

// Every window writes and reads numbers as the program's language does (a
// decimal comma in Russian, a point in English), whatever the system's
// locale: each takes it when first shown and again at each change of
// language. Installed once for the application; later calls do nothing.
void followProgramLanguage();
