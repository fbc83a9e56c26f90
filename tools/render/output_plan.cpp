#include "tools/render/output_plan.h"

#include <sys/stat.h>

#include <map>

#include "tools/render/failure.h"

namespace render {

namespace fs = std::filesystem;

fs::path resultPath(const fs::path& input, const fs::path& outDir) {
    fs::path name = input.stem();
    name += "-vexobit";
    name += input.extension();
    return outDir.empty() ? input.parent_path() / name : outDir / name;
}

std::string fileIdentity(const fs::path& file) {
    struct stat status {};
    if (::stat(file.c_str(), &status) == 0)
        return "file " + std::to_string(status.st_dev) + ":" + std::to_string(status.st_ino);
    std::error_code error;
    const fs::path resolved = fs::weakly_canonical(fs::absolute(file, error), error);
    return "path " + (error ? fs::absolute(file).lexically_normal().string() : resolved.string());
}

void checkOutputs(const std::vector<fs::path>& inputs, const std::vector<fs::path>& outputs) {
    std::map<std::string, std::size_t> inputByIdentity;
    for (std::size_t i = 0; i < inputs.size(); ++i) inputByIdentity.emplace(fileIdentity(inputs[i]), i);
    std::map<std::string, std::size_t> outputByIdentity;
    for (std::size_t i = 0; i < outputs.size(); ++i) {
        const std::string identity = fileIdentity(outputs[i]);
        if (const auto input = inputByIdentity.find(identity); input != inputByIdentity.end()) {
            if (input->second == i)
                throw usageError("the output " + outputs[i].string() + " is the input " + inputs[i].string() +
                                 " itself; give another output name (never the input, even with --force)");
            throw usageError("the output of " + inputs[i].string() + " is " + outputs[i].string() +
                             ", another input; render them separately or into --out-dir");
        }
        const auto [earlier, fresh] = outputByIdentity.emplace(identity, i);
        if (!fresh)
            throw usageError(inputs[earlier->second].string() + " and " + inputs[i].string() +
                             " would both write " + outputs[i].string() +
                             "; render them separately or give each its own --out-dir");
    }
}

void checkFolder(const fs::path& folder, const std::string& role) {
    std::error_code error;
    const fs::file_status status = fs::status(folder, error);
    if (!fs::exists(status))
        throw usageError(role + " " + folder.string() + " does not exist; create it first or give another one");
    if (!fs::is_directory(status))
        throw usageError(role + " " + folder.string() + " is not a folder; give a folder");
}

}  // namespace render
