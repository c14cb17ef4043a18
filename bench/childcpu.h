#pragma once

#include <benchmark/benchmark.h>
#include <sys/resource.h>

// The imports read their workbook in a child process, whose CPU time the benchmark's own
// clock leaves out. A run adds it as the counter reader_cpu_ms (per iteration).
class ChildCpu {
public:
    ChildCpu() : m_start(Seconds()) {}
    void Report(benchmark::State& state) const {
        state.counters["reader_cpu_ms"] =
            benchmark::Counter((Seconds() - m_start) * 1000, benchmark::Counter::kAvgIterations);
    }

private:
    // User and system time of the children waited for so far.
    static double Seconds() {
        rusage usage{};
        getrusage(RUSAGE_CHILDREN, &usage);
        return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
               double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    }
    double m_start;
};
