// The four dlfcn calls the module-loading tests use, over LoadLibrary, so
// those tests build unchanged as Windows programs. Only on the include path
// of Windows builds.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#define RTLD_NOW 2
#define RTLD_LOCAL 0

namespace dlfcn_windows {
inline std::string& lastError() {
    static std::string text;
    return text;
}
inline void noteError(const char* what) {
    lastError() = std::string(what) + " failed with error " + std::to_string(GetLastError());
}
}  // namespace dlfcn_windows

inline void* dlopen(const char* path, int /*mode*/) {
    HMODULE module = LoadLibraryA(path);
    if (!module) dlfcn_windows::noteError("LoadLibrary");
    return module;
}

inline void* dlsym(void* handle, const char* name) {
    const FARPROC address = GetProcAddress(static_cast<HMODULE>(handle), name);
    if (!address) dlfcn_windows::noteError("GetProcAddress");
    return reinterpret_cast<void*>(reinterpret_cast<std::uintptr_t>(address));
}

inline int dlclose(void* handle) { return FreeLibrary(static_cast<HMODULE>(handle)) ? 0 : 1; }

// The last failure's text, once; null when nothing failed since.
inline const char* dlerror() {
    static std::string reported;
    if (dlfcn_windows::lastError().empty()) return nullptr;
    reported.swap(dlfcn_windows::lastError());
    dlfcn_windows::lastError().clear();
    return reported.c_str();
}
