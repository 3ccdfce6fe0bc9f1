#include "plugin/UpdateSite.h"

#include "plugin/UpdateSiteSettings.h"

namespace zr
{

UpdateSite UpdateSite::OfBuild()
{
    UpdateSite site;
    site.serverHost = ZR_UPDATE_SERVER_HOST;
    site.webAddress = ZR_VENDOR_WEB_ADDRESS;
    if (!site.webAddress.empty() && site.webAddress.back() != '/') site.webAddress += '/';
    return site;
}

std::string UpdateSite::ProductPage() const
{
    return webAddress.empty() ? std::string() : webAddress + "music/vst.html";
}

} // namespace zr
