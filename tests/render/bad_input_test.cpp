// Every way a command can go wrong: one line on stderr saying what to do, the
// documented exit code, and no output file, not even a temporary one.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

#include "tests/render/render_harness.h"

namespace render_test {
namespace {

constexpr int kFileFailed = 1;
constexpr int kUsage = 2;
constexpr int kPlugin = 3;

void expectOneErrorLine(const ToolRun& run, const std::string& mentions) {
    EXPECT_EQ(run.err.rfind("vexobit-render: ", 0), 0u) << run.err;
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
    EXPECT_NE(run.err.find(mentions), std::string::npos) << run.err;
}

class BadInput : public testing::Test {
protected:
    void SetUp() override {
        writeSound(folder / "in.wav", testSignal(2000, 1), 1, 44100);
        fs::create_directory(folder / "sub");
        writeSound(folder / "sub" / "in.wav", testSignal(2000, 2), 1, 44100);
        std::ofstream(folder / "notes.txt") << "not a sound\n";
        std::ofstream(folder / "fake.so") << "not a module\n";
    }
    TempFolder folder;
};

TEST_F(BadInput, RefusesWithTheDocumentedCodeAndWritesNothing) {
    struct Case {
        const char* name;
        std::vector<std::string> args;
        int exitCode;
        const char* mentions;  // part of the message
    };
    const Case cases[] = {
        {"missing input", {"gone.wav"}, kFileFailed, "gone.wav does not exist"},
        {"input is a folder", {"sub"}, kFileFailed, "sub is a folder"},
        {"input is not audio", {"notes.txt"}, kFileFailed, "notes.txt is not an audio file"},
        {"output folder missing", {"--out-dir", "nowhere", "in.wav"}, kUsage, "nowhere does not exist"},
        {"output folder is a file", {"--out-dir", "notes.txt", "in.wav"}, kUsage, "notes.txt is not a folder"},
        {"-o into a missing folder", {"in.wav", "-o", "nowhere/out.wav"}, kUsage, "nowhere does not exist"},
        {"-o names a folder", {"in.wav", "-o", "sub"}, kUsage, "sub is a folder"},
        {"-o is the input", {"in.wav", "-o", "in.wav"}, kUsage, "is the input"},
        {"-o is the input, forced", {"--force", "in.wav", "-o", "./sub/../in.wav"}, kUsage, "is the input"},
        {"-o is the input through a link", {"--force", "in.wav", "-o", "link.wav"}, kUsage, "is the input"},
        {"-o with two inputs", {"in.wav", "sub/in.wav", "-o", "x.wav"}, kUsage, "exactly one INPUT"},
        {"-o and --out-dir", {"in.wav", "-o", "x.wav", "--out-dir", "sub"}, kUsage, "only one of them"},
        {"two inputs, one output", {"in.wav", "sub/in.wav", "--out-dir", "."}, kUsage, "would both write"},
        {"the same input twice", {"in.wav", "./in.wav"}, kUsage, "would both write"},
        {"plug-in missing", {"--plugin", "nothing.so", "in.wav"}, kPlugin, "nothing.so does not exist"},
        {"plug-in not loadable", {"--plugin", "fake.so", "in.wav"}, kPlugin, "not a loadable module"},
        {"plug-in is a folder", {"--plugin", "sub", "in.wav"}, kPlugin, "is a folder"},
        {"plug-in without entry", {"--plugin", NO_ENTRY_PLUGIN_PATH, "in.wav"}, kPlugin, "no VSTPluginMain or main"},
        {"plug-in entry answers null", {"--plugin", NULL_PLUGIN_PATH, "in.wav"}, kPlugin, "answered no effect"},
        {"unknown parameter name", {"-p", "Wobble=0.5", "in.wav"}, kUsage, "no parameter of that name"},
        {"parameter index out of range", {"-p", "3=0.5", "in.wav"}, kUsage, "no parameter has that index"},
        {"negative parameter index", {"-p", "-1=0.5", "in.wav"}, kUsage, "no parameter has that index"},
        {"ambiguous parameter name", {"--plugin", PROBE_PLUGIN_PATH, "-p", "twin=0.5", "in.wav"}, kUsage,
         "several parameters of that name"},
        {"value above 1", {"-p", "1=1.5", "in.wav"}, kUsage, "outside 0..1"},
        {"value below 0", {"-p", "1=-0.1", "in.wav"}, kUsage, "outside 0..1"},
        {"value not a number", {"-p", "1=loud", "in.wav"}, kUsage, "not a number"},
        {"value not finite", {"-p", "1=nan", "in.wav"}, kUsage, "not a number"},
        {"no value", {"-p", "1", "in.wav"}, kUsage, "NAME=VALUE"},
        {"block size 0", {"--block-size", "0", "in.wav"}, kUsage, "out of range"},
        {"negative block size", {"--block-size", "-64", "in.wav"}, kUsage, "out of range"},
        {"absurd block size", {"--block-size", "65537", "in.wav"}, kUsage, "out of range"},
        {"huge block size", {"--block-size", "99999999999999999999", "in.wav"}, kUsage, "out of range"},
        {"block size not a number", {"--block-size", "big", "in.wav"}, kUsage, "not a whole number"},
        {"no jobs", {"-j", "0", "in.wav"}, kUsage, "out of range"},
        {"unknown option", {"--loud", "in.wav"}, kUsage, "--loud"},
        {"option without its value", {"in.wav", "--block-size"}, kUsage, "--block-size"},
        {"query with inputs", {"--list-params", "in.wav"}, kUsage, "--list-params"},
    };
    fs::create_hard_link(folder / "in.wav", folder / "link.wav");
    const std::vector<std::string> before = listing(folder.path());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const ToolRun run = runTool(c.args, folder.path());
        EXPECT_EQ(run.exitCode, c.exitCode);
        EXPECT_EQ(run.out, "");
        expectOneErrorLine(run, c.mentions);
        EXPECT_EQ(listing(folder.path()), before);
        EXPECT_EQ(listing(folder / "sub"), std::vector<std::string>{"in.wav"});
    }
}

TEST_F(BadInput, NeverReplacesAnOutputWithoutForce) {
    std::ofstream(folder / "in-vexobit.wav") << "keep me\n";
    const ToolRun run = runTool({"-q", "in.wav"}, folder.path());
    EXPECT_EQ(run.exitCode, kFileFailed);
    expectOneErrorLine(run, "in-vexobit.wav already exists; give --force");
    EXPECT_EQ(readText(folder / "in-vexobit.wav"), "keep me\n");

    const ToolRun forced = runTool({"-q", "--force", "in.wav"}, folder.path());
    EXPECT_EQ(forced.exitCode, 0) << forced.err;
    EXPECT_EQ(readSound(folder / "in-vexobit.wav").info.frames, 2000);
    EXPECT_EQ(listing(folder.path()),
              (std::vector<std::string>{"fake.so", "in-vexobit.wav", "in.wav", "notes.txt", "sub"}));
}

TEST_F(BadInput, ABatchRendersEveryGoodFileAndReportsEachBadOne) {
    fs::create_directory(folder / "out");
    std::ofstream(folder / "out" / "taken-vexobit.wav") << "keep me\n";
    writeSound(folder / "taken.wav", testSignal(100, 3), 1, 44100);
    const ToolRun run = runTool({"-j", "2", "--out-dir", "out", "in.wav", "gone.wav", "notes.txt", "taken.wav",
                                 "sub/in.wav" /* same name as in.wav: refused */},
                                folder.path());
    EXPECT_EQ(run.exitCode, kUsage) << "clashing outputs are a usage error, found before rendering";

    const ToolRun batch =
        runTool({"-j", "2", "--out-dir", "out", "in.wav", "gone.wav", "notes.txt", "taken.wav"}, folder.path());
    EXPECT_EQ(batch.exitCode, kFileFailed);
    EXPECT_EQ(std::count(batch.err.begin(), batch.err.end(), '\n'), 3) << batch.err;
    EXPECT_NE(batch.err.find("gone.wav does not exist"), std::string::npos) << batch.err;
    EXPECT_NE(batch.err.find("notes.txt is not an audio file"), std::string::npos) << batch.err;
    EXPECT_NE(batch.err.find("taken-vexobit.wav already exists"), std::string::npos) << batch.err;
    EXPECT_EQ(batch.out.rfind("Rendered 1 of 4 files (3 failed): ", 0), 0u) << batch.out;
    EXPECT_EQ(listing(folder / "out"), (std::vector<std::string>{"in-vexobit.wav", "taken-vexobit.wav"}));
    EXPECT_EQ(readText(folder / "out" / "taken-vexobit.wav"), "keep me\n");
}

TEST_F(BadInput, AWriteThatFailsHalfwayLeavesNoPartialFile) {
    writeSound(folder / "long.wav", testSignal(200000, 4), 1, 44100);
    const ToolRun run = runTool({"long.wav", "in.wav"}, folder.path(), 256 * 1024);
    EXPECT_EQ(run.exitCode, kFileFailed);
    EXPECT_NE(run.err.find("writing long-vexobit.wav failed"), std::string::npos) << run.err;
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
    EXPECT_FALSE(fs::exists(folder / "long-vexobit.wav"));
    EXPECT_TRUE(fs::exists(folder / "in-vexobit.wav"));
    EXPECT_EQ(listing(folder.path()), (std::vector<std::string>{"fake.so", "in-vexobit.wav", "in.wav", "long.wav",
                                                                "notes.txt", "sub"}));
}

TEST_F(BadInput, AnOutputFolderNobodyMayWriteIntoLeavesNothing) {
    // No one, root included, creates files at the top of /proc.
    const ToolRun run = runTool({"--out-dir", "/proc", "in.wav"}, folder.path());
    EXPECT_EQ(run.exitCode, kFileFailed);
    expectOneErrorLine(run, "cannot create a file in /proc");
    EXPECT_FALSE(fs::exists("/proc/in-vexobit.wav"));
}

}  // namespace
}  // namespace render_test
