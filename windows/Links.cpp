#include "windows/Links.h"

#include <cstdlib>

namespace Links {

std::string AuthorMailURL()
{
    return std::string("mailto:") + AuthorMailAddress;
}

std::string WebSiteURL()
{
    return std::string("http://") + WebSiteHost;
}

std::string OrderURL()
{
    return std::string("http://") + OrderHost + "/?" + ProductCode + "&lang=en";
}

std::string UpdateURL()
{
    // An override lets the check be tried against a server on this machine.
    const char* overridden = std::getenv("TAVRINE_UPDATE_URL");
    if (overridden && *overridden)
        return overridden;
    return DefaultUpdateURL;
}

} // namespace Links
