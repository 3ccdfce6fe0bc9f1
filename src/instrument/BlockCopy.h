#pragma once

namespace zr
{

class IPlugBase;

// Copies block from's settings onto block to (0 = A, 1 = B, 2 = C) as if each knob of the
// destination had been turned by hand: every block-level parameter except the channel's own
// "Volume", "VCA FSrc", "ChEnable" and "Ch Gate" is set from the source's normalised position
// through SetParamFromEditor (host informed, ParamChanged run); then the host is told all values
// and the editor's controls are refreshed. Takes the instance lock (editor thread). Invalid block
// numbers, or from == to, do nothing.
void CopyBlock(IPlugBase& plug, int from, int to);

} // namespace zr
