// A console reporter that also gathers each benchmark's fastest repetition
// and, after the run, prints every benchmark per frame, as a multiple of
// real time, and against the tick-phase baseline of the same setting.
#pragma once

#include <map>
#include <ostream>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

namespace vexobit::bench {

struct RowInfo {
    int frames = 0;          // frames per iteration
    double sampleRate = 0;   // Hz, for the real-time multiple
    std::string baseline;    // name of the baseline to divide by; empty for a baseline
};

class RatioTable : public benchmark::ConsoleReporter {
public:
    // Called at registration, in the order rows are to be printed.
    void describe(const std::string& name, RowInfo info);

    void ReportRuns(const std::vector<Run>& runs) override;

    void print(std::ostream& out) const;

private:
    std::vector<std::string> order;
    std::map<std::string, RowInfo> rows;
    std::map<std::string, double> fastestSeconds;  // CPU seconds per iteration
};

}  // namespace vexobit::bench
