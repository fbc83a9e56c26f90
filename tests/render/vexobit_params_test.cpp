// Vexobit's own parameter names and texts, as the program shows and takes them.
#include <gtest/gtest.h>

#include "tests/render/render_harness.h"

namespace render_test {
namespace {

TEST(VexobitParams, ListsTheNamesValuesAndDisplaysOfTheModule) {
    const TempFolder folder;
    const ToolRun run = runTool({"--list-params"}, folder.path());
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out,
              "Index  Name         Value     Display             Label\n"
              "    0  Input gain   1.000000  0.00                dB\n"
              "    1  Sample rate  0.990000  NTSC $F - 33143.90  Hz\n"
              "    2  Output gain  1.000000  0.00                dB\n");
    // Values given with -p are shown as the plug-in then reports them.
    const ToolRun set = runTool({"-p", "sample rate=0", "-p", "Output gain=0.5", "--list-params"}, folder.path());
    ASSERT_EQ(set.exitCode, 0) << set.err;
    EXPECT_NE(set.out.find("    1  Sample rate  0.000000  PAL $0 - 4177.40  Hz\n"), std::string::npos) << set.out;
    EXPECT_NE(set.out.find("    2  Output gain  0.500000  -6.0              dB\n"), std::string::npos) << set.out;
}

TEST(VexobitParams, ANameAndItsIndexSetTheSameParameter) {
    const TempFolder folder;
    const std::vector<float> signal = testSignal(6000, 11);
    writeSound(folder / "in.wav", signal, 1, 44100);
    DirectModule vexobit(VEXOBIT_MODULE_PATH);
    const std::vector<float> slowest = vexobit.render(signal, 44100.0f, 512, {{1, 0.0f}});
    ASSERT_FALSE(sameBits(slowest, vexobit.render(signal, 44100.0f, 512))) << "the setting must matter";
    for (const char* assignment : {"Sample rate=0", "SAMPLE RATE=0", "1=0"}) {
        SCOPED_TRACE(assignment);
        const ToolRun run = runTool({"--force", "-p", assignment, "in.wav"}, folder.path());
        ASSERT_EQ(run.exitCode, 0) << run.err;
        EXPECT_TRUE(sameBits(readSound(folder / "in-vexobit.wav").samples, slowest));
    }
}

TEST(VexobitParams, TheDemoSaysWhichTickRateEachFileHas) {
    const TempFolder folder;
    const ToolRun run = runTool({}, folder.path());
    ASSERT_EQ(run.exitCode, 0) << run.err;
    for (const char* line : {"Wrote ./vexobit-demo-pal-4177hz.wav: Sample rate = PAL $0 - 4177.40 Hz\n",
                             "Wrote ./vexobit-demo-pal-11234hz.wav: Sample rate = PAL $9 - 11233.80 Hz\n",
                             "Wrote ./vexobit-demo-ntsc-33144hz.wav: Sample rate = NTSC $F - 33143.90 Hz\n"})
        EXPECT_NE(run.out.find(line), std::string::npos) << run.out;
}

}  // namespace
}  // namespace render_test
