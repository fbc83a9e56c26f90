// The audio thread's rules: processReplacing neither touches the heap nor
// calls the host, and the host may write parameters from another thread
// while audio runs.
#include <atomic>
#include <random>
#include <thread>
#include <vector>

#include "tests/conformance/conformance_host.h"
#include "tests/conformance/heap_probe.h"

namespace conformance {
namespace {

using RealtimeTest = ConformanceTest;

// The probe must see the module's own heap use, or its silence during
// processing proves nothing.
TEST_F(RealtimeTest, HeapProbeSeesTheModuleAllocate) {
    const VstPluginMainProc entry = module().entry("VSTPluginMain");
    ASSERT_NE(entry, nullptr);
    AEffect* e = nullptr;
    {
        heap::Watch watch;
        e = entry(hostCallback);
    }
    ASSERT_NE(e, nullptr);
    EXPECT_GT(heap::count(), 0) << "creating an instance went unseen by " << heap::mechanism();
    heap::reset();
    {
        heap::Watch watch;
        e->dispatcher(e, effClose, 0, 0, nullptr, 0.0f);
    }
    EXPECT_GT(heap::count(), 0) << "closing an instance went unseen by " << heap::mechanism();
    heap::reset();
}

TEST_F(RealtimeTest, ProcessingNeitherUsesTheHeapNorCallsTheHost) {
    Plugin plugin;
    ASSERT_NE(plugin.record(), nullptr);
    std::mt19937 random(seed());
    std::uniform_int_distribution<VstInt32> size(0, Plugin::kMaxBlock);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    std::vector<float> signal = makeSignal(Plugin::kMaxBlock, seed());
    StereoBuffer out(signal.size());
    float* inputs[2] = {signal.data(), signal.data()};
    const long callsBefore = hostLog().calls.load();
    for (int block = 0; block < 64; ++block) {
        // Automation between blocks, as from the audio thread.
        {
            heap::Watch watch;
            for (VstInt32 p = 0; p < 3; ++p) {
                plugin.setParameter(p, unit(random));
                plugin.getParameter(p);
            }
        }
        plugin.process(inputs, block % 2 ? inputs : out.channels(), size(random));
    }
    EXPECT_EQ(heap::count(), 0) << "heap used in processReplacing or a parameter access, seed " << seed();
    EXPECT_EQ(hostLog().callsDuringAudio.load(), 0);
    EXPECT_EQ(hostLog().calls.load(), callsBefore) << "the host was called from the audio path";
}

TEST_F(RealtimeTest, ParameterWritesFromAnotherThreadWhileAudioRuns) {
    Plugin plugin;
    ASSERT_NE(plugin.record(), nullptr);
    std::atomic<bool> audioDone{false};
    std::atomic<long> writes{0};
    std::thread host([&] {
        std::mt19937 random(seed());
        std::uniform_real_distribution<float> unit(0.0f, 1.0f);
        while (!audioDone.load()) {
            for (VstInt32 p = 0; p < 3; ++p) plugin.setParameter(p, unit(random));
            plugin.getParameter(static_cast<VstInt32>(writes.load() % 3));
            writes.fetch_add(1);
        }
    });
    while (writes.load() == 0) std::this_thread::yield();
    std::mt19937 random(seed() + 1);
    std::uniform_int_distribution<VstInt32> size(1, 1024);
    std::vector<float> signal = makeSignal(1024, seed());
    StereoBuffer out(signal.size());
    float* inputs[2] = {signal.data(), signal.data()};
    bool sane = true;
    for (int block = 0; block < 400 || writes.load() < 1000; ++block) {
        const VstInt32 n = size(random);
        plugin.process(inputs, out.channels(), n);
        // Output gain never exceeds 1 here, so neither may the output.
        sane = sane && finiteWithin(out.channel(0), static_cast<std::size_t>(n), 1.0f);
        if (block > 100000) break;
    }
    audioDone.store(true);
    host.join();
    EXPECT_TRUE(sane) << "seed " << seed();
    EXPECT_GE(writes.load(), 1000);
}

}  // namespace
}  // namespace conformance
