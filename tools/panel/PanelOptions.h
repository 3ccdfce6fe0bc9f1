#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace zr::paneltool
{

// A wrong command line; the message says what was wrong.
struct BadArguments : std::runtime_error
{
    using std::runtime_error::runtime_error;
};

struct ParamSetting
{
    std::string name; // as the instrument names it; empty with an index
    int block = -1;   // 0 for A ...; -1: every parameter of that name
    int index = -1;
    double value = 0.0; // normalised
};

struct Point
{
    int x = 0;
    int y = 0;
};

struct DragGesture
{
    Point from;
    int dx = 0;
    int dy = 0;
};

struct PanelOptions
{
    std::string output;
    std::optional<int> program;
    std::string fxp;
    std::string fxb;
    std::vector<ParamSetting> params;
    std::optional<Point> hover;
    std::optional<Point> click;
    std::optional<DragGesture> drag;
    bool help = false;
};

// Throws BadArguments.
PanelOptions ParsePanelArguments(int argc, const char* const* argv);
std::string PanelUsage();

} // namespace zr::paneltool
