#pragma once

#include <algorithm>
#include <vector>

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
