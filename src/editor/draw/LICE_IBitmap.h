#pragma once

#include <cstdint>

// A 32-bit image: pixels A<<24|R<<16|G<<8|B, not premultiplied, row 0 at the top, RowSpan() pixels
// from one row to the next. Used by one thread at a time.
class LICE_IBitmap
{
public:
    virtual ~LICE_IBitmap() = default;

    virtual uint32_t* Bits() = 0;
    const uint32_t* Bits() const { return const_cast<LICE_IBitmap*>(this)->Bits(); }
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    // Pixels per row (at least Width()).
    virtual int RowSpan() const = 0;
    // New size; the contents are undefined afterwards. False (and an empty bitmap) when the size is
    // negative or too large to hold.
    virtual bool Resize(int w, int h) = 0;
};
