// processReplacing under what hosts really send: any block size, in place,
// non-finite and huge samples, parameters outside 0..1.
#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

#include "tests/conformance/conformance_host.h"

namespace conformance {
namespace {

// Every size up to 512, the powers of two up to 8192 and their neighbours,
// and random sizes up to 8192, shuffled.
std::vector<VstInt32> blockSizes(std::mt19937& random) {
    std::vector<VstInt32> sizes;
    for (VstInt32 n = 0; n <= 512; ++n) sizes.push_back(n);
    for (VstInt32 n = 1024; n <= Plugin::kMaxBlock; n *= 2) {
        sizes.insert(sizes.end(), {n - 1, n, std::min(n + 1, Plugin::kMaxBlock)});
    }
    std::uniform_int_distribution<VstInt32> any(0, Plugin::kMaxBlock);
    for (int i = 0; i < 48; ++i) sizes.push_back(any(random));
    std::shuffle(sizes.begin(), sizes.end(), random);
    return sizes;
}

using ProcessingTest = ConformanceTest;

// With the parameters held still, how the host cuts the audio into blocks
// must not change a single output bit, in place or not.
TEST_F(ProcessingTest, AnyBlockSizesInAnyOrderGiveTheSameBitsInPlaceOrNot) {
    std::mt19937 random(seed());
    const std::vector<VstInt32> sizes = blockSizes(random);
    std::size_t total = 0;
    for (VstInt32 n : sizes) total += static_cast<std::size_t>(n);
    const std::vector<float> signal = makeSignal(total, seed());

    Plugin reference, separate, inPlace;
    ASSERT_NE(reference.record(), nullptr);
    ASSERT_NE(separate.record(), nullptr);
    ASSERT_NE(inPlace.record(), nullptr);
    std::vector<float> expected(total);
    {
        constexpr std::size_t kBlock = 512;
        StereoBuffer out(kBlock);
        std::vector<float> input(kBlock);
        for (std::size_t at = 0; at < total; at += kBlock) {
            const std::size_t n = std::min(kBlock, total - at);
            std::copy_n(signal.begin() + static_cast<std::ptrdiff_t>(at), n, input.begin());
            float* inputs[2] = {input.data(), input.data()};
            reference.process(inputs, out.channels(), static_cast<VstInt32>(n));
            std::copy_n(out.channel(0), n, expected.begin() + static_cast<std::ptrdiff_t>(at));
        }
    }

    std::size_t at = 0;
    for (VstInt32 n : sizes) {
        SCOPED_TRACE(::testing::Message() << "block of " << n << " at frame " << at << ", seed " << seed());
        const auto frames = static_cast<std::size_t>(n);
        const auto from = signal.begin() + static_cast<std::ptrdiff_t>(at);

        // Separate buffers; the second input is different and must not matter.
        StereoBuffer in(frames), out(frames);
        std::copy_n(from, frames, in.channel(0));
        std::fill_n(in.channel(1), frames, 0.75f);
        separate.process(in.channels(), out.channels(), n);
        ASSERT_TRUE(out.guardsIntact()) << "wrote past the block";
        ASSERT_TRUE(std::equal(from, from + n, in.channel(0))) << "changed its input";
        ASSERT_TRUE(std::equal(expected.begin() + static_cast<std::ptrdiff_t>(at),
                               expected.begin() + static_cast<std::ptrdiff_t>(at + frames), out.channel(0)));
        ASSERT_TRUE(std::equal(out.channel(0), out.channel(0) + n, out.channel(1)));

        // In place: the host's buffers are both input and output.
        StereoBuffer io(frames);
        std::copy_n(from, frames, io.channel(0));
        std::copy_n(from, frames, io.channel(1));
        inPlace.process(io.channels(), io.channels(), n);
        ASSERT_TRUE(io.guardsIntact()) << "wrote past the block";
        ASSERT_TRUE(std::equal(out.channel(0), out.channel(0) + n, io.channel(0)));
        ASSERT_TRUE(std::equal(out.channel(0), out.channel(0) + n, io.channel(1)));
        at += frames;
    }
}

TEST_F(ProcessingTest, NegativeFrameCountWritesNothing) {
    Plugin plugin;
    ASSERT_NE(plugin.record(), nullptr);
    StereoBuffer in(0), out(0);
    for (VstInt32 n : {-1, -8192, INT32_MIN}) {
        plugin.process(in.channels(), out.channels(), n);
        EXPECT_TRUE(out.guardsIntact()) << n << " frames";
    }
}

struct BadSample {
    const char* name;
    float value;
};

const BadSample kBadSamples[] = {
    {"NaN", std::numeric_limits<float>::quiet_NaN()},
    {"+inf", std::numeric_limits<float>::infinity()},
    {"-inf", -std::numeric_limits<float>::infinity()},
    {"+1e30", 1e30f},
    {"-1e30", -1e30f},
    {"FLT_MAX", FLT_MAX},
    {"denormal", 1e-40f},
    {"-denormal", -1e-40f},
};

// Frames after the input is clean again by which the output must be sane:
// several ticks even at the slowest tick rate.
constexpr std::size_t kRecovery = 1024;

TEST_F(ProcessingTest, OutputRecoversAfterNonFiniteAndHugeInput) {
    const float rateSettings[] = {0.0f, 0.99f};
    const float outputGains[] = {1.0f, 0.5f};
    for (const BadSample& bad : kBadSamples) {
        for (float rate : rateSettings) {
            for (float gain : outputGains) {
                SCOPED_TRACE(::testing::Message() << bad.name << ", rate setting " << rate << ", output gain " << gain);
                Plugin plugin;
                ASSERT_NE(plugin.record(), nullptr);
                plugin.setParameter(1, rate);
                plugin.setParameter(2, gain);
                std::vector<float> clean = makeSignal(4096, seed());
                StereoBuffer out(clean.size());
                float* cleanInputs[2] = {clean.data(), clean.data()};
                plugin.process(cleanInputs, out.channels(), 1024);
                // A whole block of the bad value, then one bad sample amid clean ones.
                std::vector<float> dirty(512, bad.value);
                float* dirtyInputs[2] = {dirty.data(), dirty.data()};
                plugin.process(dirtyInputs, out.channels(), 512);
                std::vector<float> spiked = makeSignal(512, seed() + 1);
                spiked[200] = bad.value;
                float* spikedInputs[2] = {spiked.data(), spiked.data()};
                plugin.process(spikedInputs, out.channels(), 512);

                plugin.process(cleanInputs, out.channels(), static_cast<VstInt32>(clean.size()));
                EXPECT_TRUE(finiteWithin(out.channel(0) + kRecovery, clean.size() - kRecovery, gain));
                EXPECT_TRUE(finiteWithin(out.channel(1) + kRecovery, clean.size() - kRecovery, gain));
            }
        }
    }
}

const float kOddValues[] = {-1.0f,
                            -1e30f,
                            2.0f,
                            1.0001f,
                            1e30f,
                            std::numeric_limits<float>::infinity(),
                            -std::numeric_limits<float>::infinity(),
                            std::numeric_limits<float>::quiet_NaN(),
                            -0.0f,
                            1e-40f};

bool sameValue(float a, float b) { return (std::isnan(a) && std::isnan(b)) || std::memcmp(&a, &b, sizeof a) == 0; }

TEST_F(ProcessingTest, ParametersOutsideTheRangeAreKeptAndDoNoHarm) {
    const float defaults[3] = {1.0f, 0.99f, 1.0f};
    for (VstInt32 index = 0; index < 3; ++index) {
        for (float value : kOddValues) {
            SCOPED_TRACE(::testing::Message() << "parameter " << index << " = " << value);
            Plugin plugin;
            ASSERT_NE(plugin.record(), nullptr);
            plugin.setParameter(index, value);
            EXPECT_TRUE(sameValue(plugin.getParameter(index), value)) << "read back " << plugin.getParameter(index);
            for (VstInt32 other = 0; other < 3; ++other) {
                if (other == index) continue;
                EXPECT_EQ(plugin.getParameter(other), defaults[other]);
            }
            std::vector<float> signal = makeSignal(4096, seed());
            StereoBuffer out(signal.size());
            float* inputs[2] = {signal.data(), signal.data()};
            plugin.process(inputs, out.channels(), 2048);
            EXPECT_TRUE(out.guardsIntact());
            // Back to a sane value: the output recovers.
            plugin.setParameter(index, defaults[index]);
            plugin.process(inputs, out.channels(), static_cast<VstInt32>(signal.size()));
            EXPECT_TRUE(finiteWithin(out.channel(0) + kRecovery, signal.size() - kRecovery, 1.0f));
        }
    }
}

TEST_F(ProcessingTest, ParameterIndicesOutsideTheEffectAreIgnored) {
    Plugin plugin;
    ASSERT_NE(plugin.record(), nullptr);
    for (VstInt32 index : {-1, 3, 4, 1000, INT32_MIN, INT32_MAX}) {
        SCOPED_TRACE(::testing::Message() << "index " << index);
        plugin.setParameter(index, 0.5f);
        EXPECT_EQ(plugin.getParameter(index), 0.0f);
    }
    EXPECT_EQ(plugin.getParameter(0), 1.0f);
    EXPECT_EQ(plugin.getParameter(1), 0.99f);
    EXPECT_EQ(plugin.getParameter(2), 1.0f);
}

}  // namespace
}  // namespace conformance
