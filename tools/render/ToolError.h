// Failures of the render host that end the run with a message and an exit code.
#pragma once

#include <stdexcept>
#include <string>

namespace zr::render
{

enum ExitCode : int
{
    kExitOk = 0,
    kExitFailure = 1, // unreadable or malformed file, unusable plug-in, write error
    kExitBadArguments = 2,
};

class ToolError : public std::runtime_error
{
public:
    ToolError(const std::string& message, int exitCode = kExitFailure)
        : std::runtime_error(message), exitCode_(exitCode)
    {
    }
    int ExitCode() const { return exitCode_; }

private:
    int exitCode_;
};

} // namespace zr::render
