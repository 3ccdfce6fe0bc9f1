#pragma once

#include <memory>
#include <mutex>
#include <string_view>
#include <vector>

class LICE_IBitmap;
class LICE_MemBitmap;

namespace zr
{

// The panel images of the process, one per resource id, decoded on first use and shared by every
// instance; emptied when the module unloads. The lock is held only while searching or appending,
// never while an image is decoded.
class BitmapCache
{
public:
    static BitmapCache& Instance();

    // The image of resource id, loaded on first use; nullptr when it is missing or cannot be
    // decoded (remembered as well, so it is tried once).
    LICE_IBitmap* Get(int id, std::string_view name);
    // Number of ids looked up so far, images and misses.
    size_t Size() const;

    // Decodes the module resource of type "PNG" and the numeric id; only names ending in ".png"
    // (in any case) are accepted. nullptr when missing, shorter than a PNG signature or undecodable.
    static std::unique_ptr<LICE_MemBitmap> LoadPngResource(int id, std::string_view name);

    BitmapCache();
    ~BitmapCache();
    BitmapCache(const BitmapCache&) = delete;
    BitmapCache& operator=(const BitmapCache&) = delete;

private:
    struct Entry
    {
        int id;
        std::unique_ptr<LICE_MemBitmap> image;
    };

    // Caller holds the lock.
    const Entry* Find(int id) const;

    mutable std::mutex mutex_;
    std::vector<Entry> entries_;
};

} // namespace zr
