// vexobit-render: renders audio files through a VST 2.4 effect module, by
// default the Vexobit module built or installed beside this program. It is
// a host like any other: the module is loaded from its file and driven only
// through its entry point and effect record.
#include <CLI/CLI.hpp>
#include <unistd.h>

#include <charconv>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "tools/render/audio_file.h"
#include "tools/render/console.h"
#include "tools/render/demo.h"
#include "tools/render/failure.h"
#include "tools/render/output_plan.h"
#include "tools/render/parameters.h"
#include "tools/render/plugin_host.h"
#include "tools/render/render_job.h"

namespace render {

namespace {

namespace fs = std::filesystem;

constexpr long kMaxBlockSize = 65536;
constexpr long kMaxJobs = 1024;
constexpr float kProbeSampleRate = 44100.0f;

constexpr const char* kDescription =
    "Renders audio files through the Vexobit plug-in (or any VST 2.4 effect module given with --plugin).\n"
    "Each INPUT's result is written next to it, with -vexobit before the extension, in the same format.\n"
    "With no INPUT, renders a built-in demo phrase at three tick rates into the current folder (or\n"
    "--out-dir): vexobit-demo-dry.wav and three vexobit-demo-*.wav results.";

constexpr const char* kFooter =
    "Examples:\n"
    "  vexobit-render drums.wav                      writes drums-vexobit.wav\n"
    "  vexobit-render -p \"Sample rate=0\" *.wav --out-dir crushed\n"
    "  vexobit-render voice.flac -o voice-nes.wav    another name, format from the extension\n"
    "  vexobit-render --list-params\n"
    "\n"
    "An existing output is never replaced without --force, and never when it is the input itself.\n"
    "Results are written to a hidden temporary file beside the output and renamed when complete.\n"
    "\n"
    "Exit codes:\n"
    "  0  every file was rendered\n"
    "  1  one or more files could not be rendered (reported on stderr); the others were rendered\n"
    "  2  usage error: the command line is wrong; nothing was rendered\n"
    "  3  the plug-in could not be loaded or started; nothing was rendered";

struct Options {
    std::vector<std::string> inputs;
    std::string output;
    std::string outDir;
    std::string plugin;
    std::string blockSize = "512";
    std::string jobs;
    std::vector<std::string> params;
    bool listParams = false;
    bool info = false;
    bool force = false;
    bool quiet = false;
};

// A whole-number option from `low` to `high`.
long parseCount(const std::string& text, const std::string& option, long low, long high, const char* unit) {
    long value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    const std::string range = "give " + std::to_string(low) + " to " + std::to_string(high) + " " + unit;
    if (text.empty() || error == std::errc::invalid_argument || stop != end)
        throw usageError(option + " " + text + " is not a whole number; " + range);
    if (error == std::errc::result_out_of_range || value < low || value > high)
        throw usageError(option + " " + text + " is out of range; " + range);
    return value;
}

fs::path executableFolder() {
    std::error_code error;
    const fs::path self = fs::read_symlink("/proc/self/exe", error);
    return error ? fs::current_path() : self.parent_path();
}

// The module beside this program: in its own folder, where the build tree
// puts the module, or where the install puts it.
fs::path defaultModule() {
    const fs::path here = executableFolder();
    const std::vector<fs::path> candidates = {
        here / VEXOBIT_MODULE_FILE_NAME,
        here / VEXOBIT_BUILD_MODULE_DIR / VEXOBIT_MODULE_FILE_NAME,
        here / VEXOBIT_INSTALLED_MODULE_DIR / VEXOBIT_MODULE_FILE_NAME,
    };
    std::string looked;
    for (const auto& candidate : candidates) {
        std::error_code error;
        if (fs::is_regular_file(candidate, error)) return candidate.lexically_normal();
        looked += (looked.empty() ? "" : ", ") + candidate.lexically_normal().string();
    }
    throw pluginError("no Vexobit module beside vexobit-render (looked for " + looked +
                      "); build or install it, or give one with --plugin PATH");
}

std::string fourCharText(VstInt32 code) {
    const auto bits = static_cast<std::uint32_t>(code);
    std::string text;
    for (int shift = 24; shift >= 0; shift -= 8) {
        const auto c = static_cast<unsigned char>(bits >> shift);
        if (c < 0x20 || c > 0x7e) return {};
        text += static_cast<char>(c);
    }
    return text;
}

void printInfo(PluginInstance& plugin, const fs::path& module) {
    const AEffect& record = plugin.record();
    char id[32];
    const std::string chars = fourCharText(record.uniqueID);
    std::snprintf(id, sizeof id, "0x%08X", static_cast<unsigned>(record.uniqueID));
    const auto line = [](const char* key, const std::string& value) {
        std::printf("%-16s%s\n", key, value.c_str());
    };
    line("Name", plugin.effectName());
    line("Vendor", plugin.vendorString());
    line("Product", plugin.productString());
    line("Vendor version", std::to_string(plugin.vendorVersion()));
    line("VST version", std::to_string(plugin.vstVersion()));
    line("Unique ID", chars.empty() ? id : "'" + chars + "' (" + id + ")");
    line("Version", std::to_string(record.version));
    line("Inputs", std::to_string(record.numInputs));
    line("Outputs", std::to_string(record.numOutputs));
    line("Parameters", std::to_string(record.numParams));
    line("Programs", std::to_string(record.numPrograms));
    line("Module", module.string());
}

void printParameters(PluginInstance& plugin) {
    struct Row {
        std::string index, name, value, display, label;
    };
    std::vector<Row> rows = {{"Index", "Name", "Value", "Display", "Label"}};
    for (VstInt32 i = 0; i < plugin.numParams(); ++i) {
        char value[32];
        std::snprintf(value, sizeof value, "%.6f", static_cast<double>(plugin.getParameter(i)));
        rows.push_back({std::to_string(i), plugin.parameterName(i), value, plugin.parameterDisplay(i),
                        plugin.parameterLabel(i)});
    }
    std::size_t widths[4] = {};
    for (const auto& row : rows) {
        widths[0] = std::max(widths[0], row.index.size());
        widths[1] = std::max(widths[1], row.name.size());
        widths[2] = std::max(widths[2], row.value.size());
        widths[3] = std::max(widths[3], row.display.size());
    }
    for (const auto& row : rows)
        std::printf("%*s  %-*s  %-*s  %-*s  %s\n", static_cast<int>(widths[0]), row.index.c_str(),
                    static_cast<int>(widths[1]), row.name.c_str(), static_cast<int>(widths[2]), row.value.c_str(),
                    static_cast<int>(widths[3]), row.display.c_str(), row.label.c_str());
}

void printSummary(const std::vector<RenderJob>& jobs, const std::vector<RenderOutcome>& outcomes, double seconds) {
    std::size_t rendered = 0;
    double audio = 0.0;
    for (const auto& outcome : outcomes) {
        rendered += outcome.rendered ? 1 : 0;
        audio += outcome.audioSeconds;
    }
    std::string what;
    if (jobs.size() == 1 && rendered == 1) what = "Wrote " + jobs[0].output.string();
    else if (rendered == jobs.size()) what = "Rendered " + std::to_string(rendered) + " files";
    else
        what = "Rendered " + std::to_string(rendered) + " of " + std::to_string(jobs.size()) + " files (" +
               std::to_string(jobs.size() - rendered) + " failed)";
    char speed[64] = "";
    if (seconds > 0.0 && audio > 0.0) {
        const double factor = audio / seconds;
        std::snprintf(speed, sizeof speed, ", %.*fx real time", factor < 10.0 ? 1 : 0, factor);
    }
    std::printf("%s: %.1f s of audio in %.*f s%s\n", what.c_str(), audio, seconds < 0.1 ? 3 : 2, seconds, speed);
}

struct BatchResult {
    std::vector<RenderOutcome> outcomes;
    double seconds = 0.0;

