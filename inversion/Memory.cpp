#include "Memory.h"

#include <algorithm>
#include <limits>

#if defined(_WIN32)
#include <windows.h>
#else
#include <sys/resource.h>
#include <thread>
#include <unistd.h>

#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <utility>
#endif

namespace zel::inv {

#if defined(_WIN32)

std::size_t availableMemory()
{
    MEMORYSTATUSEX status{};
    status.dwLength = sizeof status;
    if (!GlobalMemoryStatusEx(&status))
        return std::numeric_limits<std::size_t>::max();
    const unsigned long long free = std::min(status.ullAvailPhys, status.ullAvailVirtual);
    return std::size_t(std::min<unsigned long long>(free, std::numeric_limits<std::size_t>::max()));
}

#else

namespace {

// MemAvailable of /proc/meminfo (the free memory the kernel can hand out
// without swapping), bytes; the largest size_t where there is none.
std::size_t systemAvailable()
{
    std::ifstream meminfo("/proc/meminfo");
    std::string line;
    while (std::getline(meminfo, line))
        if (line.rfind("MemAvailable:", 0) == 0) {
            std::istringstream fields(line.substr(13));
            unsigned long long kib = 0;
            if (fields >> kib)
                return std::size_t(kib) * 1024;
        }
    return std::numeric_limits<std::size_t>::max();
}

// A number alone in a file of the kernel's; none for "max", a missing file
// or other text.
std::optional<unsigned long long> numberIn(const char* path)
{
    std::ifstream file(path);
    unsigned long long value = 0;
    if (file >> value)
        return value;
    return std::nullopt;
}

// What a container's memory limit (a control group, v2 or v1) leaves beyond
// what the group uses now: a container is killed, not refused, past it.
std::size_t groupLeft()
{
    for (const auto& [limitFile, usageFile] : {std::pair{"/sys/fs/cgroup/memory.max", "/sys/fs/cgroup/memory.current"},
                                               std::pair{"/sys/fs/cgroup/memory/memory.limit_in_bytes",
                                                         "/sys/fs/cgroup/memory/memory.usage_in_bytes"}}) {
        const std::optional<unsigned long long> limit = numberIn(limitFile);
        const std::optional<unsigned long long> usage = numberIn(usageFile);
        if (limit && usage && *limit < (1ULL << 60))
            return *usage >= *limit ? 0 : std::size_t(*limit - *usage);
    }
    return std::numeric_limits<std::size_t>::max();
}

// What an address-space limit leaves this process beyond what it maps now.
std::size_t addressSpaceLeft()
{
    rlimit limit{};
    if (getrlimit(RLIMIT_AS, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY)
        return std::numeric_limits<std::size_t>::max();
    std::ifstream statm("/proc/self/statm");
    unsigned long long pages = 0;
    if (!(statm >> pages))
        return std::size_t(limit.rlim_cur);
    // The dense kernels of the factorisations map a buffer of 128 MB on
    // each thread that calls them, of which they touch a few: address space
    // only, but without it they wait for it for ever.
    const unsigned long long kernels = (128ULL << 20) * std::max(1U, std::thread::hardware_concurrency());
    const unsigned long long mapped = pages * static_cast<unsigned long long>(sysconf(_SC_PAGESIZE)) + kernels;
    return mapped >= limit.rlim_cur ? 0 : std::size_t(limit.rlim_cur - mapped);
}

} // namespace

std::size_t availableMemory()
{
    return std::min({systemAvailable(), groupLeft(), addressSpaceLeft()});
}

#endif

} // namespace zel::inv
