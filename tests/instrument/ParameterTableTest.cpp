#include "instrument/ParameterTable.h"
#include "instrument/ParameterTexts.h"
#include "plugin/TestPlug.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

using namespace zr;

namespace
{
using Type = IParameter::Type;

// One row of the golden table, written from the parameter list of the instrument's manual.
struct Row
{
    std::string name;
    Type type;
    double min;
    double max;
    double defaultValue;
    double shape;
    std::string label;
    std::string displayMin;
    std::string displayDefault;
    std::string displayMax;
};

Row Cents(const std::string& name, double range)
{
    const std::string r = std::to_string(static_cast<int>(range));
    return {name, Type::Double, -range, range, 0, 1, "", "-" + r, "0", r};
}
Row Level(const std::string& name, double def, const std::string& defText, double shape = 1)
{
    return {name, Type::Double, 0, 1, def, shape, "", "0.00", defText, "1.00"};
}
Row Bipolar(const std::string& name)
{
    return {name, Type::Double, -1, 1, 0, 1, "", "-1.00", "0.00", "1.00"};
}
Row Switch(const std::string& name, bool on)
{
    return {name, Type::Bool, 0, 1, on ? 1.0 : 0.0, 1, "", "off", on ? "on" : "off", "on"};
}
Row Cv(const std::string& name)
{
    return {name, Type::Enum, 0, 31, 0, 1, "", "off", "off", "VC8"};
}
Row Trigger(const std::string& name)
{
    return {name, Type::Enum, 0, 16, 0, 1, "", "off", "off", "Trg2"};
}
Row Division(const std::string& name)
{
    return {name, Type::Enum, 0, 20, 0, 1, "", "off", "off", "1/64"};
}
Row Controller(const std::string& name)
{
    return {
        name, Type::Enum, 0, 119, 0, 1, "", "000    Bank Select", "000    Bank Select", "119    Undefined"};
}

std::vector<Row> BlockRows()
{
    std::vector<Row> rows;
    for (const char* note : {"C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "B"})
    {
        rows.push_back(Cents(std::string("Tune ") + note, 100));
    }
    rows.push_back({"Waveform", Type::Enum, 0, 5, 1, 1, "", "Triangle", "Sawtooth", "PWM"});
    rows.push_back({"PWM Int", Type::Double, 0, 100, 50, 1, "%", "0.0", "50.0", "100.0"});
    rows.push_back(Cents("Fine", 100));
    rows.push_back(Cents("Coarse", 800));
    rows.push_back({"Octave", Type::Enum, 0, 3, 1, 1, "", "16'", "8'", "2'"});
    rows.push_back(Switch("FM Mod", false));
    rows.push_back({"FM rev", Type::Enum, 0, 1, 0, 1, "", "Positive", "Positive", "Negative"});
    rows.push_back({"FM MG1", Type::Double, 0, 6145, 0, 2, "", "0.0", "0.0", "6145.0"});
    rows.push_back({"FM GEG", Type::Double, 0, 6145, 0, 2, "", "0.0", "0.0", "6145.0"});
    rows.push_back(Cv("FM Src"));
    rows.push_back(Cv("PWM Src"));
    rows.push_back(Level("Cutoff", 1, "1.00"));
    rows.push_back(Level("Peak", 0, "0.00"));
    rows.push_back(Bipolar("fC Bal"));
    rows.push_back(Level("Expand", 0, "0.00"));
    rows.push_back(Switch("fC Mod", false));
    rows.push_back(Level("fC MG1", 0, "0.00"));
    rows.push_back(Level("fC GEG", 0, "0.00"));
    rows.push_back(Cv("fC Src"));
    rows.push_back(Level("EM Atk", 0, "0.00"));
    rows.push_back(Level("EM Dcy", 0, "0.00"));
    rows.push_back(Level("EM Sus", 1, "1.00"));
    rows.push_back({"EM Rel", Type::Enum, 0, 2, 0, 1, "", "Damp", "Damp", "Release"});
    rows.push_back(Switch("EM Hold", false));
    rows.push_back(Cv("EM A Src"));
    rows.push_back(Trigger("EM R Src"));
    rows.push_back(Level("RS Int", 0, "0.00"));
    rows.push_back(Level("RS Freq1", 0.2, "0.20"));
    rows.push_back(Level("RS Freq2", 0.5, "0.50"));
    rows.push_back(Level("RS Freq3", 0.8, "0.80"));
    rows.push_back(Switch("RS Mod", false));
    rows.push_back(Cv("RfC Src"));
    rows.push_back(Level("AM Int", 0, "0.00"));
    rows.push_back(Switch("AM Mod", false));
    rows.push_back({"MG1 Wave", Type::Enum, 0, 5, 0, 1, "", "Triangle", "Triangle", "Pink Noise"});
    rows.push_back({"MG1 Freq", Type::Double, 0.05, 1500, 0.2, 6, "Hz", "0.1", "0.2", "1500.0"});
    rows.push_back(Cv("MG1 FSrc"));
    rows.push_back(Cv("MG1 MSrc"));
    rows.push_back(Division("MG1 Host"));
    rows.push_back({"MG2 Freq", Type::Double, 0.01, 20, 0.2, 2, "Hz", "0.0", "0.2", "20.0"});
    rows.push_back(Division("MG2 Host"));
    rows.push_back(Level("KBD Bal", 0.5, "0.50"));
    rows.push_back(Level("Volume", 0.25, "0.25", 2));
    rows.push_back(Level("Pan", 0.5, "0.50"));
    rows.push_back(Cv("VCA FSrc"));
    rows.push_back(Switch("ChEnable", true));
    rows.push_back(Cv("Ch Gate"));
    rows.push_back(Switch("Over Rel", false));
    rows.push_back({"EM O.Rel", Type::Double, 0, 1, 0, 1, "", "0.000", "0.000", "1.000"});
    return rows;
}

std::vector<Row> GlobalRows()
{
    std::vector<Row> rows;
    rows.push_back(Level("Final", 0.25, "0.25", 2));
    rows.push_back(Cv("TVCA Src"));
    rows.push_back({"KBD Trig", Type::Enum, 0, 5, 0, 1, "", "Off", "Off", "5"});
    rows.push_back({"PB Range", Type::Int, -24, 24, 0, 1, "", "-24", "0", "24"});
    rows.push_back({"S/H Freq", Type::Double, 0.01, 20, 0.2, 2, "Hz", "0.0", "0.2", "20.0"});
    rows.push_back(Switch("S/H Sync", false));
    rows.push_back(Cv("S/H In"));
    rows.push_back(Division("S/H Host"));
    rows.push_back(Level("GEG Dly", 0, "0.00"));
    rows.push_back(Level("GEG Atk", 0, "0.00"));
    rows.push_back(Level("GEG Rel", 0, "0.00"));
    rows.push_back(Switch("GEG Auto", false));
    rows.push_back(Trigger("GEG Src1"));
    rows.push_back(Trigger("GEG Src2"));
    rows.push_back(Bipolar("VP1 A"));
    rows.push_back(Bipolar("VP1 B"));
    rows.push_back(Cv("VP1 Src"));
    rows.push_back(Bipolar("VP2 A"));
    rows.push_back(Bipolar("VP2 B"));
    rows.push_back({"VP2 Sel", Type::Enum, 0, 1, 1, 1, "", "VP1 Input", "VP2 Input", "VP2 Input"});
    rows.push_back(Cv("VP2 Src"));
    for (const char* name : {"Clk1 Src", "Clk2 Src", "Clk3 Src", "Clk4 Src"})
    {
        rows.push_back(Division(name));
    }
    for (const char* name : {"Trg1 Src", "Trg2 Src", "VC1 Src", "VC2 Src", "VC3 Src", "VC4 Src", "VC5 Src",
                             "VC6 Src", "VC7 Src", "VC8 Src"})
    {
        rows.push_back(Controller(name));
    }
    rows.push_back(Switch("Use Hold", true));
    rows.push_back(Level("LAG 1", 0, "0.00"));
    rows.push_back(Cv("LAG1 Src"));
    rows.push_back(Level("LAG 2", 0, "0.00"));
    rows.push_back(Cv("LAG2 Src"));
    rows.push_back(Bipolar("ATN 1"));
    rows.push_back(Cv("ATN1 Src"));
    rows.push_back(Bipolar("ATN 2"));
    rows.push_back(Cv("ATN2 Src"));
    rows.push_back(Bipolar("ATN 3"));
    rows.push_back(Cv("ATN3 Src"));
    return rows;
}

std::vector<Row> GoldenTable()
{
    std::vector<Row> table;
    for (int block = 0; block < 3; ++block)
    {
        const auto rows = BlockRows();
        table.insert(table.end(), rows.begin(), rows.end());
    }
    const auto globals = GlobalRows();
    table.insert(table.end(), globals.begin(), globals.end());
    return table;
}
} // namespace

TEST(ParameterTable, EveryParameterMatchesTheGoldenTable)
{
    const std::vector<Row> golden = GoldenTable();
    ASSERT_EQ(BlockRows().size(), 61u);
    ASSERT_EQ(GlobalRows().size(), 46u);
    TestPlug plug;
    ASSERT_EQ(golden.size(), static_cast<size_t>(plug.NParams()));
    for (int i = 0; i < plug.NParams(); ++i)
    {
        const Row& row = golden[static_cast<size_t>(i)];
        const IParameter& p = *plug.GetParam(i);
        SCOPED_TRACE("index " + std::to_string(i) + " " + row.name);
        EXPECT_EQ(p.Name(), row.name);
        EXPECT_EQ(p.GetType(), row.type);
        EXPECT_EQ(p.Min(), row.min);
        EXPECT_EQ(p.Max(), row.max);
        EXPECT_EQ(p.Default(), row.defaultValue);
        EXPECT_EQ(p.Value(), row.defaultValue);
        EXPECT_EQ(p.Shape(), row.shape);
        EXPECT_EQ(p.Label(), row.label);
        EXPECT_EQ(p.GetDisplay(p.Min(), false, true), row.displayMin);
        EXPECT_EQ(p.GetDisplay(), row.displayDefault);
        EXPECT_EQ(p.GetDisplay(p.Max(), false, true), row.displayMax);
        EXPECT_LE(p.Name().size(), 31u);
        if (p.GetType() != Type::Double)
        {
            EXPECT_EQ(p.Step(), 1.0);
        }
    }
}

TEST(ParameterTable, IndexHelpersNameTheDocumentedRows)
{
    TestPlug plug;
    EXPECT_EQ(plug.GetParam(61)->Name(), "Tune C");
    EXPECT_EQ(plug.GetParam(182)->Name(), "EM O.Rel");
    EXPECT_EQ(plug.GetParam(183)->Name(), "Final");
    EXPECT_EQ(Param::BlockParamIndex(1, Param::kTuneC), 61);
    EXPECT_EQ(Param::BlockOf(182), 2);
    EXPECT_EQ(Param::PositionInBlock(182), Param::kEmORel);
    EXPECT_EQ(plug.GetParam(Param::kUseHold)->Name(), "Use Hold");
    EXPECT_EQ(plug.GetParam(Param::kAtn3Src)->Name(), "ATN3 Src");
    EXPECT_EQ(plug.GetParam(Param::BlockParamIndex(2, Param::kChGate))->Name(), "Ch Gate");
    EXPECT_FALSE(Param::IsBlockParam(Param::kFinal));
    EXPECT_TRUE(Param::IsBlockParam(182));
}

TEST(ParameterTable, StepsSetTheDisplayedDecimals)
{
    TestPlug plug;
    EXPECT_EQ(plug.GetParam(Param::kEmORel)->DisplayPrecision(), 3);
    EXPECT_EQ(plug.GetParam(Param::kFmMg1)->DisplayPrecision(), 1);
    EXPECT_EQ(plug.GetParam(Param::kFmGeg)->DisplayPrecision(), 1);
    EXPECT_EQ(plug.GetParam(Param::kCutoff)->DisplayPrecision(), 2);
    EXPECT_EQ(plug.GetParam(Param::kTuneC)->DisplayPrecision(), 0);
    EXPECT_EQ(plug.GetParam(Param::kEmRel)->GetDisplay(1.0, false, true), "Halp Damp");
}

TEST(ParameterTable, PitchBendRangeShowsWholeSemitonesAndRoundsHostValues)
{
    TestPlug plug;
    IParameter& pb = *plug.GetParam(Param::kPbRange);
    for (int semis = -24; semis <= 24; ++semis)
    {
        EXPECT_EQ(pb.GetDisplay(semis, false, true), std::to_string(semis));
    }
    for (int step = 0; step <= 1000; ++step)
    {
        pb.SetFromNormalized(step / 1000.0);
        EXPECT_EQ(pb.Value(), std::floor(pb.Value()));
        EXPECT_NEAR(pb.Value(), -24.0 + 48.0 * step / 1000.0, 0.5);
    }
}

TEST(ParameterTable, Mg1FrequencyFollowsItsSixthPowerCurve)
{
    TestPlug plug;
    IParameter& freq = *plug.GetParam(Param::kMg1Freq);
    freq.SetFromNormalized(0.5);
    EXPECT_NEAR(freq.Value(), 23.49, 0.005);
    freq.SetFromNormalized(0.1);
    EXPECT_NEAR(freq.Value(), 0.0515, 0.00005);
    EXPECT_NEAR(freq.GetNormalized(), 0.1, 1e-12);
}

TEST(ParameterTable, AFreshProgramHasTheDocumentedSwitchesAndSources)
{
    TestPlug plug;
    for (int block = 0; block < 3; ++block)
    {
        EXPECT_EQ(plug.GetParam(Param::BlockParamIndex(block, Param::kChEnable))->GetDisplay(), "on");
        EXPECT_EQ(plug.GetParam(Param::BlockParamIndex(block, Param::kWaveform))->GetDisplay(), "Sawtooth");
        EXPECT_EQ(plug.GetParam(Param::BlockParamIndex(block, Param::kOctave))->GetDisplay(), "8'");
    }
    EXPECT_EQ(plug.GetParam(Param::kUseHold)->GetDisplay(), "on");
    EXPECT_EQ(plug.GetParam(Param::kVp2Sel)->GetDisplay(), "VP2 Input");
    int sources = 0;
    for (int i = 0; i < plug.NParams(); ++i)
    {
        const std::string& name = plug.GetParam(i)->Name();
        const bool controllerInput =
            name.starts_with("Trg") || (name.starts_with("VC") && name != "VCA FSrc");
        if ((name.find("Src") != std::string::npos && !controllerInput) || name == "S/H In" ||
            name == "Ch Gate")
        {
            EXPECT_EQ(plug.GetParam(i)->GetDisplay(), "off") << name;
            ++sources;
        }
    }
    EXPECT_EQ(sources, 3 * 10 + 15);
}

TEST(ParameterTable, ListParametersHaveATextForEveryValue)
{
    TestPlug plug;
    for (int i = 0; i < plug.NParams(); ++i)
    {
        const IParameter& p = *plug.GetParam(i);
        if (p.GetType() != Type::Enum && p.GetType() != Type::Bool)
        {
            EXPECT_TRUE(p.DisplayTexts().empty()) << p.Name();
            continue;
        }
        ASSERT_EQ(p.DisplayTexts().size(), static_cast<size_t>(p.Max()) + 1) << p.Name();
        for (int v = 0; v <= static_cast<int>(p.Max()); ++v)
        {
            EXPECT_NE(p.GetDisplayText(v), nullptr) << p.Name() << " " << v;
            EXPECT_EQ(p.GetLabelForHost(), "");
        }
    }
}

TEST(ParameterTable, ListsHoldTheDocumentedTexts)
{
    TestPlug plug;
    const IParameter& shIn = *plug.GetParam(Param::kShIn);
    const IParameter& tvca = *plug.GetParam(Param::kTvcaSrc);
    EXPECT_STREQ(shIn.GetDisplayText(11), "Rnd");
    EXPECT_STREQ(tvca.GetDisplayText(11), "S/H");
    for (int v = 0; v < 32; ++v)
    {
        if (v != 11)
        {
            EXPECT_STREQ(shIn.GetDisplayText(v), tvca.GetDisplayText(v));
        }
    }
    const std::vector<std::string> cv = {"off",  "+5V",  "GE1-", "GE2+", "GE3+", "MG1A", "MG2A", "MG1B",
                                         "MG2B", "MG1C", "MG2C", "S/H",  "VP1",  "VP2",  "Key",  "PB",
                                         "PB+",  "MW",   "MW+",  "LAG1", "LAG2", "ATN1", "ATN2", "ATN3",
                                         "VC1",  "VC2",  "VC3",  "VC4",  "VC5",  "VC6",  "VC7",  "VC8"};
    for (int v = 0; v < 32; ++v)
    {
        EXPECT_EQ(tvca.GetDisplayText(v), cv[static_cast<size_t>(v)]);
    }
    const std::vector<std::string> triggers = {"off",  "KBD",  "Sng",  "Mlt",  "MG1A", "MG2A",
                                               "MG1B", "MG2B", "MG1C", "MG2C", "S/H",  "Clk1",
                                               "Clk2", "Clk3", "Clk4", "Trg1", "Trg2"};
    const std::vector<std::string> divisions = {"off",   "4/1",  "2/1.", "2/1",   "1/1.",  "1/1",  "1/2.",
                                                "1/2",   "1/4.", "1/2T", "1/4",   "1/8.",  "1/4T", "1/8",
                                                "1/16.", "1/8T", "1/16", "1/32.", "1/16T", "1/32", "1/64"};
    const IParameter& geg = *plug.GetParam(Param::kGegSrc1);
    const IParameter& clock = *plug.GetParam(Param::kClk4Src);
    for (int v = 0; v < 17; ++v)
    {
        EXPECT_EQ(geg.GetDisplayText(v), triggers[static_cast<size_t>(v)]);
    }
    for (int v = 0; v < 21; ++v)
    {
        EXPECT_EQ(clock.GetDisplayText(v), divisions[static_cast<size_t>(v)]);
    }
    const IParameter& mg1Wave = *plug.GetParam(Param::kMg1Wave);
    EXPECT_STREQ(mg1Wave.GetDisplayText(1), "Saw Dn");
    EXPECT_STREQ(mg1Wave.GetDisplayText(4), "White Noise");
    EXPECT_STREQ(plug.GetParam(Param::kWaveform)->GetDisplayText(3), "Rect");
    EXPECT_STREQ(plug.GetParam(Param::kKbdTrig)->GetDisplayText(3), "3");
}

TEST(ParameterTable, ControllerTextsHaveExactSpacing)
{
    const auto texts = ParamTexts::Controllers();
    ASSERT_EQ(texts.size(), 120u);
    const std::vector<std::pair<int, std::string>> expected = {{0, "000    Bank Select"},
                                                               {1, "001    Modulation Wheel"},
                                                               {2, "002    Breath Controller"},
                                                               {3, "003    Undefined"},
                                                               {4, "004    Foot Controller"},
                                                               {5, "005    Portamento Time"},
                                                               {6, "006    Data Entry MSB"},
                                                               {7, "007    Channel Volume"},
                                                               {8, "008    Balance"},
                                                               {9, "009    Undefined"},
                                                               {10, "010    Pan"},
                                                               {11, "011    Expression Controller"},
                                                               {12, "012    Effect Control 1"},
                                                               {13, "013    Effect Control 2"},
                                                               {14, "014    Undefined"},
                                                               {15, "015    Undefined"},
                                                               {16, "016    GP Controller 1"},
                                                               {19, "019    GP Controller 4"},
                                                               {20, "020    Undefined"},
                                                               {31, "031    Undefined"},
                                                               {32, "032    LSB for Control 0"},
                                                               {63, "063    LSB for Control 31"},
                                                               {64, "064    Sustain Pedal On/Off"},
                                                               {65, "065    Portamento On/Off"},
                                                               {66, "066    Sostenuto On/Off"},
                                                               {67, "067    Soft Pedal On/Off"},
                                                               {68, "068    Legato Footswitch"},
                                                               {69, "069    Hold 2"},
                                                               {70, "070    Sound Controller 1"},
                                                               {79, "079    Sound Controller 10"},
                                                               {80, "080    GP Controller 5"},
                                                               {83, "083    GP Controller 8"},
                                                               {84, "084    Portamento Control"},
                                                               {85, "085    Undefined"},
                                                               {87, "087    Undefined"},
                                                               {88, "088    HiRes Velo Prefix"},
                                                               {89, "089    Undefined"},
                                                               {90, "090    Undefined"},
                                                               {91, "091    Effects 1 Depth "},
                                                               {92, "092    Effects 2 Depth"},
                                                               {93, "093    Effects 3 Depth "},
                                                               {94, "094    Effects 4 Depth"},
                                                               {95, "095    Effects 5 Depth"},
                                                               {96, "096    Data Increment"},
                                                               {97, "097    Data Decrement"},
                                                               {98, "098    NRPN - LSB"},
                                                               {99, "099    NRPN - MSB"},
                                                               {100, "100    RPN - LSB"},
                                                               {101, "101    RPN - MSB"},
                                                               {102, "102    Undefined"},
                                                               {119, "119    Undefined"}};
    for (const auto& [number, text] : expected)
    {
        EXPECT_EQ(texts[static_cast<size_t>(number)], text);
    }
    int trailingBlanks = 0;
    for (size_t i = 0; i < texts.size(); ++i)
    {
        const std::string_view t = texts[i];
        std::string digits = std::to_string(i);
        digits.insert(0, 3 - digits.size(), '0');
        EXPECT_EQ(t.substr(0, 7), digits + "    ");
        EXPECT_NE(t[7], ' ');
        trailingBlanks += t.back() == ' ' ? 1 : 0;
    }
    EXPECT_EQ(trailingBlanks, 2);

    TestPlug plug;
    const IParameter& vc8 = *plug.GetParam(Param::kVc8Src);
    EXPECT_STREQ(vc8.GetDisplayText(93), "093    Effects 3 Depth ");
    double value = 0;
    EXPECT_TRUE(vc8.MapDisplayText("064    Sustain Pedal On/Off", &value));
    EXPECT_EQ(value, 64.0);
}
