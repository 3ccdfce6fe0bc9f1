#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace zr::panel::test
{

// A decoded image, 8-bit RGBA, rows top to bottom. Decoded by libpng directly, independently of the
// panel's own decoder.
struct PngPixels
{
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgba;

    uint8_t Alpha(int x, int y) const { return rgba[(static_cast<size_t>(y) * width + x) * 4 + 3]; }
    const uint8_t* At(int x, int y) const { return &rgba[(static_cast<size_t>(y) * width + x) * 4]; }
};

std::optional<PngPixels> DecodePng(std::span<const uint8_t> bytes);
std::vector<uint8_t> ReadFileBytes(const std::string& path);

} // namespace zr::panel::test
