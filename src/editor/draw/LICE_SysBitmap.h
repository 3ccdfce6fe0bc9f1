#pragma once

#include "editor/draw/LICE_IBitmap.h"
#include "editor/draw/LICE_MemBitmap.h"

// The surface a window shows. On Linux a memory bitmap whose pixels the platform presents (copies to
// the window); the rows are packed like LICE_MemBitmap's.
class LICE_SysBitmap final : public LICE_IBitmap
{
public:
    explicit LICE_SysBitmap(int w = 0, int h = 0) : memory_(w, h) {}

    uint32_t* Bits() override { return memory_.Bits(); }
    using LICE_IBitmap::Bits;
    int Width() const override { return memory_.Width(); }
    int Height() const override { return memory_.Height(); }
    int RowSpan() const override { return memory_.RowSpan(); }
    bool Resize(int w, int h) override { return memory_.Resize(w, h); }

private:
    LICE_MemBitmap memory_;
};
