// Tempo and time-signature changes of a song, and the conversions between seconds and musical
// position (quarter notes) that the sequencer and the transport need.
#pragma once

#include <vector>

namespace zr::render
{

struct MusicalPosition
{
    double ppq = 0.0;         // quarter notes since the start
    double tempo = 120.0;     // beats per minute
    double barStartPpq = 0.0; // quarter-note position of the bar that contains ppq
    int numerator = 4;
    int denominator = 4;
};

class TempoMap
{
public:
    static constexpr double kDefaultTempo = 120.0;

    // 120 beats per minute, 4/4 from the start.
    TempoMap();

    // Adds a change at quarter-note position ppq (not before the previous one). A time signature
    // change starts a new bar there.
    void AddChange(double ppq, double beatsPerMinute, int numerator, int denominator);

    double SecondsAt(double ppq) const;
    MusicalPosition At(double seconds) const;

private:
    struct Segment
    {
        double ppq;
        double seconds;
        double secondsPerQuarter;
        int numerator;
        int denominator;
        double barOriginPpq; // where the current time signature started counting bars
    };
    std::vector<Segment> segments_;
};

} // namespace zr::render
