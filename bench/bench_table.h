#pragma once
// What every benchmark program shares: the median of repeated runs, and the
// rows of the one table tools/run-benchmarks prints at the end (a measure,
// our figure and the yardstick's figure in one unit). The rows go to the
// file KALVO_BENCH_TABLE names; without it the program only shows its own
// figures.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

namespace kalvo::bench {

// Repetitions of each benchmark (Repetitions(kRepetitions)); its figure is
// their median, which one disturbed run cannot move.
inline constexpr int kRepetitions = 10;

inline void TableRow(const std::string& measure, double ours, double yardstick, const char* unit) {
    const char* path = std::getenv("KALVO_BENCH_TABLE");
    if (!path || !*path || !(ours > 0) || !(yardstick > 0)) return;
    if (FILE* f = std::fopen(path, "a")) {
        std::fprintf(f, "%s\t%.6g\t%.6g\t%s\n", measure.c_str(), ours, yardstick, unit);
        std::fclose(f);
    }
}

// Shows the median of every benchmark's repetitions and keeps it (CPU time
// per iteration, in seconds) for the table.
class MedianReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        std::vector<Run> shown;
        for (const Run& r : runs) {
            if (r.run_type != Run::RT_Aggregate || r.aggregate_name != "median") continue;
            const std::string& args = r.run_name.args;
            const std::string name = r.run_name.function_name + (args.empty() ? "" : "/" + args);
            seconds_[name] = r.GetAdjustedCPUTime() / benchmark::GetTimeUnitMultiplier(r.time_unit);
            realSeconds_[name] = r.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(r.time_unit);
            for (const auto& [counter, value] : r.counters) counters_[name][counter] = value.value;
            shown.push_back(r);
        }
        if (!shown.empty()) ConsoleReporter::ReportRuns(shown);
    }

    // The median CPU time of one iteration of the named benchmark (its name,
    // then "/" and its arguments if it has any), 0 when it did not run.
    double Seconds(const std::string& name) const {
        auto it = seconds_.find(name);
        return it == seconds_.end() ? 0 : it->second;
    }

    // The same in wall time: what the user waits.
    double RealSeconds(const std::string& name) const {
        auto it = realSeconds_.find(name);
        return it == realSeconds_.end() ? 0 : it->second;
    }

    // A counter of the median run of the named benchmark, 0 when it has none.
    double Counter(const std::string& name, const std::string& counter) const {
        auto it = counters_.find(name);
        if (it == counters_.end()) return 0;
        auto c = it->second.find(counter);
        return c == it->second.end() ? 0 : c->second;
    }

private:
    std::map<std::string, double> seconds_, realSeconds_;
    std::map<std::string, std::map<std::string, double>> counters_;
};

}  // namespace kalvo::bench
