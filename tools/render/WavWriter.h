// A 32-bit float WAV file written block by block through libsndfile.
#pragma once

#include <sndfile.h>
#include <string>

namespace zr::render
{

class WavWriter
{
public:
    // Creates the file; throws ToolError when it cannot.
    WavWriter(const std::string& path, int channels, double sampleRate);
    ~WavWriter();
    WavWriter(const WavWriter&) = delete;
    WavWriter& operator=(const WavWriter&) = delete;

    // Appends interleaved frames; throws ToolError on a write error.
    void Write(const float* interleaved, long frames);
    // Finishes the header; throws ToolError when that fails.
    void Close();

private:
    std::string path_;
    SNDFILE* file_ = nullptr;
};

} // namespace zr::render