    int exitCode() const {
        for (const auto& outcome : outcomes)
            if (!outcome.rendered) return kExitFileFailed;
        return kExitOk;
    }
};

// Renders the jobs, with a progress bar unless quiet or stderr is no terminal.
BatchResult renderJobs(PluginModule& module, const std::vector<RenderJob>& jobs, const RenderSettings& settings,
                       bool quiet) {
    const bool showProgress = !quiet && isatty(STDERR_FILENO) == 1;
    ProgressBar progress(showProgress, showProgress ? countFrames(jobs) : 0);
    const auto start = std::chrono::steady_clock::now();
    BatchResult result;
    result.outcomes = renderAll(module, jobs, settings, progress);
    progress.finish();
    result.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return result;
}

int runDemo(PluginModule& module, PluginInstance& probe, const std::vector<ParameterSetting>& userSettings,
            const RenderSettings& settings, const fs::path& outDir, bool quiet) {
    VstInt32 tickRate = findParameter(probe, "Sample rate");
    if (tickRate < 0 && probe.numParams() >= 2) tickRate = 1;
    if (tickRate < 0)
        throw usageError("the demo sets the tick rate (the \"Sample rate\" parameter), which this plug-in lacks; "
                         "give INPUT files to render");

    const fs::path dry = outDir / kDemoDryFile;
    std::vector<fs::path> files = {dry};
    for (const auto& render : kDemoRenders) files.push_back(outDir / render.file);
    // The demo's files are a set: it writes all of them or none.
    if (!settings.replace) {
        for (const auto& file : files) {
            std::error_code error;
            if (fs::exists(file, error))
                throw fileError(file.string() + " already exists; give --force to replace the demo's files, or "
                                "--out-dir DIR to write them elsewhere");
        }
    }

    const std::vector<float> phrase = demoPhrase();
    SF_INFO format{};
    format.samplerate = kDemoSampleRate;
    format.channels = 1;
    format.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    AudioWriter writer(dry, format, settings.replace);
    writer.write(phrase.data(), static_cast<std::int64_t>(phrase.size()));
    writer.commit();

    std::vector<RenderJob> jobs;
    std::vector<std::string> descriptions;
    for (std::size_t i = 0; i < kDemoRenders.size(); ++i) {
        RenderJob job{dry, files[i + 1], userSettings};
        job.parameters.push_back({tickRate, kDemoRenders[i].tickRate});
        jobs.push_back(job);
        probe.setParameter(tickRate, kDemoRenders[i].tickRate);
        const std::string display = probe.parameterDisplay(tickRate);
        char value[32];
        std::snprintf(value, sizeof value, "%.2f", static_cast<double>(kDemoRenders[i].tickRate));
        const std::string name = probe.parameterName(tickRate);
        descriptions.push_back((name.empty() ? "parameter " + std::to_string(tickRate) : name) + " = " +
                               (display.empty() ? value : display + " " + probe.parameterLabel(tickRate)));
    }
    if (!quiet)
        std::printf("Wrote %s: the dry phrase, %.1f s\n", dry.string().c_str(),
                    static_cast<double>(phrase.size()) / kDemoSampleRate);
    const BatchResult result = renderJobs(module, jobs, settings, quiet);
    if (!quiet) {
        for (std::size_t i = 0; i < jobs.size(); ++i)
            if (result.outcomes[i].rendered)
                std::printf("Wrote %s: %s\n", jobs[i].output.string().c_str(), descriptions[i].c_str());
        printSummary(jobs, result.outcomes, result.seconds);
    }
    return result.exitCode();
}

int run(int argc, char** argv) {
    Options options;
    CLI::App app{kDescription, "vexobit-render"};
    app.footer(kFooter);
    app.get_formatter()->column_width(28);
    app.set_version_flag("--version", std::string("vexobit-render ") + VEXOBIT_RENDER_VERSION);
    app.add_option("INPUT", options.inputs, "Audio files to render (any format libsndfile reads)");
    app.add_option("-o,--output", options.output, "Output file for a single INPUT")->type_name("FILE");
    app.add_option("--out-dir", options.outDir, "Write the results into this folder")->type_name("DIR");
    app.add_option("-j,--jobs", options.jobs, "Files rendered at the same time (default: number of cores)")
        ->type_name("N");
    app.add_option("-p,--param", options.params,
                   "Set a parameter, by the plug-in's name for it (any case) or its index, to a value from 0 to 1; "
                   "repeatable")
        ->type_name("NAME=VALUE")
        ->allow_extra_args(false)
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
    app.add_flag("--list-params", options.listParams, "List the plug-in's parameters and exit");
    app.add_flag("--info", options.info, "Show the plug-in's name, vendor, versions, ID and channels and exit");
    app.add_option("--block-size", options.blockSize, "Frames per processing block, 1 to 65536 (default: 512)")
        ->type_name("N");
    app.add_flag("--force", options.force, "Replace existing output files");
    app.add_flag("-q,--quiet", options.quiet, "Print errors only");
    app.add_option("--plugin", options.plugin, "The VST 2.4 module to use (default: Vexobit beside this program)")
        ->type_name("PATH");
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        if (error.get_exit_code() == 0) return app.exit(error);
        throw usageError(std::string(error.what()) + "; see vexobit-render --help");
    }

