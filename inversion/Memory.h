#pragma once

#include <cstddef>

namespace zel::inv {

// The memory this process can still take, in bytes: the memory the system
// has free, and no more than a container's memory limit or an address-space
// limit leaves it (ulimit -v on Linux, a 32-bit process's on Windows).
std::size_t availableMemory();

} // namespace zel::inv
