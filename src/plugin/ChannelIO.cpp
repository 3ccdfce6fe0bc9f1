#include "plugin/ChannelIO.h"

#include <charconv>

namespace zr
{

namespace
{
// Reads one integer at text[pos...]; returns false if there is none or it is out of range.
bool ReadCount(std::string_view text, size_t& pos, int& count)
{
    const char* first = text.data() + pos;
    const auto [end, ec] = std::from_chars(first, text.data() + text.size(), count);
    if (ec != std::errc() || count < 0 || count > kMaxChannels)
    {
        return false;
    }
    pos += static_cast<size_t>(end - first);
    return true;
}
} // namespace

std::vector<ChannelIO> ParseChannelIO(std::string_view text)
{
    std::vector<ChannelIO> list;
    size_t pos = 0;
    while (pos < text.size())
    {
        ChannelIO io;
        if (!ReadCount(text, pos, io.inputs) || pos >= text.size() || text[pos] != '-')
        {
            break;
        }
        ++pos;
        if (!ReadCount(text, pos, io.outputs))
        {
            break;
        }
        list.push_back(io);
        if (pos < text.size() && text[pos] == ' ')
        {
            ++pos;
        }
        else
        {
            break;
        }
    }
    return list;
}

} // namespace zr
