#pragma once

#include "editor/draw/LICE_MemBitmap.h"

#include <cstddef>
#include <memory>

// The most pixels a decoded image may have (64 MB of pixels).
constexpr size_t LICE_PNG_MAX_PIXELS = size_t{16384} * 1024;

// Decodes a PNG image held in memory into 32-bit pixels A<<24|R<<16|G<<8|B (not premultiplied):
// palettes and grey below 8 bits expanded, transparency chunks become alpha, 16-bit samples cut to
// 8, grey copied to red, green and blue, images without alpha opaque. nullptr on any error: no PNG
// signature, truncated or corrupt data, a side above LICE_MemBitmap::kMaxSide or more than
// LICE_PNG_MAX_PIXELS pixels (a small file can claim a huge image). Any thread.
std::unique_ptr<LICE_MemBitmap> LICE_LoadPNGFromMemory(const void* data, size_t size);
