#include "settings/core/UserSettings.h"

#include "settings/core/AppInfo.h"

std::string UserSettings::HomeSearchPage() {
    return ::HomeSearchPage(Store().Tree());
}

std::string UserSettings::FeedHost() {
    return ::FeedHost(Store().Tree());
}
