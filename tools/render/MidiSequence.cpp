#include "MidiSequence.h"

#include "MidiFileCheck.h"
#include "ToolError.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <smf.h>

namespace zr::render
{
namespace
{

constexpr double kMicrosecondsPerMinute = 60e6;

// libsmf reports problems through GLib's log; keep the last message for our own error text
// instead of letting it print.
class SmfLogCapture
{
public:
    SmfLogCapture() { previous_ = g_log_set_default_handler(&SmfLogCapture::Handle, &message_); }
    ~SmfLogCapture() { g_log_set_default_handler(previous_, nullptr); }
    const std::string& Message() const { return message_; }

private:
    static void Handle(const gchar*, GLogLevelFlags, const gchar* text, gpointer user)
    {
        *static_cast<std::string*>(user) = text ? text : "";
    }
    GLogFunc previous_;
    std::string message_;
};

std::vector<char> ReadWholeFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) throw ToolError("cannot read MIDI file " + path + ": " + std::strerror(errno));
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool IsChannelMessage(const smf_event_t* event)
{
    return event->midi_buffer_length >= 1 && event->midi_buffer[0] >= 0x80 && event->midi_buffer[0] < 0xF0;
}

} // namespace

MidiSequence MidiSequence::LoadFile(const std::string& path)
{
    const std::vector<char> bytes = ReadWholeFile(path);
    if (const std::string problem = CheckMidiFileStructure(bytes); !problem.empty())
        throw ToolError("malformed MIDI file " + path + ": " + problem);
    SmfLogCapture log;
    std::unique_ptr<smf_t, decltype(&smf_delete)> smf(
        smf_load_from_memory(bytes.data(), static_cast<int>(bytes.size())), &smf_delete);
    if (!smf)
        throw ToolError("malformed MIDI file " + path + (log.Message().empty() ? "" : ": " + log.Message()));
    if (smf->ppqn <= 0) throw ToolError("malformed MIDI file " + path + ": bad time division");

    MidiSequence sequence;
    const double ppqn = smf->ppqn;
    for (int i = 0; smf_tempo_t* t = smf_get_tempo_by_number(smf.get(), i); ++i)
        if (t->microseconds_per_quarter_note > 0)
            sequence.tempo_.AddChange(t->time_pulses / ppqn,
                                      kMicrosecondsPerMinute / t->microseconds_per_quarter_note, t->numerator,
                                      t->denominator);
    smf_rewind(smf.get());
    while (smf_event_t* event = smf_get_next_event(smf.get()))
    {
        const double ppq = event->time_pulses / ppqn;
        sequence.lengthSeconds_ = std::max(sequence.lengthSeconds_, sequence.tempo_.SecondsAt(ppq));
        if (!IsChannelMessage(event)) continue;
        const auto byte = [&](int k) { return k < event->midi_buffer_length ? event->midi_buffer[k] : 0; };
        sequence.Add(ppq, byte(0), byte(1), byte(2));
    }
    return sequence;
}

void MidiSequence::Add(double ppq, std::uint8_t status, std::uint8_t data1, std::uint8_t data2)
{
    const double seconds = tempo_.SecondsAt(ppq);
    messages_.push_back({seconds, {status, data1, data2}});
    lengthSeconds_ = std::max(lengthSeconds_, seconds);
}

MidiSequence MidiSequence::DemoPhrase()
{
    constexpr std::uint8_t kNoteOn = 0x90;
    constexpr std::uint8_t kNoteOff = 0x80;
    struct Note
    {
        double start;  // quarter notes
        double length; // quarter notes
        std::uint8_t key;
        std::uint8_t velocity;
    };
    // C major, A minor, F major, G major; one bar each.
    constexpr std::uint8_t kChords[4][3] = {{60, 64, 67}, {57, 60, 64}, {53, 57, 60}, {55, 59, 62}};
    constexpr std::uint8_t kBass[4] = {36, 33, 29, 31};
    constexpr Note kMelody[] = {{0, 1, 76, 100}, {1, 1, 74, 96},   {2, 1, 72, 100}, {3, 1, 74, 96},
                                {4, 1, 76, 100}, {5, 1, 76, 96},   {6, 2, 76, 100}, {8, 1, 77, 100},
                                {9, 1, 81, 104}, {10, 1, 79, 100}, {11, 1, 77, 96}, {12, 1, 76, 100},
                                {13, 1, 74, 96}, {14, 2, 72, 104}};
    std::vector<Note> notes(std::begin(kMelody), std::end(kMelody));
    for (int bar = 0; bar < 4; ++bar)
    {
        for (std::uint8_t key : kChords[bar])
            notes.push_back({bar * 4.0, 3.9, key, 72});
        notes.push_back({bar * 4.0, 1.5, kBass[bar], 90});
        notes.push_back({bar * 4.0 + 2.0, 1.9, kBass[bar], 84});
    }
    MidiSequence sequence;
    for (const Note& n : notes)
    {
        sequence.Add(n.start, kNoteOn, n.key, n.velocity);
        sequence.Add(n.start + n.length * 0.95, kNoteOff, n.key, 64);
    }
    std::stable_sort(sequence.messages_.begin(), sequence.messages_.end(),
                     [](const TimedMidiMessage& a, const TimedMidiMessage& b)
                     { return a.seconds < b.seconds; });
    return sequence;
}

} // namespace zr::render
