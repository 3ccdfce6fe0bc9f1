#pragma once

#include "plugin/UpdateSite.h"

#include <string>
#include <string_view>

namespace zr
{

class IGraphics;
class IHttpFetcher;

// "Check Online for Update": asks the update server for the newest release number and tells the
// user in message boxes; when a newer release exists, offers the product page. Editor thread; the
// request runs without the instance lock, so audio goes on while the server is slow.
class UpdateCheck
{
public:
    static constexpr std::string_view kRequestPath = "music/version/?file=zr4400";
    static constexpr std::string_view kAgent = "ZR-4400";
    static constexpr std::string_view kEffectName = "ZR-4400";
    static constexpr std::string_view kOwnVersion = "1.2.5";
    // Release numbers from here on are newer than the own version (1205).
    static constexpr long kFirstNewerRelease = 1206;
    static constexpr std::string_view kTitle = "Check Online for Update";
    static constexpr std::string_view kUpToDateText = "Your version is up to date.";

    // How the check ended.
    static constexpr int kAnswered = 0;
    static constexpr int kNoAnswer = -1;
    static constexpr int kFailedWhileProcessing = -2;
    static constexpr int kInvalidAnswer = -3;

    UpdateCheck(const UpdateSite& site, IHttpFetcher& fetcher) : site_(site), fetcher_(fetcher) {}

    // Runs the check with the editor's dialogs; one of the k... results above. Without a server
    // host nothing is sent and the answer counts as empty.
    int Run(IGraphics& graphics);

    // The result for a body, with the messages shown through graphics.
    int Answer(IGraphics& graphics, const std::string& body);

    // The leading decimal number of the body (0 without one), saturated rather than overflowing.
    static long ReleaseNumber(std::string_view body);
    // "1310" gives "1.3.10", "1206" gives "1.2.6": first digit, second digit, then the rest from the
    // third character, or from the fourth when the third is a 0.
    static std::string VersionText(std::string_view body);
    std::string NewVersionQuestion(std::string_view body) const;
    std::string NewVersionTitle() const;
    std::string NoAnswerText() const;
    std::string InvalidAnswerText() const;

private:
    // The server's name as the messages show it.
    std::string ServerName() const;

    UpdateSite site_;
    IHttpFetcher& fetcher_;
};

} // namespace zr
