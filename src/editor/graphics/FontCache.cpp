#include "editor/graphics/FontCache.h"

#include "editor/draw/LICE_CachedFont.h"

namespace zr
{

FontCache::FontCache() = default;
FontCache::~FontCache() = default;

FontCache& FontCache::Instance()
{
    // Destroyed when the module unloads.
    static FontCache cache;
    return cache;
}

const FontCache::Entry* FontCache::Find(const Key& key) const
{
    for (const Entry& entry : entries_)
    {
        if (entry.key == key) return &entry;
    }
    return nullptr;
}

LICE_CachedFont* FontCache::Get(std::string_view faceName, int heightPx, bool bold, bool italic,
                                bool antialias)
{
    Key key{std::string(faceName), heightPx, bold, italic, antialias};
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (const Entry* entry = Find(key)) return entry->font.get();
    }
    std::unique_ptr<LICE_CachedFont> font =
        LICE_CachedFont::Create(faceName, heightPx, bold, italic, antialias);
    std::lock_guard<std::mutex> lock(mutex_);
    if (const Entry* entry = Find(key)) return entry->font.get();
    entries_.push_back({std::move(key), std::move(font)});
    return entries_.back().font.get();
}

size_t FontCache::Size() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return entries_.size();
}

} // namespace zr
