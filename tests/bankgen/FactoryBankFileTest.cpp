#include "bankgen/FactoryText.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace zr::bankgen
{
namespace
{

using Texts = std::vector<std::string>;

// What a value in the bank text may be for one parameter: a number in min … max on the step grid,
// or, for list and switch parameters, one of their display texts.
struct ParameterRule
{
    double min = 0.0;
    double max = 1.0;
    double step = 0.01;
    double defaultValue = 0.0;
    Texts texts;
};

const Texts kSwitch{"off", "on"};
const Texts kWaveforms{"Triangle", "Sawtooth", "Square", "Rect", "Pulse", "PWM"};
const Texts kFootages{"16'", "8'", "4'", "2'"};
const Texts kPolarities{"Positive", "Negative"};
const Texts kReleaseModes{"Damp", "Halp Damp", "Release"};
const Texts kMgWaves{"Triangle", "Saw Dn", "Saw Up", "Square", "White Noise", "Pink Noise"};
const Texts kKeyboardTriggers{"Off", "1", "2", "3", "4", "5"};
const Texts kVp2Inputs{"VP1 Input", "VP2 Input"};
const Texts kCvSources{"off",  "+5V",  "GE1-", "GE2+", "GE3+", "MG1A", "MG2A", "MG1B", "MG2B", "MG1C", "MG2C",
                       "S/H",  "VP1",  "VP2",  "Key",  "PB",   "PB+",  "MW",   "MW+",  "LAG1", "LAG2", "ATN1",
                       "ATN2", "ATN3", "VC1",  "VC2",  "VC3",  "VC4",  "VC5",  "VC6",  "VC7",  "VC8"};
const Texts kTriggerSources{"off",  "KBD", "Sng",  "Mlt",  "MG1A", "MG2A", "MG1B", "MG2B", "MG1C",
                            "MG2C", "S/H", "Clk1", "Clk2", "Clk3", "Clk4", "Trg1", "Trg2"};
const Texts kDivisions{"off",   "4/1",  "2/1.", "2/1",   "1/1.",  "1/1",  "1/2.",
                       "1/2",   "1/4.", "1/2T", "1/4",   "1/8.",  "1/4T", "1/8",
                       "1/16.", "1/8T", "1/16", "1/32.", "1/16T", "1/32", "1/64"};
constexpr int kControllerCount = 120;

Texts ShInputs()
{
    Texts texts = kCvSources;
    texts[11] = "Rnd";
    return texts;
}

ParameterRule Double(double min, double max, double step, double defaultValue = 0.0)
{
    return {min, max, step, defaultValue, {}};
}

ParameterRule List(const Texts& texts, int defaultIndex = 0)
{
    return {0.0, static_cast<double>(texts.size() - 1), 1.0, static_cast<double>(defaultIndex), texts};
}

// The 61 parameters of each block, in block order.
const std::vector<std::pair<std::string, ParameterRule>>& BlockParameters()
{
    static const std::vector<std::pair<std::string, ParameterRule>> parameters{
        {"Tune C", Double(-100, 100, 1)},
        {"Tune C#", Double(-100, 100, 1)},
        {"Tune D", Double(-100, 100, 1)},
        {"Tune D#", Double(-100, 100, 1)},
        {"Tune E", Double(-100, 100, 1)},
        {"Tune F", Double(-100, 100, 1)},
        {"Tune F#", Double(-100, 100, 1)},
        {"Tune G", Double(-100, 100, 1)},
        {"Tune G#", Double(-100, 100, 1)},
        {"Tune A", Double(-100, 100, 1)},
        {"Tune A#", Double(-100, 100, 1)},
        {"Tune B", Double(-100, 100, 1)},
        {"Waveform", List(kWaveforms, 1)},
        {"PWM Int", Double(0, 100, 0.1, 50)},
        {"Fine", Double(-100, 100, 1)},
        {"Coarse", Double(-800, 800, 1)},
        {"Octave", List(kFootages, 1)},
        {"FM Mod", List(kSwitch)},
        {"FM rev", List(kPolarities)},
        {"FM MG1", Double(0, 6145, 0.1)},
        {"FM GEG", Double(0, 6145, 0.1)},
        {"FM Src", List(kCvSources)},
        {"PWM Src", List(kCvSources)},
        {"Cutoff", Double(0, 1, 0.01, 1)},
        {"Peak", Double(0, 1, 0.01)},
        {"fC Bal", Double(-1, 1, 0.01)},
        {"Expand", Double(0, 1, 0.01)},
        {"fC Mod", List(kSwitch)},
        {"fC MG1", Double(0, 1, 0.01)},
        {"fC GEG", Double(0, 1, 0.01)},
        {"fC Src", List(kCvSources)},
        {"EM Atk", Double(0, 1, 0.01)},
        {"EM Dcy", Double(0, 1, 0.01)},
        {"EM Sus", Double(0, 1, 0.01, 1)},
        {"EM Rel", List(kReleaseModes)},
        {"EM Hold", List(kSwitch)},
        {"EM A Src", List(kCvSources)},
        {"EM R Src", List(kTriggerSources)},
        {"RS Int", Double(0, 1, 0.01)},
        {"RS Freq1", Double(0, 1, 0.01, 0.2)},
        {"RS Freq2", Double(0, 1, 0.01, 0.5)},
        {"RS Freq3", Double(0, 1, 0.01, 0.8)},
        {"RS Mod", List(kSwitch)},
        {"RfC Src", List(kCvSources)},
        {"AM Int", Double(0, 1, 0.01)},
        {"AM Mod", List(kSwitch)},
        {"MG1 Wave", List(kMgWaves)},
        {"MG1 Freq", Double(0.05, 1500, 0.1, 0.2)},
        {"MG1 FSrc", List(kCvSources)},
        {"MG1 MSrc", List(kCvSources)},
        {"MG1 Host", List(kDivisions)},
        {"MG2 Freq", Double(0.01, 20, 0.1, 0.2)},
        {"MG2 Host", List(kDivisions)},
        {"KBD Bal", Double(0, 1, 0.01, 0.5)},
        {"Volume", Double(0, 1, 0.01, 0.25)},
        {"Pan", Double(0, 1, 0.01, 0.5)},
        {"VCA FSrc", List(kCvSources)},
        {"ChEnable", List(kSwitch, 1)},
        {"Ch Gate", List(kCvSources)},
        {"Over Rel", List(kSwitch)},
        {"EM O.Rel", Double(0, 1, 0.001)},
    };
    return parameters;
}

// The 46 global parameters, in index order. The controller lists are written by number in the bank.
const std::vector<std::pair<std::string, ParameterRule>>& GlobalParameters()
{
    static const ParameterRule controller = Double(0, kControllerCount - 1, 1);
    static const std::vector<std::pair<std::string, ParameterRule>> parameters{
        {"Final", Double(0, 1, 0.01, 0.25)},
        {"TVCA Src", List(kCvSources)},
        {"KBD Trig", List(kKeyboardTriggers)},
        {"PB Range", Double(-24, 24, 1)},
        {"S/H Freq", Double(0.01, 20, 0.1, 0.2)},
        {"S/H Sync", List(kSwitch)},
        {"S/H In", List(ShInputs())},
        {"S/H Host", List(kDivisions)},
        {"GEG Dly", Double(0, 1, 0.01)},
        {"GEG Atk", Double(0, 1, 0.01)},
        {"GEG Rel", Double(0, 1, 0.01)},
        {"GEG Auto", List(kSwitch)},
        {"GEG Src1", List(kTriggerSources)},
        {"GEG Src2", List(kTriggerSources)},
        {"VP1 A", Double(-1, 1, 0.01)},
        {"VP1 B", Double(-1, 1, 0.01)},
        {"VP1 Src", List(kCvSources)},
        {"VP2 A", Double(-1, 1, 0.01)},
        {"VP2 B", Double(-1, 1, 0.01)},
        {"VP2 Sel", List(kVp2Inputs, 1)},
        {"VP2 Src", List(kCvSources)},
        {"Clk1 Src", List(kDivisions)},
        {"Clk2 Src", List(kDivisions)},
        {"Clk3 Src", List(kDivisions)},
        {"Clk4 Src", List(kDivisions)},
        {"Trg1 Src", controller},
        {"Trg2 Src", controller},
        {"VC1 Src", controller},
        {"VC2 Src", controller},
        {"VC3 Src", controller},
        {"VC4 Src", controller},
        {"VC5 Src", controller},
        {"VC6 Src", controller},
        {"VC7 Src", controller},
        {"VC8 Src", controller},
        {"Use Hold", List(kSwitch, 1)},
        {"LAG 1", Double(0, 1, 0.01)},
        {"LAG1 Src", List(kCvSources)},
        {"LAG 2", Double(0, 1, 0.01)},
        {"LAG2 Src", List(kCvSources)},
        {"ATN 1", Double(-1, 1, 0.01)},
        {"ATN1 Src", List(kCvSources)},
        {"ATN 2", Double(-1, 1, 0.01)},
        {"ATN2 Src", List(kCvSources)},
        {"ATN 3", Double(-1, 1, 0.01)},
        {"ATN3 Src", List(kCvSources)},
    };
    return parameters;
}

const ParameterRule* RuleOf(const FactoryText::Entry& entry)
{
    const auto& parameters =
        entry.block == FactoryText::kGlobalBlock ? GlobalParameters() : BlockParameters();
    const auto found =
        std::find_if(parameters.begin(), parameters.end(),
                     [&](const auto& parameter) { return parameter.first == entry.parameter; });
    return found == parameters.end() ? nullptr : &found->second;
}

// Empty when the entry's value suits its parameter, else what is wrong with it.
std::string ValueProblem(const FactoryText::Entry& entry, const ParameterRule& rule)
{
    if (entry.IsText())
    {
        const auto& text = std::get<std::string>(entry.value);
        const bool known = std::find(rule.texts.begin(), rule.texts.end(), text) != rule.texts.end();
        return known ? "" : "\"" + text + "\" is no display text of this parameter";
    }
    const double value = std::get<double>(entry.value);
    if (value < rule.min || value > rule.max) return std::to_string(value) + " is out of range";
    // The step grid counts from 0 (values set by the host round to multiples of the step); the range
    // ends are valid even where they lie off it ("MG1 Freq" starts at 0.05 with a step of 0.1).
    const double steps = value / rule.step;
    const bool onGrid = std::abs(steps - std::round(steps)) < 1e-6 || value == rule.min || value == rule.max;
    if (!onGrid) return std::to_string(value) + " is off the step grid";
    return "";
}

// The entry's value as a number (a display text counts as its list position).
double NumericValue(const FactoryText::Entry& entry, const ParameterRule& rule)
{
    if (!entry.IsText()) return std::get<double>(entry.value);
    const auto found = std::find(rule.texts.begin(), rule.texts.end(), std::get<std::string>(entry.value));
    return static_cast<double>(found - rule.texts.begin());
}

// ZR_TEST_DATA names a folder inside tests/ (the suite's own folder, or tests/ itself); the bank
// lies in resources/factory/ at the top of the source tree.
std::string BankPath()
{
    const char* folder = std::getenv("ZR_TEST_DATA");
    const std::filesystem::path start = folder ? folder : ".";
    const std::filesystem::path relative = "resources/factory/factory-bank.txt";
    for (const auto& top : {start / "..", start / "../.."})
        if (std::filesystem::exists(top / relative)) return (top / relative).string();
    return (start / ".." / relative).string();
}

class FactoryBankFileTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { bank_ = new FactoryText::Result(FactoryText::ReadFile(BankPath())); }
    static void TearDownTestSuite()
    {
        delete bank_;
        bank_ = nullptr;
    }

    static const FactoryText::Result& Bank() { return *bank_; }

private:
    static inline FactoryText::Result* bank_ = nullptr;
};

TEST_F(FactoryBankFileTest, TablesHoldEveryParameterOnce)
{
    std::set<std::string> blockNames;
    for (const auto& parameter : BlockParameters())
        blockNames.insert(parameter.first);
    std::set<std::string> globalNames;
    for (const auto& parameter : GlobalParameters())
        globalNames.insert(parameter.first);
    EXPECT_EQ(blockNames.size(), 61u);
    EXPECT_EQ(globalNames.size(), 46u);
    EXPECT_EQ(BlockParameters().size() * 3 + GlobalParameters().size(), 229u);
}

TEST_F(FactoryBankFileTest, ReadsWithoutErrors)
{
    for (const auto& error : Bank().errors)
        ADD_FAILURE() << "line " << error.line << ": " << error.message;
}

TEST_F(FactoryBankFileTest, HoldsSixtyFourDistinctShortNamesFromFirstPadToInit)
{
    const auto& programs = Bank().programs;
    ASSERT_EQ(programs.size(), static_cast<std::size_t>(FactoryText::kMaxPrograms));
    EXPECT_EQ(programs.front().name, "PAD: Waves of Sin");
    EXPECT_EQ(programs.back().name, "Init");
    // Init keeps every default but the output level and the bend range.
    std::set<std::string> initEntries;
    for (const auto& entry : programs.back().entries)
        initEntries.insert(entry.parameter);
    EXPECT_EQ(initEntries, (std::set<std::string>{"Final", "PB Range"}));

    std::set<std::string> names;
    for (const auto& program : programs)
    {
        EXPECT_LE(program.name.size(), FactoryText::kMaxNameLength) << program.name;
        EXPECT_TRUE(names.insert(program.name).second) << program.name;
    }
}

TEST_F(FactoryBankFileTest, EveryProgramButInitCarriesACategoryAndEveryCategorySeveralPrograms)
{
    const std::vector<std::string> categories{"PAD", "KEY", "SFX", "LED", "BRS", "SEQ", "STR", "BAS", "ARP"};
    std::map<std::string, int> counts;
    const auto& programs = Bank().programs;
    for (std::size_t i = 0; i + 1 < programs.size(); ++i)
    {
        const auto& name = programs[i].name;
        const auto colon = name.find(": ");
        ASSERT_NE(colon, std::string::npos) << name;
        const auto category = name.substr(0, colon);
        EXPECT_NE(std::find(categories.begin(), categories.end(), category), categories.end()) << name;
        EXPECT_GT(name.size(), colon + 2) << name;
        ++counts[category];
    }
    for (const auto& category : categories)
        EXPECT_GE(counts[category], 3) << category;
}

TEST_F(FactoryBankFileTest, EveryEntryNamesAParameterOnceWithAValueItCanTake)
{
    for (const auto& program : Bank().programs)
    {
        std::set<std::pair<int, std::string>> seen;
        for (const auto& entry : program.entries)
        {
            const auto where = program.name + ", line " + std::to_string(entry.line);
            EXPECT_TRUE(seen.insert({entry.block, entry.parameter}).second) << where;
            const ParameterRule* rule = RuleOf(entry);
            if (rule == nullptr)
            {
                ADD_FAILURE() << where << ": no " << (entry.block < 0 ? "global" : "block") << " parameter \""
                              << entry.parameter << "\"";
                continue;
            }
            const auto problem = ValueProblem(entry, *rule);
            EXPECT_TRUE(problem.empty()) << where << ": " << entry.parameter << ": " << problem;
            // A program lists only what differs from "Init".
            EXPECT_NE(NumericValue(entry, *rule), rule->defaultValue)
                << where << ": " << entry.parameter << " is at its default";
        }
    }
}

TEST_F(FactoryBankFileTest, ProgramsAreDistinctSounds)
{
    const auto& programs = Bank().programs;
    for (std::size_t i = 0; i < programs.size(); ++i)
    {
        EXPECT_TRUE(i + 1 == programs.size() || !programs[i].entries.empty()) << programs[i].name;
        for (std::size_t j = i + 1; j < programs.size(); ++j)
        {
            const auto same =
                std::equal(programs[i].entries.begin(), programs[i].entries.end(),
                           programs[j].entries.begin(), programs[j].entries.end(),
                           [](const auto& a, const auto& b) {
                               return a.block == b.block && a.parameter == b.parameter && a.value == b.value;
                           });
            EXPECT_FALSE(same) << programs[i].name << " and " << programs[j].name;
        }
    }
}

} // namespace
} // namespace zr::bankgen
