// CPU time of the calling thread, in seconds: what the benches time work
// with, so that other processes on a shared machine weigh on it less.
#ifndef BENCH_CLOCK_H
#define BENCH_CLOCK_H

#include <ctime>

inline double thread_cpu_seconds() {
    timespec t;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + 1e-9 * double(t.tv_nsec);
}

#endif
