#pragma once

#include <string>

namespace zr
{

// Where the update check asks and where the vendor's pages are: the build's settings
// (ZR_UPDATE_SERVER_HOST, ZR_VENDOR_WEB_ADDRESS), empty when the build names none.
struct UpdateSite
{
    // Host name of the update server, as shown in the messages.
    std::string serverHost;
    int serverPort = 80;
    // The vendor's web site with its trailing slash, as "http://www.example.org/".
    std::string webAddress;

    // The site this build was configured with.
    static UpdateSite OfBuild();

    // The vendor's product page; "" without a web address.
    std::string ProductPage() const;
};

} // namespace zr
