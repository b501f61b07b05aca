#pragma once
// Pins the calling thread (and what it starts afterwards) to one CPU. Benchmarks of two parties
// that hand work back and forth give each its own CPU: left to the scheduler, a ping-pong pulls
// both onto one, and what is then measured is the scheduler's placement.

#include <sched.h>
#include <unistd.h>

inline bool RunOn(int cpu) {
    cpu_set_t set;
    CPU_ZERO(&set);
    CPU_SET(cpu, &set);
    return sched_setaffinity(0, sizeof set, &set) == 0;
}

// Lets the calling thread (and what it starts afterwards) run on any CPU again.
inline bool RunAnywhere() {
    cpu_set_t set;
    CPU_ZERO(&set);
    for (long cpu = 0, n = sysconf(_SC_NPROCESSORS_ONLN); cpu < n && cpu < CPU_SETSIZE; ++cpu) CPU_SET(cpu, &set);
    return sched_setaffinity(0, sizeof set, &set) == 0;
}

inline bool CanPinApart() { return sysconf(_SC_NPROCESSORS_ONLN) >= 2; }
