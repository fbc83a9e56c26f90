// processReplacing in ns per frame, for the core signal path and for the
// effect as a host calls it, against the tick-phase recurrence alone: the
// serial part of the work no rearrangement can remove.
//
//   build/bench/bench/vexobit_bench [--benchmark_filter=REGEX] [other Google Benchmark flags]
//
// After the usual report, a table lists each benchmark's fastest repetition
// per frame, as a multiple of real time, and as a multiple of the baseline
// with the same tick period and block size.
#include <benchmark/benchmark.h>

#include <cstring>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "bench/bench_inputs.h"
#include "bench/ratio_table.h"
#include "effect/delta_modulator.h"
#include "effect/rate_table.h"
#include "effect/vexobit.h"

namespace vexobit::bench {
namespace {

struct Setting {
    const char* name;
    float rateSetting;
};
// The default (NTSC 33143.9 Hz), the slowest (PAL 4177.4 Hz) and the fastest (PAL 33252.1 Hz) tick rate.
constexpr Setting kSettings[] = {{"default", 0.99f}, {"slowest", 0.0f}, {"fastest", 0.5f}};
constexpr float kSampleRates[] = {44100.0f, 96000.0f};
constexpr int kBlocks[] = {64, 512, 4096};
constexpr Input kInputs[] = {Input::kMusic, Input::kSilence, Input::kDenormal};

struct Config {
    Setting setting;
    float sampleRate;
    int frames;
    bool inPlace;
    Input input;
};

void setCounters(benchmark::State& state, int frames, float sampleRate) {
    using benchmark::Counter;
    const double perIteration = frames;
    state.counters["frames/s"] = Counter(perIteration, Counter::kIsIterationInvariantRate);
    state.counters["ns/frame"] = Counter(perIteration * 1e-9, Counter::kIsIterationInvariantRate | Counter::kInvert);
    state.counters["x_realtime"] = Counter(perIteration / sampleRate, Counter::kIsIterationInvariantRate);
}

// Steps through the long input a block at a time, wrapping before the end.
class InputCursor {
public:
    InputCursor(Input input, int frames) : signal(inputSignal(input)), frames(static_cast<std::size_t>(frames)) {}
    const float* next() {
        const float* block = signal.data() + offset;
        offset += frames;
        if (offset + frames > signal.size()) offset = 0;
        return block;
    }

private:
    const std::vector<float>& signal;
    std::size_t frames;
    std::size_t offset = 0;
};

// The block to process: the fresh input itself, or a copy of it in the
// output buffer for in-place runs (the copy is part of the measured time).
const float* stage(const float* fresh, float* inPlaceBuffer, bool inPlace, int frames) {
    if (!inPlace) return fresh;
    std::memcpy(inPlaceBuffer, fresh, sizeof(float) * static_cast<std::size_t>(frames));
    return inPlaceBuffer;
}

void runCore(benchmark::State& state, Config c) {
    DeltaModulator modulator;
    modulator.setParameter(DeltaModulator::kRateSetting, c.setting.rateSetting);
    InputCursor cursor(c.input, c.frames);
    std::vector<float> out0(static_cast<std::size_t>(c.frames)), out1(out0.size());
    for (auto _ : state) {
        const float* in = stage(cursor.next(), out0.data(), c.inPlace, c.frames);
        modulator.process(in, out0.data(), out1.data(), c.frames, c.sampleRate);
        benchmark::ClobberMemory();
    }
    setCounters(state, c.frames, c.sampleRate);
}

// Through the plug-in record, as a host calls it.
void runEffect(benchmark::State& state, Config c) {
    Vexobit effect(nullptr);
    effect.setSampleRate(c.sampleRate);
    effect.setParameter(DeltaModulator::kRateSetting, c.setting.rateSetting);
    AEffect* record = effect.getAeffect();
    InputCursor cursor(c.input, c.frames);
    std::vector<float> out0(static_cast<std::size_t>(c.frames)), out1(out0.size());
    for (auto _ : state) {
        float* in = const_cast<float*>(stage(cursor.next(), out0.data(), c.inPlace, c.frames));
        float* inputs[2] = {in, in};
        float* outputs[2] = {out0.data(), out1.data()};
        record->processReplacing(record, inputs, outputs, c.frames);
        benchmark::ClobberMemory();
    }
    setCounters(state, c.frames, c.sampleRate);
}

// Per frame: phase += 1; when it reaches the period, subtract the period.
// The phase carries over between blocks and is published once per block, so
// the loop cannot be folded away; float arithmetic as in the signal path.
void runBaseline(benchmark::State& state, float sampleRate, float rateSetting, int frames) {
    float period = static_cast<float>(sampleRate / rateTable[static_cast<std::size_t>(selectRateEntry(rateSetting))]);
    benchmark::DoNotOptimize(period);
    float phase = 0.0f;
    for (auto _ : state) {
        for (int i = 0; i < frames; ++i) {
            phase += 1.0f;
            if (phase >= period) phase -= period;
        }
        benchmark::DoNotOptimize(phase);
    }
    setCounters(state, frames, sampleRate);
}

std::string baselineName(const Setting& s, float sampleRate, int frames) {
    return "baseline/" + std::string(s.name) + "/" + std::to_string(static_cast<int>(sampleRate)) + "/" +
           std::to_string(frames);
}

void registerAll(RatioTable& table) {
    for (const Setting& s : kSettings) {
        for (const float rate : kSampleRates) {
            for (const int frames : kBlocks) {
                const std::string base = baselineName(s, rate, frames);
                benchmark::RegisterBenchmark(base.c_str(), runBaseline, rate, s.rateSetting, frames);
                table.describe(base, {frames, rate, ""});
                for (const char* path : {"core", "effect"}) {
                    for (const bool inPlace : {false, true}) {
                        for (const Input input : kInputs) {
                            const std::string name = std::string(path) + "/" + s.name + "/" +
                                                     std::to_string(static_cast<int>(rate)) + "/" +
                                                     std::to_string(frames) + (inPlace ? "/inplace/" : "/separate/") +
                                                     inputName(input);
                            const Config c{s, rate, frames, inPlace, input};
                            if (std::string_view(path) == "core") benchmark::RegisterBenchmark(name.c_str(), runCore, c);
                            else benchmark::RegisterBenchmark(name.c_str(), runEffect, c);
                            table.describe(name, {frames, rate, base});
                        }
                    }
                }
            }
        }
    }
}

bool hasFlag(int argc, char** argv, std::string_view flag) {
    for (int i = 1; i < argc; ++i) {
        if (std::string_view(argv[i]).substr(0, flag.size()) == flag) return true;
    }
    return false;
}

}  // namespace
}  // namespace vexobit::bench

int main(int argc, char** argv) {
    using namespace vexobit::bench;
    RatioTable table;
    registerAll(table);

    // Short measurements repeated a few times: the fastest repetition is the
    // one least disturbed by whatever else the machine is running.
    std::vector<char*> args(argv, argv + argc);
    char minTime[] = "--benchmark_min_time=0.05";
    char repetitions[] = "--benchmark_repetitions=3";
    if (!hasFlag(argc, argv, "--benchmark_min_time")) args.push_back(minTime);
    if (!hasFlag(argc, argv, "--benchmark_repetitions")) args.push_back(repetitions);
    int count = static_cast<int>(args.size());
    args.push_back(nullptr);

    benchmark::Initialize(&count, args.data());
    if (benchmark::ReportUnrecognizedArguments(count, args.data())) return 1;
    benchmark::RunSpecifiedBenchmarks(&table);
    table.print(std::cout);
    benchmark::Shutdown();
    return 0;
}
