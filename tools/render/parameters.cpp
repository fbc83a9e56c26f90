#include "tools/render/parameters.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <optional>

#include "tools/render/failure.h"
#include "tools/render/plugin_host.h"

namespace render {

namespace {

std::string trimmed(const std::string& text) {
    const auto blank = [](unsigned char c) { return std::isspace(c) != 0; };
    auto first = std::find_if_not(text.begin(), text.end(), blank);
    auto last = std::find_if_not(text.rbegin(), std::string::const_reverse_iterator(first), blank).base();
    return {first, last};
}

std::string folded(const std::string& text) {
    std::string out = trimmed(text);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return out;
}

// A decimal integer with nothing else around it.
std::optional<long> parseIndex(const std::string& text) {
    const std::string digits = trimmed(text);
    long index = 0;
    const char* end = digits.data() + digits.size();
    const auto [stop, error] = std::from_chars(digits.data(), end, index);
    if (digits.empty() || error != std::errc() || stop != end) return std::nullopt;
    return index;
}

std::string listHint(const PluginInstance& plugin) {
    return plugin.numParams() > 0 ? "; see --list-params for this plug-in's " + std::to_string(plugin.numParams()) +
                                        " parameters"
                                  : "; this plug-in has no parameters";
}

}  // namespace

ParameterAssignment parseAssignment(const std::string& text) {
    const auto equals = text.rfind('=');
    if (equals == std::string::npos || trimmed(text.substr(0, equals)).empty())
        throw usageError("-p " + text + ": write it as NAME=VALUE, such as -p \"Sample rate=0.5\"");
    ParameterAssignment assignment;
    assignment.name = trimmed(text.substr(0, equals));
    const std::string number = trimmed(text.substr(equals + 1));
    double value = 0.0;
    const char* end = number.data() + number.size();
    const auto [stop, error] = std::from_chars(number.data(), end, value);
    if (number.empty() || error != std::errc() || stop != end || !std::isfinite(value))
        throw usageError("-p " + text + ": \"" + number + "\" is not a number; give a value from 0 to 1");
    if (value < 0.0 || value > 1.0)
        throw usageError("-p " + text + ": " + number + " is outside 0..1; parameter values are normalized, give 0 to 1");
    assignment.value = static_cast<float>(value);
    return assignment;
}

VstInt32 findParameter(PluginInstance& plugin, const std::string& name) {
    const std::string wanted = folded(name);
    for (VstInt32 i = 0; i < plugin.numParams(); ++i)
        if (folded(plugin.parameterName(i)) == wanted) return i;
    return -1;
}

std::vector<ParameterSetting> resolveAssignments(const std::vector<ParameterAssignment>& assignments,
                                                 PluginInstance& plugin) {
    std::vector<ParameterSetting> settings;
    for (const auto& assignment : assignments) {
        const std::string wanted = folded(assignment.name);
        VstInt32 found = -1;
        for (VstInt32 i = 0; i < plugin.numParams(); ++i) {
            if (folded(plugin.parameterName(i)) != wanted) continue;
            if (found >= 0)
                throw usageError("-p " + assignment.name + ": the plug-in has several parameters of that name; give the index instead" +
                                 listHint(plugin));
            found = i;
        }
        if (found < 0) {
            const std::optional<long> index = parseIndex(assignment.name);
            if (!index)
                throw usageError("-p " + assignment.name + ": the plug-in has no parameter of that name" +
                                 listHint(plugin));
            if (*index < 0 || *index >= plugin.numParams())
                throw usageError("-p " + assignment.name + ": no parameter has that index" + listHint(plugin));
            found = static_cast<VstInt32>(*index);
        }
        settings.push_back({found, assignment.value});
    }
    return settings;
}

}  // namespace render
