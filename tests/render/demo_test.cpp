// With no INPUT the program renders its demo phrase at three tick rates.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>

#include "tests/render/render_harness.h"

namespace render_test {
namespace {

const std::vector<std::string> kDemoFiles = {"vexobit-demo-dry.wav", "vexobit-demo-ntsc-33144hz.wav",
                                             "vexobit-demo-pal-11234hz.wav", "vexobit-demo-pal-4177hz.wav"};

double rms(const std::vector<float>& samples) {
    double sum = 0.0;
    for (const float x : samples) sum += static_cast<double>(x) * x;
    return std::sqrt(sum / static_cast<double>(samples.size()));
}

TEST(Demo, WritesTheDryPhraseAndThreeRenders) {
    const TempFolder folder;
    const ToolRun run = runTool({}, folder.path());
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(listing(folder.path()), kDemoFiles);
    for (const auto& name : kDemoFiles) EXPECT_NE(run.out.find("Wrote ./" + name), std::string::npos) << run.out;

    const Sound dry = readSound(folder / "vexobit-demo-dry.wav");
    EXPECT_EQ(dry.info.samplerate, 44100);
    EXPECT_EQ(dry.info.channels, 1);
    EXPECT_GT(dry.info.frames, 44100);
    EXPECT_GT(rms(dry.samples), 0.05);
    // Each render is the dry phrase through the module at its tick rate.
    DirectModule vexobit(VEXOBIT_MODULE_PATH);
    const std::pair<const char*, float> renders[] = {{"vexobit-demo-pal-4177hz.wav", 0.0f},
                                                     {"vexobit-demo-pal-11234hz.wav", 0.3f},
                                                     {"vexobit-demo-ntsc-33144hz.wav", 0.99f}};
    std::vector<std::vector<float>> results;
    for (const auto& [name, tickRate] : renders) {
        SCOPED_TRACE(name);
        const Sound result = readSound(folder / name);
        EXPECT_EQ(result.info.format, dry.info.format);
        EXPECT_EQ(result.info.frames, dry.info.frames);
        // The file holds 16-bit samples: compare at that resolution.
        const std::vector<float> expected = vexobit.render(dry.samples, 44100.0f, 512, {{1, tickRate}});
        ASSERT_EQ(result.samples.size(), expected.size());
        for (std::size_t i = 0; i < expected.size(); ++i)
            ASSERT_NEAR(result.samples[i], std::clamp(expected[i], -1.0f, 1.0f), 1.0f / 32768) << "frame " << i;
        EXPECT_GT(rms(result.samples), 0.02);
        results.push_back(result.samples);
    }
    EXPECT_NE(results[0], results[1]);
    EXPECT_NE(results[1], results[2]);
}

TEST(Demo, ReplacesItsFilesOnlyWithForceAndThenAllOfThem) {
    const TempFolder folder;
    fs::create_directory(folder / "out");
    std::ofstream(folder / "out" / "vexobit-demo-pal-11234hz.wav") << "keep me\n";
    const ToolRun refused = runTool({"--out-dir", "out"}, folder.path());
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_EQ(std::count(refused.err.begin(), refused.err.end(), '\n'), 1) << refused.err;
    EXPECT_NE(refused.err.find("vexobit-demo-pal-11234hz.wav already exists; give --force"), std::string::npos)
        << refused.err;
    EXPECT_EQ(listing(folder / "out"), std::vector<std::string>{"vexobit-demo-pal-11234hz.wav"});
    EXPECT_EQ(readText(folder / "out" / "vexobit-demo-pal-11234hz.wav"), "keep me\n");

    const ToolRun forced = runTool({"--out-dir", "out", "--force", "-q"}, folder.path());
    EXPECT_EQ(forced.exitCode, 0) << forced.err;
    EXPECT_EQ(forced.out, "");
    EXPECT_EQ(listing(folder / "out"), kDemoFiles);
    EXPECT_EQ(readSound(folder / "out" / "vexobit-demo-pal-11234hz.wav").info.channels, 1);
    EXPECT_TRUE(listing(folder.path()) == std::vector<std::string>{"out"});
}

}  // namespace
}  // namespace render_test
