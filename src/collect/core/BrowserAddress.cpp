#include "collect/core/BrowserAddress.h"

#include "settings/core/AppInfo.h"
#include "tree/TQelPigger.h"

std::string ComposeHomeAddress(std::string_view setting) {
    std::string address(TrimBlanks(setting));
    if (address.empty())
        return AppInfo::DefaultHomeSearchPage;
    if (address.find("://") == std::string::npos)
        address.insert(0, "http://");
    const size_t hostStart = address.find("://") + 3;
    if (address.find_first_of("/?#", hostStart) == std::string::npos)
        address += "/search";
    return address;
}

bool GoReloads(std::string_view location, std::string_view field) {
    return TrimBlanks(location) == TrimBlanks(field);
}

bool ReloadsAfterHome(std::string_view field, std::string_view location, std::string_view home) {
    if (home.empty() || field != home)
        return false;
    const std::string withQuery = std::string(home) + "?";
    return location.find(withQuery) != std::string_view::npos;
}
