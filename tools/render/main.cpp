// zr4400-render: renders MIDI through a VST2 instrument into a WAV file.
#include "FxFile.h"
#include "HostContext.h"
#include "MidiSequence.h"
#include "ParamSetter.h"
#include "PluginInstance.h"
#include "PluginModule.h"
#include "RenderOptions.h"
#include "Renderer.h"
#include "ToolError.h"
#include "WavWriter.h"

#include <cstdio>
#include <iostream>
#include <optional>
#include <sys/stat.h>

using namespace zr::render;

namespace
{

std::string ModulePath(const RenderOptions& options)
{
    if (!options.pluginPath.empty()) return options.pluginPath;
    const std::string path = PluginModule::DefaultPath();
    struct stat st
    {
    };
    if (stat(path.c_str(), &st) != 0)
        throw ToolError("the ZR-4400 module is not next to the tool (looked for " + path +
                        "); build it or choose another module with --plugin PATH");
    return path;
}

// Bank first, so that --program picks from it; a program file goes into the chosen program.
void ApplySettings(PluginInstance& plugin, const RenderOptions& options, const std::optional<FxFile>& fx)
{
    if (fx && fx->IsBank()) fx->ApplyTo(plugin, options.fxbPath);
    if (options.program)
    {
        if (*options.program >= plugin.NumPrograms())
            throw ToolError("--program " + std::to_string(*options.program) + ": the plug-in has " +
                                std::to_string(plugin.NumPrograms()) + " programs (0 .. " +
                                std::to_string(plugin.NumPrograms() - 1) + ")",
                            kExitBadArguments);
        plugin.SetProgram(*options.program);
    }
    if (fx && !fx->IsBank()) fx->ApplyTo(plugin, options.fxpPath);
    ApplyParams(plugin, options.params);
}

// The plug-in's state after every setting, exported as opaque-chunk files.
void SaveFiles(PluginInstance& plugin, const RenderOptions& options)
{
    if (!options.saveFxpPath.empty()) FxFile::FromPlugin(plugin, false).Save(options.saveFxpPath);
    if (!options.saveFxbPath.empty()) FxFile::FromPlugin(plugin, true).Save(options.saveFxbPath);
}

void ListPrograms(PluginInstance& plugin)
{
    for (int i = 0; i < plugin.NumPrograms(); ++i)
        std::printf("%4d  %s\n", i, plugin.ProgramName(i).c_str());
}

void ListParams(PluginInstance& plugin)
{
    for (int i = 0; i < plugin.NumParams(); ++i)
        std::printf("%4d  %-24s %.6f  %s\n", i, plugin.ParamName(i).c_str(),
                    static_cast<double>(plugin.GetParameter(i)), plugin.ParamDisplay(i).c_str());
}

void PrintSummary(const RenderSummary& s, const RenderOptions& options, PluginInstance& plugin,
                  const std::string& path)
{
    std::printf("plug-in:   %s (%s)\n", plugin.EffectName().c_str(), path.c_str());
    std::printf("output:    %s (%d channel%s, %.0f Hz, block %d, %s precision)\n", options.outputPath.c_str(),
                s.channels, s.channels == 1 ? "" : "s", options.sampleRate, options.blockSize,
                options.doublePrecision ? "double" : "single");
    std::printf("length:    %.3f s (%lld frames)\n", s.seconds, static_cast<long long>(s.frames));
    std::printf("peak:      %.6f (%.2f dBFS)\n", s.stats.Peak(), AudioStats::ToDecibels(s.stats.Peak()));
    std::printf("RMS:       %.6f (%.2f dBFS)\n", s.stats.Rms(), AudioStats::ToDecibels(s.stats.Rms()));
    if (s.wallSeconds > 0.0) std::printf("real-time factor: %.1f\n", s.seconds / s.wallSeconds);
    if (s.stats.NonFinite() > 0)
        std::fprintf(stderr, "warning: the plug-in produced %lld NaN or infinite samples, written as 0\n",
                     static_cast<long long>(s.stats.NonFinite()));
}

int Run(int argc, const char* const* argv)
{
    const RenderOptions options = ParseArguments(argc, argv);
    if (options.help)
    {
        std::cout << UsageText();
        return kExitOk;
    }
    // Every input file is read before the plug-in is loaded, so a bad file fails fast.
    const MidiSequence sequence =
        options.midiPath.empty() ? MidiSequence::DemoPhrase() : MidiSequence::LoadFile(options.midiPath);
    std::optional<FxFile> fx;
    if (!options.fxpPath.empty()) fx = FxFile::Load(options.fxpPath, false);
    if (!options.fxbPath.empty()) fx = FxFile::Load(options.fxbPath, true);

    HostContext host;
    host.SetFormat(options.sampleRate, options.blockSize);
    const std::string path = ModulePath(options);
    PluginModule module(path);
    PluginInstance plugin(module);
    plugin.Setup(options.sampleRate, options.blockSize, options.doublePrecision);
    ApplySettings(plugin, options, fx);
    SaveFiles(plugin, options);
    if (options.listPrograms) ListPrograms(plugin);
    if (options.listParams) ListParams(plugin);
    if (options.listPrograms || options.listParams || options.outputPath.empty()) return kExitOk;

    Renderer renderer(plugin, host, sequence, options);
    WavWriter out(options.outputPath, Renderer::WrittenChannels(plugin), options.sampleRate);
    plugin.Resume();
    const RenderSummary summary = renderer.Run(out);
    plugin.Suspend();
    out.Close();
    if (!options.quiet) PrintSummary(summary, options, plugin, path);
    return kExitOk;
}

} // namespace

int main(int argc, char** argv)
{
    try
    {
        return Run(argc, argv);
    }
    catch (const ToolError& e)
    {
        std::fprintf(stderr, "zr4400-render: %s\n", e.what());
        return e.ExitCode();
    }
    catch (const std::exception& e)
    {
        std::fprintf(stderr, "zr4400-render: %s\n", e.what());
        return kExitFailure;
    }
}
