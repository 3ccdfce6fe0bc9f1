#include "XvfbServer.h"

#include <X11/Xlib.h>
#include <csignal>
#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>

namespace
{
constexpr int kFirstDisplay = 91;
constexpr int kLastDisplay = 199;
constexpr auto kStartTimeout = std::chrono::seconds(20);

bool DisplayInUse(int number)
{
    const std::string lock = "/tmp/.X" + std::to_string(number) + "-lock";
    const std::string socket = "/tmp/.X11-unix/X" + std::to_string(number);
    return access(lock.c_str(), F_OK) == 0 || access(socket.c_str(), F_OK) == 0;
}
} // namespace

XvfbServer::XvfbServer()
{
    for (int number = kFirstDisplay; number <= kLastDisplay && pid_ < 0; ++number)
    {
        if (DisplayInUse(number)) continue;
        const std::string name = ":" + std::to_string(number);
        const std::string screen = std::to_string(kWidth) + "x" + std::to_string(kHeight) + "x24";
        const pid_t parent = getpid();
        const pid_t pid = fork();
        if (pid == 0)
        {
            // Ends with the test program, even when it crashes.
            prctl(PR_SET_PDEATHSIG, SIGTERM);
            if (getppid() != parent) _exit(1);
            const int devNull = open("/dev/null", O_WRONLY);
            dup2(devNull, STDOUT_FILENO);
            dup2(devNull, STDERR_FILENO);
            execlp("Xvfb", "Xvfb", name.c_str(), "-screen", "0", screen.c_str(), "-nolisten", "tcp",
                   "-noreset", static_cast<char*>(nullptr));
            _exit(127);
        }
        if (pid < 0) return;
        const auto deadline = std::chrono::steady_clock::now() + kStartTimeout;
        bool exited = false;
        while (std::chrono::steady_clock::now() < deadline && !exited)
        {
            int status = 0;
            exited = waitpid(pid, &status, WNOHANG) == pid; // lost the race for this number
            if (exited) break;
            if (Display* display = XOpenDisplay(name.c_str()))
            {
                XCloseDisplay(display);
                pid_ = pid;
                name_ = name;
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        if (pid_ < 0 && !exited)
        {
            kill(pid, SIGTERM);
            waitpid(pid, nullptr, 0);
        }
    }
}

XvfbServer::~XvfbServer()
{
    Stop();
}

void XvfbServer::Stop()
{
    if (pid_ <= 0) return;
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
    pid_ = -1;
}
