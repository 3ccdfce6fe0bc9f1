#include "platform/linux/SpawnedProgram.h"

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string_view>

extern char** environ;

namespace zr
{

std::string SpawnedProgram::Find(const std::string& name)
{
    const char* path = std::getenv("PATH");
    std::string_view folders = path ? path : "/usr/bin:/bin";
    while (!folders.empty())
    {
        const size_t colon = folders.find(':');
        const std::string_view folder = folders.substr(0, colon);
        folders = colon == std::string_view::npos ? std::string_view() : folders.substr(colon + 1);
        if (folder.empty()) continue;
        const std::string candidate = std::string(folder) + "/" + name;
        if (access(candidate.c_str(), X_OK) == 0) return candidate;
    }
    return {};
}

std::optional<SpawnedProgram::Result> SpawnedProgram::Run(const std::vector<std::string>& args,
                                                          const std::function<void()>& wait,
                                                          bool captureOutput)
{
    if (args.empty()) return std::nullopt;
    const std::string program = Find(args[0]);
    if (program.empty()) return std::nullopt;
    int pipeFds[2];
    if (pipe2(pipeFds, O_CLOEXEC) != 0) return std::nullopt;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (captureOutput)
        posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
    else
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    std::vector<char*> argv;
    for (const std::string& arg : args)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeFds[1]);
    if (!captureOutput)
    {
        close(pipeFds[0]);
        pipeFds[0] = -1;
    }
    if (spawned != 0)
    {
        if (pipeFds[0] >= 0) close(pipeFds[0]);
        return std::nullopt;
    }
    Result result;
    char buffer[4096];
    int status = 0;
    for (bool open = pipeFds[0] >= 0; open;)
    {
        pollfd fd{pipeFds[0], POLLIN, 0};
        const int ready = poll(&fd, 1, 40);
        if (ready > 0)
        {
            const ssize_t n = read(pipeFds[0], buffer, sizeof buffer);
            if (n > 0)
                result.output.append(buffer, static_cast<size_t>(n));
            else if (n == 0 || errno != EINTR)
                open = false;
        }
        if (wait) wait();
    }
    if (pipeFds[0] >= 0) close(pipeFds[0]);
    for (;;)
    {
        const pid_t ended = waitpid(pid, &status, WNOHANG);
        if (ended == pid || (ended < 0 && errno != EINTR)) break;
        if (wait) wait();
        usleep(40000);
    }
    result.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

} // namespace zr
