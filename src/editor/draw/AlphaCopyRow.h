#pragma once

#include <cstdint>

namespace zr::draw
{

// The alpha-blended copy at full weight, the blit the editor does most: count pixels of src painted
// over dst by their own alpha, exactly as OverBlend with coverage alpha + (alpha >> 7). Four pixels
// at a time where the processor has SSE2; fully transparent groups are skipped, opaque ones copied.
void AlphaCopyRow(uint32_t* dst, const uint32_t* src, int count);

} // namespace zr::draw
