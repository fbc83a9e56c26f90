// How vexobit-render hosts a module, seen from a probe plug-in that logs
// every request and asks the host a few questions: the order of calls, the
// host's answers, parameters by name or index, and the texts it lists.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <sstream>

#include "tests/render/render_harness.h"

namespace render_test {
namespace {

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) out.push_back(line);
    return out;
}

class PluginHosting : public testing::Test {
protected:
    void SetUp() override { setenv("VEXOBIT_PROBE_LOG", log.c_str(), 1); }
    void TearDown() override { unsetenv("VEXOBIT_PROBE_LOG"); }

    // The log without the host's answers, which come with every effOpen.
    std::vector<std::string> requests() const {
        std::vector<std::string> out;
        for (const auto& line : lines(readText(log)))
            if (line.rfind("host ", 0) != 0) out.push_back(line);
        return out;
    }

    TempFolder folder;
    TempFolder logFolder;
    fs::path log = logFolder / "probe.log";
};

TEST_F(PluginHosting, OpensSetsUpProcessesBlockByBlockAndCloses) {
    writeSound(folder / "in.wav", testSignal(1000, 1), 1, 48000);
    const ToolRun run =
        runTool({"--plugin", PROBE_PLUGIN_PATH, "--block-size", "256", "-p", "gain=0.25", "in.wav"}, folder.path());
    ASSERT_EQ(run.exitCode, 0) << run.err;
    // First an instance to read the parameter names from, then one for the
    // file's single channel.
    const std::vector<std::string> probeInstance = {"open", "sample rate 44100", "block size 256",
                                                    "set parameter 0 0.250000"};
    const std::vector<std::string> fileInstance = {
        "open",          "sample rate 48000", "block size 256", "set parameter 0 0.250000",
        "mains 1",       "start process",     "process 256",    "process 256",
        "process 256",   "process 232",       "stop process",   "mains 0",
        "close"};
    std::vector<std::string> expected = probeInstance;
    expected.insert(expected.end(), fileInstance.begin(), fileInstance.end());
    expected.push_back("close");
    EXPECT_EQ(requests(), expected);
}

TEST_F(PluginHosting, AnswersTheHostQuestionsOfTheStandard) {
    writeSound(folder / "in.wav", testSignal(100, 1), 1, 96000);
    const ToolRun run = runTool({"--plugin", PROBE_PLUGIN_PATH, "--block-size", "64", "in.wav"}, folder.path());
    ASSERT_EQ(run.exitCode, 0) << run.err;
    std::vector<std::string> answers;
    for (const auto& line : lines(readText(log)))
        if (line.rfind("host ", 0) == 0) answers.push_back(line);
    // The rendering instance asks second; it learns the file's rate.
    const std::vector<std::string> expected = {
        "host version 2400",
        "host rate 96000",
        "host block 64",
        "host vendor 1 Vexobit project",
        "host product 1 vexobit-render",
        "host canDo startStopProcess 1",
        "host canDo sendVstTimeInfo -1",
        "host canDo noSuchCapability 0",
        "host other 0",
    };
    ASSERT_EQ(answers.size(), 2 * expected.size());
    EXPECT_EQ(std::vector<std::string>(answers.begin() + static_cast<std::ptrdiff_t>(expected.size()), answers.end()),
              expected);
}

TEST_F(PluginHosting, KeepsExtraInputsSilentAndTakesTheFirstOutput) {
    // The probe adds 1000 x its second input and overwrites that input after
    // every block; any of it in the result shows the host did not clear it.
    const std::vector<float> signal = testSignal(2000, 7);
    writeSound(folder / "in.wav", signal, 1, 48000);
    const ToolRun run = runTool({"--plugin", PROBE_PLUGIN_PATH, "--block-size", "100", "in.wav"}, folder.path());
    ASSERT_EQ(run.exitCode, 0) << run.err;
    // Default gain parameter 0.5: the probe passes its input through.
    EXPECT_TRUE(sameBits(readSound(folder / "in-vexobit.wav").samples, signal));
}

TEST_F(PluginHosting, FindsParametersByNameInAnyCaseOrByIndex) {
    const std::vector<float> signal = testSignal(1500, 8);
    writeSound(folder / "in.wav", signal, 1, 48000);
    std::vector<float> expected;
    for (const float x : signal) expected.push_back(x * 0.5f + 0.125f);
    const std::vector<std::vector<std::string>> spellings = {
        {"-p", "Gain=0.25", "-p", "Offset=0.125"},
        {"-p", "  gAIN = 0.25", "--param", "OFFSET=0.125"},
        {"-p", "0=0.25", "-p", "1=0.125"},
        {"-p", "gain=0.9", "-p", "0=0.25", "-p", "1=0.125"},  // the last one wins
    };
    for (const auto& spelling : spellings) {
        SCOPED_TRACE(testing::PrintToString(spelling));
        std::vector<std::string> args = {"--force", "--plugin", PROBE_PLUGIN_PATH};
        args.insert(args.end(), spelling.begin(), spelling.end());
        args.push_back("in.wav");
        const ToolRun run = runTool(args, folder.path());
        ASSERT_EQ(run.exitCode, 0) << run.err;
        EXPECT_TRUE(sameBits(readSound(folder / "in-vexobit.wav").samples, expected));
    }
}

TEST_F(PluginHosting, ListsTheTextsThePluginReports) {
    const ToolRun run = runTool({"--plugin", PROBE_PLUGIN_PATH, "-p", "offset=0.25", "--list-params"}, folder.path());
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out,
              "Index  Name    Value     Display  Label\n"
              "    0  Gain    0.500000  1.000    x\n"
              "    1  Offset  0.250000  0.500    V\n"
              "    2  Twin    0.000000  0.000    \n"
              "    3  TWIN    0.000000  0.000    \n");
}

TEST_F(PluginHosting, ShowsThePluginIdentity) {
    const ToolRun run = runTool({"--plugin", PROBE_PLUGIN_PATH, "--info"}, folder.path());
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const std::vector<std::string> expected = {
        "Name            Probe",
        "Vendor          Test bench",
        "Product         Probe effect",
        "Vendor version  7",
        "VST version     2400",
        "Unique ID       'prob' (0x70726F62)",
        "Version         3",
        "Inputs          2",
        "Outputs         3",
        "Parameters      4",
        "Programs        1",
        "Module          " PROBE_PLUGIN_PATH,
    };
    EXPECT_EQ(lines(run.out), expected);
}

TEST_F(PluginHosting, FallsBackToTheOlderEntryName) {
    const std::vector<float> signal = testSignal(500, 9);
    writeSound(folder / "in.wav", signal, 1, 48000);
    const ToolRun run = runTool({"--plugin", PROBE_LEGACY_PLUGIN_PATH, "in.wav"}, folder.path());
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_TRUE(sameBits(readSound(folder / "in-vexobit.wav").samples, signal));
}

TEST_F(PluginHosting, FindsTheModuleBuiltBesideIt) {
    const ToolRun run = runTool({"--info"}, folder.path());
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(lines(run.out).back(), "Module          " + fs::path(VEXOBIT_MODULE_PATH).lexically_normal().string());
    EXPECT_NE(run.out.find("Unique ID       'vxbt'"), std::string::npos) << run.out;
}

}  // namespace
}  // namespace render_test
