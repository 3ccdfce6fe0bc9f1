#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace zr
{

// Runs a program found on PATH with the given arguments, straight through posix_spawn (never a
// shell), and collects what it writes to its standard output. While it runs, wait is called about
// every 40 ms (the editor keeps painting).
class SpawnedProgram
{
public:
    struct Result
    {
        int exitStatus = -1; // -1 when it did not end normally
        std::string output;
    };

    // The full path of name on PATH; "" when it is not installed.
    static std::string Find(const std::string& name);
    // nullopt when the program could not be started. Without captureOutput the program writes to
    // /dev/null (a browser it starts may outlive it holding the output open).
    static std::optional<Result> Run(const std::vector<std::string>& args, const std::function<void()>& wait,
                                     bool captureOutput = true);
};

} // namespace zr
