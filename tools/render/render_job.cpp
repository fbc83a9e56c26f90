#include "tools/render/render_job.h"

#include <algorithm>
#include <atomic>
#include <memory>
#include <thread>

#include "tools/render/audio_file.h"
#include "tools/render/console.h"
#include "tools/render/failure.h"
#include "tools/render/plugin_host.h"

namespace render {

double renderFile(PluginModule& module, const RenderJob& job, const RenderSettings& settings,
                  ProgressBar& progress) {
    std::error_code error;
    if (!settings.replace && std::filesystem::exists(job.output, error))
        throw fileError(job.output.string() + " already exists; give --force to replace it");

    AudioReader reader(job.input);
    const SF_INFO& info = reader.info();
    const auto channels = static_cast<std::size_t>(info.channels);
    const auto blockFrames = static_cast<std::size_t>(settings.blockSize);

    HostContext context;
    context.sampleRate = static_cast<float>(info.samplerate);
    context.blockSize = settings.blockSize;
    std::vector<std::unique_ptr<PluginInstance>> instances;
    for (std::size_t c = 0; c < channels; ++c) {
        try {
            instances.push_back(std::make_unique<PluginInstance>(module, context));
        } catch (const Failure& failure) {
            // Every file shares the module; here it is only this file's loss.
            throw fileError(job.input.string() + ": " + failure.what());
        }
        for (const auto& setting : job.parameters) instances.back()->setParameter(setting.index, setting.value);
    }

    SF_INFO format = info;
    format.format = outputFormat(info, job.output);
    AudioWriter writer(job.output, format, settings.replace);

    for (auto& instance : instances) instance->resume();
    std::vector<float> in(blockFrames * channels);
    std::vector<float> out(blockFrames * channels);
    std::int64_t total = 0;
    while (const std::int64_t got = reader.read(in.data(), static_cast<std::int64_t>(blockFrames))) {
        const auto frames = static_cast<std::size_t>(got);
        for (std::size_t c = 0; c < channels; ++c) {
            PluginInstance& instance = *instances[c];
            const std::span<float> channelIn = instance.input();
            for (std::size_t f = 0; f < frames; ++f) channelIn[f] = in[f * channels + c];
            const std::span<const float> channelOut = instance.process(static_cast<VstInt32>(frames));
            for (std::size_t f = 0; f < frames; ++f) out[f * channels + c] = channelOut[f];
        }
        writer.write(out.data(), got);
        total += got;
        progress.advance(got);
    }
    for (auto& instance : instances) instance->suspend();
    instances.clear();
    writer.commit();
    return static_cast<double>(total) / info.samplerate;
}

std::vector<RenderOutcome> renderAll(PluginModule& module, const std::vector<RenderJob>& jobs,
                                     const RenderSettings& settings, ProgressBar& progress) {
    std::vector<RenderOutcome> outcomes(jobs.size());
    if (jobs.empty()) return outcomes;
    std::atomic<std::size_t> next{0};
    const auto worker = [&] {
        for (std::size_t i = next++; i < jobs.size(); i = next++) {
            try {
                outcomes[i].audioSeconds = renderFile(module, jobs[i], settings, progress);
                outcomes[i].rendered = true;
            } catch (const Failure& failure) {
                printError(failure.what());
            } catch (const std::exception& failure) {
                printError("rendering " + jobs[i].input.string() + " failed (" + failure.what() + ")");
            }
        }
    };
    const std::size_t threads = std::clamp<std::size_t>(settings.jobs, 1, jobs.size());
    std::vector<std::thread> pool;
    for (std::size_t t = 1; t < threads; ++t) pool.emplace_back(worker);
    worker();
    for (auto& thread : pool) thread.join();
    return outcomes;
}

std::int64_t countFrames(const std::vector<RenderJob>& jobs) {
    std::int64_t frames = 0;
    for (const auto& job : jobs) {
        SF_INFO info{};
        if (SNDFILE* sound = sf_open(job.input.c_str(), SFM_READ, &info)) {
            frames += std::max<sf_count_t>(info.frames, 0);
            sf_close(sound);
        }
    }
    return frames;
}

}  // namespace render
