#include "instrument/ParameterTable.h"

#include "instrument/ParameterTexts.h"
#include "plugin/ParamStore.h"

#include <array>
#include <span>
#include <string>
#include <string_view>

namespace zr
{

namespace
{
using namespace std::string_view_literals;
using Texts = std::span<const std::string_view>;

constexpr std::string_view kPercent = "%";
constexpr std::string_view kHertz = "Hz";
constexpr double kCentStep = 1.0;
constexpr double kFineStep = 0.01;
constexpr double kCoarseStep = 0.1;

constexpr std::array kNoteNames = {"C"sv,  "C#"sv, "D"sv,  "D#"sv, "E"sv,  "F"sv,
                                   "F#"sv, "G"sv,  "G#"sv, "A"sv,  "A#"sv, "B"sv};

// Defines consecutive parameters starting at index 0.
class TableBuilder
{
public:
    explicit TableBuilder(ParamStore& plug) : mPlug(plug) {}

    void Double(std::string_view name, double defaultValue, double min, double max, double step,
                double shape = 1.0, std::string_view label = "")
    {
        if (IParameter* param = Next())
        {
            param->DefineDouble(name, defaultValue, min, max, step, label, shape);
        }
    }
    // A level in 0..1 shown with two decimals.
    void Unit(std::string_view name, double defaultValue, double shape = 1.0)
    {
        Double(name, defaultValue, 0.0, 1.0, kFineStep, shape);
    }
    // A factor in -1..1 shown with two decimals.
    void Bipolar(std::string_view name) { Double(name, 0.0, -1.0, 1.0, kFineStep); }
    void Int(std::string_view name, double defaultValue, double min, double max)
    {
        if (IParameter* param = Next())
        {
            param->DefineInt(name, defaultValue, min, max);
        }
    }
    void Bool(std::string_view name, bool defaultValue)
    {
        if (IParameter* param = Next())
        {
            param->DefineBool(name, defaultValue);
        }
    }
    void Enum(std::string_view name, Texts texts, double defaultValue = 0.0)
    {
        if (IParameter* param = Next())
        {
            param->DefineEnum(name, defaultValue, texts);
        }
    }

private:
    IParameter* Next() { return mPlug.GetParam(mIndex++); }

    ParamStore& mPlug;
    int mIndex = 0;
};

void DefineBlock(TableBuilder& t)
{
    using namespace ParamTexts;
    for (std::string_view note : kNoteNames)
    {
        t.Double("Tune " + std::string(note), 0.0, -100.0, 100.0, kCentStep);
    }
    t.Enum("Waveform", Waveforms(), 1.0);
    t.Double("PWM Int", 50.0, 0.0, 100.0, kCoarseStep, 1.0, kPercent);
    t.Double("Fine", 0.0, -100.0, 100.0, kCentStep);
    t.Double("Coarse", 0.0, -800.0, 800.0, kCentStep);
    t.Enum("Octave", Octaves(), 1.0);
    t.Bool("FM Mod", false);
    t.Enum("FM rev", Polarities());
    t.Double("FM MG1", 0.0, 0.0, 6145.0, kCoarseStep, 2.0);
    t.Double("FM GEG", 0.0, 0.0, 6145.0, kCoarseStep, 2.0);
    t.Enum("FM Src", CvSources());
    t.Enum("PWM Src", CvSources());
    t.Unit("Cutoff", 1.0);
    t.Unit("Peak", 0.0);
    t.Bipolar("fC Bal");
    t.Unit("Expand", 0.0);
    t.Bool("fC Mod", false);
    t.Unit("fC MG1", 0.0);
    t.Unit("fC GEG", 0.0);
    t.Enum("fC Src", CvSources());
    t.Unit("EM Atk", 0.0);
    t.Unit("EM Dcy", 0.0);
    t.Unit("EM Sus", 1.0);
    t.Enum("EM Rel", ReleaseModes());
    t.Bool("EM Hold", false);
    t.Enum("EM A Src", CvSources());
    t.Enum("EM R Src", TriggerSources());
    t.Unit("RS Int", 0.0);
    t.Unit("RS Freq1", 0.2);
    t.Unit("RS Freq2", 0.5);
    t.Unit("RS Freq3", 0.8);
    t.Bool("RS Mod", false);
    t.Enum("RfC Src", CvSources());
    t.Unit("AM Int", 0.0);
    t.Bool("AM Mod", false);
    t.Enum("MG1 Wave", Mg1Waveforms());
    t.Double("MG1 Freq", 0.2, 0.05, 1500.0, kCoarseStep, 6.0, kHertz);
    t.Enum("MG1 FSrc", CvSources());
    t.Enum("MG1 MSrc", CvSources());
    t.Enum("MG1 Host", HostDivisions());
    t.Double("MG2 Freq", 0.2, 0.01, 20.0, kCoarseStep, 2.0, kHertz);
    t.Enum("MG2 Host", HostDivisions());
    t.Unit("KBD Bal", 0.5);
    t.Unit("Volume", 0.25, 2.0);
    t.Unit("Pan", 0.5);
    t.Enum("VCA FSrc", CvSources());
    t.Bool("ChEnable", true);
    t.Enum("Ch Gate", CvSources());
    t.Bool("Over Rel", false);
    t.Double("EM O.Rel", 0.0, 0.0, 1.0, 0.001);
}

void DefineGlobals(TableBuilder& t)
{
    using namespace ParamTexts;
    t.Unit("Final", 0.25, 2.0);
    t.Enum("TVCA Src", CvSources());
    t.Enum("KBD Trig", KeyboardTriggers());
    t.Int("PB Range", 0.0, -24.0, 24.0);
    t.Double("S/H Freq", 0.2, 0.01, 20.0, kCoarseStep, 2.0, kHertz);
    t.Bool("S/H Sync", false);
    t.Enum("S/H In", ShInputs());
    t.Enum("S/H Host", HostDivisions());
    t.Unit("GEG Dly", 0.0);
    t.Unit("GEG Atk", 0.0);
    t.Unit("GEG Rel", 0.0);
    t.Bool("GEG Auto", false);
    t.Enum("GEG Src1", TriggerSources());
    t.Enum("GEG Src2", TriggerSources());
    t.Bipolar("VP1 A");
    t.Bipolar("VP1 B");
    t.Enum("VP1 Src", CvSources());
    t.Bipolar("VP2 A");
    t.Bipolar("VP2 B");
    t.Enum("VP2 Sel", Vp2Inputs(), 1.0);
    t.Enum("VP2 Src", CvSources());
    for (int i = 1; i <= 4; ++i)
    {
        t.Enum("Clk" + std::to_string(i) + " Src", HostDivisions());
    }
    t.Enum("Trg1 Src", Controllers());
    t.Enum("Trg2 Src", Controllers());
    for (int i = 1; i <= 8; ++i)
    {
        t.Enum("VC" + std::to_string(i) + " Src", Controllers());
    }
    t.Bool("Use Hold", true);
    t.Unit("LAG 1", 0.0);
    t.Enum("LAG1 Src", CvSources());
    t.Unit("LAG 2", 0.0);
    t.Enum("LAG2 Src", CvSources());
    for (int i = 1; i <= 3; ++i)
    {
        t.Bipolar("ATN " + std::to_string(i));
        t.Enum("ATN" + std::to_string(i) + " Src", CvSources());
    }
}
} // namespace

void DefineParameterTable(ParamStore& plug)
{
    TableBuilder builder(plug);
    for (int block = 0; block < Param::kNumBlocks; ++block)
    {
        DefineBlock(builder);
    }
    DefineGlobals(builder);
}

} // namespace zr