    RenderSettings settings;
    settings.blockSize = static_cast<VstInt32>(
        parseCount(options.blockSize, "--block-size", 1, kMaxBlockSize, "frames"));
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    settings.jobs = options.jobs.empty() ? cores
                                         : static_cast<unsigned>(parseCount(options.jobs, "--jobs", 1, kMaxJobs, "files"));
    settings.replace = options.force;
    std::vector<ParameterAssignment> assignments;
    for (const auto& text : options.params) assignments.push_back(parseAssignment(text));
    const bool query = options.info || options.listParams;
    if (query && !options.inputs.empty())
        throw usageError(std::string(options.info ? "--info" : "--list-params") +
                         " only shows the plug-in; drop it, or drop the INPUT files");
    if (!options.output.empty() && options.inputs.size() != 1)
        throw usageError("-o names the result of one INPUT; give exactly one INPUT, or --out-dir for several");
    if (!options.output.empty() && !options.outDir.empty())
        throw usageError("-o and --out-dir both say where the result goes; give only one of them");
    if (!options.outDir.empty()) checkFolder(options.outDir, "output folder");

    PluginModule module(options.plugin.empty() ? defaultModule() : fs::path(options.plugin));
    PluginInstance probe(module, HostContext{kProbeSampleRate, settings.blockSize});
    const std::vector<ParameterSetting> parameters = resolveAssignments(assignments, probe);
    for (const auto& setting : parameters) probe.setParameter(setting.index, setting.value);

