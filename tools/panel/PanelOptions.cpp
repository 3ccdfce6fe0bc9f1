#include "PanelOptions.h"

#include <cctype>
#include <charconv>
#include <cstdlib>
#include <sstream>

namespace zr::paneltool
{
namespace
{

int ParseInt(const std::string& option, const std::string& text)
{
    int value = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (result.ec != std::errc() || result.ptr != text.data() + text.size())
        throw BadArguments(option + " expects a whole number, got \"" + text + "\"");
    return value;
}

// "X,Y" or "X,Y,DX,DY": count whole numbers separated by commas.
std::vector<int> ParseInts(const std::string& option, const std::string& text, size_t count)
{
    std::vector<int> values;
    std::stringstream in(text);
    std::string part;
    while (std::getline(in, part, ','))
        values.push_back(ParseInt(option, part));
    if (values.size() != count) throw BadArguments(option + " expects " + std::to_string(count) + " numbers");
    return values;
}

ParamSetting ParseParam(const std::string& text)
{
    const auto eq = text.rfind('=');
    if (eq == std::string::npos || eq == 0)
        throw BadArguments("--param expects [B:]NAME=V, got \"" + text + "\"");
    ParamSetting setting;
    const std::string valueText = text.substr(eq + 1);
    char* end = nullptr;
    setting.value = std::strtod(valueText.c_str(), &end);
    if (valueText.empty() || *end != '\0' || setting.value < 0.0 || setting.value > 1.0)
        throw BadArguments("--param " + text + ": the value must be a number from 0 to 1");
    std::string key = text.substr(0, eq);
    if (key[0] == '#')
    {
        setting.index = ParseInt("--param", key.substr(1));
        return setting;
    }
    if (key.size() > 2 && key[1] == ':' && std::isalpha(static_cast<unsigned char>(key[0])))
    {
        setting.block = std::toupper(static_cast<unsigned char>(key[0])) - 'A';
        key = key.substr(2);
    }
    setting.name = key;
    return setting;
}

} // namespace

PanelOptions ParsePanelArguments(int argc, const char* const* argv)
{
    PanelOptions o;
    for (int i = 1; i < argc; ++i)
    {
        const std::string option = argv[i];
        if (option.empty() || option[0] != '-')
        {
            if (!o.output.empty()) throw BadArguments("only one output file, got \"" + option + "\" too");
            o.output = option;
            continue;
        }
        if (option == "--help")
        {
            o.help = true;
            return o;
        }
        if (i + 1 >= argc) throw BadArguments(option + " expects a value");
        const std::string value = argv[++i];
        if (option == "--program")
            o.program = ParseInt(option, value);
        else if (option == "--fxp")
            o.fxp = value;
        else if (option == "--fxb")
            o.fxb = value;
        else if (option == "--param")
            o.params.push_back(ParseParam(value));
        else if (option == "--hover" || option == "--click")
        {
            const std::vector<int> xy = ParseInts(option, value, 2);
            (option == "--hover" ? o.hover : o.click) = Point{xy[0], xy[1]};
        }
        else if (option == "--drag")
        {
            const std::vector<int> v = ParseInts(option, value, 4);
            o.drag = DragGesture{{v[0], v[1]}, v[2], v[3]};
        }
        else
            throw BadArguments("unknown option " + option);
    }
    if (o.output.empty()) throw BadArguments("no output file");
    return o;
}

std::string PanelUsage()
{
    return R"(usage: zr4400-panel [OPTIONS] OUTPUT.png

Draws the panel of one instrument instance, without a window, into a PNG file.

  --fxb FILE           load a bank file
  --program N          select program N (0..63; after --fxb)
  --fxp FILE           load a program file into the selected program
  --param [B:]NAME=V   set a parameter to the normalised value V (0..1), as host automation does;
                       NAME as the instrument names it (case ignored), B the block (A, B, C) of a
                       block parameter; "#N=V" sets parameter index N. May be repeated.
  --hover X,Y          move the mouse over the panel point (X, Y)
  --click X,Y          press and release the left button at (X, Y)
  --drag X,Y,DX,DY     press at (X, Y), drag by (DX, DY), release

The steps run in this order: --fxb, --program, --fxp, every --param, --click, --drag, --hover.
)";
}

} // namespace zr::paneltool
