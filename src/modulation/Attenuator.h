#pragma once

namespace zr
{

// An attenuator (ATN 1 to 3): scales its input by a factor of -1 to +1. Process runs on the audio
// thread once per sample; setters under the instance lock.
class Attenuator
{
public:
    // "ATN n".
    void SetFactor(double value) { factor = value; }

    // "ATNn Src": the selected source value, nullptr for "off".
    void SetInput(const double* source) { input = source; }

    // Once per sample: factor x input, 0 without an input.
    void Process() { output = input ? factor * *input : 0.0; }

    // Stable address for patch references.
    const double& Output() const { return output; }

private:
    double output = 0.0;
    double factor = 0.0;
    const double* input = nullptr;
};

} // namespace zr
