// Input signals the benchmarks feed: generated once, long enough that
// successive blocks do not repeat within a measurement.
#pragma once

#include <vector>

namespace vexobit::bench {

enum class Input { kMusic, kSilence, kDenormal };

const char* inputName(Input input);

// 65536 samples of the given kind, the same on every run.
const std::vector<float>& inputSignal(Input input);

}  // namespace vexobit::bench
