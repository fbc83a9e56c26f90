// Helpers for tests that run vexobit-render as a user does: running the
// program, writing and reading sound files, and driving a module directly
// to get the output a host should produce.
#pragma once

#include <sndfile.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "framework/vst_abi.h"

namespace render_test {

namespace fs = std::filesystem;

struct ToolRun {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// Runs vexobit-render with `args` in `folder` and waits for it. A nonzero
// fileSizeLimit caps every file the program writes at that many bytes, so
// writing beyond fails as on a full disk.
ToolRun runTool(const std::vector<std::string>& args, const fs::path& folder, long fileSizeLimit = 0);

// A fresh folder, removed with everything in it at the end of the test.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const fs::path& path() const { return folder; }
    fs::path operator/(const std::string& name) const { return folder / name; }

private:
    fs::path folder;
};

// The names of the entries of a folder, sorted, hidden ones included.
std::vector<std::string> listing(const fs::path& folder);

struct Sound {
    SF_INFO info{};
    std::vector<float> samples;  // interleaved
    std::vector<float> channel(int c) const;
};

void writeSound(const fs::path& file, const std::vector<float>& interleaved, int channels, int sampleRate,
                int format = SF_FORMAT_WAV | SF_FORMAT_FLOAT);
Sound readSound(const fs::path& file);
// Interleaves equally long channels.
std::vector<float> interleave(const std::vector<std::vector<float>>& channels);

// A deterministic test signal: a rising sweep plus a little noise, from
// `seed`, within -0.9..0.9.
std::vector<float> testSignal(std::size_t frames, unsigned seed);

// Whether two buffers hold the same float bit patterns.
bool sameBits(const std::vector<float>& a, const std::vector<float>& b);

std::string readText(const fs::path& file);

// A module loaded directly, as a reference for the program's output.
class DirectModule {
public:
    explicit DirectModule(const std::string& path);
    ~DirectModule();
    DirectModule(const DirectModule&) = delete;
    DirectModule& operator=(const DirectModule&) = delete;

    // Output 0 of one fresh instance fed `mono` in blocks of blockSize frames,
    // the second input silent, after setting the given parameters.
    std::vector<float> render(const std::vector<float>& mono, float sampleRate, int blockSize,
                              const std::vector<std::pair<int, float>>& parameters = {});

private:
    void* handle = nullptr;
    VstPluginMainProc entry = nullptr;
};

}  // namespace render_test
