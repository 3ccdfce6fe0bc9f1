#include "editor/draw/FontRenderer.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <mutex>

namespace zr::draw
{

// The process's one FreeType library. Faces are opened and closed under its lock (FreeType does not
// allow that concurrently on one library); each face is then used by one thread at a time. Every
// font keeps the library alive, so it outlives the last font whatever the order of static
// destruction.
class FreeTypeLibrary
{
public:
    static std::shared_ptr<FreeTypeLibrary> Shared()
    {
        static std::once_flag once;
        static std::shared_ptr<FreeTypeLibrary> shared;
        std::call_once(once,
                       []
                       {
                           auto library = std::make_shared<FreeTypeLibrary>();
                           if (FT_Init_FreeType(&library->handle_) == 0) shared = std::move(library);
                       });
        return shared;
    }

    ~FreeTypeLibrary()
    {
        if (handle_ != nullptr) FT_Done_FreeType(handle_);
    }

    FT_Face OpenFace(std::span<const uint8_t> bytes)
    {
        const std::lock_guard lock(faceLock_);
        FT_Face face = nullptr;
        if (FT_New_Memory_Face(handle_, bytes.data(), static_cast<FT_Long>(bytes.size()), 0, &face) != 0)
            return nullptr;
        return face;
    }

    void CloseFace(FT_Face face)
    {
        const std::lock_guard lock(faceLock_);
        FT_Done_Face(face);
    }

private:
    FT_Library handle_ = nullptr;
    std::mutex faceLock_;
};

namespace
{

constexpr int kMaxHeightPx = 512;
constexpr FT_Fixed kObliqueShear = 0x0366A; // about 0.21: the usual synthetic italic slant
constexpr int kCoverageFull = 255;

int RoundFromFixed(FT_Pos value)
{
    return static_cast<int>((value + 32) >> 6);
}

// One row of FreeType's bitmap as 0..255 coverage.
void CopyCoverageRow(const FT_Bitmap& bitmap, const uint8_t* row, uint8_t* out)
{
    for (unsigned x = 0; x < bitmap.width; ++x)
    {
        if (bitmap.pixel_mode == FT_PIXEL_MODE_MONO)
            out[x] = (row[x >> 3] & (0x80 >> (x & 7))) != 0 ? kCoverageFull : 0;
        else
            out[x] = row[x];
    }
}

} // namespace

std::unique_ptr<FontRenderer> FontRenderer::Create(const FontFaceData& face, int heightPx, bool antialias)
{
    if (face.bytes.empty() || heightPx <= 0 || heightPx > kMaxHeightPx) return nullptr;
    std::shared_ptr<FreeTypeLibrary> library = FreeTypeLibrary::Shared();
    if (library == nullptr) return nullptr;
    FT_Face ftFace = library->OpenFace(face.bytes);
    if (ftFace == nullptr) return nullptr;
    // The height asked for is ascender plus descender, as a font's cell height.
    FT_Size_RequestRec request{FT_SIZE_REQUEST_TYPE_REAL_DIM, 0, FT_Long{heightPx} * 64, 0, 0};
    if (!FT_IS_SCALABLE(ftFace) || FT_Request_Size(ftFace, &request) != 0)
    {
        library->CloseFace(ftFace);
        return nullptr;
    }
    if (face.synthesizeOblique)
    {
        FT_Matrix shear{0x10000, kObliqueShear, 0, 0x10000};
        FT_Set_Transform(ftFace, &shear, nullptr);
    }
    return std::unique_ptr<FontRenderer>(new FontRenderer(std::move(library), ftFace, heightPx, antialias));
}

FontRenderer::FontRenderer(std::shared_ptr<FreeTypeLibrary> library, FT_FaceRec_* face, int heightPx,
                           bool antialias)
    : library_(std::move(library)), face_(face), heightPx_(heightPx), antialias_(antialias)
{
    const FT_Size_Metrics& metrics = face_->size->metrics;
    ascent_ = RoundFromFixed(metrics.ascender);
    lineHeight_ = ascent_ - RoundFromFixed(metrics.descender);
}

FontRenderer::~FontRenderer()
{
    library_->CloseFace(face_);
}

std::optional<Glyph> FontRenderer::Render(char32_t codePoint) const
{
    Glyph glyph;
    glyph.index = FT_Get_Char_Index(face_, codePoint);
    const FT_Int32 target = antialias_ ? FT_LOAD_TARGET_NORMAL : FT_LOAD_TARGET_MONO;
    if (FT_Load_Glyph(face_, glyph.index, FT_LOAD_DEFAULT | target) != 0) return std::nullopt;
    FT_GlyphSlot slot = face_->glyph;
    if (FT_Render_Glyph(slot, antialias_ ? FT_RENDER_MODE_NORMAL : FT_RENDER_MODE_MONO) != 0)
        return std::nullopt;
    const FT_Bitmap& bitmap = slot->bitmap;
    if (bitmap.pixel_mode != FT_PIXEL_MODE_GRAY && bitmap.pixel_mode != FT_PIXEL_MODE_MONO && bitmap.rows > 0)
        return std::nullopt;
    glyph.left = slot->bitmap_left;
    glyph.top = slot->bitmap_top;
    glyph.width = static_cast<int>(bitmap.width);
    glyph.height = static_cast<int>(bitmap.rows);
    glyph.advance = RoundFromFixed(slot->advance.x);
    glyph.coverage.resize(size_t(bitmap.width) * bitmap.rows);
    const int pitch = bitmap.pitch;
    for (unsigned y = 0; y < bitmap.rows; ++y)
    {
        // A negative pitch stores the rows bottom-up.
        const size_t stored = pitch >= 0 ? y : bitmap.rows - 1 - y;
        const uint8_t* row = bitmap.buffer + stored * static_cast<size_t>(pitch >= 0 ? pitch : -pitch);
        CopyCoverageRow(bitmap, row, &glyph.coverage[size_t(y) * bitmap.width]);
    }
    return glyph;
}

const Glyph* FontRenderer::GlyphFor(char32_t codePoint)
{
    if (codePoint < ascii_.size())
    {
        std::optional<Glyph>& slot = ascii_[codePoint];
        if (!slot) slot = Render(codePoint);
        return slot ? &*slot : nullptr;
    }
    if (const auto found = others_.find(codePoint); found != others_.end()) return &found->second;
    std::optional<Glyph> glyph = Render(codePoint);
    if (!glyph) return nullptr;
    if (others_.size() >= kMaxOtherGlyphs) others_.clear();
    return &others_.emplace(codePoint, std::move(*glyph)).first->second;
}

int FontRenderer::Kerning(unsigned leftIndex, unsigned rightIndex) const
{
    if (!FT_HAS_KERNING(face_) || leftIndex == 0 || rightIndex == 0) return 0;
    FT_Vector delta{};
    if (FT_Get_Kerning(face_, leftIndex, rightIndex, FT_KERNING_UNFITTED, &delta) != 0) return 0;
    return RoundFromFixed(delta.x);
}

int FontRenderer::CachedGlyphCount() const
{
    int count = static_cast<int>(others_.size());
    for (const std::optional<Glyph>& glyph : ascii_)
        count += glyph.has_value() ? 1 : 0;
    return count;
}

} // namespace zr::draw
