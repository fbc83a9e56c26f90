// Many instances at once, on one thread and on several, and instances
// created and closed over and over.
#include <cstring>
#include <deque>
#include <memory>
#include <thread>
#include <vector>

#include "tests/conformance/conformance_host.h"

namespace conformance {
namespace {

struct Settings {
    float inputGain, rateSetting, outputGain;
};

Settings settingsFor(std::size_t i) {
    // Different tick rates, gains from quiet to hot.
    return {0.25f + 0.125f * static_cast<float>(i % 7), static_cast<float>(i % 32) / 31.0f,
            1.0f - 0.0625f * static_cast<float>(i % 9)};
}

void apply(Plugin& plugin, const Settings& s) {
    plugin.setParameter(0, s.inputGain);
    plugin.setParameter(1, s.rateSetting);
    plugin.setParameter(2, s.outputGain);
}

// Output of one instance fed `signal` alone, in blocks of `block`.
std::vector<float> processAlone(const Settings& s, const std::vector<float>& signal, std::size_t block) {
    Plugin plugin;
    apply(plugin, s);
    std::vector<float> result(signal.size());
    StereoBuffer out(block);
    for (std::size_t at = 0; at < signal.size(); at += block) {
        const std::size_t n = std::min(block, signal.size() - at);
        std::vector<float> input(signal.begin() + static_cast<std::ptrdiff_t>(at),
                                 signal.begin() + static_cast<std::ptrdiff_t>(at + n));
        float* inputs[2] = {input.data(), input.data()};
        plugin.process(inputs, out.channels(), static_cast<VstInt32>(n));
        std::memcpy(result.data() + at, out.channel(0), n * sizeof(float));
    }
    return result;
}

using InstancesTest = ConformanceTest;

TEST_F(InstancesTest, InterleavedInstancesKeepIndependentState) {
    constexpr std::size_t kInstances = 32;
    constexpr std::size_t kFrames = 8192;
    constexpr std::size_t kBlock = 256;
    std::vector<std::unique_ptr<Plugin>> plugins;
    std::vector<std::vector<float>> signals, outputs;
    for (std::size_t i = 0; i < kInstances; ++i) {
        plugins.push_back(std::make_unique<Plugin>());
        ASSERT_NE(plugins.back()->record(), nullptr);
        apply(*plugins.back(), settingsFor(i));
        signals.push_back(makeSignal(kFrames, seed() + static_cast<std::uint32_t>(i)));
        outputs.emplace_back(kFrames);
    }
    for (std::size_t i = 0; i < kInstances; ++i) {
        SCOPED_TRACE(::testing::Message() << "instance " << i);
        EXPECT_EQ(plugins[i]->getParameter(0), settingsFor(i).inputGain);
        EXPECT_EQ(plugins[i]->getParameter(1), settingsFor(i).rateSetting);
        EXPECT_EQ(plugins[i]->getParameter(2), settingsFor(i).outputGain);
    }
    // Block by block, every instance in turn.
    StereoBuffer out(kBlock);
    for (std::size_t at = 0; at < kFrames; at += kBlock) {
        for (std::size_t i = 0; i < kInstances; ++i) {
            std::vector<float> input(signals[i].begin() + static_cast<std::ptrdiff_t>(at),
                                     signals[i].begin() + static_cast<std::ptrdiff_t>(at + kBlock));
            float* inputs[2] = {input.data(), input.data()};
            plugins[i]->process(inputs, out.channels(), kBlock);
            std::memcpy(outputs[i].data() + at, out.channel(0), kBlock * sizeof(float));
        }
    }
    for (std::size_t i = 0; i < kInstances; ++i) {
        SCOPED_TRACE(::testing::Message() << "instance " << i << ", seed " << seed());
        EXPECT_EQ(outputs[i], processAlone(settingsFor(i), signals[i], kBlock));
    }
}

TEST_F(InstancesTest, InstancesOnSeparateThreadsMatchASingleThread) {
    constexpr std::size_t kThreads = 4;
    constexpr std::size_t kFrames = 16384;
    std::vector<std::vector<float>> signals, expected, actual(kThreads);
    for (std::size_t t = 0; t < kThreads; ++t) {
        signals.push_back(makeSignal(kFrames, seed() + 100 + static_cast<std::uint32_t>(t)));
        expected.push_back(processAlone(settingsFor(t), signals[t], 512));
    }
    std::vector<std::unique_ptr<Plugin>> plugins;
    for (std::size_t t = 0; t < kThreads; ++t) {
        plugins.push_back(std::make_unique<Plugin>());
        ASSERT_NE(plugins.back()->record(), nullptr);
        apply(*plugins.back(), settingsFor(t));
        actual[t].resize(kFrames);
    }
    std::vector<std::thread> threads;
    for (std::size_t t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            AEffect* e = plugins[t]->record();
            std::vector<float> input(512), left(512), right(512);
            for (std::size_t at = 0; at < kFrames; at += 512) {
                std::copy_n(signals[t].begin() + static_cast<std::ptrdiff_t>(at), 512, input.begin());
                float* inputs[2] = {input.data(), input.data()};
                float* outputs[2] = {left.data(), right.data()};
                e->processReplacing(e, inputs, outputs, 512);
                std::copy(left.begin(), left.end(), actual[t].begin() + static_cast<std::ptrdiff_t>(at));
            }
        });
    }
    for (auto& thread : threads) thread.join();
    for (std::size_t t = 0; t < kThreads; ++t) {
        SCOPED_TRACE(::testing::Message() << "thread " << t << ", seed " << seed());
        EXPECT_EQ(actual[t], expected[t]);
    }
}

TEST_F(InstancesTest, CreateAndCloseInALoop) {
    constexpr int kRounds = 400;
    std::vector<float> input = makeSignal(64, seed());
    StereoBuffer out(input.size());
    float* inputs[2] = {input.data(), input.data()};
    for (int round = 0; round < kRounds; ++round) {
        // Created and closed straight away, never switched on.
        const VstPluginMainProc entry = module().entry(round % 2 ? "main" : "VSTPluginMain");
        ASSERT_NE(entry, nullptr);
        AEffect* bare = entry(hostCallback);
        ASSERT_NE(bare, nullptr);
        ASSERT_EQ(bare->dispatcher(bare, effClose, 0, 0, nullptr, 0.0f), 1);
        // The full life: opened, switched on, one block, switched off, closed.
        Plugin plugin;
        ASSERT_NE(plugin.record(), nullptr);
        plugin.process(inputs, out.channels(), static_cast<VstInt32>(input.size()));
        ASSERT_TRUE(finiteWithin(out.channel(0), out.frames(), 1.0f));
    }
    // A rolling window of live instances, the oldest closed first.
    std::deque<std::unique_ptr<Plugin>> window;
    for (int round = 0; round < kRounds; ++round) {
        window.push_back(std::make_unique<Plugin>());
        ASSERT_NE(window.back()->record(), nullptr);
        window.back()->process(inputs, out.channels(), static_cast<VstInt32>(input.size()));
        if (window.size() > 8) window.pop_front();
    }
}

}  // namespace
}  // namespace conformance
