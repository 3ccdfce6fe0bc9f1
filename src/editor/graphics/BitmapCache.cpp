#include "editor/graphics/BitmapCache.h"

#include "editor/draw/LICE_MemBitmap.h"
#include "editor/draw/LICE_PNG.h"
#include "platform/ModuleResources.h"

#include <cctype>

namespace zr
{

namespace
{
constexpr size_t kPngSignatureSize = 8;

bool HasPngExtension(std::string_view name)
{
    const size_t dot = name.rfind('.');
    if (dot == std::string_view::npos) return false;
    const std::string_view extension = name.substr(dot + 1);
    constexpr std::string_view kPng = "png";
    if (extension.size() != kPng.size()) return false;
    for (size_t i = 0; i < kPng.size(); ++i)
    {
        if (std::tolower(static_cast<unsigned char>(extension[i])) != kPng[i]) return false;
    }
    return true;
}
} // namespace

BitmapCache::BitmapCache() = default;
BitmapCache::~BitmapCache() = default;

BitmapCache& BitmapCache::Instance()
{
    // Destroyed when the module unloads.
    static BitmapCache cache;
    return cache;
}

const BitmapCache::Entry* BitmapCache::Find(int id) const
{
    for (const Entry& entry : entries_)
    {
        if (entry.id == id) return &entry;
    }
    return nullptr;
}

LICE_IBitmap* BitmapCache::Get(int id, std::string_view name)
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (const Entry* entry = Find(id)) return entry->image.get();
    }
    std::unique_ptr<LICE_MemBitmap> image = LoadPngResource(id, name);
    std::lock_guard<std::mutex> lock(mutex_);
    // Another thread may have loaded it meanwhile; the first one stays.
    if (const Entry* entry = Find(id)) return entry->image.get();
    entries_.push_back({id, std::move(image)});
    return entries_.back().image.get();
}

size_t BitmapCache::Size() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return entries_.size();
}

std::unique_ptr<LICE_MemBitmap> BitmapCache::LoadPngResource(int id, std::string_view name)
{
    if (!HasPngExtension(name)) return nullptr;
    const std::span<const uint8_t> bytes = platform::FindResource("PNG", id);
    if (bytes.size() < kPngSignatureSize) return nullptr;
    return LICE_LoadPNGFromMemory(bytes.data(), bytes.size());
}

} // namespace zr
