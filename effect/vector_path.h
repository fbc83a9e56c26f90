// Which instruction set DeltaModulator::process() works with. It is chosen
// when the module loads, from what the processor offers; every path gives
// the same output bits. Tests switch between them to check each one.
#pragma once

namespace vexobit {

enum class VectorPath { kBaseline, kAvx2 };

VectorPath vectorPath() noexcept;
// Returns false, changing nothing, if this build or processor lacks the path.
// Not for use while process() runs.
bool selectVectorPath(VectorPath path) noexcept;

}  // namespace vexobit
