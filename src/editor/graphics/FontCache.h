#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

class LICE_CachedFont;

namespace zr
{

// The fonts of the process, one per face, height and style, made on first use and shared by every
// instance; emptied when the module unloads. The lock is held only while searching or appending.
// A font draws for one thread at a time (its glyph cache grows as it draws), so every use of a
// shared font holds the text lock.
class FontCache
{
public:
    static FontCache& Instance();

    // The font; nullptr when it cannot be made (remembered as well).
    LICE_CachedFont* Get(std::string_view faceName, int heightPx, bool bold, bool italic, bool antialias);
    size_t Size() const;
    // Held while a font of the cache measures or draws.
    std::unique_lock<std::mutex> LockForText() { return std::unique_lock<std::mutex>(textMutex_); }

    FontCache();
    ~FontCache();
    FontCache(const FontCache&) = delete;
    FontCache& operator=(const FontCache&) = delete;

private:
    struct Key
    {
        std::string faceName;
        int heightPx;
        bool bold;
        bool italic;
        bool antialias;
        bool operator==(const Key&) const = default;
    };
    struct Entry
    {
        Key key;
        std::unique_ptr<LICE_CachedFont> font;
    };

    // Caller holds the lock.
    const Entry* Find(const Key& key) const;

    mutable std::mutex mutex_;
    std::mutex textMutex_;
    std::vector<Entry> entries_;
};

} // namespace zr
