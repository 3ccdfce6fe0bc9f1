#pragma once

#include "Canvas.h"

// The colours of the panel art, shared by the background and the control images.
namespace zr::panelgen::palette
{
inline constexpr Rgb kPanel{0.165, 0.176, 0.192};      // dark painted metal
inline constexpr Rgb kPanelLight{0.215, 0.228, 0.247}; // block strips
inline constexpr Rgb kFrame{0.62, 0.65, 0.69};         // section frame lines
inline constexpr Rgb kTitleBar{0.09, 0.095, 0.105};
inline constexpr Rgb kLabel{0.94, 0.94, 0.92};  // printed labels
inline constexpr Rgb kLegend{0.78, 0.80, 0.83}; // position names and scales
inline constexpr Rgb kAccent{0.96, 0.58, 0.12}; // orange print and switch caps
inline constexpr Rgb kKnobLight{0.30, 0.31, 0.33};
inline constexpr Rgb kKnobDark{0.05, 0.05, 0.055};
inline constexpr Rgb kCapLight{0.86, 0.87, 0.89};
inline constexpr Rgb kCapDark{0.46, 0.48, 0.51};
inline constexpr Rgb kPointer{1.0, 1.0, 1.0};
inline constexpr Rgb kBlack{0.0, 0.0, 0.0};
inline constexpr Rgb kWindow{0.035, 0.05, 0.06}; // display windows
inline constexpr Rgb kIvory{0.93, 0.91, 0.84};
inline constexpr Rgb kAmber{1.0, 0.72, 0.25};
inline constexpr Rgb kRedLit{1.0, 0.16, 0.10};
} // namespace zr::panelgen::palette
