#include "RenderOptions.h"

#include "ToolError.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <functional>
#include <map>

namespace zr::render
{
namespace
{

[[noreturn]] void BadArgument(const std::string& message)
{
    throw ToolError(message + " (see --help)", kExitBadArguments);
}

double ParseNumber(const std::string& option, const std::string& text, double lo, double hi)
{
    double v = 0.0;
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, v);
    if (text.empty() || ec != std::errc() || ptr != end || !std::isfinite(v))
        BadArgument(option + " expects a number, got \"" + text + "\"");
    if (v < lo || v > hi)
        BadArgument(option + " " + text + " is out of range " + std::to_string(lo) + " .. " +
                    std::to_string(hi));
    return v;
}

int ParseInteger(const std::string& option, const std::string& text, int lo, int hi)
{
    int v = 0;
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, v);
    if (text.empty() || ec != std::errc() || ptr != end)
        BadArgument(option + " expects a whole number, got \"" + text + "\"");
    if (v < lo || v > hi)
        BadArgument(option + " " + text + " is out of range " + std::to_string(lo) + " .. " +
                    std::to_string(hi));
    return v;
}

bool IsBlockPrefix(const std::string& text)
{
    return text.size() > 2 && text[1] == ':' && std::isalpha(static_cast<unsigned char>(text[0]));
}

} // namespace

ParamAssignment ParseParamAssignment(const std::string& text)
{
    ParamAssignment a;
    a.text = text;
    const auto eq = text.rfind('=');
    if (eq == std::string::npos || eq == 0)
        BadArgument("--param expects [BLOCK:]NAME=VALUE, got \"" + text + "\"");
    std::string key = text.substr(0, eq);
    a.value = ParseNumber("--param " + key, text.substr(eq + 1), 0.0, 1.0);
    if (key[0] == '#')
    {
        a.index = ParseInteger("--param", key.substr(1), 0, 1 << 20);
        return a;
    }
    if (IsBlockPrefix(key))
    {
        a.block = std::toupper(static_cast<unsigned char>(key[0])) - 'A';
        key = key.substr(2);
    }
    a.name = key;
    return a;
}

RenderOptions ParseArguments(int argc, const char* const* argv)
{
    RenderOptions o;
    using Handler = std::function<void(const std::string&)>;
    const std::map<std::string, Handler> withValue = {
        {"--plugin", [&](const std::string& v) { o.pluginPath = v; }},
        {"-o", [&](const std::string& v) { o.outputPath = v; }},
        {"--output", [&](const std::string& v) { o.outputPath = v; }},
        {"--program", [&](const std::string& v) { o.program = ParseInteger("--program", v, 0, 1 << 20); }},
        {"--fxp", [&](const std::string& v) { o.fxpPath = v; }},
        {"--fxb", [&](const std::string& v) { o.fxbPath = v; }},
        {"--save-fxp", [&](const std::string& v) { o.saveFxpPath = v; }},
        {"--save-fxb", [&](const std::string& v) { o.saveFxbPath = v; }},
        {"--param", [&](const std::string& v) { o.params.push_back(ParseParamAssignment(v)); }},
        {"--rate", [&](const std::string& v)
         { o.sampleRate = ParseNumber("--rate", v, RenderOptions::kMinRate, RenderOptions::kMaxRate); }},
        {"--block", [&](const std::string& v)
         { o.blockSize = ParseInteger("--block", v, 1, RenderOptions::kMaxBlock); }},
        {"--tail", [&](const std::string& v)
         { o.tailSeconds = ParseNumber("--tail", v, 0.0, RenderOptions::kMaxTail); }},
    };
    const std::map<std::string, bool*> flags = {
        {"--double", &o.doublePrecision},
        {"--list-programs", &o.listPrograms},
        {"--list-params", &o.listParams},
        {"-q", &o.quiet},
        {"--quiet", &o.quiet},
        {"-h", &o.help},
        {"--help", &o.help},
    };
    for (int i = 1; i < argc; ++i)
    {
        std::string arg = argv[i];
        std::string value;
        bool inlineValue = false;
        if (arg.rfind("--", 0) == 0)
            if (auto eq = arg.find('='); eq != std::string::npos)
            {
                value = arg.substr(eq + 1);
                arg = arg.substr(0, eq);
                inlineValue = true;
            }
        if (auto f = flags.find(arg); f != flags.end() && !inlineValue)
            *f->second = true;
        else if (auto h = withValue.find(arg); h != withValue.end())
        {
            if (!inlineValue)
            {
                if (i + 1 >= argc) BadArgument(arg + " needs a value");
                value = argv[++i];
            }
            h->second(value);
        }
        else if (!arg.empty() && arg[0] == '-' && arg != "-")
            BadArgument("unknown option " + arg);
        else if (o.midiPath.empty())
            o.midiPath = arg;
        else
            BadArgument("more than one MIDI file given (\"" + o.midiPath + "\" and \"" + arg + "\")");
    }
    if (o.help) return o;
    if (!o.fxpPath.empty() && !o.fxbPath.empty()) BadArgument("give either --fxp or --fxb, not both");
    if (o.outputPath.empty() && !o.listPrograms && !o.listParams && o.saveFxpPath.empty() &&
        o.saveFxbPath.empty())
        BadArgument("no output file: give -o FILE.wav");
    return o;
}

std::string UsageText()
{
    return R"(Usage: zr4400-render [OPTIONS] [FILE.mid] -o OUT.wav
       zr4400-render [OPTIONS] --list-programs | --list-params
       zr4400-render [OPTIONS] --save-fxp FILE.fxp | --save-fxb FILE.fxb

Renders a Standard MIDI File (or, without one, a built-in demo phrase) through a
VST2 instrument plug-in and writes a 32-bit float WAV file. The plug-in is
loaded and driven exactly as a VST2 host does.

Options:
  --plugin PATH        VST2 module to load (default: ZR440064.so next to this tool)
  -o, --output FILE    WAV file to write
  --program N          select program N (0-based) before rendering
  --fxp FILE           load a program file (opaque chunk or parameter list)
  --fxb FILE           load a bank file (opaque chunk or program list)
  --param [B:]NAME=V   set a parameter to the normalised value V (0..1); NAME is
                       the name the plug-in reports (see --list-params, case is
                       ignored). Without a block every parameter of that name is
                       set; with a block letter B (A, B, C ...) only the B-th
                       parameter of that name, e.g. --param "B:Cutoff=0.3".
                       "#N=V" sets parameter index N. May be repeated.
  --rate HZ            sample rate (default 44100, 1000..768000)
  --block N            block size in samples (default 512, 1..65536)
  --double             process in double precision (processDoubleReplacing)
  --tail SECONDS       render this long after the last MIDI event (default 2)
  --save-fxp FILE      after every setting, write the current program as an
                       opaque-chunk program file ("FPCh", as hosts save it)
  --save-fxb FILE      after every setting, write all programs as an
                       opaque-chunk bank file ("FBCh"); without -o the tool
                       exits after saving, with -o it renders as well
  --list-programs      print the plug-in's programs and exit
  --list-params        print name, normalised value and display of every
                       parameter (after --program/--fxp/--fxb/--param) and exit
  -q, --quiet          print no summary
  -h, --help           show this text

Order of settings: --fxb first (so --program picks from the loaded bank), then
--program, then --fxp (into the selected program), then every --param; then
--save-fxp/--save-fxb.
Exit status: 0 success, 1 unreadable or malformed file, unusable plug-in or
write error, 2 bad arguments.
)";
}

} // namespace zr::render
