#pragma once

#include "editor/draw/LICE_IBitmap.h"

#include <vector>

// A bitmap in ordinary memory, rows packed (RowSpan() == Width()).
class LICE_MemBitmap final : public LICE_IBitmap
{
public:
    // Largest width or height a bitmap accepts.
    static constexpr int kMaxSide = 16384;

    explicit LICE_MemBitmap(int w = 0, int h = 0);

    uint32_t* Bits() override { return pixels_.empty() ? nullptr : pixels_.data(); }
    using LICE_IBitmap::Bits;
    int Width() const override { return width_; }
    int Height() const override { return height_; }
    int RowSpan() const override { return width_; }
    bool Resize(int w, int h) override;

private:
    std::vector<uint32_t> pixels_;
    int width_ = 0;
    int height_ = 0;
};
