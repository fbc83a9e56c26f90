// The module's exported entry point, under its two names, and the load-time
// entry. Linked into the module itself: nothing else may define `main`.
#include "framework/audio_effect.h"

// The instance handle the platform's loader gave this module.
void* moduleHandle = nullptr;

VST_EXPORT AEffect* VSTCALLBACK VSTPluginMain(audioMasterCallback hostCallback) {
    if (!hostCallback) return nullptr;
    if (hostCallback(nullptr, audioMasterVersion, 0, 0, nullptr, 0.0f) == 0) return nullptr;
    AudioEffect* effect = createEffect(hostCallback);
    return effect ? effect->getAeffect() : nullptr;
}

#if defined(_WIN32)
#include <windows.h>

// `main` is exported as a second name of VSTPluginMain by the module's .def file.
extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD /*reason*/, LPVOID /*reserved*/) {
    moduleHandle = instance;
    return TRUE;
}
#else
#include <dlfcn.h>

// Older hosts look for `main`. C++ reserves that name for the program's entry,
// so the alias gets its symbol name from the assembler label.
VST_EXPORT AEffect* VSTCALLBACK vstMainAlias(audioMasterCallback hostCallback) __asm__("main")
    __attribute__((alias("VSTPluginMain")));

namespace {
// The loader's handle for this module is its base address.
__attribute__((constructor)) void storeModuleHandle() {
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&VSTPluginMain), &info) != 0) moduleHandle = info.dli_fbase;
}
}  // namespace
#endif
