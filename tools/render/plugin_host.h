// Hosting a VST 2.4 effect module: loading the file, the host callback, and
// instances driven through the effect record only, as any host does.
#pragma once

#include <filesystem>
#include <mutex>
#include <span>
#include <string>
#include <vector>

#include "framework/vst_abi.h"

namespace render {

// What the host callback answers an instance about its session.
struct HostContext {
    float sampleRate = 44100.0f;
    VstInt32 blockSize = 512;
};

// A module file opened with dlopen and its entry point (VSTPluginMain, else
// the older name main). Throws a plug-in Failure when the file is missing,
// not loadable or has no entry point.
class PluginModule {
public:
    explicit PluginModule(const std::filesystem::path& file);
    ~PluginModule();
    PluginModule(const PluginModule&) = delete;
    PluginModule& operator=(const PluginModule&) = delete;

    const std::filesystem::path& path() const { return file; }

private:
    friend class PluginInstance;

    std::filesystem::path file;
    void* handle = nullptr;
    VstPluginMainProc entry = nullptr;
    // Creating and closing instances one at a time: entry points and effOpen
    // of many plug-ins are not written for concurrent calls.
    std::mutex lifecycle;
};

// One effect instance, created, opened and given the sample rate and block
// size on construction; switched off and closed on destruction. Throws a
// plug-in Failure when the entry point answers no usable effect record.
class PluginInstance {
public:
    PluginInstance(PluginModule& module, const HostContext& context);
    ~PluginInstance();
    PluginInstance(const PluginInstance&) = delete;
    PluginInstance& operator=(const PluginInstance&) = delete;

    const AEffect& record() const { return *effect; }
    VstInt32 numParams() const { return effect->numParams; }

    void setParameter(VstInt32 index, float value);
    float getParameter(VstInt32 index);
    // Texts the plug-in reports; empty where it answers nothing.
    std::string parameterName(VstInt32 index);
    std::string parameterDisplay(VstInt32 index);
    std::string parameterLabel(VstInt32 index);
    std::string effectName();
    std::string vendorString();
    std::string productString();
    VstIntPtr vendorVersion();
    VstIntPtr vstVersion();

    // effMainsChanged 1 and effStartProcess; suspend() undoes both.
    void resume();
    void suspend();

    // The first input channel of the next block, blockSize frames long.
    std::span<float> input() { return inputs[0]; }
    // Processes the first `frames` frames of input() and answers the first
    // output channel. frames is at most the block size.
    std::span<const float> process(VstInt32 frames);

private:
    std::string askText(VstInt32 opcode, VstInt32 index);

    PluginModule& module;
    HostContext context;
    AEffect* effect = nullptr;
    bool running = false;
    // Every input and output the plug-in declares gets a buffer: the first
    // input carries the channel, the others stay silent.
    std::vector<std::vector<float>> inputs;
    std::vector<std::vector<float>> outputs;
    std::vector<float*> inputPointers;
    std::vector<float*> outputPointers;
};

// The host's answers to the plug-in, for an instance's context or for none.
VstIntPtr VSTCALLBACK hostCallback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                   float opt);

}  // namespace render
