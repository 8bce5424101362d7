#pragma once

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

namespace zel::inv {

// The threads asked for, or with 0 (or less) every core.
inline int threadCount(int asked)
{
    return asked > 0 ? asked : std::max(1, int(std::thread::hardware_concurrency()));
}

// The calling thread's scheduling priority, and a thread given one: the
// threads of a computation run at their starter's priority (a window's
// worker below the window) on every system. On Linux a thread's nice value
// passes to the threads it starts by itself; on Windows each new thread
// starts at normal priority.
int threadPriority();
void setThreadPriority(int priority);

// Runs body(i) for i in [0, n) on up to `threads` threads, the caller's
// among them, each at the caller's priority. The first exception any of them throws (a body's, or the
// system's refusal of a thread) stops the others taking more work; every
// thread is joined, then it is thrown again in the caller. Nothing escapes
// a worker, so no exception ends the program.
template <typename Body>
void parallelFor(std::size_t n, int threads, Body body)
{
    std::atomic<std::size_t> next{0};
    std::atomic<bool> failed{false};
    std::exception_ptr first;
    std::mutex firstLock;
    auto keep = [&] {
        const std::lock_guard lock(firstLock);
        if (!first)
            first = std::current_exception();
        failed = true;
    };
    auto work = [&]() noexcept {
        try {
            for (std::size_t i = next++; i < n && !failed; i = next++)
                body(i);
        } catch (...) {
            keep();
        }
    };
    std::vector<std::thread> pool;
    try {
        const int wanted = std::min<long long>(threads, static_cast<long long>(n));
        pool.reserve(std::size_t(std::max(wanted - 1, 0)));
        const int priority = threadPriority();
        for (int t = 1; t < wanted; ++t)
            pool.emplace_back([&work, priority] {
                setThreadPriority(priority);
                work();
            });
    } catch (...) {
        keep();  // no more threads: those started stop at their next item
    }
    if (!failed)
        work();
    for (std::thread& t : pool)
        t.join();
    if (first)
        std::rethrow_exception(first);
}

} // namespace zel::inv
