#pragma once

namespace zr
{

// A voltage processor (VP1, VP2): maps its input from -1..+1 onto B..A, so A = 1, B = -1 passes
// the input, A = -1, B = 1 inverts it and A = B gives the constant A. VP2 can read VP1's selected
// input instead of its own. Process runs on the audio thread once per sample; setters under the
// instance lock.
class VoltageProcessor
{
public:
    // "VPn A" and "VPn B".
    void SetA(double value) { a = value; }
    void SetB(double value) { b = value; }

    // "VPn Src": the selected source value, nullptr for "off".
    void SetInput(const double* source) { input = source; }

    // Whose selected input is read: nullptr (the default) for this processor's own, or another
    // processor's ("VP2 Sel" = "VP1 Input"). The other processor must outlive this one.
    void ReadInputOf(const VoltageProcessor* owner) { inputOwner = owner; }

    // Once per sample: output from the current input value, 0 without an input.
    void Process();

    // Stable address for patch references.
    const double& Output() const { return output; }

    const double* Input() const { return input; }

private:
    double output = 0.0;
    double a = 0.0;
    double b = 0.0;
    const double* input = nullptr;
    const VoltageProcessor* inputOwner = nullptr;
};

} // namespace zr
