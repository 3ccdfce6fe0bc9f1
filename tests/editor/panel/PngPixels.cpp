#include "PngPixels.h"

#include <png.h>

#include <fstream>
#include <iterator>

namespace zr::panel::test
{

std::optional<PngPixels> DecodePng(std::span<const uint8_t> bytes)
{
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, bytes.data(), bytes.size()))
    {
        return std::nullopt;
    }
    image.format = PNG_FORMAT_RGBA;
    PngPixels pixels;
    pixels.width = static_cast<int>(image.width);
    pixels.height = static_cast<int>(image.height);
    pixels.rgba.resize(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, pixels.rgba.data(), 0, nullptr))
    {
        png_image_free(&image);
        return std::nullopt;
    }
    return pixels;
}

std::vector<uint8_t> ReadFileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

} // namespace zr::panel::test
