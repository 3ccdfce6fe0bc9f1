#include "editor/draw/LICE_PNG.h"

#include <png.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace
{

constexpr size_t kSignatureSize = 8;

// The bytes libpng reads from; a read past the end is an error, never a read outside the buffer.
struct MemoryReader
{
    const uint8_t* data;
    size_t size;
    size_t offset;
};

void ReadFromMemory(png_structp png, png_bytep out, png_size_t count)
{
    auto* reader = static_cast<MemoryReader*>(png_get_io_ptr(png));
    if (count > reader->size - reader->offset) png_error(png, "truncated PNG data");
    std::memcpy(out, reader->data + reader->offset, count);
    reader->offset += count;
}

void RaiseError(png_structp png, png_const_charp)
{
    png_longjmp(png, 1);
}

void IgnoreWarning(png_structp, png_const_charp) {}

// Owns libpng's read state for one decode.
class PngReadState
{
public:
    PngReadState()
    {
        png_ = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, RaiseError, IgnoreWarning);
        if (png_ != nullptr) info_ = png_create_info_struct(png_);
    }
    ~PngReadState() { png_destroy_read_struct(&png_, info_ != nullptr ? &info_ : nullptr, nullptr); }
    PngReadState(const PngReadState&) = delete;
    PngReadState& operator=(const PngReadState&) = delete;

    bool Valid() const { return png_ != nullptr && info_ != nullptr; }
    png_structp Png() const { return png_; }
    png_infop Info() const { return info_; }

private:
    png_structp png_ = nullptr;
    png_infop info_ = nullptr;
};

// Asks libpng for 8-bit RGBA whatever the file holds.
void RequestRgba8(png_structp png, png_infop info)
{
    const int colorType = png_get_color_type(png, info);
    const int bitDepth = png_get_bit_depth(png, info);
    if (colorType == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
    if (colorType == PNG_COLOR_TYPE_GRAY && bitDepth < 8) png_set_expand_gray_1_2_4_to_8(png);
    if (png_get_valid(png, info, PNG_INFO_tRNS)) png_set_tRNS_to_alpha(png);
    if (bitDepth == 16) png_set_strip_16(png);
    if (colorType == PNG_COLOR_TYPE_GRAY || colorType == PNG_COLOR_TYPE_GRAY_ALPHA) png_set_gray_to_rgb(png);
    png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
}

// The RGBA bytes libpng wrote into the bitmap's pixels, turned in place into A<<24|R<<16|G<<8|B.
void PackPixels(LICE_MemBitmap& bitmap)
{
    uint32_t* pixels = bitmap.Bits();
    const size_t count = static_cast<size_t>(bitmap.Width()) * bitmap.Height();
    for (size_t i = 0; i < count; ++i)
    {
        uint8_t p[4];
        std::memcpy(p, &pixels[i], sizeof p);
        pixels[i] = uint32_t{p[3]} << 24 | uint32_t{p[0]} << 16 | uint32_t{p[1]} << 8 | p[2];
    }
}

bool AcceptableSize(png_uint_32 width, png_uint_32 height)
{
    if (width == 0 || height == 0 || width > LICE_MemBitmap::kMaxSide || height > LICE_MemBitmap::kMaxSide)
        return false;
    return uint64_t{width} * height <= LICE_PNG_MAX_PIXELS;
}

// Decodes into bitmap; false on any problem. Everything that owns memory lives in the caller's frame,
// which libpng's error jump does not leave.
bool Decode(PngReadState& state, MemoryReader& reader, std::unique_ptr<LICE_MemBitmap>& bitmap,
            std::vector<png_bytep>& rows)
{
    png_structp png = state.Png();
    png_infop info = state.Info();
    if (setjmp(png_jmpbuf(png))) return false;
    png_set_read_fn(png, &reader, ReadFromMemory);
    png_set_user_limits(png, LICE_MemBitmap::kMaxSide, LICE_MemBitmap::kMaxSide);
    png_read_info(png, info);
    const png_uint_32 width = png_get_image_width(png, info);
    const png_uint_32 height = png_get_image_height(png, info);
    if (!AcceptableSize(width, height)) return false;
    RequestRgba8(png, info);
    if (png_get_rowbytes(png, info) != size_t{width} * 4) return false;
    bitmap = std::make_unique<LICE_MemBitmap>(static_cast<int>(width), static_cast<int>(height));
    rows.resize(height);
    for (png_uint_32 y = 0; y < height; ++y)
        rows[y] = reinterpret_cast<png_bytep>(bitmap->Bits() + size_t{y} * width);
    png_read_image(png, rows.data());
    png_read_end(png, nullptr);
    return true;
}

} // namespace

std::unique_ptr<LICE_MemBitmap> LICE_LoadPNGFromMemory(const void* data, size_t size)
{
    if (data == nullptr || size < kSignatureSize) return nullptr;
    const auto* bytes = static_cast<const uint8_t*>(data);
    if (png_sig_cmp(bytes, 0, kSignatureSize) != 0) return nullptr;
    PngReadState state;
    if (!state.Valid()) return nullptr;
    MemoryReader reader{bytes, size, 0};
    std::unique_ptr<LICE_MemBitmap> bitmap;
    std::vector<png_bytep> rows;
    if (!Decode(state, reader, bitmap, rows)) return nullptr;
    PackPixels(*bitmap);
    return bitmap;
}
