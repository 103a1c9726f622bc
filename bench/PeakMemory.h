#pragma once

#include <benchmark/benchmark.h>

// The memory a measured piece of work takes at its peak. The kernel's high-water mark of resident
// memory is reset when the measurement starts, so what the set-up took before does not count.
class PeakMemory {
public:
    PeakMemory();
    // Adds "peak_MiB" (the process's resident peak) and "work_peak_MiB" (what the work added to
    // the resident memory at its peak) to the benchmark's counters.
    void report(benchmark::State& state) const;

private:
    double _residentAtStart = 0;
};
