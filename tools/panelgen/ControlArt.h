#pragma once

#include "Canvas.h"
#include "editor/panel/PanelLayout.h"

namespace zr::panelgen
{

// Draws every frame of one control image (any id but the background) into a canvas of the image's
// size. False for an id it does not know.
bool DrawControlImage(const panel::PanelImage& image, Canvas& canvas);

// The tick marks of a knob or rotary scale, shared with the background's legends.
int RotaryPositions(int imageId);
double RotaryAngle(int positions, int position);

} // namespace zr::panelgen
