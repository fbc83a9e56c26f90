// The program's failures and the exit codes they end it with.
#pragma once

#include <stdexcept>
#include <string>

namespace render {

enum ExitCode : int {
    kExitOk = 0,
    // One or more files could not be rendered; every other file was.
    kExitFileFailed = 1,
    // The command line is wrong; nothing was rendered.
    kExitUsage = 2,
    // The plug-in module could not be loaded or started; nothing was rendered.
    kExitPlugin = 3,
};

// A failure with its one-line message: what is wrong, then what to do.
class Failure : public std::runtime_error {
public:
    Failure(ExitCode code, const std::string& message) : std::runtime_error(message), exitCode(code) {}
    ExitCode code() const { return exitCode; }

private:
    ExitCode exitCode;
};

inline Failure usageError(const std::string& message) { return Failure(kExitUsage, message); }
inline Failure pluginError(const std::string& message) { return Failure(kExitPlugin, message); }
inline Failure fileError(const std::string& message) { return Failure(kExitFileFailed, message); }

}  // namespace render
