// Scala tuning files: every degree is a finite pitch or failed, and the tune values computed from
// them apply without harm.
#include "FuzzInstance.h"
#include "instrument/Microtuning.h"
#include "instrument/ScalaFile.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const zr::DegreePitches pitches = zr::ScalaFile::Parse(text);
    for (const auto& pitch : pitches)
    {
        if (pitch && !std::isfinite(*pitch))
        {
            zr::fuzz::Fail("pitch not finite");
        }
    }
    if (const auto field = zr::ScalaFile::PitchOfField(text); field && !std::isfinite(*field))
    {
        zr::fuzz::Fail("field pitch not finite");
    }
    zr::TuneValues tunes{};
    zr::Microtuning::Apply(zr::Microtuning::TunesOfPitches(pitches), tunes);
    for (double tune : tunes)
    {
        if (!std::isfinite(tune) || std::abs(tune) > zr::Microtuning::kTuneLimit)
        {
            zr::fuzz::Fail("tune value out of range");
        }
    }
    zr::Microtuning::Recognise(tunes);
    return 0;
}
