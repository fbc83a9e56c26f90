#include "bench/ratio_table.h"

#include <algorithm>
#include <cstdio>

namespace vexobit::bench {

void RatioTable::describe(const std::string& name, RowInfo info) {
    order.push_back(name);
    rows[name] = std::move(info);
}

void RatioTable::ReportRuns(const std::vector<Run>& runs) {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
        if (run.run_type != Run::RT_Iteration || run.error_occurred || run.iterations == 0) continue;
        const double seconds = run.cpu_accumulated_time / static_cast<double>(run.iterations);
        const std::string name = run.run_name.str();
        const auto found = fastestSeconds.find(name);
        if (found == fastestSeconds.end()) fastestSeconds[name] = seconds;
        else found->second = std::min(found->second, seconds);
    }
}

void RatioTable::print(std::ostream& out) const {
    auto nsPerFrame = [&](const std::string& name) -> double {
        const auto t = fastestSeconds.find(name);
        if (t == fastestSeconds.end()) return -1.0;
        return t->second * 1e9 / rows.at(name).frames;
    };
    char line[256];
    std::snprintf(line, sizeof line, "\n%-48s %10s %12s %12s %12s\n", "benchmark (fastest repetition, CPU time)",
                  "ns/frame", "Mframes/s", "x real time", "x baseline");
    out << line;
    for (const std::string& name : order) {
        const double ns = nsPerFrame(name);
        if (ns <= 0.0) continue;  // filtered out
        const RowInfo& info = rows.at(name);
        const double base = info.baseline.empty() ? -1.0 : nsPerFrame(info.baseline);
        char ratio[32] = "";
        if (base > 0.0) std::snprintf(ratio, sizeof ratio, "%.2f", ns / base);
        std::snprintf(line, sizeof line, "%-48s %10.3f %12.1f %12.0f %12s\n", name.c_str(), ns, 1e3 / ns,
                      1e9 / (ns * info.sampleRate), ratio);
        out << line;
    }
}

}  // namespace vexobit::bench
