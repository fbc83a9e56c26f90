// The built module file, loaded as a host loads it and unloaded at the end of
// the scope. Host-side tests reach the plug-in only through what this hands out.
#pragma once

#include <dlfcn.h>

#include <string>

#include "framework/vst_abi.h"

namespace vexobit::test {

class LoadedModule {
public:
    explicit LoadedModule(const char* path) : handle(dlopen(path, RTLD_NOW | RTLD_LOCAL)) {
        if (!handle) {
            const char* why = dlerror();
            error = why ? why : "dlopen failed";
        }
    }
    ~LoadedModule() {
        if (handle) dlclose(handle);
    }
    LoadedModule(const LoadedModule&) = delete;
    LoadedModule& operator=(const LoadedModule&) = delete;

    bool loaded() const { return handle != nullptr; }
    // Why loading failed; empty when it did not.
    const std::string& loadError() const { return error; }
    // Any exported symbol, or null.
    void* symbol(const char* name) const { return handle ? dlsym(handle, name) : nullptr; }
    // The plug-in entry point under one of its two names, or null.
    VstPluginMainProc entry(const char* name = "VSTPluginMain") const {
        return reinterpret_cast<VstPluginMainProc>(symbol(name));
    }

private:
    void* handle;
    std::string error;
};

}  // namespace vexobit::test
