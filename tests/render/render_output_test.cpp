// What vexobit-render writes: the same samples as a host driving the module
// by hand, per channel, in the input's format, whatever the batch size.
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/render/render_harness.h"

namespace render_test {
namespace {

class RenderOutput : public testing::Test {
protected:
    TempFolder folder;
    DirectModule vexobit{VEXOBIT_MODULE_PATH};
};

TEST_F(RenderOutput, MatchesDrivingTheModuleDirectlyBitForBit) {
    struct Case {
        const char* name;
        int sampleRate;
        int blockSize;  // 0: the default, 512
        std::vector<std::string> options;
        std::vector<std::pair<int, float>> parameters;
    };
    const Case cases[] = {
        {"defaults", 48000, 0, {}, {}},
        {"odd block size", 44100, 300, {"--block-size", "300"}, {}},
        {"one frame per block", 22050, 1, {"--block-size=1"}, {}},
        {"slowest rate and gains", 48000, 512, {"-p", "1=0", "-p", "0=0.25", "-p", "2=1"}, {{1, 0.0f}, {0, 0.25f}, {2, 1.0f}}},
    };
    const std::vector<float> signal = testSignal(5000, 1);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const fs::path input = folder / "in.wav";
        const fs::path output = folder / "in-vexobit.wav";
        fs::remove(output);
        writeSound(input, signal, 1, c.sampleRate);
        std::vector<std::string> args = c.options;
        args.push_back("in.wav");
        const ToolRun run = runTool(args, folder.path());
        ASSERT_EQ(run.exitCode, 0) << run.err;
        const Sound result = readSound(output);
        EXPECT_EQ(result.info.samplerate, c.sampleRate);
        EXPECT_EQ(result.info.channels, 1);
        EXPECT_EQ(result.info.format, SF_FORMAT_WAV | SF_FORMAT_FLOAT);
        const std::vector<float> expected =
            vexobit.render(signal, static_cast<float>(c.sampleRate), c.blockSize ? c.blockSize : 512, c.parameters);
        EXPECT_TRUE(sameBits(result.samples, expected));
    }
}

TEST_F(RenderOutput, EachChannelGoesThroughItsOwnInstance) {
    const std::vector<float> left = testSignal(4000, 2);
    const std::vector<float> right = testSignal(4000, 3);
    const std::vector<float> third(4000, 0.0f);
    writeSound(folder / "three.wav", interleave({left, right, third}), 3, 48000);
    const ToolRun run = runTool({"-p", "1=0.3", "three.wav"}, folder.path());
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const Sound result = readSound(folder / "three-vexobit.wav");
    ASSERT_EQ(result.info.channels, 3);
    // A shared instance would carry one channel's state into the other.
    EXPECT_TRUE(sameBits(result.channel(0), vexobit.render(left, 48000.0f, 512, {{1, 0.3f}})));
    EXPECT_TRUE(sameBits(result.channel(1), vexobit.render(right, 48000.0f, 512, {{1, 0.3f}})));
    EXPECT_TRUE(sameBits(result.channel(2), vexobit.render(third, 48000.0f, 512, {{1, 0.3f}})));
}

TEST_F(RenderOutput, KeepsTheInputFormatUnlessTheOutputNameSaysOtherwise) {
    struct Case {
        const char* input;
        int format;
        const char* output;  // nullptr: beside the input
        const char* expectedName;
        int expectedFormat;
    };
    const Case cases[] = {
        {"pcm16.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, nullptr, "pcm16-vexobit.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16},
        {"song.aiff", SF_FORMAT_AIFF | SF_FORMAT_PCM_24, nullptr, "song-vexobit.aiff", SF_FORMAT_AIFF | SF_FORMAT_PCM_24},
        {"loop.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_16, nullptr, "loop-vexobit.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_16},
        {"take.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_24, "take.wav", "take.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_24},
        {"float.wav", SF_FORMAT_WAV | SF_FORMAT_FLOAT, "float.flac", "float.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_24},
        {"noext", SF_FORMAT_WAV | SF_FORMAT_PCM_16, nullptr, "noext-vexobit", SF_FORMAT_WAV | SF_FORMAT_PCM_16},
    };
    const std::vector<float> signal = testSignal(3000, 4);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.input);
        writeSound(folder / c.input, interleave({signal, signal}), 2, 32000, c.format);
        std::vector<std::string> args = {c.input};
        if (c.output) args.insert(args.end(), {"-o", c.output});
        const ToolRun run = runTool(args, folder.path());
        ASSERT_EQ(run.exitCode, 0) << run.err;
        const Sound result = readSound(folder / c.expectedName);
        EXPECT_EQ(result.info.format, c.expectedFormat);
        EXPECT_EQ(result.info.channels, 2);
        EXPECT_EQ(result.info.samplerate, 32000);
        EXPECT_EQ(result.info.frames, 3000);
    }
}

TEST_F(RenderOutput, ParallelBatchIntoAnOutDirEqualsOneFileAtATime) {
    fs::create_directory(folder / "in");
    fs::create_directory(folder / "batch");
    fs::create_directory(folder / "single");
    std::vector<std::string> batch = {"-j", "2", "--out-dir", "batch", "-p", "1=0.6"};
    for (unsigned i = 0; i < 5; ++i) {
        const std::string name = "in/take" + std::to_string(i) + ".wav";
        writeSound(folder / name, testSignal(3000 + 977 * i, 10 + i), 1 + i % 2, 44100);
        batch.push_back(name);
        const ToolRun one = runTool({"-p", "1=0.6", "--out-dir", "single", name}, folder.path());
        ASSERT_EQ(one.exitCode, 0) << one.err;
    }
    const ToolRun run = runTool(batch, folder.path());
    ASSERT_EQ(run.exitCode, 0) << run.err;
    ASSERT_EQ(listing(folder / "batch"), listing(folder / "single"));
    for (const auto& name : listing(folder / "single")) {
        SCOPED_TRACE(name);
        EXPECT_EQ(readText(folder / "batch" / name), readText(folder / "single" / name));
    }
    EXPECT_EQ(listing(folder / "in").size(), 5u) << "nothing written beside the inputs";
}

TEST_F(RenderOutput, SummarisesOnOneLineUnlessQuiet) {
    writeSound(folder / "a.wav", testSignal(48000, 5), 1, 48000);
    writeSound(folder / "b.wav", testSignal(24000, 6), 1, 48000);
    const ToolRun one = runTool({"a.wav"}, folder.path());
    ASSERT_EQ(one.exitCode, 0);
    EXPECT_EQ(one.err, "");
    EXPECT_EQ(one.out.rfind("Wrote a-vexobit.wav: 1.0 s of audio in ", 0), 0u) << one.out;
    EXPECT_NE(one.out.find("x real time"), std::string::npos) << one.out;
    EXPECT_EQ(std::count(one.out.begin(), one.out.end(), '\n'), 1);

    const ToolRun two = runTool({"--force", "a.wav", "b.wav"}, folder.path());
    ASSERT_EQ(two.exitCode, 0);
    EXPECT_EQ(two.out.rfind("Rendered 2 files: 1.5 s of audio in ", 0), 0u) << two.out;

    const ToolRun quiet = runTool({"--force", "-q", "a.wav", "b.wav"}, folder.path());
    ASSERT_EQ(quiet.exitCode, 0);
    EXPECT_EQ(quiet.out + quiet.err, "");
}

}  // namespace
}  // namespace render_test
