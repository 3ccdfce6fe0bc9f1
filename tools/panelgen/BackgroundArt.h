#pragma once

#include "Canvas.h"

namespace zr::panelgen
{

// Draws the panel background (image 101) from the layout tables: painted metal, the section
// frames and titles, every control's label and position names, the light sockets, the display
// windows and the faces of the click areas.
void DrawBackground(Canvas& canvas);

} // namespace zr::panelgen
