#pragma once

#include "plugin/VstAbi.h"

#include <cstdint>
#include <string_view>

namespace zr
{

// Who the instrument is to a host: program count, channel layout, names, version and unique id.
// Shared by the plug-in and the headless instrument, so both write the same program states.
struct InstrumentIdentity
{
    static constexpr int kNumPresets = 64;
    static constexpr std::string_view kChannelIO = "0-1 0-2";
    static constexpr std::string_view kEffectName = "ZR-4400";
    static constexpr std::string_view kProductName = "";
    static constexpr std::string_view kVendorName = "Zarnow Audio";
    static constexpr std::int32_t kVersion = 0x00010205; // 1.2.5
    static constexpr std::int32_t kUniqueId = vst::FourCC('z', 'r', '4', '4');
};

} // namespace zr
