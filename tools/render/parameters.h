// Parameter assignments from the command line (-p NAME=VALUE), checked
// against the names and count the plug-in reports.
#pragma once

#include <string>
#include <vector>

#include "framework/vst_abi.h"

namespace render {

class PluginInstance;

// An assignment as the user wrote it; the value is checked already.
struct ParameterAssignment {
    std::string name;  // a parameter name, or its index in decimal
    float value = 0.0f;
};

// A parameter value to set on every instance before it is switched on.
struct ParameterSetting {
    VstInt32 index = 0;
    float value = 0.0f;
};

// Splits NAME=VALUE at the last '=' and checks VALUE is a number from 0 to 1.
// Throws a usage Failure otherwise.
ParameterAssignment parseAssignment(const std::string& text);

// Finds each assignment's parameter: by name (the plug-in's own, compared
// without case and surrounding blanks), else by index. Throws a usage
// Failure for an unknown name, an ambiguous one or an index out of range.
std::vector<ParameterSetting> resolveAssignments(const std::vector<ParameterAssignment>& assignments,
                                                 PluginInstance& plugin);

// The index of the parameter the plug-in calls `name`, or -1.
VstInt32 findParameter(PluginInstance& plugin, const std::string& name);

}  // namespace render
