// "Check Online for Update" against an HTTP server of the test's own on the loopback address.
#include "HeadlessInstance.h"

#include "editor/graphics/IGraphics.h"
#include "platform/CurlHttpFetcher.h"
#include "platform/headless/HeadlessPlatform.h"
#include "plugin/UpdateCheck.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <limits>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

using namespace zr;

namespace
{

// Answers every request on 127.0.0.1 with one body (or, without a body, keeps the connection open
// and says nothing). Every wait is bounded; the destructor stops the thread and closes the sockets.
class LoopbackServer
{
public:
    explicit LoopbackServer(std::optional<std::string> body) : body_(std::move(body))
    {
        listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        const int yes = 1;
        ::setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
        if (::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
            ::listen(listener_, 4) != 0)
            return;
        socklen_t length = sizeof address;
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
        port_ = ntohs(address.sin_port);
        thread_ = std::thread([this] { Serve(); });
    }
    ~LoopbackServer()
    {
        stop_ = true;
        if (thread_.joinable()) thread_.join();
        ::close(listener_);
    }

    int Port() const { return port_; }
    std::string Request()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return request_;
    }

private:
    // True when fd becomes readable within the next 20 ms.
    static bool Readable(int fd)
    {
        pollfd p{fd, POLLIN, 0};
        return ::poll(&p, 1, 20) > 0;
    }

    void Serve()
    {
        // At most 30 s, whatever happens.
        for (int round = 0; round < 1500 && !stop_; ++round)
        {
            if (!Readable(listener_)) continue;
            const int client = ::accept(listener_, nullptr, nullptr);
            if (client < 0) continue;
            std::string request;
            char buffer[1024];
            for (int reads = 0; reads < 250 && !stop_ && request.find("\r\n\r\n") == std::string::npos;
                 ++reads)
            {
                if (!Readable(client)) continue;
                const ssize_t n = ::recv(client, buffer, sizeof buffer, 0);
                if (n <= 0) break;
                request.append(buffer, static_cast<size_t>(n));
            }
            {
                std::lock_guard<std::mutex> lock(mutex_);
                request_ = request;
            }
            if (body_)
            {
                const std::string answer = "HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\nContent-Length: " +
                                           std::to_string(body_->size()) + "\r\n\r\n" + *body_;
                ::send(client, answer.data(), answer.size(), MSG_NOSIGNAL);
            }
            else
            {
                for (int wait = 0; wait < 1500 && !stop_; ++wait)
                    std::this_thread::sleep_for(std::chrono::milliseconds(2));
            }
            ::close(client);
        }
    }

    std::optional<std::string> body_;
    int listener_ = -1;
    int port_ = 0;
    std::atomic<bool> stop_ = false;
    std::thread thread_;
    std::mutex mutex_;
    std::string request_;
};

// A port on which nothing listens: bound once, then closed.
int RefusingPort()
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    socklen_t length = sizeof address;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    ::close(fd);
    return ntohs(address.sin_port);
}

constexpr int kErrorBox = IEditorPlatform::kBoxOk | IEditorPlatform::kIconError;
constexpr int kInfoBox = IEditorPlatform::kBoxOk | IEditorPlatform::kIconInformation;

struct UpdateCheckTest : ::testing::Test, HeadlessInstance
{

    // Short limits keep the silent server's case fast; the build's own are 10 s and 20 s.
    int Check(int port, long totalMs = 3000)
    {
        UpdateSite site;
        site.serverHost = "127.0.0.1";
        site.serverPort = port;
        site.webAddress = "http://vendor.invalid/";
        plug.SetUpdateSource(site, std::make_unique<platform::CurlHttpFetcher>(
                                       platform::CurlHttpFetcher::Limits{1000, totalMs}));
        return plug.CheckOnlineForUpdate(graphics);
    }

    int CheckBody(const std::string& body)
    {
        LoopbackServer server(body);
        const int result = Check(server.Port());
        request = server.Request();
        return result;
    }

    void ExpectOnlyMessage(const std::string& text, const std::string& caption, int type)
    {
        ASSERT_EQ(platform.Messages().size(), 1u);
        EXPECT_EQ(platform.Messages()[0].text, text);
        EXPECT_EQ(platform.Messages()[0].caption, caption);
        EXPECT_EQ(platform.Messages()[0].type, type);
    }

    std::string NewVersionText(const std::string& version)
    {
        return "A new version of ZR-4400 is available.\n\n\tYour version: \t1.2.5\n\tNew version: \t" +
               version + "\n\nDo you want to go to http://vendor.invalid/ to get the new version?";
    }

    std::string request;
};

} // namespace

TEST_F(UpdateCheckTest, TheRequestAsksForTheVersionFileAsZR4400)
{
    CheckBody("1205");
    EXPECT_EQ(request.rfind("GET /music/version/?file=zr4400 HTTP/1.1\r\n", 0), 0u) << request;
    EXPECT_NE(request.find("\r\nUser-Agent: ZR-4400\r\n"), std::string::npos) << request;
    EXPECT_NE(request.find("\r\nAccept: */*\r\n"), std::string::npos) << request;
}

