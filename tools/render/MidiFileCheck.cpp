#include "MidiFileCheck.h"

#include <algorithm>
#include <cstring>

namespace zr::render
{
namespace
{

constexpr std::size_t kChunkHeaderSize = 8;    // four-character type, big-endian length
constexpr std::uint32_t kMidiHeaderLength = 6; // format, tracks, division
constexpr int kMaxFormat = 1;                  // format 2 (independent patterns) is not played
constexpr std::uint32_t kSmpteDivisionBit = 0x8000;

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

} // namespace

std::string CheckMidiFileStructure(const std::vector<char>& bytes)
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

} // namespace zr::render
