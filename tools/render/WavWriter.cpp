#include "WavWriter.h"

#include "ToolError.h"

#include <cmath>

namespace zr::render
{

WavWriter::WavWriter(const std::string& path, int channels, double sampleRate) : path_(path)
{
    SF_INFO info{};
    info.samplerate = static_cast<int>(std::lround(sampleRate));
    info.channels = channels;
    info.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
    file_ = sf_open(path.c_str(), SFM_WRITE, &info);
    if (!file_) throw ToolError("cannot write " + path + ": " + sf_strerror(nullptr));
}

WavWriter::~WavWriter()
{
    if (file_) sf_close(file_);
}

void WavWriter::Write(const float* interleaved, long frames)
{
    if (sf_writef_float(file_, interleaved, frames) != frames)
        throw ToolError("write error on " + path_ + ": " + sf_strerror(file_));
}

void WavWriter::Close()
{
    if (!file_) return;
    sf_write_sync(file_);
    const int error = sf_close(file_);
    file_ = nullptr;
    if (error != 0) throw ToolError("cannot finish " + path_ + ": " + sf_error_number(error));
}

} // namespace zr::render
