#include "tests/render/render_harness.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <cstring>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace render_test {

namespace {

fs::path makeTempFolder() {
    std::string pattern = (fs::temp_directory_path() / "vexobit-render-test-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    return pattern;
}

VstIntPtr VSTCALLBACK versionOnlyHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
    return opcode == audioMasterVersion ? 2400 : 0;
}

}  // namespace

TempFolder::TempFolder() : folder(makeTempFolder()) {}

TempFolder::~TempFolder() {
    std::error_code error;
    fs::permissions(folder, fs::perms::owner_all, fs::perm_options::add, error);
    fs::remove_all(folder, error);
}

ToolRun runTool(const std::vector<std::string>& args, const fs::path& folder, long fileSizeLimit) {
    const TempFolder capture;
    const fs::path outFile = capture / "stdout";
    const fs::path errFile = capture / "stderr";
    std::vector<std::string> argv = {VEXOBIT_RENDER_PATH};
    argv.insert(argv.end(), args.begin(), args.end());
    std::vector<char*> pointers;
    for (auto& arg : argv) pointers.push_back(arg.data());
    pointers.push_back(nullptr);

    const pid_t child = fork();
    if (child == 0) {
        const int out = open(outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int err = open(errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (out < 0 || err < 0 || chdir(folder.c_str()) != 0) _exit(127);
        dup2(out, STDOUT_FILENO);
        dup2(err, STDERR_FILENO);
        if (fileSizeLimit > 0) {
            // Writes past the limit then fail with EFBIG instead of a signal.
            signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{static_cast<rlim_t>(fileSizeLimit), static_cast<rlim_t>(fileSizeLimit)};
            setrlimit(RLIMIT_FSIZE, &limit);
        }
        execv(pointers[0], pointers.data());
        _exit(127);
    }
    ToolRun run;
    int status = 0;
    if (child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status)) run.exitCode = WEXITSTATUS(status);
    run.out = readText(outFile);
    run.err = readText(errFile);
    return run;
}

std::vector<std::string> listing(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<float> Sound::channel(int c) const {
    std::vector<float> out;
    for (std::size_t i = static_cast<std::size_t>(c); i < samples.size(); i += static_cast<std::size_t>(info.channels))
        out.push_back(samples[i]);
    return out;
}

void writeSound(const fs::path& file, const std::vector<float>& interleaved, int channels, int sampleRate,
                int format) {
    SF_INFO info{};
    info.channels = channels;
    info.samplerate = sampleRate;
    info.format = format;
    SNDFILE* sound = sf_open(file.c_str(), SFM_WRITE, &info);
    if (!sound) throw std::runtime_error("cannot write " + file.string() + ": " + sf_strerror(nullptr));
    sf_writef_float(sound, interleaved.data(), static_cast<sf_count_t>(interleaved.size()) / channels);
    sf_close(sound);
}

Sound readSound(const fs::path& file) {
    Sound sound;
    SNDFILE* in = sf_open(file.c_str(), SFM_READ, &sound.info);
    if (!in) throw std::runtime_error("cannot read " + file.string() + ": " + sf_strerror(nullptr));
    sound.samples.resize(static_cast<std::size_t>(sound.info.frames * sound.info.channels));
    sf_readf_float(in, sound.samples.data(), sound.info.frames);
    sf_close(in);
    return sound;
}

std::vector<float> interleave(const std::vector<std::vector<float>>& channels) {
    std::vector<float> out;
    for (std::size_t f = 0; f < channels[0].size(); ++f)
        for (const auto& channel : channels) out.push_back(channel[f]);
    return out;
}

std::vector<float> testSignal(std::size_t frames, unsigned seed) {
    std::vector<float> out(frames);
    std::uint32_t noise = seed * 2654435761u + 1u;
    for (std::size_t i = 0; i < frames; ++i) {
        const double t = static_cast<double>(i) / 48000.0;
        noise = noise * 1664525u + 1013904223u;
        const double white = static_cast<double>(noise >> 8) / static_cast<double>(1u << 23) - 1.0;
        out[i] = static_cast<float>(0.7 * std::sin(2.0 * std::numbers::pi * (100.0 + 2000.0 * t) * t * (1 + seed % 3)) +
                                    0.2 * white);
    }
    return out;
}

bool sameBits(const std::vector<float>& a, const std::vector<float>& b) {
    return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(float)) == 0;
}

std::string readText(const fs::path& file) {
    std::ifstream in(file);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

DirectModule::DirectModule(const std::string& path) {
    handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) throw std::runtime_error(dlerror());
    entry = reinterpret_cast<VstPluginMainProc>(dlsym(handle, "VSTPluginMain"));
    if (!entry) throw std::runtime_error("no VSTPluginMain in " + path);
}

DirectModule::~DirectModule() { dlclose(handle); }

std::vector<float> DirectModule::render(const std::vector<float>& mono, float sampleRate, int blockSize,
                                        const std::vector<std::pair<int, float>>& parameters) {
    AEffect* e = entry(versionOnlyHost);
    if (!e) throw std::runtime_error("the entry point answered null");
    e->dispatcher(e, effOpen, 0, 0, nullptr, 0.0f);
    e->dispatcher(e, effSetSampleRate, 0, 0, nullptr, sampleRate);
    e->dispatcher(e, effSetBlockSize, 0, blockSize, nullptr, 0.0f);
    for (const auto& [index, value] : parameters) e->setParameter(e, index, value);
    e->dispatcher(e, effMainsChanged, 0, 1, nullptr, 0.0f);
    std::vector<float> in0(static_cast<std::size_t>(blockSize)), in1(in0.size()), out0(in0.size()), out1(in0.size());
    float* inputs[] = {in0.data(), in1.data()};
    float* outputs[] = {out0.data(), out1.data()};
    std::vector<float> result;
    for (std::size_t start = 0; start < mono.size(); start += in0.size()) {
        const std::size_t frames = std::min(in0.size(), mono.size() - start);
        std::copy_n(mono.begin() + static_cast<std::ptrdiff_t>(start), frames, in0.begin());
        e->processReplacing(e, inputs, outputs, static_cast<VstInt32>(frames));
        result.insert(result.end(), out0.begin(), out0.begin() + static_cast<std::ptrdiff_t>(frames));
    }
    e->dispatcher(e, effMainsChanged, 0, 0, nullptr, 0.0f);
    e->dispatcher(e, effClose, 0, 0, nullptr, 0.0f);
    return result;
}

}  // namespace render_test
