#pragma once

#include <array>
#include <span>
#include <string_view>

namespace zr
{

// The display-text lists of the list parameters, value k showing text k.
namespace ParamTexts
{
constexpr int kNumCvSources = 32;
constexpr int kNumTriggerSources = 17;
constexpr int kNumHostDivisions = 21;
constexpr int kNumControllers = 120;
// Entry of the S/H input list that samples the random generator instead of the S/H output.
constexpr int kShRandomInput = 11;

std::span<const std::string_view> Waveforms();
std::span<const std::string_view> Octaves();
std::span<const std::string_view> Polarities();
std::span<const std::string_view> ReleaseModes();
std::span<const std::string_view> Mg1Waveforms();
std::span<const std::string_view> KeyboardTriggers();
std::span<const std::string_view> Vp2Inputs();
// CV source list: 0 "off", 1 "+5V", ... 31 "VC8".
std::span<const std::string_view> CvSources();
// The CV source list with "Rnd" at kShRandomInput.
std::span<const std::string_view> ShInputs();
std::span<const std::string_view> TriggerSources();
std::span<const std::string_view> HostDivisions();
// "000    Bank Select" ... "119    Undefined": the number as three digits, four blanks, the name.
std::span<const std::string_view> Controllers();
} // namespace ParamTexts

} // namespace zr
