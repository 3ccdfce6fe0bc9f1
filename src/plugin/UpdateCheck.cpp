#include "plugin/UpdateCheck.h"

#include "editor/graphics/IGraphics.h"
#include "platform/IHttpFetcher.h"

#include <exception>
#include <limits>

namespace zr
{

int UpdateCheck::Run(IGraphics& graphics)
{
    std::string body;
    try
    {
        if (!site_.serverHost.empty())
        {
            const HttpRequest request{site_.serverHost, site_.serverPort, std::string(kRequestPath),
                                      std::string(kAgent)};
            graphics.RunWithoutLock([&] { body = fetcher_.Get(request); });
        }
        return Answer(graphics, body);
    }
    catch (const std::exception&)
    {
        graphics.ShowMessageBox(NoAnswerText(), kTitle,
                                IEditorPlatform::kBoxOk | IEditorPlatform::kIconError);
        return kFailedWhileProcessing;
    }
}

int UpdateCheck::Answer(IGraphics& graphics, const std::string& body)
{
    constexpr int kError = IEditorPlatform::kBoxOk | IEditorPlatform::kIconError;
    if (body.empty())
    {
        graphics.ShowMessageBox(NoAnswerText(), kTitle, kError);
        return kNoAnswer;
    }
    if (body.find('<') != std::string::npos)
    {
        graphics.ShowMessageBox(InvalidAnswerText(), kTitle, kError);
        return kInvalidAnswer;
    }
    if (ReleaseNumber(body) < kFirstNewerRelease)
    {
        graphics.ShowMessageBox(kUpToDateText, kTitle,
                                IEditorPlatform::kBoxOk | IEditorPlatform::kIconInformation);
        return kAnswered;
    }
    const int answer =
        graphics.ShowMessageBox(NewVersionQuestion(body), NewVersionTitle(), IEditorPlatform::kBoxYesNo);
    if (answer != IEditorPlatform::kAnswerNo && !site_.ProductPage().empty())
    {
        graphics.OpenWebAddress(site_.ProductPage(), {}, {}, {});
    }
    return kAnswered;
}

long UpdateCheck::ReleaseNumber(std::string_view body)
{
    constexpr long kMax = std::numeric_limits<long>::max();
    long number = 0;
    for (const char c : body)
    {
        if (c < '0' || c > '9') break;
        const int digit = c - '0';
        if (number > (kMax - digit) / 10) return kMax;
        number = number * 10 + digit;
    }
    return number;
}

std::string UpdateCheck::VersionText(std::string_view body)
{
    if (body.size() < 3) return std::string(body);
    std::string text{body[0], '.', body[1], '.'};
    text += body.substr(body[2] == '0' ? 3 : 2);
    return text;
}

std::string UpdateCheck::NewVersionQuestion(std::string_view body) const
{
    std::string text = "A new version of ";
    text += kEffectName;
    text += " is available.\n\n\tYour version: \t";
    text += kOwnVersion;
    text += "\n\tNew version: \t";
    text += VersionText(body);
    text += "\n\nDo you want to go to ";
    text += site_.webAddress;
    text += " to get the new version?";
    return text;
}

std::string UpdateCheck::NewVersionTitle() const
{
    return "New Version of " + std::string(kEffectName) + " Detected";
}

std::string UpdateCheck::NoAnswerText() const
{
    return "An error occurred while contacting " + ServerName() + ".";
}

std::string UpdateCheck::InvalidAnswerText() const
{
    return "Invalid call to " + ServerName() + ".";
}

std::string UpdateCheck::ServerName() const
{
    return site_.serverHost.empty() ? std::string("the update server") : site_.serverHost;
}

} // namespace zr
