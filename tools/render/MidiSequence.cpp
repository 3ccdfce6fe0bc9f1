#include "MidiSequence.h"

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
constexpr std::size_t kChunkHeaderSize = 8;    // four-character type, big-endian length
constexpr std::uint32_t kMidiHeaderLength = 6; // format, tracks, division
constexpr int kMaxFormat = 1;                  // format 2 (independent patterns) is not played
constexpr std::uint32_t kSmpteDivisionBit = 0x8000;

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

std::uint32_t BigEndian(const std::vector<char>& bytes, std::size_t pos, int count)
{
    std::uint32_t v = 0;
    for (int k = 0; k < count; ++k)
        v = (v << 8) | static_cast<unsigned char>(bytes[pos + static_cast<std::size_t>(k)]);
    return v;
}

constexpr unsigned kStatusBit = 0x80;
constexpr unsigned kSysEx = 0xF0;
constexpr unsigned kSysExContinuation = 0xF7;
constexpr unsigned kMeta = 0xFF;
constexpr unsigned kMetaEndOfTrack = 0x2F;
constexpr unsigned kMetaTempo = 0x51;
constexpr unsigned kMetaTempoLength = 3;
constexpr unsigned kMetaTimeSignature = 0x58;
constexpr unsigned kMetaTimeSignatureLength = 4;
constexpr int kMaxVariableLengthBytes = 4;

// Walks the events of one track and checks every length and status the parser relies on (its
// own checks are assertions that would abort the tool). Returns an error or "".
class TrackChecker
{
public:
    TrackChecker(const std::vector<char>& bytes, std::size_t begin, std::size_t end)
        : bytes_(bytes), pos_(begin), end_(end)
    {
    }

    std::string Check()
    {
        unsigned runningStatus = 0;
        while (pos_ < end_)
        {
            if (endOfTrack_) return "events after the end-of-track event";
            std::uint32_t ignored = 0;
            if (!ReadVariable(ignored)) return "bad delta time";
            unsigned status = Byte();
            if (status < kStatusBit)
            {
                if (runningStatus == 0) return "data byte without a status";
                status = runningStatus;
                --pos_;
            }
            if (status < kSysEx)
            {
                runningStatus = status;
                const int dataBytes = (status & 0xE0) == 0xC0 ? 1 : 2; // program change, channel pressure
                for (int k = 0; k < dataBytes; ++k)
                    if (pos_ >= end_ || Byte() >= kStatusBit) return "incomplete channel message";
                continue;
            }
            runningStatus = 0;
            if (std::string problem = CheckSystemEvent(status); !problem.empty()) return problem;
        }
        if (pos_ != end_) return "event runs past the end of its track";
        return endOfTrack_ ? "" : "no end-of-track event";
    }

private:
    unsigned Byte() { return pos_ < end_ ? static_cast<unsigned char>(bytes_[pos_++]) : (++pos_, 0u); }

    bool ReadVariable(std::uint32_t& value)
    {
        value = 0;
        for (int k = 0; k < kMaxVariableLengthBytes && pos_ < end_; ++k)
        {
            const unsigned b = Byte();
            value = (value << 7) | (b & 0x7F);
            if (!(b & kStatusBit)) return true;
        }
        return false;
    }

    std::string CheckSystemEvent(unsigned status)
    {
        unsigned type = 0;
        if (status == kMeta)
        {
            if ((type = Byte()) >= kStatusBit) return "bad meta event type";
        }
        else if (status != kSysEx && status != kSysExContinuation)
            return "unexpected status byte in a file";
        std::uint32_t length = 0;
        if (!ReadVariable(length) || length > end_ - std::min(pos_, end_)) return "bad event length";
        if (status == kMeta && ((type == kMetaTempo && length != kMetaTempoLength) ||
                                (type == kMetaTimeSignature && length != kMetaTimeSignatureLength)))
            return "bad tempo or time signature event";
        if (status == kSysEx &&
            (length == 0 || static_cast<unsigned char>(bytes_[pos_ + length - 1]) != kSysExContinuation))
            return "unterminated system-exclusive event";
        pos_ += length;
        endOfTrack_ = status == kMeta && type == kMetaEndOfTrack;
        return "";
    }

    const std::vector<char>& bytes_;
    std::size_t pos_;
    std::size_t end_;
    bool endOfTrack_ = false;
};

// Checks the chunk structure that the parser takes on trust: a header chunk, chunks that lie
// inside the file and as many track chunks as the header announces. Returns an error or "".
std::string CheckChunks(const std::vector<char>& bytes)
{
    if (bytes.size() < kChunkHeaderSize + kMidiHeaderLength || std::memcmp(bytes.data(), "MThd", 4) != 0)
        return "no Standard MIDI File header";
    const std::uint32_t headerLength = BigEndian(bytes, 4, 4);
    if (headerLength < kMidiHeaderLength || headerLength > bytes.size() - kChunkHeaderSize)
        return "bad header length";
    const std::uint32_t format = BigEndian(bytes, 8, 2);
    const std::uint32_t tracks = BigEndian(bytes, 10, 2);
    if (format > kMaxFormat) return "format " + std::to_string(format) + " is not supported (only 0 and 1)";
    if (BigEndian(bytes, 12, 2) & kSmpteDivisionBit) return "time-code based timing is not supported";
    std::uint32_t found = 0;
    for (std::size_t pos = kChunkHeaderSize + headerLength; pos < bytes.size();)
    {
        if (bytes.size() - pos < kChunkHeaderSize) return "stray bytes at the end";
        const std::uint32_t length = BigEndian(bytes, pos + 4, 4);
        if (length > bytes.size() - pos - kChunkHeaderSize)
            return "chunk at byte " + std::to_string(pos) + " runs past the end of the file";
        if (std::memcmp(bytes.data() + pos, "MTrk", 4) == 0)
        {
            ++found;
            const std::size_t begin = pos + kChunkHeaderSize;
            if (std::string problem = TrackChecker(bytes, begin, begin + length).Check(); !problem.empty())
                return "track " + std::to_string(found) + ": " + problem;
        }
        pos += kChunkHeaderSize + length;
    }
    if (found != tracks)
        return "the header announces " + std::to_string(tracks) + " track(s), the file holds " +
               std::to_string(found);
    return "";
}

bool IsChannelMessage(const smf_event_t* event)
{
    return event->midi_buffer_length >= 1 && event->midi_buffer[0] >= 0x80 && event->midi_buffer[0] < 0xF0;
}

} // namespace

MidiSequence MidiSequence::LoadFile(const std::string& path)
{
    const std::vector<char> bytes = ReadWholeFile(path);
    if (const std::string problem = CheckChunks(bytes); !problem.empty())
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
