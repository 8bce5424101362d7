#pragma once

#include <QElapsedTimer>

#include <algorithm>

// The shortest of `runs` runs of f, in milliseconds.
template <class F>
double bestOf(int runs, F&& f)
{
    double best = 1e99;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        f();
        best = std::min(best, double(t.nsecsElapsed()) / 1e6);
    }
    return best;
}
