#pragma once

#include <string>
#include <sys/types.h>

// A private X server for the tests: Xvfb on the first free display number, started with the test
// program as its parent (it ends with the program, however the program ends) and stopped by its
// process id.
class XvfbServer
{
public:
    // Starts the server and waits until it accepts connections; Running() tells whether it did.
    XvfbServer();
    ~XvfbServer();
    XvfbServer(const XvfbServer&) = delete;
    XvfbServer& operator=(const XvfbServer&) = delete;

    bool Running() const { return pid_ > 0; }
    // ":<number>"
    const std::string& Name() const { return name_; }

    static constexpr int kWidth = 1600;
    static constexpr int kHeight = 1000;

private:
    void Stop();

    pid_t pid_ = -1;
    std::string name_;
};
