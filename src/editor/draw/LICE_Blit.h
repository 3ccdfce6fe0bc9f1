#pragma once

#include "editor/draw/LICE_IBitmap.h"

#include <cstdint>

// Blend modes (low byte of `mode`) and the flag that makes the source's own alpha count.
constexpr int LICE_BLIT_MODE_COPY = 0, LICE_BLIT_MODE_ADD = 1, LICE_BLIT_MODE_DODGE = 2,
              LICE_BLIT_MODE_MASK = 0xff, LICE_BLIT_USE_ALPHA = 0x10000;

// How a source pixel s meets a destination pixel d, per colour channel (values 0..255):
//   coverage a = weight (clamped to [0, 1]) x (LICE_BLIT_USE_ALPHA ? s.alpha / 255 : 1), held as an
//   integer in 256ths: round(weight x 256), or round(weight x s.alpha / 255 x 256) with alpha.
//   COPY  : out = d + (s - d) x a           (out = s when a is 1)
//   ADD   : out = min(255, d + s x a)
//   DODGE : out = d + (dodge - d) x a,  dodge = min(255, round(d x 255 / (255 - s))); 0 where d is 0,
//           255 where s is 255 (and d is not 0)
// Every product is rounded to nearest (x / 256 as (x + 128) >> 8).
// The destination's alpha channel: COPY without LICE_BLIT_USE_ALPHA mixes it like the colours (at
// weight 1 the pixels are copied as they are). Every other blend paints coverage onto it:
// out.alpha = d.alpha + (255 - d.alpha) x a, so an opaque destination stays opaque. The colours are
// mixed as above whatever the destination's alpha (the panel draws onto opaque surfaces).
// Unknown modes are treated as COPY. A weight at or below 0 (or NaN) draws nothing.

// Copies the source rectangle (srcx, srcy, srcw, srch) to (dstx, dsty) in dest. Clipped against
// both bitmaps: a part of the rectangle outside the source, or landing outside dest, is skipped (a
// negative srcx moves the destination start along with it). dest == src is allowed only when the
// rectangles do not overlap.
void LICE_Blit(LICE_IBitmap* dest, const LICE_IBitmap* src, int dstx, int dsty, int srcx, int srcy, int srcw,
               int srch, float weight, int mode);

// Fills the rectangle with one colour, clipped to dest; the same blending as LICE_Blit with the
// colour as every source pixel (so with LICE_BLIT_USE_ALPHA a colour of alpha 0 changes nothing).
void LICE_FillRect(LICE_IBitmap* dest, int x, int y, int w, int h, uint32_t argb, float weight, int mode);
