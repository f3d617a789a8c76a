#pragma once

// Prints Google Benchmark's usual table and keeps each benchmark's CPU time
// (the median when runs are repeated), so that a benchmark program can print
// its figures as ratios of two benchmarks of the same run. CPU time, because
// these run on one thread and wall time on a shared machine mostly measures
// the other processes.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

class RatioReporter : public benchmark::ConsoleReporter {
public:
    // Plain text: bench/run reads these lines back.
    RatioReporter() : ConsoleReporter(OO_Tabular) {}

    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.error_occurred) continue;
            const std::string name = run.run_name.str();
            if (run.run_type == Run::RT_Aggregate) {
                if (run.aggregate_name == "median") median_[name] = run.GetAdjustedCPUTime();
            } else {
                single_[name] = run.GetAdjustedCPUTime();
            }
        }
    }

    // CPU time of a benchmark (by its full name, arguments included); 0 when
    // it did not run.
    double TimeOf(const std::string& name) const {
        if (const auto it = median_.find(name); it != median_.end()) return it->second;
        if (const auto it = single_.find(name); it != single_.end()) return it->second;
        return 0;
    }

    // One line "NAME RATIO" for bench/run; nothing when either side is
    // missing, so a filtered run prints no made-up figure.
    bool PrintRatio(const char* figure, const std::string& candidate, const std::string& reference) const {
        const double c = TimeOf(candidate);
        const double r = TimeOf(reference);
        if (c <= 0 || r <= 0) return false;
        std::printf("%s %.3f\n", figure, c / r);
        return true;
    }

private:
    std::map<std::string, double> median_;
    std::map<std::string, double> single_;
};
