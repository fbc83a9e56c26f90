#include "tools/render/plugin_host.h"

#include <dlfcn.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <string_view>

#include "tools/render/failure.h"

namespace render {

namespace {

constexpr VstIntPtr kHostVstVersion = 2400;
constexpr const char* kHostVendor = "Vexobit project";
constexpr const char* kHostProduct = "vexobit-render";
// Vendor and product strings are at most 63 characters and the terminator.
constexpr std::size_t kHostStringBytes = 64;
// Plug-ins write texts without knowing the buffer size; this is far beyond
// what the standard allows them.
constexpr std::size_t kTextBufferBytes = 256;
// More channels than any sound card: a record claiming more is broken.
constexpr VstInt32 kMaxPluginChannels = 1024;

// The context of the instance being created on this thread, for callbacks
// that arrive before its record is known.
thread_local const HostContext* creatingContext = nullptr;

std::string describe(const std::filesystem::path& file) { return file.string(); }

VstIntPtr copyHostString(void* ptr, const char* text) {
    if (!ptr) return 0;
    char* out = static_cast<char*>(ptr);
    std::strncpy(out, text, kHostStringBytes - 1);
    out[kHostStringBytes - 1] = '\0';
    return 1;
}

// 1: this host does it; -1: a capability of the standard it lacks; 0: unknown.
VstIntPtr hostCanDo(const char* what) {
    if (!what) return 0;
    const std::string_view query(what);
    if (query == "startStopProcess") return 1;
    static constexpr std::array<std::string_view, 15> kLacks = {
        "sendVstEvents",     "sendVstMidiEvent",        "sendVstTimeInfo", "receiveVstEvents",
        "receiveVstMidiEvent", "reportConnectionChanges", "acceptIOChanges", "sizeWindow",
        "offline",           "openFileSelector",        "closeFileSelector", "supplyIdle",
        "supportShell",      "shellCategory",           "editFile"};
    return std::find(kLacks.begin(), kLacks.end(), query) != kLacks.end() ? -1 : 0;
}

}  // namespace

VstIntPtr VSTCALLBACK hostCallback(AEffect* effect, VstInt32 opcode, VstInt32 /*index*/, VstIntPtr /*value*/,
                                   void* ptr, float /*opt*/) {
    const HostContext* context = effect && effect->user ? static_cast<const HostContext*>(effect->user)
                                                        : creatingContext;
    switch (opcode) {
    case audioMasterVersion: return kHostVstVersion;
    case audioMasterGetSampleRate: return context ? static_cast<VstIntPtr>(context->sampleRate) : 0;
    case audioMasterGetBlockSize: return context ? context->blockSize : 0;
    case audioMasterGetVendorString: return copyHostString(ptr, kHostVendor);
    case audioMasterGetProductString: return copyHostString(ptr, kHostProduct);
    case audioMasterGetVendorVersion: return VEXOBIT_RENDER_VENDOR_VERSION;
    case audioMasterCanDo: return hostCanDo(static_cast<const char*>(ptr));
    default: return 0;
    }
}

PluginModule::PluginModule(const std::filesystem::path& moduleFile) : file(moduleFile) {
    std::error_code error;
    if (!std::filesystem::exists(file, error))
        throw pluginError("plug-in " + describe(file) + " does not exist; give a VST 2.4 module with --plugin PATH");
    if (std::filesystem::is_directory(file, error))
        throw pluginError("plug-in " + describe(file) + " is a folder; give the module file inside it with --plugin PATH");
    // Without a slash dlopen would search the library path, not the folder.
    const std::string name = file.has_parent_path() ? file.string() : "./" + file.string();
    handle = dlopen(name.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        const char* why = dlerror();
        throw pluginError("plug-in " + describe(file) + " is not a loadable module (" + (why ? why : "unknown reason") +
                          "); give a VST 2.4 plug-in built for this system");
    }
    void* symbol = dlsym(handle, "VSTPluginMain");
    if (!symbol) symbol = dlsym(handle, "main");
    if (!symbol) {
        dlclose(handle);
        throw pluginError("plug-in " + describe(file) +
                          " has no VSTPluginMain or main entry point; give a VST 2.4 plug-in module");
    }
    entry = reinterpret_cast<VstPluginMainProc>(symbol);
}

PluginModule::~PluginModule() { dlclose(handle); }

PluginInstance::PluginInstance(PluginModule& owner, const HostContext& session) : module(owner), context(session) {
    std::lock_guard lock(module.lifecycle);
    creatingContext = &context;
    effect = module.entry(hostCallback);
    creatingContext = nullptr;
    const std::string name = "plug-in " + describe(module.file);
    if (!effect)
        throw pluginError(name + ": its entry point answered no effect; this plug-in refuses to run in this host");
    if (effect->magic != kEffectMagic || !effect->dispatcher)
        throw pluginError(name + ": its entry point answered no VST effect record; give a VST 2.4 plug-in module");
    effect->user = &context;

    const char* unusable = nullptr;
    if (effect->numInputs < 1 || effect->numOutputs < 1) unusable = "has no audio input or output";
    else if (effect->numInputs > kMaxPluginChannels || effect->numOutputs > kMaxPluginChannels)
        unusable = "claims an impossible number of channels";
    else if (!((effect->flags & effFlagsCanReplacing) && effect->processReplacing) && !effect->process)
        unusable = "offers no way to process audio";
    if (unusable) {
        effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
        throw pluginError(name + " " + unusable + "; give an audio effect plug-in");
    }

    effect->dispatcher(effect, effOpen, 0, 0, nullptr, 0.0f);
    effect->dispatcher(effect, effSetSampleRate, 0, 0, nullptr, context.sampleRate);
    effect->dispatcher(effect, effSetBlockSize, 0, context.blockSize, nullptr, 0.0f);

    const auto frames = static_cast<std::size_t>(context.blockSize);
    inputs.assign(static_cast<std::size_t>(effect->numInputs), std::vector<float>(frames, 0.0f));
    outputs.assign(static_cast<std::size_t>(effect->numOutputs), std::vector<float>(frames, 0.0f));
    for (auto& channel : inputs) inputPointers.push_back(channel.data());
    for (auto& channel : outputs) outputPointers.push_back(channel.data());
}

PluginInstance::~PluginInstance() {
    if (running) suspend();
    std::lock_guard lock(module.lifecycle);
    effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
}

void PluginInstance::setParameter(VstInt32 index, float value) {
    if (effect->setParameter) effect->setParameter(effect, index, value);
}

float PluginInstance::getParameter(VstInt32 index) {
    return effect->getParameter ? effect->getParameter(effect, index) : 0.0f;
}

std::string PluginInstance::askText(VstInt32 opcode, VstInt32 index) {
    std::array<char, kTextBufferBytes> text{};
    effect->dispatcher(effect, opcode, index, 0, text.data(), 0.0f);
    text.back() = '\0';
    return text.data();
}

std::string PluginInstance::parameterName(VstInt32 index) { return askText(effGetParamName, index); }
std::string PluginInstance::parameterDisplay(VstInt32 index) { return askText(effGetParamDisplay, index); }
std::string PluginInstance::parameterLabel(VstInt32 index) { return askText(effGetParamLabel, index); }
std::string PluginInstance::effectName() { return askText(effGetEffectName, 0); }
std::string PluginInstance::vendorString() { return askText(effGetVendorString, 0); }
std::string PluginInstance::productString() { return askText(effGetProductString, 0); }

VstIntPtr PluginInstance::vendorVersion() {
    return effect->dispatcher(effect, effGetVendorVersion, 0, 0, nullptr, 0.0f);
}

VstIntPtr PluginInstance::vstVersion() { return effect->dispatcher(effect, effGetVstVersion, 0, 0, nullptr, 0.0f); }

void PluginInstance::resume() {
    effect->dispatcher(effect, effMainsChanged, 0, 1, nullptr, 0.0f);
    effect->dispatcher(effect, effStartProcess, 0, 0, nullptr, 0.0f);
    running = true;
}

void PluginInstance::suspend() {
    effect->dispatcher(effect, effStopProcess, 0, 0, nullptr, 0.0f);
    effect->dispatcher(effect, effMainsChanged, 0, 0, nullptr, 0.0f);
    running = false;
}

std::span<const float> PluginInstance::process(VstInt32 frames) {
    const auto count = static_cast<std::size_t>(frames);
    // A plug-in may scribble on its inputs; the extra ones must stay silent.
    for (std::size_t i = 1; i < inputs.size(); ++i) std::fill_n(inputs[i].begin(), count, 0.0f);
    if ((effect->flags & effFlagsCanReplacing) && effect->processReplacing) {
        effect->processReplacing(effect, inputPointers.data(), outputPointers.data(), frames);
    } else {
        // The accumulating call adds to what the outputs hold.
        for (auto& channel : outputs) std::fill_n(channel.begin(), count, 0.0f);
        effect->process(effect, inputPointers.data(), outputPointers.data(), frames);
    }
    return {outputs[0].data(), count};
}

}  // namespace render
