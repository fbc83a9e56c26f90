// A plug-in module opened by path with the platform's own loader, as a host
// opens it: dlopen on Linux, LoadLibrary on Windows.
#pragma once

#include <string>

#include "framework/vst_abi.h"

namespace conformance {

class ModuleFile {
public:
    explicit ModuleFile(const std::string& path);
    ~ModuleFile();
    ModuleFile(const ModuleFile&) = delete;
    ModuleFile& operator=(const ModuleFile&) = delete;

    bool loaded() const { return handle != nullptr; }
    // Why loading failed, in the loader's words.
    const std::string& error() const { return loadError; }
    // The exported function `name`, or null when the module has no such export.
    VstPluginMainProc entry(const char* name) const;
    // dlopen's handle or the HMODULE.
    void* nativeHandle() const { return handle; }

private:
    void* handle = nullptr;
    std::string loadError;
};

}  // namespace conformance
