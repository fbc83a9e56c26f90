// Rendering one audio file through the plug-in, and many files on a pool
// of threads.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "tools/render/parameters.h"

namespace render {

class PluginModule;
class ProgressBar;

struct RenderJob {
    std::filesystem::path input;
    std::filesystem::path output;
    std::vector<ParameterSetting> parameters;
};

struct RenderSettings {
    VstInt32 blockSize = 512;
    bool replace = false;  // --force
    unsigned jobs = 1;     // files rendered at the same time
};

struct RenderOutcome {
    bool rendered = false;
    double audioSeconds = 0.0;
};

// Reads the input block by block, gives each channel to its own instance
// (the plug-in's first output is that channel's result) and writes the
// result in the input's channel count, rate and, unless the output's
// extension names another, format. Throws a file Failure; the output then
// does not exist.
double renderFile(PluginModule& module, const RenderJob& job, const RenderSettings& settings,
                  ProgressBar& progress);

// Renders every job, `settings.jobs` at a time; a job that fails is reported
// on stderr and the others go on. outcomes[i] belongs to jobs[i].
std::vector<RenderOutcome> renderAll(PluginModule& module, const std::vector<RenderJob>& jobs,
                                     const RenderSettings& settings, ProgressBar& progress);

// The frames to render in all the jobs' inputs that can be opened.
std::int64_t countFrames(const std::vector<RenderJob>& jobs);

}  // namespace render
