#include "Parallel.h"

#if defined(_WIN32)
#define NOMINMAX
#include <windows.h>
#endif

namespace zel::inv {

int threadPriority()
{
#if defined(_WIN32)
    return GetThreadPriority(GetCurrentThread());
#else
    return 0;  // a Linux thread's nice value passes to the threads it starts
#endif
}

void setThreadPriority(int priority)
{
#if defined(_WIN32)
    if (priority != THREAD_PRIORITY_ERROR_RETURN)
        SetThreadPriority(GetCurrentThread(), priority);
#else
    (void)priority;
#endif
}

} // namespace zel::inv
