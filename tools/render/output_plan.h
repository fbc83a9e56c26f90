// Where each result goes, and the checks that keep a render from writing
// over its own input or two inputs from writing the same file.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace render {

// drums.wav -> drums-vexobit.wav, beside the input or in outDir when given.
std::filesystem::path resultPath(const std::filesystem::path& input, const std::filesystem::path& outDir);

// A key equal for two paths exactly when they name the same file: the
// device and inode of an existing file, else the path with every existing
// folder and link resolved.
std::string fileIdentity(const std::filesystem::path& file);

// Throws a usage Failure when an output names an input (its own or another
// one) or two inputs would write the same output. outputs[i] is inputs[i]'s.
void checkOutputs(const std::vector<std::filesystem::path>& inputs,
                  const std::vector<std::filesystem::path>& outputs);

// Throws a usage Failure unless `folder` is an existing folder.
void checkFolder(const std::filesystem::path& folder, const std::string& role);

}  // namespace render