    if (query) {
        if (options.info) printInfo(probe, module.path());
        if (options.info && options.listParams) std::printf("\n");
        if (options.listParams) printParameters(probe);
        return kExitOk;
    }
    if (options.inputs.empty())
        return runDemo(module, probe, parameters, settings, options.outDir.empty() ? "." : options.outDir,
                       options.quiet);

    std::vector<fs::path> inputs(options.inputs.begin(), options.inputs.end());
    std::vector<fs::path> outputs;
    if (!options.output.empty()) {
        const fs::path output = options.output;
        std::error_code error;
        if (fs::is_directory(output, error))
            throw usageError("-o " + output.string() + " is a folder; give a file name, or use --out-dir");
        checkFolder(output.has_parent_path() ? output.parent_path() : ".", "output folder");
        outputs.push_back(output);
    } else {
        for (const auto& input : inputs) outputs.push_back(resultPath(input, options.outDir));
    }
    checkOutputs(inputs, outputs);

    std::vector<RenderJob> jobs;
    for (std::size_t i = 0; i < inputs.size(); ++i) jobs.push_back({inputs[i], outputs[i], parameters});
    const BatchResult result = renderJobs(module, jobs, settings, options.quiet);
    // A single file that failed has said all there is in its error line.
    const bool singleFailed = jobs.size() == 1 && !result.outcomes[0].rendered;
    if (!options.quiet && !singleFailed) printSummary(jobs, result.outcomes, result.seconds);
    return result.exitCode();
}

}  // namespace

}  // namespace render

int main(int argc, char** argv) {
    try {
        return render::run(argc, argv);
    } catch (const render::Failure& failure) {
        render::printError(failure.what());
        return failure.code();
    } catch (const std::exception& failure) {
        render::printError(std::string("unexpected failure (") + failure.what() + "); please report it");
        return render::kExitFileFailed;
    }
}
