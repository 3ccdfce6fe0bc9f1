#include "platform/CurlHttpFetcher.h"

#include <curl/curl.h>

#include <memory>
#include <mutex>

namespace zr::platform
{

namespace
{
struct EasyCleanup
{
    void operator()(CURL* curl) const { curl_easy_cleanup(curl); }
};

// The library's global set-up is not safe to run on two threads at once; it runs once per process.
bool GlobalInit()
{
    static std::once_flag once;
    static bool ok = false;
    std::call_once(once, [] { ok = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK; });
    return ok;
}

// Appends one piece of the body; answering less than offered stops the transfer.
size_t AppendPiece(char* data, size_t size, size_t count, void* user)
{
    std::string& body = *static_cast<std::string*>(user);
    const size_t bytes = size * count;
    if (body.size() + bytes > CurlHttpFetcher::kMaxBodyBytes) return 0;
    body.append(data, bytes);
    return bytes;
}
} // namespace

std::string CurlHttpFetcher::Get(const HttpRequest& request)
{
    std::string body;
    if (request.host.empty() || !GlobalInit()) return body;
    const std::unique_ptr<CURL, EasyCleanup> curl(curl_easy_init());
    if (!curl) return body;
    const std::string url =
        "http://" + request.host + ":" + std::to_string(request.port) + "/" + request.path;
    CURL* c = curl.get();
    curl_easy_setopt(c, CURLOPT_URL, url.c_str());
    curl_easy_setopt(c, CURLOPT_USERAGENT, request.agent.c_str());
    curl_easy_setopt(c, CURLOPT_HTTPGET, 1L);
    curl_easy_setopt(c, CURLOPT_PROXY, "");
    curl_easy_setopt(c, CURLOPT_NOPROXY, "*");
    curl_easy_setopt(c, CURLOPT_PROTOCOLS_STR, "http");
    curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT_MS, limits_.connectMs);
    curl_easy_setopt(c, CURLOPT_TIMEOUT_MS, limits_.totalMs);
    curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, &AppendPiece);
    curl_easy_setopt(c, CURLOPT_WRITEDATA, &body);
    // As with a read that fails part-way, what arrived before a failure is the body.
    curl_easy_perform(c);
    return body;
}

} // namespace zr::platform
