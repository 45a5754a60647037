// Runs the registered benchmarks with the usual console output and keeps each one's time, so
// that a benchmark program can print its ratios against the baseline measured in the same run.
#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

namespace kv::bench {

class TRatioReporter : public benchmark::ConsoleReporter {
public:
    explicit TRatioReporter(OutputOptions options = OO_Defaults) : ConsoleReporter(options) {}
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Iteration && !run.error_occurred)
                times_[run.run_name.function_name] = run.GetAdjustedRealTime();
        }
    }
    // The time of the named benchmark, 0 when it did not run.
    [[nodiscard]] double Time(const std::string& name) const {
        const auto it = times_.find(name);
        return it == times_.end() ? 0.0 : it->second;
    }

private:
    std::map<std::string, double> times_;
};

} // namespace kv::bench
