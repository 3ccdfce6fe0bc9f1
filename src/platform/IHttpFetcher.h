#pragma once

#include <string>

namespace zr
{

// One plain HTTP GET.
struct HttpRequest
{
    std::string host;
    int port = 80;
    // Without the leading slash, as "music/version/?file=zr4400".
    std::string path;
    std::string agent;
};

// Fetches the body of an HTTP answer; one implementation per platform's network library. Runs on
// the editor's thread and blocks until the answer is in or a time limit passed.
class IHttpFetcher
{
public:
    virtual ~IHttpFetcher() = default;

    // The body as far as it could be read; "" when the server could not be reached or sent nothing.
    virtual std::string Get(const HttpRequest& request) = 0;
};

} // namespace zr
