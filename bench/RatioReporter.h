#pragma once
// Console output of Google Benchmark, then one line per benchmark that measured itself against
// a baseline in the same run: its counters "ratio" (measured / baseline) and "goal".

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            auto ratio = run.counters.find("ratio"), goal = run.counters.find("goal");
            if (run.error_occurred || ratio == run.counters.end() || goal == run.counters.end()) continue;
            lines_.push_back({run.benchmark_name(), ratio->second.value, goal->second.value});
        }
        ConsoleReporter::ReportRuns(runs);
    }

    void Finalize() override {
        ConsoleReporter::Finalize();
        for (const Line& l : lines_)
            std::printf("%-48s ratio %.3f  goal <= %.2f: %s\n", l.name.c_str(), l.ratio, l.goal,
                        l.ratio <= l.goal ? "met" : "NOT met");
    }

private:
    struct Line {
        std::string name;
        double ratio, goal;
    };
    std::vector<Line> lines_;
};
