#include "tests/conformance/module_file.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

#include <cstdint>

namespace conformance {

#if defined(_WIN32)

ModuleFile::ModuleFile(const std::string& path) {
    handle = LoadLibraryA(path.c_str());
    if (!handle) loadError = "LoadLibrary failed with error " + std::to_string(GetLastError()) + ": " + path;
}

ModuleFile::~ModuleFile() {
    if (handle) FreeLibrary(static_cast<HMODULE>(handle));
}

VstPluginMainProc ModuleFile::entry(const char* name) const {
    if (!handle) return nullptr;
    // FARPROC and the entry type are both plain code addresses.
    const FARPROC address = GetProcAddress(static_cast<HMODULE>(handle), name);
    return reinterpret_cast<VstPluginMainProc>(reinterpret_cast<std::uintptr_t>(address));
}

#else

ModuleFile::ModuleFile(const std::string& path) {
    // RTLD_LOCAL: the module's symbols must not leak into the host's namespace.
    handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) loadError = dlerror();
}

ModuleFile::~ModuleFile() {
    if (handle) dlclose(handle);
}

VstPluginMainProc ModuleFile::entry(const char* name) const {
    if (!handle) return nullptr;
    return reinterpret_cast<VstPluginMainProc>(dlsym(handle, name));
}

#endif

}  // namespace conformance
