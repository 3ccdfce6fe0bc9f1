#include "modulation/VoltageProcessor.h"

namespace zr
{

void VoltageProcessor::Process()
{
    const double* source = inputOwner ? inputOwner->input : input;
    output = source ? (a - b) * (*source + 1.0) * 0.5 + b : 0.0;
}

} // namespace zr
