#pragma once

#include <QElapsedTimer>

#include <algorithm>
#include <functional>
#include <vector>

#include <sys/resource.h>
#include <time.h>

// CPU time of the calling thread or of the whole process: what a busy machine cannot inflate
// the way it does wall time, since time spent waiting for a core does not count.
inline long long cpuNs(clockid_t clock)
{
    timespec now{};
    clock_gettime(clock, &now);
    return now.tv_sec * 1000000000LL + now.tv_nsec;
}
inline long long threadCpuNs()
{
    return cpuNs(CLOCK_THREAD_CPUTIME_ID);
}
inline long long processCpuNs()
{
    return cpuNs(CLOCK_PROCESS_CPUTIME_ID);
}

// The middle of several timings; 0 for none.
inline double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

// Wall time of one piece of work.
inline double secondsOf(const std::function<void()>& work)
{
    QElapsedTimer timer;
    timer.start();
    work();
    return double(timer.nsecsElapsed()) / 1e9;
}

// The most memory this process has held so far.
inline long peakRssMb()
{
    struct rusage usage {
    };
    ::getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}