TEST_F(UpdateCheckTest, OlderOrSameReleaseIsUpToDate)
{
    EXPECT_EQ(CheckBody("1205"), UpdateCheck::kAnswered);
    ExpectOnlyMessage("Your version is up to date.", "Check Online for Update", kInfoBox);
    EXPECT_TRUE(platform.Addresses().empty());
}

TEST_F(UpdateCheckTest, NewerReleaseOffersTheProductPageUnlessNo)
{
    platform.QueueMessageAnswer(IEditorPlatform::kAnswerNo);
    EXPECT_EQ(CheckBody("1206"), UpdateCheck::kAnswered);
    ExpectOnlyMessage(NewVersionText("1.2.6"), "New Version of ZR-4400 Detected", IEditorPlatform::kBoxYesNo);
    EXPECT_TRUE(platform.Addresses().empty());

    platform.QueueMessageAnswer(IEditorPlatform::kAnswerYes);
    EXPECT_EQ(CheckBody("1310"), UpdateCheck::kAnswered);
    ASSERT_EQ(platform.Messages().size(), 2u);
    EXPECT_EQ(platform.Messages()[1].text, NewVersionText("1.3.10"));
    ASSERT_EQ(platform.Addresses().size(), 1u);
    EXPECT_EQ(platform.Addresses()[0].address, "http://vendor.invalid/music/vst.html");
}

TEST_F(UpdateCheckTest, TrailingLineBreakComparesByDigitsAndIsShown)
{
    platform.QueueMessageAnswer(IEditorPlatform::kAnswerNo);
    EXPECT_EQ(CheckBody("1206\n"), UpdateCheck::kAnswered);
    ExpectOnlyMessage(NewVersionText("1.2.6\n"), "New Version of ZR-4400 Detected",
                      IEditorPlatform::kBoxYesNo);
}

TEST_F(UpdateCheckTest, HtmlPageIsAnInvalidCall)
{
    EXPECT_EQ(CheckBody("<html><body>Not here</body></html>"), UpdateCheck::kInvalidAnswer);
    ExpectOnlyMessage("Invalid call to 127.0.0.1.", "Check Online for Update", kErrorBox);
}

TEST_F(UpdateCheckTest, EmptyBodyRefusedConnectionAndSilentServerAreContactErrors)
{
    const std::string text = "An error occurred while contacting 127.0.0.1.";
    EXPECT_EQ(CheckBody(""), UpdateCheck::kNoAnswer);
    ExpectOnlyMessage(text, "Check Online for Update", kErrorBox);

    EXPECT_EQ(Check(RefusingPort()), UpdateCheck::kNoAnswer);
    ASSERT_EQ(platform.Messages().size(), 2u);
    EXPECT_EQ(platform.Messages()[1].text, text);

    LoopbackServer silent(std::nullopt);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(Check(silent.Port(), 400), UpdateCheck::kNoAnswer);
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_LT(took, std::chrono::seconds(2));
    EXPECT_GE(took, std::chrono::milliseconds(350));
    ASSERT_EQ(platform.Messages().size(), 3u);
    EXPECT_EQ(platform.Messages()[2].text, text);
    EXPECT_EQ(platform.Messages()[2].type, kErrorBox);
    EXPECT_TRUE(platform.Addresses().empty());
}

TEST_F(UpdateCheckTest, TheInstanceLockIsFreeWhileTheServerIsAsked)
{
    // The options menu runs the check from a mouse press, which holds the instance lock; while the
    // silent server keeps the request waiting, another thread (as the audio thread) gets the lock.
    LoopbackServer silent(std::nullopt);
    UpdateSite site;
    site.serverHost = "127.0.0.1";
    site.serverPort = silent.Port();
    plug.SetUpdateSource(
        site, std::make_unique<platform::CurlHttpFetcher>(platform::CurlHttpFetcher::Limits{1000, 600}));
    std::atomic<bool> locked = false;
    std::thread audio(
        [&]
        {
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
            std::unique_lock<std::recursive_mutex> lock(plug.Mutex(), std::try_to_lock);
            locked = lock.owns_lock();
        });
    platform.QueuePopupChoice({18, 0});
    graphics.OnMouseDown(328, 591, {true, false, false, false, false});
    audio.join();
    EXPECT_TRUE(locked);
    ASSERT_EQ(platform.Messages().size(), 1u);
    EXPECT_EQ(platform.Messages()[0].text, "An error occurred while contacting 127.0.0.1.");
}

TEST(UpdateCheckText, VersionNumbersAndTheirTexts)
{
    EXPECT_EQ(UpdateCheck::ReleaseNumber("1206\n"), 1206);
    EXPECT_EQ(UpdateCheck::ReleaseNumber("abc"), 0);
    EXPECT_EQ(UpdateCheck::ReleaseNumber("99999999999999999999999999"), std::numeric_limits<long>::max());
    EXPECT_EQ(UpdateCheck::VersionText("1206"), "1.2.6");
    EXPECT_EQ(UpdateCheck::VersionText("1310"), "1.3.10");
    EXPECT_EQ(UpdateCheck::VersionText("2000"), "2.0.0");
    EXPECT_EQ(UpdateCheck::VersionText("20"), "20");
}
