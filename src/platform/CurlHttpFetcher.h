#pragma once

#include "platform/IHttpFetcher.h"

#include <cstddef>

namespace zr::platform
{

// HTTP through libcurl: a direct connection (no proxy), the body read in pieces as they arrive,
// every handle cleaned up on every path. The limits keep a dead server from freezing the editor.
class CurlHttpFetcher : public IHttpFetcher
{
public:
    struct Limits
    {
        long connectMs = 10000;
        long totalMs = 20000;
    };
    // Longer bodies are cut here: a version number is a few bytes.
    static constexpr std::size_t kMaxBodyBytes = 64 * 1024;

    CurlHttpFetcher() = default;
    explicit CurlHttpFetcher(const Limits& limits) : limits_(limits) {}

    std::string Get(const HttpRequest& request) override;

private:
    Limits limits_;
};

} // namespace zr::platform
