#pragma once

namespace zr
{

struct ParamRows;

// The rows whose targets are the modulation: the blocks' FM, cutoff, resonator, PWM and channel
// patch points, MG1 and MG2 (with the re-application of their kept frequencies), the voices'
// "EM A Src" and "EM R Src", and the global modulation parameters 184, 187 .. 217 and 219 .. 228.
void AddModulationRows(ParamRows& rows);

} // namespace zr
