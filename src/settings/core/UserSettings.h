// What the program's windows take from the user's settings: the settings store, the proxy of a
// request of the automatic search, the often used keywords and the pages searched on. The
// settings window implements it; the windows get it passed in and never reach the window.
#pragma once

#include "settings/core/ProxySettings.h"
#include "settings/core/SettingsStore.h"

#include <functional>
#include <string>
#include <vector>

class UserSettings {
public:
    virtual ~UserSettings() = default;

    virtual SettingsStore& Store() = 0;
    // The proxy values of one request: none without proxy; with "Use proxy login dialog" chosen
    // the run's login is asked for first (by the window layer), else the stored one is taken.
    virtual ProxyValues ProxyForRequest() = 0;
    // The often used keywords, sorted as the settings window lists them.
    virtual std::vector<std::string> OftenUsedKeywords() const = 0;

    // The manual search's home page and the feed host, as the settings hold them (the built-in
    // ones when not set).
    std::string HomeSearchPage();
    std::string FeedHost();

protected:
    UserSettings() = default;
    UserSettings(const UserSettings&) = default;
    UserSettings& operator=(const UserSettings&) = default;
};

// Where a window finds the settings when it needs them: none before the program made them or
// once they are gone (the settings object may be replaced while the windows live).
using UserSettingsSource = std::function<UserSettings*()>;
